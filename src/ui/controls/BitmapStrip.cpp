#include "ui/controls/BitmapStrip.h"

#include <QPainter>

#include "ui/controls/BitmapResources.h"
#include "ui/controls/DensePictures.h"

namespace tavrin {

BitmapStrip::BitmapStrip(QImage bitmap, int frameWidth, int frameHeight)
    : bitmap_(std::move(bitmap)) {
    // Frames are counted in logical pixels: a bitmap of twice the pixels has the same frames.
    const QSize logical = LogicalSize(bitmap_);
    const int width = logical.width();
    const int height = logical.height();
    vertical_ = width < height;
    frameWidth_ = frameWidth > 0 ? frameWidth : width;
    frameHeight_ = frameHeight > 0 ? frameHeight : height;
    // A bitmap that did not load has no size and therefore no frames.
    if (frameWidth_ > 0 && frameHeight_ > 0) {
        frameCount_ = vertical_ ? height / frameHeight_ : width / frameWidth_;
    }
}

BitmapStrip BitmapStrip::FromResource(int resourceId, int frameWidth, int frameHeight) {
    return BitmapStrip(LoadBitmapResource(resourceId), frameWidth, frameHeight);
}

std::optional<QRect> BitmapStrip::frameRect(int index) const {
    if (index < 0 || index >= frameCount_) {
        return std::nullopt;
    }
    if (vertical_) {
        return QRect(0, index * frameHeight_, frameWidth_, frameHeight_);
    }
    return QRect(index * frameWidth_, 0, frameWidth_, frameHeight_);
}

void BitmapStrip::draw(QPainter& target, int index) const {
    const auto rect = frameRect(index);
    if (!rect) {
        return;
    }
    const auto mode = target.compositionMode();
    target.setCompositionMode(QPainter::CompositionMode_Source);
    DrawPart(target, drawPosition_, bitmap_, *rect);
    target.setCompositionMode(mode);
}

}  // namespace tavrin
