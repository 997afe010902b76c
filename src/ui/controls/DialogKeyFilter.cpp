#include "ui/controls/DialogKeyFilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <utility>

namespace tavrin {

DialogKeyFilter::DialogKeyFilter(QObject* target, std::function<void()> onEscape)
    : QObject(target), onEscape_(std::move(onEscape)) {
    target->installEventFilter(this);
}

bool DialogKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            key->accept();
            return true;
        case Qt::Key_Escape:
            key->accept();
            if (onEscape_) {
                onEscape_();
            }
            return true;
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace tavrin
