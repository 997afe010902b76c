#include "ui/main/SkinImages.h"

namespace tavrin {

const QImage& SkinImages::image(const QString& name) {
    auto it = cache_.find(name);
    if (it == cache_.end()) {
        QImage loaded;
        if (auto path = lookup_.find(folder_, name.toStdString())) {
            loaded.load(QString::fromStdString(path->string()));
            if (!loaded.isNull()) {
                loaded = loaded.convertToFormat(QImage::Format_RGB32);
            }
        }
        it = cache_.insert(name, loaded);
    }
    return *it;
}

}  // namespace tavrin
