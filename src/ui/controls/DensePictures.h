#pragma once

// Pictures and surfaces at a screen's device pixel ratio. Every position, rectangle and hit test
// stays in logical pixels: a picture carries its ratio, so QPainter draws it at its logical size
// and text at the real pixel size.
//
// Beside every picture "name.png" may lie "name@2x.png", drawn with twice the pixels. Ratio 1 uses
// the first, ratio 2 the second as it is; any other ratio scales the second (or, without it, the
// first) smoothly to the ratio, once, when the picture is loaded.

#include <QImage>
#include <QRect>
#include <QString>
#include <filesystem>

class QPainter;

namespace tavrin {

class SkinLookup;

// "name@2x.png" for "name.png".
QString TwiceName(const QString& name);

// The picture for `ratio` from its two files, either of which may be null. The result carries the
// ratio as its device pixel ratio; null when both are.
QImage PictureForRatio(const QImage& single, const QImage& twice, qreal ratio);

// Decodes `name` and its twin from the skin folder `folder` (names in any case) for `ratio`.
// Opaque pictures are kept opaque, so the windows can copy them without blending.
QImage LoadSkinPicture(SkinLookup& lookup, const std::filesystem::path& folder, const QString& name,
                       qreal ratio);

// Decodes a picture file and its twin beside it, for `ratio`.
QImage LoadPictureFile(const QString& path, qreal ratio);

// An image of `logical` size at `ratio`, of device size logical x ratio.
QImage NewSurface(QSize logical, qreal ratio, QImage::Format format);

// The size a picture covers in logical pixels.
QSize LogicalSize(const QImage& image);

// Copies the logical rectangle `source` of `image` to `at` of the painter's logical space.
void DrawPart(QPainter& painter, QPoint at, const QImage& image, const QRect& source);

// The device pixels of a logical rectangle of an image of the given ratio.
QRect DeviceRect(const QRect& logical, qreal ratio);

// The device pixel ratio a widget's surfaces are composed at.
qreal SurfaceRatio(qreal devicePixelRatio);

}  // namespace tavrin
