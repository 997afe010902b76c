#include "ui/controls/BitmapResources.h"

#include <QFile>

#include "ui/controls/DensePictures.h"

namespace tavrin {

QString BitmapResourcePath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

QString IconResourcePath(int id) {
    return QStringLiteral(":/icons/%1.png").arg(id);
}

QImage LoadBitmapResource(int id, qreal ratio) {
    return LoadPictureFile(BitmapResourcePath(id), ratio);
}

QIcon LoadIconResource(int id) {
    const QString path = IconResourcePath(id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace tavrin
