// The keyboard picture: key hit test, the Keymap and DIY views, and the key click.

#include <QApplication>
#include <QPainter>

#include "model/KeyHitTest.h"
#include "model/KeyTables.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/DensePictures.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

namespace {

constexpr std::size_t kWinPosition = 96;
constexpr std::size_t kFnPosition = 100;

// 0x00BBGGRR colours of the DIY view.
constexpr QColor kLitFill(0x00, 0x00, 0xFF);       // 0xFF0000: blue
constexpr QRgb kLitCaption = 0xFF00FF;             // magenta
constexpr QColor kHoverOutline(0xFF, 0xFF, 0xFF);  // white

}  // namespace

std::uint8_t COstraDlg::hitKey(int x, int y) const {
    const auto hit = HitKeyRect(KeyRectsFor(model_.layoutVariant), x, y);
    if (!hit) {
        return kNoKey;
    }
    // Win and Fn cannot be given another meaning; in the DIY view they can still be lit.
    if (!state_.diyView && (*hit == kWinPosition || *hit == kFnPosition)) {
        return kNoKey;
    }
    return static_cast<std::uint8_t>(*hit);
}

void COstraDlg::copyHighlight(QPainter& p, std::size_t position) {
    const KeyRect& r = KeyRectsFor(model_.layoutVariant)[position];
    if (r.isEmpty()) {
        return;
    }
    const QImage& highlight = images_.image(
        model_.layoutVariant == 1 ? QStringLiteral("kb_hl.png") : QStringLiteral("kb_hl_87.png"));
    if (highlight.isNull()) {
        return;
    }
    DrawPart(p, QPoint(kKeyboardOriginX + r.left, kKeyboardOriginY + r.top), highlight,
             QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

void COstraDlg::drawKeyboardOverlays(QPainter& p) {
    const auto& rects = KeyRectsFor(model_.layoutVariant);
    const std::uint8_t selected = model_.selectedKey;
    if (!state_.diyView) {
        if (selected < kPositionCount) {
            copyHighlight(p, selected);
        }
        model_.keyChangedFlags[kWinPosition] = 0;
        for (std::size_t i = 0; i < kPositionCount; ++i) {
            if (model_.keyChangedFlags[i] != 0) {
                copyHighlight(p, i);
            }
        }
        return;
    }
    const std::uint8_t effect = model_.settings.effectCode();
    if (effect < kFirstDiyEffect || effect >= kFirstDiyEffect + SettingsBlock::kDiyTableCount) {
        return;  // no DIY layer belongs to this effect
    }
    const auto layer = model_.settings.diyTable(effect - kFirstDiyEffect);
    const auto& labels = KeyLabelsFor(model_.layoutVariant);
    const auto& anchors = LabelPointsFor(model_.layoutVariant);
    for (std::size_t i = 0; i < kMatrixPositionCount; ++i) {
        const KeyRect& r = rects[i];
        // A lit key that is not on this layout's picture has nowhere to be drawn.
        if (layer[LedIndexTable[i]] == 0 || r.isEmpty()) {
            continue;
        }
        p.fillRect(QRect(kKeyboardOriginX + r.left, kKeyboardOriginY + r.top, r.right - r.left,
                         r.bottom - r.top),
                   kLitFill);
        const std::u16string_view caption = labels[i];
        drawText(p, QString::fromUtf16(caption.data(), static_cast<qsizetype>(caption.size())),
                 anchors[i].x + kLabelOriginX, anchors[i].y + kLabelOriginY, 10,
                 kKeyboardOriginX + r.right, kLitCaption);
    }
    model_.keyChangedFlags[kWinPosition] = 0;
    if (selected < kPositionCount && !rects[selected].isEmpty()) {
        const KeyRect& r = rects[selected];
        // Corners (273 + left, 83 + top) and (276 + right, 86 + bottom), both on the line.
        const int x0 = kKeyboardOriginX - 2 + r.left;
        const int y0 = kKeyboardOriginY - 2 + r.top;
        const int x1 = kKeyboardOriginX + 1 + r.right;
        const int y1 = kKeyboardOriginY + 1 + r.bottom;
        p.fillRect(QRect(x0, y0, x1 - x0 + 1, 1), kHoverOutline);
        p.fillRect(QRect(x0, y1, x1 - x0 + 1, 1), kHoverOutline);
        p.fillRect(QRect(x0, y0, 1, y1 - y0 + 1), kHoverOutline);
        p.fillRect(QRect(x1, y0, 1, y1 - y0 + 1), kHoverOutline);
    }
}

void COstraDlg::clickKey(int x, int y) {
    activateKey(hitKey(x, y));
}

void COstraDlg::activateKey(std::uint8_t key) {
    model_.selectedKey = key;
    if (key == kNoKey) {
        return;
    }
    if (!state_.diyView) {
        if (keyAssignmentDialog_ && key < kMatrixPositionCount) {
            keyAssignmentDialog_();
        }
        return;
    }
    const std::uint8_t effect = model_.settings.effectCode();
    // A configuration load may have left the DIY view on for an effect without a layer.
    if (effect < kFirstDiyEffect || effect >= kFirstDiyEffect + SettingsBlock::kDiyTableCount ||
        key >= kMatrixPositionCount) {
        return;
    }
    std::uint8_t& light = model_.settings.diyTable(effect - kFirstDiyEffect)[LedIndexTable[key]];
    light = light != 0 ? 0x00 : 0xFF;
}

void COstraDlg::setBusy(bool busy, const QString& what) {
    if (busy == busy_) {
        return;
    }
    if (busy) {
        // Composed once, before the sequence takes the model: painting while it runs must
        // neither read nor write the model (the sliders store their positions when painted).
        paintAll();
        busyBase_ = surface_;
    }
    busy_ = busy;
    busyText_ = what;
    busyFrame_ = 0;
    for (CBitSlider* s : sliders_) {
        if (s) {
            s->setEnabled(!busy);
        }
    }
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busyTimer_.start(100);
    } else {
        busyTimer_.stop();
        QApplication::restoreOverrideCursor();
        busyBase_ = QImage();
    }
    paintAll();
}

void COstraDlg::paintBusy(QPainter& p) {
    // A bar whose lit segment runs left to right while the keyboard is busy, left of Return.
    constexpr int kLeft = 500;
    constexpr int kTop = 614;
    constexpr int kWidth = 280;
    constexpr int kHeight = 6;
    constexpr int kSegment = 60;
    p.fillRect(QRect(kLeft, kTop, kWidth, kHeight), QColor(0x3B, 0x3B, 0x3B));
    const int offset = (busyFrame_ * 14) % (kWidth + kSegment) - kSegment;
    const QRect segment = QRect(kLeft + offset, kTop, kSegment, kHeight)
                              .intersected(QRect(kLeft, kTop, kWidth, kHeight));
    p.fillRect(segment, QColor(0x00, 0xB4, 0xFF));
    drawText(p, busyText_, kLeft, kTop - 20, 14, kLeft + kWidth - 1);
}

}  // namespace tavrin
