#include "ui/controls/SkinText.h"

#include <QFontMetrics>
#include <QPainter>

namespace tavrin {

DrawnText DrawSkinText(QPainter& painter, const QString& text, const QRect& box, const QFont& font,
                       const QColor& colour) {
    const QFontMetrics metrics(font);
    DrawnText drawn{text, text, box, font};
    if (metrics.horizontalAdvance(text) > box.width()) {
        drawn.shown = metrics.elidedText(text, Qt::ElideRight, box.width());
    }
    painter.setFont(font);
    painter.setPen(colour);
    // Tall enough for any line of the font: only the width is a limit.
    const QRect room(box.topLeft(),
                     QSize(box.width(), std::max(box.height(), 2 * metrics.height())));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, drawn.shown);
    return drawn;
}

}  // namespace tavrin
