#include "ui/controls/CBitSlider.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "device/MessageTarget.h"
#include "device/WindowMessages.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CBitWnd.h"
#include "ui/controls/DensePictures.h"

namespace tavrin {

CBitSlider::CBitSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setMouseTracking(true);
}

CBitSlider::~CBitSlider() = default;

void CBitSlider::CreateThumb() {
    CreateThumb(LoadBitmapResource(kBitmapSliderThumb, devicePixelRatioF()));
}

void CBitSlider::CreateThumb(QImage thumbBitmap) {
    if (thumb_ != nullptr) {
        return;
    }
    thumb_ = new CBitWnd(this);
    thumb_->setObjectName(QStringLiteral("sliderThumb"));
    thumb_->setStrip(
        std::make_unique<BitmapStrip>(std::move(thumbBitmap), kThumbWidth, kThumbHeight));
    thumb_->setGeometry(0, 0, kThumbWidth, kThumbHeight);
    thumb_->setForwardMouse(true);
    thumb_->hide();
}

void CBitSlider::SetBitmaps() {
    const qreal ratio = devicePixelRatioF();
    SetBitmaps(LoadBitmapResource(kBitmapSliderEmpty, ratio),
               LoadBitmapResource(kBitmapSliderFilled, ratio));
}

void CBitSlider::SetBitmaps(QImage emptyTrack, QImage filledTrack) {
    emptyTrack_ = std::make_unique<BitmapStrip>(std::move(emptyTrack));
    filledTrack_ = std::make_unique<BitmapStrip>(std::move(filledTrack));
    const QImage& filled = filledTrack_->bitmap();
    // A slider without its bitmap would shrink to nothing and could no longer be used.
    if (!filled.isNull()) {
        resize(LogicalSize(filled));
    }
}

void CBitSlider::SetPos(int value) {
    setValue(value);
    update();
}

QRect CBitSlider::channelRect() const {
    const int left = kChannelInset;
    const int right = std::max(left, width() - kChannelInset);
    const int top = std::max(0, height() / 2 - 2);
    return QRect(left, top, right - left, 4);
}

QRect CBitSlider::trackbarThumbRect() const {
    const QRect channel = channelRect();
    const int travel = std::max(0, channel.width() - kTrackThumbWidth);
    const int range = maximum() - minimum();
    const int left = channel.x() + (range > 0 ? travel * (value() - minimum()) / range : 0);
    return QRect(left, 0, kTrackThumbWidth, height());
}

QRect CBitSlider::thumbRect() const {
    const QSize thumbSize = thumb_ != nullptr ? thumb_->size() : QSize(kThumbWidth, kThumbHeight);
    const QRect track = trackbarThumbRect();
    const int left = track.x() + (thumbSize.width() - track.width()) / 2;
    return QRect(left, thumbOffset_, thumbSize.width(), thumbSize.height());
}

int CBitSlider::positionAt(int x) const {
    const QRect channel = channelRect();
    const int width = channel.width();
    if (width <= 0) {
        return minimum();
    }
    // The client rectangle's left edge is 0 in the slider's own coordinates.
    const long long d = x - channel.x();
    const long long scaled = static_cast<long long>(maximum() - minimum()) * d;
    long long position = scaled / width;
    const long long remainder = scaled - position * width;
    if (2 * remainder >= width) {
        ++position;  // the exact share exceeds the truncated one by 0.5 or more
    }
    // The range minimum is not added: every slider of the system starts at 0.
    return static_cast<int>(std::clamp<long long>(position, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

int CBitSlider::dragPositionAt(int x) const {
    const QRect channel = channelRect();
    const int travel = channel.width() - kTrackThumbWidth;
    if (travel <= 0) {
        return minimum();
    }
    const double share = static_cast<double>(x - channel.x() - kTrackThumbWidth / 2) / travel;
    return minimum() + static_cast<int>(std::floor(share * (maximum() - minimum()) + 0.5));
}

void CBitSlider::publish() {
    const QRect rect = thumbRect();
    thumbX_ = rect.x() - kPublishedShift;
    thumbY_ = rect.y();
    if (target_ != nullptr) {
        target_->send(WM_SLIDER_MOVED, static_cast<std::uintptr_t>(controlId_), 0);
    }
    if (thumb_ != nullptr) {
        thumb_->hide();
    }
}

void CBitSlider::paintEvent(QPaintEvent*) {
    // Nothing is drawn and nothing erased: the main window paints the slider.
    publish();
}

void CBitSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int x = static_cast<int>(event->position().x());
    // As a trackbar does: take the focus and follow the pointer while the button is down.
    if (focusPolicy() & Qt::ClickFocus) {
        setFocus(Qt::MouseFocusReason);
    }
    dragging_ = true;
    setSliderDown(true);
    // Then the click itself sets the position under the pointer.
    setValue(positionAt(x));
    update();
    event->accept();
}

void CBitSlider::mouseMoveEvent(QMouseEvent* event) {
    publish();
    if (dragging_) {
        setValue(dragPositionAt(static_cast<int>(event->position().x())));
    }
    event->accept();
}

void CBitSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setSliderDown(false);
    }
    event->accept();
}

void CBitSlider::wheelEvent(QWheelEvent* event) {
    // The wheel changes nothing.
    event->accept();
}

}  // namespace tavrin
