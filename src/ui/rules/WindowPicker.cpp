#include "ui/rules/WindowPicker.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QMetaObject>
#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace tavrin {

namespace {

// The cursor font's crosshair and its mask (X11's cursorfont.h: XC_crosshair).
constexpr std::uint16_t kCrosshairGlyph = 34;
constexpr std::uint16_t kCrosshairMask = kCrosshairGlyph + 1;
constexpr std::uint8_t kLeftButton = 1;
// How deep below a top-level window the client window is looked for: window managers put it one
// or two levels down; the limit only stops a pathological tree.
constexpr int kMaxClientDepth = 8;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Owned(T* reply) {
    return Reply<T>(reply, &std::free);
}

}  // namespace

struct WindowPicker::X11 {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_NONE;
    xcb_font_t font = XCB_NONE;
    xcb_cursor_t cursor = XCB_NONE;
    xcb_atom_t wmState = XCB_NONE;
    bool grabbed = false;
    bool keyboardGrabbed = false;
    std::optional<PickedWindow> pending;  // taken at the press, reported at the release

    ~X11() {
        if (!connection) {
            return;
        }
        if (grabbed) {
            xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
        }
        if (keyboardGrabbed) {
            xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        }
        if (cursor != XCB_NONE) {
            xcb_free_cursor(connection, cursor);
        }
        if (font != XCB_NONE) {
            xcb_close_font(connection, font);
        }
        xcb_flush(connection);
        xcb_disconnect(connection);
    }

    bool hasProperty(xcb_window_t window, xcb_atom_t atom) const {
        const auto reply = Owned(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, atom, XCB_ATOM_ANY, 0, 0),
            nullptr));
        return reply && reply->type != XCB_NONE;
    }

    // Breadth first, as the client window of a frame is usually its first level.
    std::optional<xcb_window_t> clientBelow(xcb_window_t top) const {
        QList<xcb_window_t> level{top};
        for (int depth = 0; depth < kMaxClientDepth && !level.isEmpty(); ++depth) {
            QList<xcb_window_t> next;
            for (const xcb_window_t w : std::as_const(level)) {
                if (wmState != XCB_NONE && hasProperty(w, wmState)) {
                    return w;
                }
                const auto tree =
                    Owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, w), nullptr));
                if (!tree) {
                    continue;  // the window went away meanwhile
                }
                const xcb_window_t* children = xcb_query_tree_children(tree.get());
                const int count = xcb_query_tree_children_length(tree.get());
                // Top of the stacking order first: what the user sees.
                for (int i = count - 1; i >= 0; --i) {
                    next.append(children[i]);
                }
            }
            level = next;
        }
        return std::nullopt;
    }

    PickedWindow classOf(xcb_window_t window) const {
        PickedWindow result;
        result.outcome = PickedWindow::Outcome::NoClass;
        const auto reply = Owned(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
            nullptr));
        if (!reply || reply->format != 8) {
            return result;
        }
        // "instance\0class\0"
        const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               xcb_get_property_value_length(reply.get()));
        const QList<QByteArray> parts = value.split('\0');
        result.instance = parts.value(0).isEmpty() ? QString() : QString::fromUtf8(parts.value(0));
        result.windowClass =
            parts.value(1).isEmpty() ? QString() : QString::fromUtf8(parts.value(1));
        if (!result.instance.isEmpty() || !result.windowClass.isEmpty()) {
            result.outcome = PickedWindow::Outcome::Picked;
        }
        return result;
    }

    PickedWindow pick(xcb_window_t topLevel) const {
        if (topLevel == XCB_NONE) {
            return {PickedWindow::Outcome::NoClass, {}, {}};
        }
        // Without a window manager nothing carries WM_STATE: the window clicked is the client.
        return classOf(clientBelow(topLevel).value_or(topLevel));
    }
};

WindowPicker::WindowPicker(QObject* parent) : QObject(parent) {}

WindowPicker::~WindowPicker() = default;

bool WindowPicker::available() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool WindowPicker::active() const {
    return x_ != nullptr;
}

bool WindowPicker::start(QString& error) {
    if (x_) {
        return true;
    }
    if (!available()) {
        error = QStringLiteral("windows can be picked on X11 only");
        return false;
    }
    auto x = std::make_unique<X11>();
    int screenNumber = 0;
    x->connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x->connection) != 0) {
        error = QStringLiteral("the X server cannot be reached");
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x->connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        error = QStringLiteral("the X server has no screen %1").arg(screenNumber);
        return false;
    }
    x->root = screens.data->root;

    static constexpr char kWmState[] = "WM_STATE";
    const auto atom = Owned(xcb_intern_atom_reply(
        x->connection, xcb_intern_atom(x->connection, 1, std::strlen(kWmState), kWmState),
        nullptr));
    x->wmState = atom ? atom->atom : XCB_NONE;

    static constexpr char kCursorFont[] = "cursor";
    x->font = xcb_generate_id(x->connection);
    xcb_open_font(x->connection, x->font, std::strlen(kCursorFont), kCursorFont);
    x->cursor = xcb_generate_id(x->connection);
    xcb_create_glyph_cursor(x->connection, x->cursor, x->font, x->font, kCrosshairGlyph,
                            kCrosshairMask, 0, 0, 0, 0xffff, 0xffff, 0xffff);

    const auto grab = Owned(xcb_grab_pointer_reply(
        x->connection,
        xcb_grab_pointer(
            x->connection, 0, x->root, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE,
            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, x->cursor, XCB_CURRENT_TIME),
        nullptr));
    if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
        error = QStringLiteral("another program holds the pointer");
        return false;
    }
    x->grabbed = true;
    // A key cancels. Without the keyboard (another program holds it) the right button still does.
    const auto keyboard =
        Owned(xcb_grab_keyboard_reply(x->connection,
                                      xcb_grab_keyboard(x->connection, 0, x->root, XCB_CURRENT_TIME,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                      nullptr));
    x->keyboardGrabbed = keyboard && keyboard->status == XCB_GRAB_STATUS_SUCCESS;
    xcb_flush(x->connection);

    x_ = std::move(x);
    notifier_ =
        new QSocketNotifier(xcb_get_file_descriptor(x_->connection), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WindowPicker::onEvents);
    // Events that came with the replies above are queued already and wake no notifier.
    QMetaObject::invokeMethod(this, &WindowPicker::onEvents, Qt::QueuedConnection);
    return true;
}

void WindowPicker::cancel() {
    delete notifier_;
    notifier_ = nullptr;
    x_.reset();
}

void WindowPicker::onEvents() {
    while (x_) {
        const auto event = Owned(xcb_poll_for_event(x_->connection));
        if (!event) {
            if (xcb_connection_has_error(x_->connection) != 0) {
                finish({PickedWindow::Outcome::Cancelled, {}, {}});  // the server went away
            }
            return;
        }
        switch (event->response_type & ~0x80) {
            case XCB_BUTTON_PRESS: {
                const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event.get());
                if (!x_->pending) {
                    x_->pending = press->detail == kLeftButton
                                      ? x_->pick(press->child)
                                      : PickedWindow{PickedWindow::Outcome::Cancelled, {}, {}};
                }
                break;
            }
            case XCB_BUTTON_RELEASE:
                // The release belongs to the grab too, so the window clicked never sees half a
                // click.
                if (x_->pending) {
                    finish(*x_->pending);
                }
                break;
            case XCB_KEY_PRESS:
                finish({PickedWindow::Outcome::Cancelled, {}, {}});
                break;
            default:
                break;
        }
    }
}

void WindowPicker::finish(PickedWindow result) {
    cancel();
    emit finished(result);
}

}  // namespace tavrin
