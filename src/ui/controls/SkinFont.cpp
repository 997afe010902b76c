#include "ui/controls/SkinFont.h"

#include <QFontMetrics>

namespace tavrin {

QFont SkinFont(const QString& family, int lineHeight, QFont::Weight weight) {
    QFont font(family);
    font.setWeight(weight);
    int pixels = std::max(1, lineHeight);
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > lineHeight) {
        font.setPixelSize(--pixels);
    }
    return font;
}

}  // namespace tavrin
