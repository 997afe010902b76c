#include "ui/main/SkinImages.h"

#include "platform/qt/QtConversions.h"
#include "ui/controls/DensePictures.h"

namespace tavrin {

const QImage& SkinImages::image(const QString& name) {
    auto it = cache_.find(name);
    if (it == cache_.end()) {
        it = cache_.insert(name, decode(name));
    }
    return *it;
}

QImage SkinImages::decode(const QString& name) const {
    QImage loaded = LoadSkinPicture(lookup_, folder_, name, ratio_);
    if (!loaded.isNull() && loaded.format() != QImage::Format_RGB32) {
        loaded = loaded.convertToFormat(QImage::Format_RGB32);
    }
    return loaded;
}

void SkinImages::setRatio(qreal ratio) {
    ratio = SurfaceRatio(ratio);
    if (ratio != ratio_) {
        ratio_ = ratio;
        cache_.clear();
    }
}

}  // namespace tavrin
