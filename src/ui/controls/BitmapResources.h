#pragma once

// The bitmap and icon resources compiled into the program, by their resource numbers.

#include <QIcon>
#include <QImage>
#include <QString>

namespace tavrin {

inline constexpr int kIconProgram = 154;
inline constexpr int kBitmapSliderEmpty = 139;   // the empty slider track, 220 x 17
inline constexpr int kBitmapSliderFilled = 140;  // the filled slider track, 220 x 17
inline constexpr int kBitmapSliderThumb = 141;   // 15 x 14

// ":/bitmaps/<id>.png" and ":/icons/<id>.png" in the Qt resources.
QString BitmapResourcePath(int id);
QString IconResourcePath(int id);

// A null image or icon when the program does not hold that resource. The bitmap is the one for
// the device pixel ratio `ratio` (":/bitmaps/<id>@2x.png" above 1), which it carries.
QImage LoadBitmapResource(int id, qreal ratio = 1.0);
QIcon LoadIconResource(int id);

}  // namespace tavrin
