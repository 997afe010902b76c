#include "platform/qt/QtKeyHook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "device/WindowMessages.h"
#include "platform/qt/VirtualKeyMap.h"

namespace tavrin {

namespace {

constexpr std::intptr_t kReleaseFlag = static_cast<std::intptr_t>(
    static_cast<std::int32_t>(0x80000000u));  // lParam bit 31, negative as the receivers test it

}  // namespace

QtKeyHook::~QtKeyHook() {
    removehook();
}

bool QtKeyHook::installhook(MessageTarget* window, int mode) {
    if (window == nullptr || QCoreApplication::instance() == nullptr || (mode != 0 && mode != 1)) {
        return false;
    }
    removehook();
    target_ = window;
    auto* widget = dynamic_cast<QWidget*>(window);
    targetIsWidget_ = widget != nullptr;
    targetWidget_ = widget;
    mode_ = mode;
    QCoreApplication::instance()->installEventFilter(this);
    return true;
}

void QtKeyHook::removehook() {
    if (target_ != nullptr && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
    target_ = nullptr;
    targetWidget_.clear();
    targetIsWidget_ = false;
}

bool QtKeyHook::takes(QObject* receiver) const {
    // Key events reach the window system's window first and then its focus widget; only the
    // widget's copy counts, so that each keystroke is seen once.
    if (receiver == nullptr || !receiver->isWidgetType()) {
        return false;
    }
    if (!targetIsWidget_) {
        return true;
    }
    if (targetWidget_.isNull()) {
        return false;  // the window is gone; nothing to deliver to
    }
    const auto* widget = static_cast<QWidget*>(receiver);
    return widget->window() == targetWidget_->window();
}

bool QtKeyHook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (target_ == nullptr || (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
                               type != QEvent::ShortcutOverride)) {
        return QObject::eventFilter(watched, event);
    }
    if (!takes(watched)) {
        return QObject::eventFilter(watched, event);
    }
    if (const auto* gate = dynamic_cast<const KeyCaptureGate*>(target_);
        gate != nullptr && !gate->capturesKeys()) {
        return QObject::eventFilter(watched, event);
    }
    // Taken over: no shortcut, no control sees the key.
    event->accept();
    if (type != QEvent::ShortcutOverride) {
        deliver(*static_cast<QKeyEvent*>(event));
    }
    return true;
}

void QtKeyHook::deliver(const QKeyEvent& event) {
    const bool release = event.type() == QEvent::KeyRelease;
    if (event.isAutoRepeat() && (mode_ == 0 || release)) {
        return;  // mode 0: one message per keystroke; mode 1: a held key repeats as presses
    }
    if (mode_ == 0 && release) {
        return;
    }
    const auto vk = VirtualKeyOf(event);
    if (!vk) {
        return;
    }
    target_->send(WM_HOOK_KEY, *vk, release ? kReleaseFlag : 0);
}

}  // namespace tavrin
