#pragma once

#include <QImage>
#include <array>
#include <string_view>

#include "model/KeyTables.h"

namespace tavrin::skin {

// Draws a keyboard picture from the key tables: every cap covers its hit rectangle exactly, with
// its caption at its text anchor. The highlighted picture differs from the plain one only inside
// the rectangles, and not in their right column and bottom row, which the window's rectangle
// copies leave out.
class KeyboardPicture {
public:
    KeyboardPicture(const std::array<KeyRect, kPositionCount>& rects,
                    const std::array<LabelPoint, kKeyTableSize>& anchors,
                    const std::array<std::u16string_view, kKeyTableSize>& captions);

    // width and height are logical pixels; scale 2 gives twice the pixels, same layout.
    QImage draw(int width, int height, bool highlighted, int scale = 1) const;

private:
    void drawCase(QImage& image) const;
    void drawCaps(QImage& image, bool highlighted) const;
    void drawReflection(QImage& image) const;

    const std::array<KeyRect, kPositionCount>& rects_;
    const std::array<LabelPoint, kKeyTableSize>& anchors_;
    const std::array<std::u16string_view, kKeyTableSize>& captions_;
    QRect keyBounds_;
};

}  // namespace tavrin::skin
