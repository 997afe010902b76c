#include "KeyboardPicture.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include "PixelOutline.h"
#include "SkinPalette.h"

namespace tavrin::skin {

namespace {

// The case reaches this far beyond the outermost caps; the bottom bezel carries the brand.
constexpr int kCaseMargin = 11;
constexpr int kCaseBottom = 22;
constexpr int kPlateMargin = 3;

QRect KeyRectangle(const KeyRect& r) {
    // The hit rectangle includes its right and bottom edges.
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

QRect CaseRectangle(const QRect& keys) {
    return keys.adjusted(-kCaseMargin, -kCaseMargin, kCaseMargin, kCaseBottom);
}

}  // namespace

KeyboardPicture::KeyboardPicture(const std::array<KeyRect, kPositionCount>& rects,
                                 const std::array<LabelPoint, kKeyTableSize>& anchors,
                                 const std::array<std::u16string_view, kKeyTableSize>& captions)
    : rects_(rects), anchors_(anchors), captions_(captions) {
    for (const KeyRect& r : rects_) {
        if (!r.isEmpty()) {
            keyBounds_ = keyBounds_.united(KeyRectangle(r));
        }
    }
}

QImage KeyboardPicture::draw(int width, int height, bool highlighted, int scale) const {
    QImage image(width * scale, height * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(kCard);
    drawCase(image);
    drawCaps(image, false);
    // The reflection shows the plain caps in both pictures, so that they differ only on the keys.
    drawReflection(image);
    if (highlighted) {
        drawCaps(image, true);
    }
    return image;
}

void KeyboardPicture::drawCase(QImage& image) const {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect body = CaseRectangle(keyBounds_);

    // A faint accent glow under the case; it fades out long before the picture's edges, so the
    // picture meets the card it is drawn on without a seam. The ellipse is 45 % as tall as wide.
    p.save();
    p.translate(QRectF(body).center());
    p.scale(1.0, 0.45);
    const qreal reach = body.width() * 0.6;
    QRadialGradient glow(QPointF(0, 0), reach);
    glow.setColorAt(0.0, QColor(30, 210, 255, 36));
    glow.setColorAt(0.5, QColor(30, 210, 255, 12));
    glow.setColorAt(1.0, QColor(30, 210, 255, 0));
    p.fillRect(QRectF(-reach, -reach, 2 * reach, 2 * reach), glow);
    p.restore();

    QPainterPath outline;
    outline.addRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0.0, QColor(0x26, 0x29, 0x2e));
    shell.setColorAt(0.15, QColor(kCase));
    shell.setColorAt(1.0, QColor(0x17, 0x19, 0x1c));
    p.setBrush(shell);
    p.setPen(QPen(QColor(0x3a, 0x3e, 0x45), 1));
    p.drawPath(outline);
    // Accent light strip along the case's front edge.
    p.setPen(QPen(QColor(30, 210, 255, 150), 1));
    p.drawLine(QPointF(body.left() + 14, body.bottom() - 0.5),
               QPointF(body.right() - 14, body.bottom() - 0.5));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kPlate));
    p.drawRoundedRect(QRectF(keyBounds_.adjusted(-kPlateMargin, -kPlateMargin, kPlateMargin + 1,
                                                 kPlateMargin + 1)),
                      3, 3);

    // Brand on the bottom bezel.
    QFont brand("Liberation Sans");
    brand.setPixelSize(9);
    brand.setBold(true);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(brand);
    p.setPen(QColor(kTextDim));
    const QRect bezel(body.left(), keyBounds_.bottom() + kPlateMargin + 2, body.width(),
                      body.bottom() - keyBounds_.bottom() - kPlateMargin - 3);
    p.drawText(bezel, Qt::AlignCenter, QStringLiteral("TAVRIN"));
    p.setBrush(QColor(kAccent));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(body.right() - 18, bezel.center().y() + 0.5), 2, 2);
}

void KeyboardPicture::drawCaps(QImage& image, bool highlighted) const {
    QPainter p(&image);
    const QRgb face = highlighted ? kKeyCapHot : kKeyCap;
    const QRgb bevel = highlighted ? kKeyBevelHot : kKeyBevel;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        if (rects_[i].isEmpty()) {
            continue;
        }
        const QRect cap = KeyRectangle(rects_[i]);
        // Crisp pixel drawing: edge ring, face, a two-pixel bevel at the top, corners rounded by
        // one pixel. The edge ring is the same in both pictures.
        p.fillRect(cap, QColor(kKeyEdge));
        p.fillRect(cap.adjusted(1, 1, -1, -1), QColor(face));
        p.fillRect(QRect(cap.left() + 2, cap.top() + 1, cap.width() - 4, 2), QColor(bevel));
        if (highlighted) {
            PixelOutline(p, cap.adjusted(1, 1, -2, -2), QColor(kAccent));
            p.fillRect(QRect(cap.left() + 2, cap.top() + 2, cap.width() - 4, 1),
                       QColor(kKeyBevelHot));
        }
        for (const QPoint corner : {cap.topLeft(), cap.topRight(), cap.bottomLeft()}) {
            p.fillRect(QRect(corner, QSize(1, 1)), QColor(kPlate));
        }
        // The bottom-right corner stays the edge colour: the highlight copy never reaches it.

        const std::u16string_view caption = captions_[i];
        if (caption.empty()) {
            continue;
        }
        const LabelPoint anchor = anchors_[i];
        // Anchors are relative to (270,80) of the window and the picture starts at (275,85).
        const int x = anchor.x - (kKeyboardOriginX - kLabelOriginX);
        const int y = anchor.y - (kKeyboardOriginY - kLabelOriginY);
        const QString text = QString::fromUtf16(caption.data(), qsizetype(caption.size()));
        QFont font("Liberation Sans");
        int size = 10;
        font.setPixelSize(size);
        // Long captions on short caps shrink until they fit inside the cap.
        while (size > 7 && x + QFontMetrics(font).horizontalAdvance(text) > cap.right() - 1) {
            font.setPixelSize(--size);
        }
        p.setFont(font);
        p.setPen(QColor(highlighted ? kText : kKeyLegend));
        p.setClipRect(cap.adjusted(1, 1, -2, -2));
        p.drawText(QRect(x, y, cap.right() - x, size + 4), Qt::AlignLeft | Qt::AlignTop, text);
        p.setClipping(false);
    }
}

void KeyboardPicture::drawReflection(QImage& image) const {
    // A mirrored, fading copy of the case below it, as on a glossy desk. It is tinted with the
    // accent only, so its pixels can never take a cap's colour.
    // It works on device pixels: at scale 2 every logical row is two mirrored rows.
    const QRect body = CaseRectangle(keyBounds_);
    const int scale = qRound(image.devicePixelRatio());
    const int logicalHeight = image.height() / scale;
    const int gap = 4;
    const int depth = std::min(body.height() / 2, logicalHeight - body.bottom() - gap - 1);
    if (depth <= 4) {
        return;
    }
    const QColor accent = QColor::fromRgb(kAccent);
    const int rows = depth * scale;
    const int bottom = (body.bottom() + 1) * scale - 1;
    const int below = (body.bottom() + gap) * scale;
    for (int row = 0; row < rows; ++row) {
        const int sourceY = bottom - row;
        const int targetY = below + row;
        const double fade = 0.32 * (1.0 - double(row) / rows);
        for (int x = body.left() * scale; x < (body.right() + 1) * scale; ++x) {
            const double a = fade * qGray(image.pixel(x, sourceY)) / 255.0;
            const QColor under = QColor::fromRgb(image.pixel(x, targetY));
            image.setPixel(x, targetY,
                           qRgb(int(under.red() + (accent.red() - under.red()) * a),
                                int(under.green() + (accent.green() - under.green()) * a),
                                int(under.blue() + (accent.blue() - under.blue()) * a)));
        }
    }
}

}  // namespace tavrin::skin
