#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace tavrin::skin {

// The 1-pixel outline that an aliased pen draws for drawRect(r) at scale 1: columns left and
// left + width, rows top and top + height. Filled instead of stroked, so that at scale 2 every
// line covers its own two device pixels; a stroked 2-pixel pen straddles the line and lands half
// a logical pixel up and left.
inline void PixelOutline(QPainter& p, const QRect& r, const QColor& colour) {
    const int w = r.width() + 1;
    const int h = r.height() + 1;
    p.fillRect(QRect(r.left(), r.top(), w, 1), colour);
    p.fillRect(QRect(r.left(), r.top() + r.height(), w, 1), colour);
    p.fillRect(QRect(r.left(), r.top(), 1, h), colour);
    p.fillRect(QRect(r.left() + r.width(), r.top(), 1, h), colour);
}

}  // namespace tavrin::skin
