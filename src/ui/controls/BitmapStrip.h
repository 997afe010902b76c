#pragma once

// A bitmap cut into equal frames, side by side or, when the bitmap is taller than wide, stacked
// top to bottom. Sizes and frames are in logical pixels, whatever the bitmap's device pixel ratio.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>

class QPainter;

namespace tavrin {

class BitmapStrip {
public:
    // A frame size of 0 stands for the whole bitmap's width or height. A null bitmap gives a
    // strip without frames.
    explicit BitmapStrip(QImage bitmap, int frameWidth = 0, int frameHeight = 0);
    static BitmapStrip FromResource(int resourceId, int frameWidth = 0, int frameHeight = 0);

    int frameCount() const { return frameCount_; }
    int frameWidth() const { return frameWidth_; }
    int frameHeight() const { return frameHeight_; }
    bool vertical() const { return vertical_; }
    const QImage& bitmap() const { return bitmap_; }

    // Where draw puts a frame in its target; (0, 0) unless set.
    void setDrawPosition(QPoint position) { drawPosition_ = position; }

    // nullopt for an index outside 0..frameCount - 1.
    std::optional<QRect> frameRect(int index) const;

    // Copies frame `index` unchanged (no blending) to the draw position; nothing for an index
    // without a frame.
    void draw(QPainter& target, int index) const;

private:
    QImage bitmap_;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int frameCount_ = 0;
    bool vertical_ = false;
    QPoint drawPosition_;
};

}  // namespace tavrin
