#include "ui/controls/DensePictures.h"

#include <QPainter>
#include <cmath>

#include "model/ProgramDirectory.h"
#include "platform/qt/QtConversions.h"

namespace tavrin {

namespace {

// Ratios closer than this are the same: screens report values such as 1.2499999.
constexpr qreal kRatioTolerance = 1e-3;

bool SameRatio(qreal a, qreal b) {
    return std::abs(a - b) < kRatioTolerance;
}

int DeviceLength(int logical, qreal ratio) {
    // Rounded up, so a picture never leaves a gap of one device pixel to its neighbour.
    return static_cast<int>(std::ceil(logical * ratio - kRatioTolerance));
}

QImage WithRatio(QImage image, qreal ratio) {
    image.setDevicePixelRatio(ratio);
    return image;
}

}  // namespace

QString TwiceName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        return name + QStringLiteral("@2x");
    }
    return name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
}

qreal SurfaceRatio(qreal devicePixelRatio) {
    return devicePixelRatio > kRatioTolerance ? devicePixelRatio : 1.0;
}

QSize LogicalSize(const QImage& image) {
    return image.deviceIndependentSize().toSize();
}

QRect DeviceRect(const QRect& logical, qreal ratio) {
    if (SameRatio(ratio, 1.0)) {
        return logical;
    }
    const int left = static_cast<int>(std::floor(logical.left() * ratio + kRatioTolerance));
    const int top = static_cast<int>(std::floor(logical.top() * ratio + kRatioTolerance));
    return QRect(left, top, DeviceLength(logical.left() + logical.width(), ratio) - left,
                 DeviceLength(logical.top() + logical.height(), ratio) - top);
}

QImage PictureForRatio(const QImage& single, const QImage& twice, qreal ratio) {
    ratio = SurfaceRatio(ratio);
    if (single.isNull() && twice.isNull()) {
        return {};
    }
    if (SameRatio(ratio, 1.0) && !single.isNull()) {
        return WithRatio(single, 1.0);
    }
    if (SameRatio(ratio, 2.0) && !twice.isNull()) {
        return WithRatio(twice, 2.0);
    }
    const QImage& source = twice.isNull() ? single : twice;
    const QSize logical =
        single.isNull() ? QSize((twice.width() + 1) / 2, (twice.height() + 1) / 2) : single.size();
    QImage scaled =
        source.scaled(DeviceLength(logical.width(), ratio), DeviceLength(logical.height(), ratio),
                      Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!source.hasAlphaChannel() && scaled.format() != source.format()) {
        scaled = scaled.convertToFormat(source.format());
    }
    return WithRatio(std::move(scaled), ratio);
}

namespace {

// Above ratio 1 the twin alone serves: the picture at scale 1 is not decoded at all.
template <typename Decode>
QImage LoadForRatio(const QString& name, qreal ratio, Decode decode) {
    QImage twice;
    if (SurfaceRatio(ratio) > 1.0 + kRatioTolerance) {
        twice = decode(TwiceName(name));
    }
    QImage single;
    if (twice.isNull()) {
        single = decode(name);
        if (single.isNull()) {
            twice = decode(TwiceName(name));
        }
    }
    return PictureForRatio(single, twice, ratio);
}

}  // namespace

QImage LoadPictureFile(const QString& path, qreal ratio) {
    return LoadForRatio(path, ratio, [](const QString& file) { return QImage(file); });
}

QImage LoadSkinPicture(SkinLookup& lookup, const std::filesystem::path& folder, const QString& name,
                       qreal ratio) {
    return LoadForRatio(name, ratio, [&](const QString& file) {
        QImage picture;
        if (auto path = lookup.find(folder, file.toStdString())) {
            picture.load(PathToQString(*path));
        }
        return picture;
    });
}

QImage NewSurface(QSize logical, qreal ratio, QImage::Format format) {
    ratio = SurfaceRatio(ratio);
    QImage surface(DeviceLength(logical.width(), ratio), DeviceLength(logical.height(), ratio),
                   format);
    surface.setDevicePixelRatio(ratio);
    return surface;
}

void DrawPart(QPainter& painter, QPoint at, const QImage& image, const QRect& source) {
    if (image.isNull() || source.isEmpty()) {
        return;
    }
    const qreal ratio = image.devicePixelRatio();
    if (SameRatio(ratio, 1.0)) {
        painter.drawImage(at, image, source);
        return;
    }
    painter.drawImage(QRectF(at, source.size()), image, QRectF(DeviceRect(source, ratio)));
}

}  // namespace tavrin
