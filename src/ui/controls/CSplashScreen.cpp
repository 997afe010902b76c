#include "ui/controls/CSplashScreen.h"

#include <QPainter>
#include <algorithm>

#include "model/ProgramDirectory.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/DensePictures.h"

namespace tavrin {

CSplashScreen::CSplashScreen(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splashScreen"));
    setModal(true);
    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &CSplashScreen::tick);
    setPicturePath(std::nullopt);
}

std::optional<std::filesystem::path> CSplashScreen::PicturePath(
    SkinLookup& skins, const std::filesystem::path& skinFolder) {
    return skins.find(skinFolder, "SplashScreen.png");
}

void CSplashScreen::setPicturePath(const std::optional<std::filesystem::path>& path) {
    picture_ = path ? LoadPictureFile(PathToQString(*path), devicePixelRatioF()) : QImage();
    // The window takes the picture's size; without a picture it is as small as it can be.
    const QSize size = LogicalSize(picture_);
    setFixedSize(std::max(1, size.width()), std::max(1, size.height()));
}

void CSplashScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timer_.start();
}

void CSplashScreen::hideEvent(QHideEvent* event) {
    timer_.stop();
    QDialog::hideEvent(event);
}

void CSplashScreen::paintEvent(QPaintEvent*) {
    if (!picture_.isNull()) {
        QPainter(this).drawImage(0, 0, picture_);
    }
}

void CSplashScreen::tick() {
    if (ticks_ > kLastQuietTick) {
        accept();
    }
    ++ticks_;
}

}  // namespace tavrin
