#pragma once

// The trackbar of the main window's speed, brightness and report-rate settings. It keeps the
// value, the range and the mouse handling of a trackbar but draws nothing: after every paint and
// every pointer movement it publishes where its thumb is and sends WM_SLIDER_MOVED with its
// control id to the main window, which draws the track and the thumb.

#include <QImage>
#include <QRect>
#include <QSlider>
#include <memory>
#include <optional>

#include "ui/controls/BitmapStrip.h"

namespace tavrin {

class CBitWnd;
class MessageTarget;

class CBitSlider : public QSlider {
    Q_OBJECT

public:
    // The trackbar's own geometry: the channel is inset from both ends, and its thumb is
    // kTrackThumbWidth wide; the published position is taken from that thumb.
    static constexpr int kChannelInset = 8;
    static constexpr int kTrackThumbWidth = 11;
    static constexpr int kThumbWidth = 15;
    static constexpr int kThumbHeight = 14;
    static constexpr int kPublishedShift = 10;  // thumbX is the thumb's left edge minus this

    explicit CBitSlider(QWidget* parent = nullptr);
    ~CBitSlider() override;

    // The hidden thumb window, from bitmap 141 (or the given bitmap), 15 x 14; once only.
    void CreateThumb();
    void CreateThumb(QImage thumbBitmap);
    // The track strips from bitmaps 139 (empty) and 140 (filled); the slider takes the size of
    // the filled one, keeping its position. A bitmap that did not load leaves the size alone.
    void SetBitmaps();
    void SetBitmaps(QImage emptyTrack, QImage filledTrack);
    // Sets the position and repaints, which publishes it.
    void SetPos(int value);

    int controlId() const { return controlId_; }
    void setControlId(int id) { controlId_ = id; }
    void setThumbOffset(int offset) { thumbOffset_ = offset; }
    // Where WM_SLIDER_MOVED goes: always the main window, whatever the slider's parent.
    void setMessageTarget(MessageTarget* target) { target_ = target; }

    // The published thumb position, relative to the slider's top-left corner.
    int thumbX() const { return thumbX_; }
    int thumbY() const { return thumbY_; }

    // The trackbar's channel K and thumb T, in the slider's client coordinates.
    QRect channelRect() const;
    QRect trackbarThumbRect() const;
    // The thumb window's rectangle centred on T.
    QRect thumbRect() const;

    // The position a click at x sets: the share of the channel, rounded half up.
    int positionAt(int x) const;

    CBitWnd* thumb() const { return thumb_; }
    const BitmapStrip* emptyTrack() const { return emptyTrack_.get(); }
    const BitmapStrip* filledTrack() const { return filledTrack_.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void publish();
    int dragPositionAt(int x) const;

    CBitWnd* thumb_ = nullptr;  // a child, deleted with the slider
    std::unique_ptr<BitmapStrip> emptyTrack_;
    std::unique_ptr<BitmapStrip> filledTrack_;
    MessageTarget* target_ = nullptr;
    int controlId_ = 0;
    int thumbOffset_ = 0;
    int thumbX_ = 0;
    int thumbY_ = 0;
    bool dragging_ = false;
};

}  // namespace tavrin
