#include "automation/ActiveApplicationSources.h"

#include <xcb/xcb.h>

#include <QSet>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "automation/RunningProcesses.h"

namespace tavrin {

SessionKind DetectSession() {
    const QString type = qEnvironmentVariable("XDG_SESSION_TYPE").toLower();
    if (type == QStringLiteral("wayland") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return SessionKind::Wayland;
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        return SessionKind::X11;
    }
    return SessionKind::None;
}

// ---- X11 ---------------------------------------------------------------------------------------

struct X11FocusSource::Xcb {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeWindow = 0;
    xcb_atom_t pid = 0;

    ~Xcb() {
        if (connection) {
            xcb_disconnect(connection);
        }
    }

    xcb_atom_t atom(const char* name) const {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t value = reply ? reply->atom : 0;
        std::free(reply);
        return value;
    }

    // The property's bytes; empty when the window or the property is not there.
    QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                        std::uint32_t longs) const {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(connection, 0, window, name, type, 0, longs);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
        QByteArray bytes;
        if (reply && reply->type != XCB_ATOM_NONE) {
            bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        }
        std::free(reply);
        return bytes;
    }
};

X11FocusSource::X11FocusSource(QObject* parent) : QObject(parent) {}

X11FocusSource::~X11FocusSource() = default;

bool X11FocusSource::start(QString& error) {
    auto xcb = std::make_unique<Xcb>();
    int screenNumber = 0;
    xcb->connection = xcb_connect(nullptr, &screenNumber);
    if (!xcb->connection || xcb_connection_has_error(xcb->connection)) {
        error = QStringLiteral("no X server at DISPLAY=%1").arg(qEnvironmentVariable("DISPLAY"));
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(xcb->connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        error = QStringLiteral("the X server has no screen %1").arg(screenNumber);
        return false;
    }
    xcb->root = screens.data->root;
    xcb->activeWindow = xcb->atom("_NET_ACTIVE_WINDOW");
    xcb->pid = xcb->atom("_NET_WM_PID");
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(xcb->connection, xcb->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(xcb->connection);
    xcb_ = std::move(xcb);
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(xcb_->connection),
                                                  QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &X11FocusSource::readEvents);
    readActiveWindow();
    readEvents();  // a change that came during the first look
    return true;
}

void X11FocusSource::readEvents() {
    // The replies that readActiveWindow waits for may bring events along. xcb keeps them in its
    // own queue, where the socket's notifier never sees them, so the queue is read until it holds
    // no change: else the last focus of an Alt-Tab would wait for some later event.
    for (;;) {
        bool changed = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(xcb_->connection)) {
            if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                changed = changed || notify->atom == xcb_->activeWindow;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(xcb_->connection)) {
            notifier_->setEnabled(false);  // the X server went away; nothing more will come
            return;
        }
        if (!changed) {
            return;
        }
        readActiveWindow();
    }
}

void X11FocusSource::readActiveWindow() {
    ActiveApplication focused;
    const QByteArray active = xcb_->property(xcb_->root, xcb_->activeWindow, XCB_ATOM_WINDOW, 1);
    xcb_window_t window = 0;
    if (active.size() >= static_cast<qsizetype>(sizeof window)) {
        std::memcpy(&window, active.constData(), sizeof window);
    }
    if (window != 0) {
        // WM_CLASS: the instance and the class, each ended by a NUL.
        const QList<QByteArray> names =
            xcb_->property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256).split('\0');
        focused.instance = QString::fromLocal8Bit(names.value(0));
        focused.windowClass = QString::fromLocal8Bit(names.value(1));
        const QByteArray pid = xcb_->property(window, xcb_->pid, XCB_ATOM_CARDINAL, 1);
        if (pid.size() >= 4) {
            std::uint32_t value = 0;
            std::memcpy(&value, pid.constData(), sizeof value);
            const RunningProcess process = ProcessOf(static_cast<int>(value));
            focused.exe = process.exeName.isEmpty() ? process.comm : process.exeName;
        }
    }
    emit focusChanged(focused);
}

// ---- Processes ---------------------------------------------------------------------------------

ProcessScanner::ProcessScanner(QString procRoot, QObject* parent)
    : QObject(parent), procRoot_(std::move(procRoot)) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &ProcessScanner::scan);
}

void ProcessScanner::setActive(bool active) {
    if (active == timer_.isActive()) {
        return;
    }
    if (active) {
        timer_.start();
        scan();
    } else {
        timer_.stop();
        last_.clear();
        emit runningChanged({});
    }
}

void ProcessScanner::scan() {
    QList<QString> running = RunningExecutableNames(procRoot_);
    std::sort(running.begin(), running.end());
    if (running != last_) {
        last_ = running;
        emit runningChanged(last_);
    }
}

}  // namespace tavrin
