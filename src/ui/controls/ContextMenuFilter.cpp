#include "ui/controls/ContextMenuFilter.h"

#include <QEvent>
#include <QMouseEvent>
#include <utility>

namespace tavrin {

ContextMenuFilter::ContextMenuFilter(QObject* target, std::function<void(QPoint)> show)
    : QObject(target), show_(std::move(show)) {
    target->installEventFilter(this);
}

bool ContextMenuFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        show_(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        return true;  // the press above has shown it
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tavrin
