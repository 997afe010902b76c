#include "ui/main/COstraDlg.h"

#include <QPaintEvent>
#include <QPainter>

#include "device/WindowMessages.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/DensePictures.h"

namespace tavrin {

COstraDlg::COstraDlg(Model& model, ProgramPaths paths, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      model_(model),
      paths_(std::move(paths)),
      lookup_(paths_.skinRoots),
      images_(lookup_, model_.skinFolder()) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tavrin Gaming Keyboard"));
    setWindowIcon(LoadIconResource(kIconProgram));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    InstallSkinAccessibility();
    createSliders();
    followScreenRatio();
    connect(&busyTimer_, &QTimer::timeout, this, [this] {
        ++busyFrame_;
        paintAll();
    });
    // Read from the picture's header: the background is composed once the layout is known.
    resize(images_.logicalSize(QStringLiteral("main.png")));
}

void COstraDlg::followScreenRatio() {
    const qreal ratio = SurfaceRatio(devicePixelRatioF());
    if (ratio == tracksRatio_) {
        return;
    }
    images_.setRatio(ratio);
    // The track bitmaps are drawn at every slider paint; decode them once per ratio.
    filledTrack_ = LoadBitmapResource(kBitmapSliderFilled, ratio);
    emptyTrack_ = LoadBitmapResource(kBitmapSliderEmpty, ratio);
    tracksRatio_ = ratio;
}

COstraDlg::~COstraDlg() = default;

void COstraDlg::createSliders() {
    // Control ids in the order of sliders_: speed, brightness, report rate, and two hidden ones.
    const int ids[] = {kSpeedSliderId, kBrightnessSliderId, kReportSliderId, kHiddenSlider1018,
                       kHiddenSlider1019};
    const QPoint places[] = {{28, 303}, {28, 260}, {28, 313}, {350, 560}, {0, 0}};
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        auto* s = new CBitSlider(this);
        s->setObjectName(QStringLiteral("slider%1").arg(ids[i]));
        s->setGeometry(places[i].x(), places[i].y(), 30, 10);
        s->hide();
        sliders_[i] = s;
    }
    const auto setUp = [this](std::size_t i, int id, int max, std::optional<int> pos) {
        CBitSlider* s = sliders_[i];
        s->CreateThumb();
        s->SetBitmaps();
        s->setThumbOffset(0);
        s->setRange(0, max);
        s->setSingleStep(1);
        s->setPageStep(1);
        if (pos) {
            s->SetPos(*pos);
        }
        s->setControlId(id);
        s->setMessageTarget(this);
    };
    setUp(0, kSpeedSliderId, 4, std::nullopt);
    setUp(1, kBrightnessSliderId, 4, 1);
    setUp(2, kReportSliderId, 3, 1);
    setUp(3, kHiddenSlider1018, 3, 1);
    sliders_[4]->setMessageTarget(this);
    // A slider's value goes into the model when it changes, by the user or from the model; the
    // painting only draws it.
    const auto follow = [this](CBitSlider* s, void (SettingsBlock::*set)(std::uint8_t)) {
        connect(s, &QSlider::valueChanged, this, [this, set](int value) {
            (model_.settings.*set)(static_cast<std::uint8_t>(value));
        });
    };
    // Their names, and the ring that follows their focus; the hidden two are never reached.
    sliders_[0]->setAccessibleName(tr("Speed"));
    sliders_[1]->setAccessibleName(tr("Brightness"));
    sliders_[2]->setAccessibleName(tr("USB Report Rate"));
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        sliders_[i]->setFocusPolicy(i < 3 ? Qt::StrongFocus : Qt::NoFocus);
        sliders_[i]->installEventFilter(this);
    }
    follow(sliders_[0], &SettingsBlock::setSpeedLevel);
    follow(sliders_[1], &SettingsBlock::setBrightnessLevel);
    follow(sliders_[2], &SettingsBlock::setReportInterval);
}

CBitSlider* COstraDlg::slider(int controlId) const {
    for (CBitSlider* s : sliders_) {
        if (s && s->controlId() == controlId) {
            return s;
        }
    }
    return nullptr;
}

void COstraDlg::setSliderPositions() {
    if (CBitSlider* s = slider(kBrightnessSliderId)) {
        s->SetPos(model_.settings.brightnessLevel());
    }
    if (CBitSlider* s = slider(kSpeedSliderId)) {
        s->SetPos(model_.settings.speedLevel());
    }
    if (CBitSlider* s = slider(kReportSliderId)) {
        s->SetPos(model_.settings.reportInterval());
    }
}

void COstraDlg::paintEvent(QPaintEvent* event) {
    // A window moved to a screen of another density is composed again for it; while busy, the
    // frozen picture is shown as it is.
    if (surface_.isNull() ||
        (!busy_ && surface_.devicePixelRatio() != SurfaceRatio(devicePixelRatioF()))) {
        composeSurface();
    }
    QPainter p(this);
    DrawPart(p, event->rect().topLeft(), surface_, event->rect());
}

std::intptr_t COstraDlg::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
    if (message == WM_SLIDER_MOVED) {
        onSliderMoved(static_cast<int>(wParam));
    }
    return 0;
}

void COstraDlg::onSliderMoved(int controlId) {
    // Any id but speed and brightness means the report-rate slider.
    if (controlId != kSpeedSliderId && controlId != kBrightnessSliderId) {
        controlId = kReportSliderId;
    }
    const std::size_t index = controlId == kSpeedSliderId        ? 0
                              : controlId == kBrightnessSliderId ? 1
                                                                 : 2;
    CBitSlider* s = slider(controlId);
    if (!s || surface_.isNull() || busy_) {
        return;
    }
    if (s->value() != lastSliderPosition_[index]) {
        QPainter p(&surface_);
        paintSlider(p, *s);
        p.end();
        lastSliderPosition_[index] = s->value();
        update(s->geometry());
    }
}

void COstraDlg::paintSlider(QPainter& p, CBitSlider& s) {
    const int position = s.value();
    int tx = s.thumbX();
    int ty = s.thumbY();
    if (s.controlId() != kSpeedSliderId && s.controlId() != kBrightnessSliderId) {
        tx = std::clamp(tx, 0, 205);
        ty = std::max(ty, 0);
        if (position == 0) {
            tx += 2;
        }
    }
    const QRect r = s.geometry();
    const QImage& filled = filledTrack_;
    const QImage& empty = emptyTrack_;
    if (tx > 0) {
        DrawPart(p, QPoint(r.left(), r.top()), filled, QRect(0, 0, tx, r.height()));
    }
    if (r.width() - tx > 0) {
        DrawPart(p, QPoint(r.left() + tx, r.top()), empty,
                 QRect(tx, 0, r.width() - tx, r.height()));
    }
    drawImage(p, QStringLiteral("Thumb.png"), r.left() + tx, r.top() + ty + 1);
}

}  // namespace tavrin
