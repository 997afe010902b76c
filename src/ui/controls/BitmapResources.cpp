#include "ui/controls/BitmapResources.h"

#include <QFile>

namespace tavrin {

QString BitmapResourcePath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

QString IconResourcePath(int id) {
    return QStringLiteral(":/icons/%1.png").arg(id);
}

QImage LoadBitmapResource(int id) {
    return QImage(BitmapResourcePath(id));
}

QIcon LoadIconResource(int id) {
    const QString path = IconResourcePath(id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace tavrin
