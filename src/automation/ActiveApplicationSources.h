#pragma once

// Where the active application comes from: the X server's _NET_ACTIVE_WINDOW (watched through
// property-change events, never polled), the running processes (scanned every 2 s, only while a
// "while running" rule exists), and a compositor's script calling SetActiveApplication over
// D-Bus. Which of them can work depends on the session.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>
#include <utility>

#include "automation/ProfileRules.h"

namespace tavrin {

enum class SessionKind { X11, Wayland, None };

// From XDG_SESSION_TYPE, WAYLAND_DISPLAY and DISPLAY.
SessionKind DetectSession();

// The focused window of an X server, by its _NET_ACTIVE_WINDOW, WM_CLASS and _NET_WM_PID.
class X11FocusSource : public QObject {
    Q_OBJECT

public:
    explicit X11FocusSource(QObject* parent = nullptr);
    ~X11FocusSource() override;

    // Connects to $DISPLAY and reports the window that has the focus now; false with `error`
    // when there is no X server. Without a window manager that keeps _NET_ACTIVE_WINDOW, the
    // focus stays the desktop.
    bool start(QString& error);

signals:
    void focusChanged(const tavrin::ActiveApplication& focused);

private:
    void readEvents();
    void readActiveWindow();

    struct Xcb;
    std::unique_ptr<Xcb> xcb_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// The running executables, every 2 s while it runs; it reports only changes.
class ProcessScanner : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 2000;

    explicit ProcessScanner(QString procRoot = QStringLiteral("/proc"), QObject* parent = nullptr);

    // Scans at once and then every 2 s; stopping forgets what ran.
    void setActive(bool active);
    bool active() const { return timer_.isActive(); }

signals:
    void runningChanged(const QList<QString>& running);

private:
    void scan();

    QString procRoot_;
    QTimer timer_;
    QList<QString> last_;
};

}  // namespace tavrin
