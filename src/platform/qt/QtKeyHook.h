#pragma once

// KeyHook as an application-wide event filter. While installed, the key events of the target's
// window (the target is a QWidget) or of the whole application (any other target) are turned
// into WM_HOOK_KEY messages and kept from the controls. Other windows, a message box or a file
// chooser opened over the target among them, keep their keys.

#include <QObject>
#include <QPointer>

#include "platform/qt/KeyHook.h"

class QKeyEvent;
class QWidget;

namespace tavrin {

class QtKeyHook : public QObject, public KeyHook {
    Q_OBJECT

public:
    explicit QtKeyHook(QObject* parent = nullptr) : QObject(parent) {}
    ~QtKeyHook() override;

    bool installhook(MessageTarget* window, int mode) override;
    void removehook() override;

    bool installed() const { return target_ != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool takes(QObject* receiver) const;
    void deliver(const QKeyEvent& event);

    MessageTarget* target_ = nullptr;
    QPointer<QWidget> targetWidget_;  // set when the target is a window
    bool targetIsWidget_ = false;
    int mode_ = 0;
};

}  // namespace tavrin
