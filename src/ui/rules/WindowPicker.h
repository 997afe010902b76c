#pragma once

// Picking an application by clicking one of its windows, on X11: the pointer is grabbed with a
// crosshair, the window clicked is followed down to its client window (the one the window
// manager marked with WM_STATE) and its WM_CLASS is read. A connection of its own to the X
// server, watched by the event loop: the window thread never waits for the click.

#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

namespace tavrin {

struct PickedWindow {
    enum class Outcome {
        Picked,     // instance and windowClass are set (either may be empty, not both)
        NoClass,    // the click hit no window that names its application (the desktop, say)
        Cancelled,  // another button or a key
    };
    Outcome outcome = Outcome::Cancelled;
    QString instance;     // WM_CLASS, first string
    QString windowClass;  // WM_CLASS, second string
};

class WindowPicker : public QObject {
    Q_OBJECT

public:
    explicit WindowPicker(QObject* parent = nullptr);
    ~WindowPicker() override;

    // Whether windows can be picked here: only on the X11 platform.
    static bool available();

    // Grabs the pointer; the next click picks. False with `error` when the X server cannot be
    // reached or another program holds the pointer.
    bool start(QString& error);
    // Ends a pick without a result (no signal).
    void cancel();
    bool active() const;

signals:
    void finished(const tavrin::PickedWindow& result);

private:
    struct X11;
    void onEvents();
    void finish(PickedWindow result);

    std::unique_ptr<X11> x_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tavrin
