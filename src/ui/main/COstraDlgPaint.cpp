// Composing the main window's surface.

#include <QFont>
#include <QPainter>
#include <algorithm>

#include "model/KeyTables.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/DensePictures.h"
#include "ui/controls/SkinFont.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

namespace {

QColor FromColorRef(QRgb bgr) {
    // Colours are given as 0x00BBGGRR.
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// Where texts may reach: the panel's right edge, the help pop-up's, the room left of Return.
constexpr int kPanelRight = 259;
constexpr int kPanelEdge = 261;  // the last column of the panel pictures
constexpr int kHelpTextRight = 993;
constexpr int kBusyTextRight = 797;

// List rows, as colour references.
constexpr QRgb kListHighlight = 0x000050;
constexpr QRgb kListRow = 0x3B3B3B;

}  // namespace

void COstraDlg::drawImage(QPainter& p, const QString& name, int x, int y) {
    const QImage& image = images_.image(name);
    if (!image.isNull()) {
        p.drawImage(x, y, image);
    }
}

void COstraDlg::drawText(QPainter& p, const QString& text, int x, int y, int height, int right,
                         QRgb colour) {
    // The height is the font's line height, as a Windows font height counts it.
    const QFont font = SkinFont(QStringLiteral("Arial"), height, QFont::Light);
    drawnTexts_.add(DrawSkinText(p, text, QRect(QPoint(x, y), QPoint(right, y + height - 1)), font,
                                 FromColorRef(colour)));
}

void COstraDlg::startSurfaceFrom(const QImage& base) {
    // One surface for every frame: a new 2.6 MB image per frame would cost its page faults on
    // every repaint.
    if (surface_.size() != base.size() || surface_.format() != base.format() ||
        surface_.devicePixelRatio() != base.devicePixelRatio()) {
        surface_ = base.copy();
        return;
    }
    QPainter p(&surface_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, base);
}

void COstraDlg::paintAll() {
    if (busy_) {
        drawnTexts_.clear();
        startSurfaceFrom(busyBase_);
        QPainter p(&surface_);
        paintBusy(p);
    } else {
        composeSurface();
        if (!notice_.isEmpty()) {
            // Where the busy bar's text stands: a word about something that waits.
            QPainter p(&surface_);
            drawText(p, notice_, 500, 594, 14, kBusyTextRight);
        }
    }
    update();
    AnnounceChanges(*this);
}

const QImage& COstraDlg::background() {
    // The part of the picture that never changes, the background with the logo and the keyboard
    // on it, is kept as one image rather than three: at ratio 2 the keyboard alone is 5 MB. Nothing
    // drawn before the keyboard overlaps the logo or the keyboard, so the order is kept.
    const bool fullSize = model_.layoutVariant == 1;
    if (!background_.isNull() && background_.devicePixelRatio() == images_.ratio() &&
        backgroundFullSize_ == fullSize) {
        return background_;
    }
    background_ = images_.decode(QStringLiteral("main.png"));
    backgroundFullSize_ = fullSize;
    if (!background_.isNull()) {
        QPainter p(&background_);
        const auto draw = [&](const QString& name, int x, int y) {
            const QImage picture = images_.decode(name);
            if (!picture.isNull()) {
                p.drawImage(x, y, picture);
            }
        };
        draw(QStringLiteral("logo.png"), 19, 35);
        draw(fullSize ? QStringLiteral("kb_BK.png") : QStringLiteral("kb_BK_87.png"),
             kKeyboardOriginX, kKeyboardOriginY);
    }
    return background_;
}

void COstraDlg::composeSurface() {
    drawnTexts_.clear();
    followScreenRatio();
    const QImage& background = this->background();
    if (background.isNull()) {
        // Nothing to draw on: the window shows an empty surface of its own size.
        surface_ = NewSurface(size(), images_.ratio(), QImage::Format_RGB32);
        surface_.fill(Qt::black);
        return;
    }
    startSurfaceFrom(background);
    QPainter p(&surface_);

    // 1. Title buttons.
    drawImage(p,
              state_.hovered(Region::Help) ? QStringLiteral("button-help-over.png")
                                           : QStringLiteral("button-help-normal.png"),
              936, 5);
    drawImage(p,
              state_.hovered(Region::Minimise) ? QStringLiteral("button-min-over.png")
                                               : QStringLiteral("button-min-normal.png"),
              957, 5);
    drawImage(p,
              state_.hovered(Region::Close) ? QStringLiteral("button-close-over.png")
                                            : QStringLiteral("button-close-normal.png"),
              978, 5);
    // 2. Logo and 3. keyboard picture are part of the background.
    // 4. Keyboard overlays.
    drawKeyboardOverlays(p);
    // 5. Bottom buttons, all three from the same pair of images.
    const std::pair<Region, int> bottom[] = {
        {Region::Return, 800}, {Region::Cancel, 862}, {Region::Save, 924}};
    for (const auto& [region, x] : bottom) {
        drawImage(p,
                  state_.hovered(region) ? QStringLiteral("button-cancel-over.png")
                                         : QStringLiteral("button-cancel-normal.png"),
                  x, 600);
    }
    // 6. Profile button.
    drawImage(p, QStringLiteral("Config.png"), 17, 603);
    // 7. Button texts.
    drawText(p, tr("Profile"), 45, 610, 16, 87);
    drawText(p, tr("Return"), 810, 607, 16, 855);
    drawText(p, tr("Cancel"), 872, 607, 16, 917);
    drawText(p, tr("Save"), 934, 607, 16, 979);
    // 8. Left panel.
    paintPanel(p);
    // 9. Help pop-up.
    if (state_.helpOpen) {
        paintHelp(p);
    }
    // 10. The focus ring, over everything else, while the keyboard moves the focus.
    paintFocusRing(p);
}

void COstraDlg::paintHelp(QPainter& p) {
    drawImage(p, QStringLiteral("HelpWindow.png"), 830, 22);
    drawText(p, QString::fromLatin1(kHomePageShown), 850, 25, 15, kHelpTextRight);
    drawText(p, tr("Update Firmware"), 850, 50, 15, kHelpTextRight);
    drawText(p, QStringLiteral("Ver: 1.4"), 850, 75, 15, kHelpTextRight);
}

void COstraDlg::paintPanel(QPainter& p) {
    const SectionLayout l = LayoutSections(state_.panel);
    const SettingsBlock& s = model_.settings;
    const bool lightOpen = !state_.panel.lightCollapsed;
    const std::uint8_t effect = s.effectCode();

    // Light.
    drawImage(p, QStringLiteral("itemBK.png"), 19, 110);
    drawText(p, tr("Light"), 19, 110, 15, kPanelRight);
    CBitSlider* speed = slider(kSpeedSliderId);
    CBitSlider* brightness = slider(kBrightnessSliderId);
    if (lightOpen) {
        drawImage(p, QStringLiteral("LEDEffect_open.png"), 19, 130);
        drawText(p, tr("Effect"), 28, 137, 15, kPanelRight);
        drawImage(p, QStringLiteral("Light_Item.png"), 28, 158);
        if (auto name = EffectNameForCode(effect, model_.chinese())) {
            drawText(p, QString::fromUtf16(name->data(), static_cast<qsizetype>(name->size())), 28,
                     158, 14, 247);
        }
        const bool withSpeed = effect >= 1 && effect <= 49;
        if (withSpeed) {
            drawImage(p, QStringLiteral("freq.png"), 19, 245);
            if (speed) {
                speed->setVisible(!state_.listOpen());
                paintSlider(p, *speed);
            }
            drawText(p, tr("Speed"), 28, 290, 13, kPanelRight);
            drawText(p, tr("Slow"), 28, 317, 13, 227);
            drawText(p, tr("Fast"), 230, 317, 13, kPanelRight);
        } else if (speed) {
            speed->hide();
        }
        drawText(p, tr("Brightness"), 28, 247, 13, kPanelRight);
        drawText(p, tr("Dark"), 28, 274, 13, 227);
        drawText(p, tr("Bright"), 230, 274, 13, kPanelRight);
        if (brightness) {
            brightness->setVisible(!state_.listOpen());
            if (!state_.listOpen()) {
                paintSlider(p, *brightness);
            }
        }
        if (effect == 2) {
            drawText(p, tr("Direction"), 29, 177, 15, kPanelRight);
            drawImage(p, QStringLiteral("Direction-T-Disable.png"), 29, 197);
            drawImage(p, QStringLiteral("Direction-B-Disable.png"), 79, 197);
            drawImage(p, QStringLiteral("Direction-R-Disable.png"), 129, 197);
            drawImage(p, QStringLiteral("Direction-L-Disable.png"), 179, 197);
            switch (s.directionCode()) {
                case 0:
                    drawImage(p, QStringLiteral("Direction-L-Enable.png"), 179, 197);
                    break;
                case 1:
                    drawImage(p, QStringLiteral("Direction-R-Enable.png"), 129, 197);
                    break;
                case 2:
                    drawImage(p, QStringLiteral("Direction-B-Enable.png"), 79, 197);
                    break;
                case 3:
                    drawImage(p, QStringLiteral("Direction-T-Enable.png"), 29, 197);
                    break;
                default:
                    break;
            }
        }
        if (effect >= kFirstDiyEffect) {
            drawImage(p,
                      state_.diyView ? QStringLiteral("Disable.png") : QStringLiteral("Enable.png"),
                      28, 199);
            drawImage(p,
                      state_.diyView ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"),
                      130, 199);
            drawText(p, QStringLiteral("Keymap"), 45, 197, 15, 127);
            drawText(p, QStringLiteral("DIY"), 147, 197, 15, kPanelRight);
        }
    } else {
        if (speed) {
            speed->hide();
        }
        if (brightness) {
            brightness->hide();
        }
    }

    // Macro Management.
    drawImage(p, QStringLiteral("MacroManagementBK.png"), 19, l.yMacro);
    drawImage(p, QStringLiteral("MacroButton3.png"), 19, l.yMacro + 10);
    drawText(p, tr("Macro Management"), 21, l.yMacro + 12, 15, kPanelRight);

    // Game Mode and Win Lock.
    if (state_.panel.gameCollapsed) {
        drawImage(p, QStringLiteral("gamemode_Close.png"), 19, l.yGame);
        drawText(p, tr("Game Mode"), 19, l.yGame, 15, 147);
        // The Chinese skin's closed header has the Game Mode title only.
        if (!model_.chinese()) {
            drawText(p, tr("Win Lock"), 149, l.yGame, 15, kPanelRight);
        }
    } else {
        drawImage(p, QStringLiteral("gamemode_open.png"), 19, l.yGame);
        drawText(p, tr("Game Mode"), 19, l.yGame, 15, 147);
        drawText(p, tr("Win Lock"), 149, l.yGame, 15, kPanelRight);
        const auto radios = [&](bool on, int x) {
            drawImage(p, on ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), x,
                      l.yGame + 33);
            drawImage(p, on ? QStringLiteral("Disable.png") : QStringLiteral("Enable.png"), x + 54,
                      l.yGame + 33);
            drawText(p, tr("ON"), x + 17, l.yGame + 31, 15, x + 52);
            drawText(p, tr("OFF"), x + 71, l.yGame + 31, 15, std::min(x + 127, kPanelEdge));
        };
        radios(s.gameMode() != 0, 34);
        radios(s.winLock() != 0, 164);
    }

    // Response Time.
    const QString responseTitle = tr("Response Time");
    if (state_.panel.responseCollapsed) {
        drawImage(p, QStringLiteral("responsetime_close.png"), 19, l.yResponse);
        drawText(p, responseTitle, 19, l.yResponse, 15, kPanelRight);
    } else {
        drawImage(p, QStringLiteral("responsetime_open.png"), 19, l.yResponse);
        drawText(p, responseTitle, 19, l.yResponse, 15, kPanelRight);
        drawImage(p, QStringLiteral("Light_Item.png"), 28, l.yResponse + 28);
        drawText(p, QStringLiteral("%1 ms").arg(2 * s.responseTime()), 100, l.yResponse + 28, 15,
                 247);
    }

    // USB Report Rate.
    const QString reportTitle = tr("USB Report Rate");
    CBitSlider* report = slider(kReportSliderId);
    if (state_.panel.reportCollapsed) {
        drawImage(p, QStringLiteral("reportrate_Close.png"), 19, l.yReport);
        drawText(p, reportTitle, 19, l.yReport, 15, kPanelRight);
        if (report) {
            report->hide();
        }
    } else {
        drawImage(p, QStringLiteral("reportrate_Open.png"), 19, l.yReport);
        drawText(p, reportTitle, 19, l.yReport, 15, kPanelRight);
        if (report) {
            if (reportSliderPlacedFor_ != l.yReport) {
                report->move(28, l.yReport + 23);
                reportSliderPlacedFor_ = l.yReport;
            }
            paintSlider(p, *report);
            report->show();
        }
    }

    paintLists(p, l);
}

void COstraDlg::paintLists(QPainter& p, const SectionLayout& l) {
    // A row fills (left, top)-(right, top + 20) with the right and bottom edges excluded.
    const auto row = [&](int left, int top, int right, bool lit) {
        p.fillRect(QRect(left, top, right - left, kListRowHeight),
                   FromColorRef(lit ? kListHighlight : kListRow));
    };
    if (state_.effectListOpen) {
        for (int i = 0; i < static_cast<int>(kEffectCount); ++i) {
            const int top = kEffectListTop + kListRowHeight * i;
            row(28, top, 248, state_.effectListRow == i);
            const auto name = EffectName(static_cast<std::size_t>(i), model_.chinese());
            drawText(p, QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())), 28,
                     top, 18, 247);
        }
    } else if (state_.responseListOpen) {
        const int top0 = l.responseListY();
        for (int i = 0; i < kResponseRows; ++i) {
            const int top = top0 + kListRowHeight * i;
            row(27, top, 247, state_.responseListRow == i);
            drawText(p, QStringLiteral("%1ms").arg(2 * (i + 1)), 97, top, 18, 246);
        }
    }
}

}  // namespace tavrin
