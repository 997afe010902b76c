#include "ui/support/UiTestSupport.h"

#include <QDir>
#include <QPainter>
#include <QTest>
#include <stdexcept>

#include "platform/qt/QtConversions.h"
#include "ui/controls/DensePictures.h"

namespace tavrin::test {

QImage SolidImage(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QImage FrameStrip(QSize frameSize, const std::vector<QColor>& colours, bool vertical) {
    const int count = static_cast<int>(colours.size());
    QImage image(vertical ? QSize(frameSize.width(), frameSize.height() * count)
                          : QSize(frameSize.width() * count, frameSize.height()),
                 QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < count; ++i) {
        const QPoint origin =
            vertical ? QPoint(0, i * frameSize.height()) : QPoint(i * frameSize.width(), 0);
        painter.fillRect(QRect(origin, frameSize), colours[static_cast<std::size_t>(i)]);
    }
    return image;
}

QRgb LogicalPixel(const QImage& surface, QPoint logical) {
    const qreal ratio = surface.devicePixelRatio();
    return surface.pixel(static_cast<int>((logical.x() + 0.5) * ratio),
                         static_cast<int>((logical.y() + 0.5) * ratio));
}

QColor LogicalPixelColor(const QImage& surface, QPoint logical) {
    return QColor::fromRgba(LogicalPixel(surface, logical));
}

QImage LogicalCopy(const QImage& surface, const QRect& logical) {
    return surface.copy(DeviceRect(logical, surface.devicePixelRatio()));
}

void WritePng(const std::filesystem::path& path, const QImage& image) {
    std::filesystem::create_directories(path.parent_path());
    if (!image.save(PathToQString(path), "PNG")) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void ParkMouse(QWidget& window) {
    // Two different points: at most one of them is where the pointer already was.
    QTest::mouseMove(&window, QPoint(window.width() - 1, window.height() - 1));
    QTest::mouseMove(&window, QPoint(window.width() - 2, window.height() - 2));
}

void SaveScreenshotIfAsked(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("TAVRIN_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        return;
    }
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG");
}

}  // namespace tavrin::test
