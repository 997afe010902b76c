#include "ui/controls/VividTree.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "ui/controls/BitmapResources.h"
#include "ui/controls/DensePictures.h"

namespace tavrin {

VividTree::VividTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setIndentation(19);
    setFrameShape(QFrame::NoFrame);
    // The whole picture is drawn at every paint; nothing needs erasing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(this, &QTreeWidget::itemExpanded, this, &VividTree::itemExpanding);
    connect(this, &QTreeWidget::itemCollapsed, this, &VividTree::itemExpanding);
}

void VividTree::SetTreeBitmaps() {
    const qreal ratio = devicePixelRatioF();
    background_ = LoadBitmapResource(kBitmapTreeBackground, ratio);
    expandSign_ = LoadBitmapResource(kBitmapTreeExpand, ratio);
    collapseSign_ = LoadBitmapResource(kBitmapTreeCollapse, ratio);
    viewport()->update();
}

void VividTree::setBackgroundMode(BackgroundMode mode) {
    mode_ = mode;
    viewport()->update();
}

void VividTree::setGradient(QColor start, QColor end, bool horizontal) {
    gradientStart_ = start;
    gradientEnd_ = end;
    horizontalGradient_ = horizontal;
    viewport()->update();
}

void VividTree::setSignBitmaps(QImage expand, QImage collapse) {
    expandSign_ = std::move(expand);
    collapseSign_ = std::move(collapse);
    viewport()->update();
}

void VividTree::setShowSelectionAlways(bool always) {
    showSelectionAlways_ = always;
    viewport()->update();
}

VividTree::Extent VividTree::virtualExtent() const {
    const QRect client = viewport()->rect();
    Extent extent{client.x(), client.width(), client.y(), client.height()};
    const QScrollBar* horizontal = horizontalScrollBar();
    if (horizontal->maximum() > 0) {
        extent.x = -horizontal->value();
        extent.width = std::max(client.width(), horizontal->maximum() + client.width());
    }
    const QScrollBar* vertical = verticalScrollBar();
    if (vertical->maximum() > 0) {
        const int itemHeight =
            topLevelItemCount() > 0 ? std::max(1, rowHeight(indexFromItem(topLevelItem(0)))) : 1;
        const bool perItem = verticalScrollMode() == QAbstractItemView::ScrollPerItem;
        extent.y = perItem ? -(itemHeight * vertical->value()) : -vertical->value();
        const int rows = perItem ? vertical->maximum() : vertical->maximum() / itemHeight;
        const int needed = (itemHeight + 1) * (rows + 2);
        extent.height = std::max(client.height(), needed);
    }
    return extent;
}

void VividTree::drawBackground(QPainter& painter, const Extent& extent) const {
    const QRect area(extent.x, extent.y, extent.width, extent.height);
    switch (mode_) {
        case BitmapBackground:
            if (background_.isNull()) {
                break;
            }
            painter.drawImage(area, background_);
            break;
        case GradientBackground: {
            QLinearGradient gradient(area.topLeft(),
                                     horizontalGradient_ ? area.topRight() : area.bottomLeft());
            gradient.setColorAt(0, gradientStart_);
            gradient.setColorAt(1, gradientEnd_);
            painter.fillRect(area, gradient);
            break;
        }
        case DarkBackground:
            painter.fillRect(viewport()->rect(), kDarkFill);
            break;
    }
}

void VividTree::drawItems(QPainter& painter, const Extent& extent) const {
    const bool focused = hasFocus();
    painter.setPen(Qt::white);
    const QFontMetrics metrics(font());
    for (QModelIndex index = indexAt(QPoint(0, 0)); index.isValid(); index = indexBelow(index)) {
        QRect text = visualRect(index);
        if (text.top() > viewport()->height()) {
            break;
        }
        const QTreeWidgetItem* item = itemFromIndex(index);
        const bool highlighted = item->isSelected() && (focused || showSelectionAlways_);
        // The platform's text rectangle is as wide as the text.
        text.setWidth(metrics.horizontalAdvance(item->text(0)) + 6);
        text.translate(kTextShift, 0);
        if (highlighted) {
            painter.fillRect(
                QRect(QPoint(0, text.top()), QPoint(extent.x + extent.width - 1, text.bottom())),
                kHighlightBand);
        }
        if (item->childCount() > 0) {
            const QImage& sign = item->isExpanded() ? collapseSign_ : expandSign_;
            if (!sign.isNull()) {
                painter.drawImage(text.left() - 2 - LogicalSize(sign).width(), text.top() + 4,
                                  sign);
            }
        }
        painter.drawText(text.adjusted(0, 1, 0, -1), Qt::AlignLeft | Qt::AlignVCenter,
                         item->text(0));
    }
}

QImage VividTree::composed() {
    executeDelayedItemsLayout();
    QImage picture =
        NewSurface(viewport()->size(), viewport()->devicePixelRatioF(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setFont(font());
    const Extent extent = virtualExtent();
    drawBackground(painter, extent);
    drawItems(painter, extent);
    return picture;
}

void VividTree::paintEvent(QPaintEvent*) {
    const QImage picture = composed();
    QPainter(viewport()).drawImage(0, 0, picture);
}

void VividTree::itemExpanding(QTreeWidgetItem* item) {
    // The bitmap background scrolls with the items; redraw it whole when the rows below move.
    if (mode_ == BitmapBackground && item != nullptr && visualItemRect(item).isValid()) {
        viewport()->update();
    }
}

}  // namespace tavrin
