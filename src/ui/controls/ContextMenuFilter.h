#pragma once

// Shows a context menu on the press of the right button over the filtered widget (a list's
// viewport), at the pointer, and swallows the ContextMenu event that would follow, so the menu
// shows once and at once.

#include <QObject>
#include <QPoint>
#include <functional>

namespace tavrin {

class ContextMenuFilter : public QObject {
    Q_OBJECT

public:
    // Filters `target`'s events and belongs to it; `show` gets the pointer's global position.
    ContextMenuFilter(QObject* target, std::function<void(QPoint)> show);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(QPoint)> show_;
};

}  // namespace tavrin
