// Pointer, key and focus handling of the main window: hover, dragging and the click dispatch.

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include "model/KeyHitTest.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

std::optional<Region> COstraDlg::hitRegion(int x, int y) const {
    return HitRegion(state_.panel, model_.settings.effectCode(), x, y);
}

void COstraDlg::mouseMoveEvent(QMouseEvent* event) {
    if (busy_) {
        return;
    }
    const int x = static_cast<int>(event->position().x());
    const int y = static_cast<int>(event->position().y());
    if (!(event->buttons() & Qt::LeftButton)) {
        state_.mouseDown = false;
        heldAt_.reset();
    }
    if (heldAt_) {
        move(event->globalPosition().toPoint() - *heldAt_);
        return;
    }

    // 1. Hover over the open list, or over the regions.
    std::optional<Region> region;
    if (state_.effectListOpen) {
        state_.effectListRow = EffectListRowAt(x, y).value_or(kNoRow);
    } else if (state_.responseListOpen) {
        state_.responseListRow =
            ResponseListRowAt(LayoutSections(state_.panel), x, y).value_or(kNoRow);
    } else {
        region = hitRegion(x, y);
        if (region) {
            state_.hoverFlags.fill(0);
            state_.hoverFlags[static_cast<std::size_t>(*region)] = 1;
            state_.lastHoverRegion = static_cast<std::uint8_t>(*region);
        } else if (state_.lastHoverRegion != kNoRegion) {
            state_.hoverFlags.fill(0);
            paintAll();
            state_.lastHoverRegion = kNoRegion;
        }
    }

    // 2. Dragging from bare background.
    const std::uint8_t key = hitKey(x, y);
    if (state_.mouseDown && !region && key == kNoKey && !state_.listOpen()) {
        state_.mouseDown = false;
        ++dragStarts_;
        // The window system moves it where it can (on Wayland only it may); otherwise the
        // window follows the pointer itself until the button is released.
        QWindow* window = windowHandle();
        if (window == nullptr || !window->startSystemMove()) {
            heldAt_ = QPoint(x, y);
        }
    }

    // 3. Key hover.
    model_.selectedKey = key;
    if (key != state_.lastHoverKey) {
        state_.lastHoverKey = key;
        paintAll();
    } else if (key == kNoKey &&
               (region || state_.effectListRow != kNoRow || state_.responseListRow != kNoRow)) {
        paintAll();
    }
}

void COstraDlg::mousePressEvent(QMouseEvent* event) {
    if (busy_) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        state_.mouseDown = true;
        ringShown_ = false;  // the pointer works here now; Tab shows the ring again
    }
    QWidget::mousePressEvent(event);
}

void COstraDlg::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    state_.hoverFlags.fill(0);
    if (isVisible()) {
        paintAll();  // a hidden window is composed again when it shows
    }
}

bool COstraDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        state_.hoverFlags.fill(0);
        if (isVisible()) {
            paintAll();
        }
    }
    return QWidget::event(event);
}

}  // namespace tavrin

namespace tavrin {

void COstraDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (busy_) {
        return;  // the sequence owns the model until it ends
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (heldAt_) {
        heldAt_.reset();  // the end of a move, not a click
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const int x = static_cast<int>(event->position().x());
    const int y = static_cast<int>(event->position().y());
    lastPressByPointer_ = true;
    if (state_.effectListOpen) {
        effectListClick(x, y);
    } else if (state_.responseListOpen) {
        responseListClick(x, y);
    } else if (state_.helpOpen) {
        helpClick(x, y);
    } else {
        if (const auto region = hitRegion(x, y)) {
            onRegionClicked(*region);
        }
        clickKey(x, y);
    }
    applyModelRules();
    paintAll();
    QWidget::mouseReleaseEvent(event);
}

}  // namespace tavrin
