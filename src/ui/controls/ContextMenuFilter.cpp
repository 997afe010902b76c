#include "ui/controls/ContextMenuFilter.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QEvent>
#include <QMouseEvent>
#include <utility>

namespace tavrin {

ContextMenuFilter::ContextMenuFilter(QObject* target, std::function<void(QPoint)> show)
    : QObject(target), show_(std::move(show)) {
    target->installEventFilter(this);
    // The menu key reaches the list that has the focus, not its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target->parent())) {
        area->installEventFilter(this);
    }
}

bool ContextMenuFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        show_(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() != QContextMenuEvent::Mouse) {
            show_(menu->globalPos());  // the menu key or Shift+F10
        }
        return true;  // a press of the right button has shown it
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tavrin
