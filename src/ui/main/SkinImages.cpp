#include "ui/main/SkinImages.h"

#include <QImageReader>

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

QSize SkinImages::logicalSize(const QString& name) const {
    if (auto path = lookup_.find(folder_, name.toStdString())) {
        const QSize size = QImageReader(PathToQString(*path)).size();
        if (size.isValid()) {
            return size;
        }
    }
    if (auto path = lookup_.find(folder_, TwiceName(name).toStdString())) {
        const QSize size = QImageReader(PathToQString(*path)).size();
        if (size.isValid()) {
            return QSize((size.width() + 1) / 2, (size.height() + 1) / 2);
        }
    }
    return QSize(0, 0);
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
