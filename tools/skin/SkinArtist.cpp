#include "SkinArtist.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include "KeyboardPicture.h"
#include "PixelOutline.h"
#include "SkinPalette.h"
#include "model/KeyTables.h"

namespace tavrin::skin {

namespace {

enum class Direction { Up, Down, Left, Right };

QColor C(QRgb rgb) {
    return QColor::fromRgb(rgb);
}

QColor WithAlpha(QRgb rgb, int alpha) {
    QColor c = QColor::fromRgb(rgb);
    c.setAlpha(alpha);
    return c;
}

// Every skin picture is opaque: the windows copy them without blending. At scale 2 the canvas
// has twice the pixels and a device pixel ratio of 2, so the drawing code keeps to the logical
// coordinates of the table and Qt renders shapes and text at the real pixel size.
QImage Canvas(int width, int height, int scale, QRgb background) {
    QImage image(width * scale, height * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(background);
    return image;
}

QFont LatinFont(int pixels, bool bold = false) {
    QFont font("Liberation Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

constexpr const char* kContext = "tavrin::skin::SkinArtist";
constexpr const char* kLatinFamily = "Liberation Sans";
// A translation names the font that has its script's letters.
constexpr struct {
    const char* source;
    const char* comment;
} kFontText = QT_TRANSLATE_NOOP3("tavrin::skin::SkinArtist", "Liberation Sans",
                                 "The font family of this language's words in the skin pictures");

void Antialiased(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// A rounded box whose 1-pixel border lies on the pixel grid.
void Box(QPainter& p, const QRect& r, qreal radius, const QBrush& fill, const QColor& border) {
    p.setPen(border.alpha() == 0 ? QPen(Qt::NoPen) : QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

QLinearGradient Vertical(const QRect& r, QRgb top, QRgb bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, C(top));
    g.setColorAt(1.0, C(bottom));
    return g;
}

void Chevron(QPainter& p, QPointF c, qreal s, Direction d, const QColor& colour) {
    QPen pen(colour, 1.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPolygonF line;
    switch (d) {
        case Direction::Right:
            line << QPointF(c.x() - s / 2, c.y() - s) << QPointF(c.x() + s / 2, c.y())
                 << QPointF(c.x() - s / 2, c.y() + s);
            break;
        case Direction::Down:
            line << QPointF(c.x() - s, c.y() - s / 2) << QPointF(c.x(), c.y() + s / 2)
                 << QPointF(c.x() + s, c.y() - s / 2);
            break;
        case Direction::Left:
            line << QPointF(c.x() + s / 2, c.y() - s) << QPointF(c.x() - s / 2, c.y())
                 << QPointF(c.x() + s / 2, c.y() + s);
            break;
        case Direction::Up:
            line << QPointF(c.x() - s, c.y() + s / 2) << QPointF(c.x(), c.y() - s / 2)
                 << QPointF(c.x() + s, c.y() + s / 2);
            break;
    }
    p.drawPolyline(line);
}

// A solid arrow (head and stem) inside r, pointing d.
void Arrow(QPainter& p, const QRectF& r, Direction d, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const qreal cx = r.center().x();
    const qreal cy = r.center().y();
    const qreal hw = r.width() / 2;
    const qreal hh = r.height() / 2;
    QPolygonF shape;
    switch (d) {
        case Direction::Up:
            shape << QPointF(cx, r.top()) << QPointF(cx + hw, cy) << QPointF(cx + hw * 0.36, cy)
                  << QPointF(cx + hw * 0.36, r.bottom()) << QPointF(cx - hw * 0.36, r.bottom())
                  << QPointF(cx - hw * 0.36, cy) << QPointF(cx - hw, cy);
            break;
        case Direction::Down:
            shape << QPointF(cx, r.bottom()) << QPointF(cx + hw, cy) << QPointF(cx + hw * 0.36, cy)
                  << QPointF(cx + hw * 0.36, r.top()) << QPointF(cx - hw * 0.36, r.top())
                  << QPointF(cx - hw * 0.36, cy) << QPointF(cx - hw, cy);
            break;
        case Direction::Left:
            shape << QPointF(r.left(), cy) << QPointF(cx, cy - hh) << QPointF(cx, cy - hh * 0.36)
                  << QPointF(r.right(), cy - hh * 0.36) << QPointF(r.right(), cy + hh * 0.36)
                  << QPointF(cx, cy + hh * 0.36) << QPointF(cx, cy + hh);
            break;
        case Direction::Right:
            shape << QPointF(r.right(), cy) << QPointF(cx, cy - hh) << QPointF(cx, cy - hh * 0.36)
                  << QPointF(r.left(), cy - hh * 0.36) << QPointF(r.left(), cy + hh * 0.36)
                  << QPointF(cx, cy + hh * 0.36) << QPointF(cx, cy + hh);
            break;
    }
    p.drawPolygon(shape);
}

// The brand's emblem: a forward-leaning T in the accent colour, fitted into r.
void Emblem(QPainter& p, const QRectF& r) {
    const qreal w = r.width();
    const qreal h = r.height();
    auto at = [&](qreal fx, qreal fy) { return QPointF(r.left() + fx * w, r.top() + fy * h); };
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0.0, C(kAccentBright));
    g.setColorAt(1.0, C(kAccent));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    QPolygonF bar;
    bar << at(0.14, 0.0) << at(1.0, 0.0) << at(0.9, 0.26) << at(0.04, 0.26);
    p.drawPolygon(bar);
    QPolygonF stem;
    stem << at(0.47, 0.34) << at(0.77, 0.34) << at(0.42, 1.0) << at(0.12, 1.0);
    p.drawPolygon(stem);
}

void Wordmark(QPainter& p, const QRect& r, int pixels, Qt::Alignment align) {
    QFont font = LatinFont(pixels, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, pixels * 0.12);
    p.setFont(font);
    p.setPen(C(kText));
    p.drawText(r, align, QStringLiteral("TAVRIN"));
}

void SectionHeader(QPainter& p, const QRect& r, bool open) {
    p.fillRect(r, Vertical(r, 0xff2a2e35, kHeader));
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1),
               open ? WithAlpha(kAccent, 170) : C(kLine));
    Chevron(p, QPointF(r.right() - 11.5, r.center().y() + 0.5), 3.5,
            open ? Direction::Down : Direction::Right, open ? C(kAccent) : C(kTextDim));
}

// A section body below an open header: flat fill, side and bottom borders, rounded bottom.
void SectionBody(QPainter& p, const QRect& r) {
    QPainterPath path;
    const QRectF f = QRectF(r).adjusted(0.5, -4.0, -0.5, -0.5);
    path.addRoundedRect(f, 4, 4);
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(C(kLineSoft), 1));
    p.setBrush(C(kSection));
    p.drawPath(path);
    p.restore();
}

void Groove(QPainter& p, const QRect& r, bool filled) {
    const QRectF groove(r.left() + 1.5, r.center().y() - 2.0, r.width() - 3.0, 5.0);
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(kAccent, 40));
        p.drawRoundedRect(groove.adjusted(0, -2, 0, 2), 4.5, 4.5);
        QLinearGradient g(groove.topLeft(), groove.bottomLeft());
        g.setColorAt(0.0, C(kAccentBright));
        g.setColorAt(1.0, C(kAccent));
        p.setBrush(g);
        p.setPen(QPen(C(kAccentDeep), 1));
    } else {
        p.setBrush(C(kPlate));
        p.setPen(QPen(C(kLine), 1));
    }
    p.drawRoundedRect(groove, 2.5, 2.5);
}

// Panel with a rounded frame and a darker header band of 22 pixels; the list panels of the
// macro manager and bitmap resource 145 are drawn by this one function so that they match.
void ListPanel(QPainter& p, const QRect& r) {
    Box(p, r, 6, C(kListPanel), C(kLine));
    QPainterPath header;
    header.addRoundedRect(QRectF(r).adjusted(1, 1, -1, 0), 5, 5);
    p.save();
    p.setClipRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, 21));
    p.fillPath(header, C(kListHeader));
    p.restore();
    p.fillRect(QRect(r.left() + 1, r.top() + 21, r.width() - 2, 1), WithAlpha(kAccent, 120));
}

void Button(QPainter& p, const QRect& r, bool hot, qreal radius = 3) {
    if (hot) {
        Box(p, r, radius, Vertical(r, 0xff10677b, kAccentShade), C(kAccent));
    } else {
        Box(p, r, radius, Vertical(r, kControlHot, kControl), C(kLine));
    }
}

void DialogTitleBar(QPainter& p, int width, int height) {
    p.fillRect(QRect(0, 0, width, height), C(kDialogTitle));
    p.fillRect(QRect(0, height, width, 1), C(kLineSoft));
    QLinearGradient accent(0, 0, width, 0);
    accent.setColorAt(0.0, C(kAccent));
    accent.setColorAt(0.6, WithAlpha(kAccent, 0));
    p.fillRect(QRect(0, 0, width, 2), accent);
}

void Frame(QPainter& p, int width, int height) {
    p.setPen(C(kLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width - 1, height - 1);
}

void CloseCross(QPainter& p, const QRectF& r, const QColor& colour) {
    QPen pen(colour, 1.5);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// The four report rates, centred under the thumb's positions 0..3 on a 220-pixel track.
void RateLabels(QPainter& p, int trackLeft, int y, int trackWidth) {
    static constexpr const char* kRates[] = {"125Hz", "250Hz", "500Hz", "1000Hz"};
    p.setFont(LatinFont(9));
    const qreal travel = trackWidth - 15;
    for (int i = 0; i < 4; ++i) {
        const qreal centre = trackLeft + 7.5 + travel * i / 3.0;
        p.setPen(WithAlpha(kAccent, 150));
        p.drawLine(QPointF(centre, y), QPointF(centre, y + 1));
        p.setPen(C(kTextDim));
        p.drawText(QRectF(centre - 20, y + 1, 40, 10), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromLatin1(kRates[i]));
    }
}

QRgb RadioBackground(Folder folder) {
    return folder == Folder::Custom ? kKeyDialog : kSection;
}

void KeyLegend(QPainter& p, int x, int y, QRgb face, QRgb ring, const QString& label) {
    p.fillRect(QRect(x, y, 16, 16), C(kKeyEdge));
    p.fillRect(QRect(x + 1, y + 1, 14, 14), C(face));
    if (ring != face) {
        p.setPen(C(ring));
        p.drawRect(QRect(x + 1, y + 1, 13, 13));
    }
    p.setPen(C(kTextDim));
    p.drawText(QRect(x + 22, y, 200, 16), Qt::AlignLeft | Qt::AlignVCenter, label);
}

}  // namespace

SkinArtist::SkinArtist(const QTranslator* translation) : translation_(translation) {
    const QString family =
        translation_ ? translation_->translate(kContext, kFontText.source, kFontText.comment)
                     : QString();
    uiFamily_ = family.isEmpty() ? QString::fromLatin1(kLatinFamily) : family;
    latinScript_ = uiFamily_ == QLatin1String(kLatinFamily);
}

QString SkinArtist::text(const char* english) const {
    QString translated;
    if (translation_) {
        const std::lock_guard lock(translationLock_);
        translated = translation_->translate(kContext, english);
    }
    return translated.isEmpty() ? QString::fromUtf8(english) : translated;
}

QFont SkinArtist::uiFont(int pixels, bool bold) const {
    QFont font(uiFamily_);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QImage SkinArtist::draw(const SkinImage& image, int scale) const {
    return draw(image.art, image.folder, image.width, image.height, image.active, scale);
}

QImage SkinArtist::draw(const ResourceImage& resource, int scale) const {
    return draw(resource.art, Folder::Main, resource.width, resource.height, false, scale);
}

QImage SkinArtist::draw(Art art, Folder folder, int w, int h, bool active, int scale) const {
    const QRect all(0, 0, w, h);
    switch (art) {
        case Art::MainBackground: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            p.fillRect(QRect(0, 0, w, 31), C(kTitleBar));
            QLinearGradient accent(0, 0, w, 0);
            accent.setColorAt(0.0, C(kAccent));
            accent.setColorAt(0.45, WithAlpha(kAccent, 0));
            p.fillRect(QRect(0, 0, w, 2), accent);
            p.fillRect(QRect(0, 31, w, 1), C(kLineSoft));
            QFont brand = LatinFont(12, true);
            brand.setLetterSpacing(QFont::AbsoluteSpacing, 2);
            p.setFont(brand);
            p.setPen(C(kAccent));
            p.drawText(QRect(19, 8, 100, 16), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("TAVRIN"));
            p.setFont(uiFont(12));
            p.setPen(C(kTextDim));
            p.drawText(QRect(88, 8, 400, 16), Qt::AlignLeft | Qt::AlignVCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist",
                                              "Gaming Keyboard Control Center")));

            // The keyboard card; the keyboard pictures sit in it at (275,85) on its flat fill.
            const QRect card(269, 79, 717, 516);
            Box(p, card, 8, C(kCard), C(kLine));
            p.fillRect(QRect(290, 548, 675, 1), C(kLineSoft));
            p.setFont(uiFont(12));
            KeyLegend(p, 292, 561, kKeyCap, kKeyCap,
                      text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist", "Default key")));
            KeyLegend(
                p, 412, 561, kKeyCapHot, kAccent,
                text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist", "Pointed at or reassigned")));
            KeyLegend(p, 592, 561, 0xff0000ff, 0xff0000ff,
                      text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist", "Lit in DIY")));
            p.setPen(C(kTextDim));
            p.drawText(QRect(700, 561, 264, 16), Qt::AlignRight | Qt::AlignVCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist",
                                              "Click a key to change what it does")));

            p.fillRect(QRect(0, 596, w, h - 596), C(kBottomBar));
            p.fillRect(QRect(0, 596, w, 1), C(kLineSoft));
            Frame(p, w, h);
            return image;
        }
        case Art::TitleHelp:
        case Art::TitleMinimise:
        case Art::TitleClose:
        case Art::DialogClose: {
            const QRgb background = art == Art::DialogClose ? kDialogTitle : kTitleBar;
            QImage image = Canvas(w, h, scale, background);
            QPainter p(&image);
            Antialiased(p);
            const bool close = art == Art::TitleClose || art == Art::DialogClose;
            if (active) {
                Box(p, all, 3, close ? C(kAlert) : C(kControlHot), close ? C(kAlert) : C(kLine));
            }
            const QColor glyph = active ? C(kText) : C(0xffa3abb5);
            const QRectF c = QRectF(all).adjusted(4.5, 4, -4.5, -4);
            if (art == Art::TitleHelp) {
                p.setFont(LatinFont(12, true));
                p.setPen(glyph);
                p.drawText(all, Qt::AlignCenter, QStringLiteral("?"));
            } else if (art == Art::TitleMinimise) {
                QPen pen(glyph, 1.6);
                pen.setCapStyle(Qt::RoundCap);
                p.setPen(pen);
                p.drawLine(QPointF(c.left(), c.bottom()), QPointF(c.right(), c.bottom()));
            } else {
                CloseCross(p, c, glyph);
            }
            return image;
        }
        case Art::Logo: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            Emblem(p, QRectF(2, 12, 38, 40));
            Wordmark(p, QRect(50, 8, w - 50, 36), 31, Qt::AlignLeft | Qt::AlignVCenter);
            if (!latinScript_) {
                QFont tag = uiFont(13, true);
                tag.setLetterSpacing(QFont::AbsoluteSpacing, 6);
                p.setFont(tag);
            } else {
                QFont tag = LatinFont(10, true);
                tag.setLetterSpacing(QFont::AbsoluteSpacing, 3.2);
                p.setFont(tag);
            }
            p.setPen(C(kAccent));
            p.drawText(QRect(52, 42, w - 52, 18), Qt::AlignLeft | Qt::AlignVCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist", "GAMING KEYBOARD")));
            return image;
        }
        case Art::Keyboard104:
            return KeyboardPicture(KeyRects104, LabelPoints104, KeyLabels104)
                .draw(w, h, active, scale);
        case Art::Keyboard87:
            return KeyboardPicture(KeyRects87, LabelPoints87, KeyLabels87)
                .draw(w, h, active, scale);
        case Art::BottomButton: {
            // The face fills the top 32 rows; the click rectangle reaches 4 rows further down
            // over the bottom bar.
            QImage image = Canvas(w, h, scale, kBottomBar);
            QPainter p(&image);
            Antialiased(p);
            const QRect face(0, 0, w, 32);
            Button(p, face, active, 4);
            if (active) {
                p.fillRect(QRect(6, 29, w - 12, 1), C(kAccentBright));
            }
            return image;
        }
        case Art::ProfileButton: {
            QImage image = Canvas(w, h, scale, kBottomBar);
            QPainter p(&image);
            Antialiased(p);
            Button(p, QRect(0, 0, w, h), active, 4);
            // Stacked-layers icon left of the caption, which starts at x 28.
            p.setPen(QPen(C(kAccent), 1.4));
            p.setBrush(Qt::NoBrush);
            for (int i = 0; i < 3; ++i) {
                QPolygonF layer;
                const qreal y = 10.5 + i * 4;
                layer << QPointF(15, y - 3) << QPointF(22, y) << QPointF(15, y + 3)
                      << QPointF(8, y);
                if (i == 0) {
                    p.setBrush(WithAlpha(kAccent, 90));
                } else {
                    p.setBrush(Qt::NoBrush);
                }
                p.drawPolygon(layer);
            }
            return image;
        }
        case Art::HelpWindow: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            Box(p, all, 3, C(kSection), C(kAccent));
            for (int row = 1; row < 3; ++row) {
                p.fillRect(QRect(8, 25 * row, w - 16, 1), C(kLineSoft));
            }
            // Row icons left of the texts at x 20: home page, firmware update, version.
            p.setPen(QPen(C(kAccent), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(10, 11), 5, 5);
            p.drawEllipse(QRectF(7.5, 6, 5, 10));
            p.drawLine(QPointF(5, 11), QPointF(15, 11));
            Arrow(p, QRectF(6, 30, 8, 9), Direction::Down, C(kAccent));
            p.fillRect(QRectF(5, 41, 10, 1.5), C(kAccent));
            p.setPen(QPen(C(kAccent), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(10, 61), 5, 5);
            p.setFont(LatinFont(8, true));
            p.drawText(QRectF(5, 56, 10, 10), Qt::AlignCenter, QStringLiteral("i"));
            return image;
        }
        case Art::LightHeader: {
            QImage image = Canvas(w, h, scale, kHeader);
            QPainter p(&image);
            Antialiased(p);
            p.fillRect(all, Vertical(all, 0xff2a2e35, kHeader));
            p.fillRect(QRect(0, h - 1, w, 1), WithAlpha(kAccent, 170));
            // A small lit diamond: the light section.
            p.setPen(Qt::NoPen);
            p.setBrush(WithAlpha(kAccent, 60));
            p.drawEllipse(QPointF(w - 12, h / 2.0), 6, 6);
            p.setBrush(C(kAccent));
            QPolygonF diamond;
            const qreal cy = h / 2.0;
            diamond << QPointF(w - 12, cy - 3.5) << QPointF(w - 8.5, cy)
                    << QPointF(w - 12, cy + 3.5) << QPointF(w - 15.5, cy);
            p.drawPolygon(diamond);
            return image;
        }
        case Art::SectionHeader:
        case Art::SectionHeaderOpen: {
            QImage image = Canvas(w, h, scale, kHeader);
            QPainter p(&image);
            Antialiased(p);
            SectionHeader(p, all, art == Art::SectionHeaderOpen);
            return image;
        }
        case Art::LightBody: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            SectionBody(p, all);
            // Separator above the brightness group at y 240 of the window.
            p.fillRect(QRect(9, 110, 225, 1), C(kLineSoft));
            return image;
        }
        case Art::SpeedBackdrop: {
            // The open Light body from y 245 down, with a separator between brightness and speed.
            QImage body = draw(Art::LightBody, folder, kPanelWidth, 196, false, scale);
            // copy() counts device pixels.
            QImage image = body.copy(0, (245 - 130) * scale, w * scale, h * scale);
            QPainter p(&image);
            p.fillRect(QRect(9, 287 - 245, 225, 1), C(kLineSoft));
            return image;
        }
        case Art::ComboBox: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            Box(p, all, 2, C(0xff111316), C(kLine));
            p.fillRect(QRect(w - 18, 3, 1, h - 6), C(kLine));
            QPolygonF tri;
            const qreal cx = w - 9;
            const qreal cy = h / 2.0;
            tri << QPointF(cx - 3.5, cy - 1.5) << QPointF(cx + 3.5, cy - 1.5)
                << QPointF(cx, cy + 2.5);
            p.setPen(Qt::NoPen);
            p.setBrush(C(kAccent));
            p.drawPolygon(tri);
            return image;
        }
        case Art::DirectionUp:
        case Art::DirectionDown:
        case Art::DirectionRight:
        case Art::DirectionLeft: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            Button(p, all, active, 3);
            const Direction d = art == Art::DirectionUp     ? Direction::Up
                                : art == Art::DirectionDown ? Direction::Down
                                : art == Art::DirectionLeft ? Direction::Left
                                                            : Direction::Right;
            const bool vertical = d == Direction::Up || d == Direction::Down;
            const QRectF glyph =
                vertical ? QRectF(w / 2.0 - 4.5, 3, 9, 10) : QRectF(w / 2.0 - 6, 3.5, 12, 9);
            Arrow(p, glyph, d, active ? C(kAccentBright) : C(kTextDim));
            return image;
        }
        case Art::Radio: {
            QImage image = Canvas(w, h, scale, RadioBackground(folder));
            QPainter p(&image);
            Antialiased(p);
            const QPointF c(w / 2.0, h / 2.0);
            const qreal r = std::min(w, h) / 2.0 - 0.7;
            p.setPen(QPen(active ? C(kAccent) : C(0xff6b737d), 1.2));
            p.setBrush(C(0xff0f1114));
            p.drawEllipse(c, r, r);
            if (active) {
                p.setPen(Qt::NoPen);
                p.setBrush(C(kAccent));
                p.drawEllipse(c, r - 2.3, r - 2.3);
            }
            return image;
        }
        case Art::MacroSection: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            Box(p, all, 4, C(kSection), C(kLineSoft));
            p.setFont(uiFont(10));
            p.setPen(C(kTextDim));
            p.drawText(QRect(6, 30, w - 12, 14), Qt::AlignLeft | Qt::AlignVCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist",
                                              "Record and edit up to five macros")));
            return image;
        }
        case Art::MacroButton: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            Box(p, all, 3, Vertical(all, 0xff0e5a6c, kAccentShade), C(kAccent));
            Chevron(p, QPointF(w - 10, h / 2.0), 3.5, Direction::Right, C(kAccentBright));
            return image;
        }
        case Art::GameModeOpen: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            SectionBody(p, QRect(0, 21, w, h - 21));
            SectionHeader(p, QRect(0, 0, w, 21), true);
            // Game Mode on the left half, Win Lock from x 149 of the window.
            p.fillRect(QRect(126, 3, 1, 15), C(kLine));
            p.fillRect(QRect(126, 25, 1, h - 29), C(kLineSoft));
            return image;
        }
        case Art::ResponseTimeOpen: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            SectionBody(p, QRect(0, 21, w, h - 21));
            SectionHeader(p, QRect(0, 0, w, 21), true);
            return image;
        }
        case Art::ReportRateOpen: {
            QImage image = Canvas(w, h, scale, kWindow);
            QPainter p(&image);
            Antialiased(p);
            SectionBody(p, QRect(0, 21, w, h - 21));
            SectionHeader(p, QRect(0, 0, w, 21), true);
            // The slider lies at (28, yU + 23), 220 x 17; the labels go under it.
            RateLabels(p, 28 - 19, 41, 220);
            return image;
        }
        case Art::Thumb: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            QLinearGradient g(0, 0, 0, h);
            g.setColorAt(0.0, C(0xffe9fbff));
            g.setColorAt(0.45, C(kAccentBright));
            g.setColorAt(1.0, C(kAccent));
            Box(p, all, 3, g, C(kAccentDeep));
            p.setPen(QPen(C(kAccentDeep), 1));
            p.drawLine(QPointF(6.5, 4), QPointF(6.5, h - 4));
            p.drawLine(QPointF(8.5, 4), QPointF(8.5, h - 4));
            return image;
        }
        case Art::TrackEmpty:
        case Art::TrackFilled: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            Groove(p, all, art == Art::TrackFilled);
            return image;
        }
        case Art::SliderPlate: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            Groove(p, QRect(0, 0, w, h), false);
            return image;
        }
        case Art::RateLabels: {
            QImage image = Canvas(w, h, scale, kSection);
            QPainter p(&image);
            Antialiased(p);
            RateLabels(p, -7, -1, w + 14);
            return image;
        }
        case Art::Splash: {
            QImage image = Canvas(w, h, scale, kTitleBar);
            QPainter p(&image);
            Antialiased(p);
            p.fillRect(all, Vertical(all, 0xff0b0c0e, 0xff16191d));
            QRadialGradient glow(QPointF(w / 2.0, h * 0.42), w * 0.5);
            glow.setColorAt(0.0, WithAlpha(kAccent, 46));
            glow.setColorAt(1.0, WithAlpha(kAccent, 0));
            p.fillRect(all, glow);
            // Light streaks.
            for (int i = 0; i < 3; ++i) {
                QLinearGradient streak(0, 0, w, 0);
                streak.setColorAt(0.0, WithAlpha(kAccent, 0));
                streak.setColorAt(0.5, WithAlpha(kAccent, 70 - 20 * i));
                streak.setColorAt(1.0, WithAlpha(kAccent, 0));
                p.fillRect(QRectF(0, 200 + 6 * i, w, 1), streak);
            }
            Emblem(p, QRectF(w / 2.0 - 150, 66, 54, 58));
            Wordmark(p, QRect(w / 2 - 86, 60, 250, 70), 56, Qt::AlignLeft | Qt::AlignVCenter);
            if (!latinScript_) {
                QFont tag = uiFont(18, true);
                tag.setLetterSpacing(QFont::AbsoluteSpacing, 12);
                p.setFont(tag);
            } else {
                QFont tag = LatinFont(14, true);
                tag.setLetterSpacing(QFont::AbsoluteSpacing, 7);
                p.setFont(tag);
            }
            p.setPen(C(kAccent));
            p.drawText(QRect(0, 134, w, 26), Qt::AlignCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist", "GAMING KEYBOARD")));
            const QRect bar(w / 2 - 110, 232, 220, 4);
            Box(p, bar, 2, C(kPlate), C(kLineSoft));
            QLinearGradient fill(bar.topLeft(), bar.topRight());
            fill.setColorAt(0.0, C(kAccentDeep));
            fill.setColorAt(1.0, C(kAccent));
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(bar.left(), bar.top(), bar.width() * 0.62, bar.height()), 2,
                              2);
            p.setFont(uiFont(11));
            p.setPen(C(kTextDim));
            p.drawText(QRect(0, 242, w, 16), Qt::AlignCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist",
                                              "Starting, looking for the keyboard…")));
            p.setFont(LatinFont(10));
            p.drawText(QRect(0, h - 18, w - 10, 14), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("v1.0"));
            p.setPen(WithAlpha(kAccent, 120));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(all).adjusted(0.5, 0.5, -0.5, -0.5));
            return image;
        }
        case Art::KeyDialogBackground: {
            QImage image = Canvas(w, h, scale, kKeyDialog);
            QPainter p(&image);
            Antialiased(p);
            DialogTitleBar(p, w, 29);
            // Panel behind the tab pages, y 58..238; the bottom row stays 0x232323.
            Box(p, QRect(4, 57, w - 8, 183), 3, C(kDialogPanel), C(kLine));
            Frame(p, w, h);
            return image;
        }
        case Art::Tab: {
            QImage image = Canvas(w, h, scale, kKeyDialog);
            QPainter p(&image);
            p.fillRect(all, Vertical(all, 0xff2f3236, 0xff26282b));
            // Dividers at both edges: neighbouring tabs share a column.
            p.fillRect(QRect(0, 8, 1, h - 12), C(kLine));
            p.fillRect(QRect(w - 1, 8, 1, h - 12), C(kLine));
            p.fillRect(QRect(0, h - 1, w, 1), C(kLine));
            return image;
        }
        case Art::TabBand:
        case Art::TabMarker: {
            QImage image = Canvas(w, h, scale, kDialogTitle);
            QPainter p(&image);
            Antialiased(p);
            p.fillRect(QRect(0, h - 1, w, 1), WithAlpha(kAccent, 110));
            if (art == Art::TabMarker) {
                QPolygonF notch;
                notch << QPointF(0, 0) << QPointF(w, 0) << QPointF(w / 2.0, h);
                p.setPen(Qt::NoPen);
                p.setBrush(C(kAccent));
                p.drawPolygon(notch);
            }
            return image;
        }
        case Art::SmallButton:
        case Art::MediumButton:
        case Art::RecordButton: {
            const QRgb background = art == Art::SmallButton    ? kKeyDialog
                                    : art == Art::RecordButton ? kListPanel
                                                               : kDialogPanel;
            QImage image = Canvas(w, h, scale, background);
            QPainter p(&image);
            Antialiased(p);
            Button(p, all, active, 3);
            return image;
        }
        case Art::LaunchPanel: {
            // No side frame: the row radios sit on the panel's left edge at x 15.
            QImage image = Canvas(w, h, scale, kKeyDialog);
            QPainter p(&image);
            p.fillRect(QRect(0, 0, w, 1), C(kLineSoft));
            p.fillRect(QRect(0, h - 1, w, 1), C(kLineSoft));
            for (int row = 1; row < 4; ++row) {
                p.fillRect(QRect(16, 27 + 30 * (row - 1), w - 22, 1), C(kLineSoft));
            }
            return image;
        }
        case Art::PathField: {
            QImage image = Canvas(w, h, scale, kKeyDialog);
            QPainter p(&image);
            Antialiased(p);
            Box(p, all, 2, C(0xff161719), C(kLine));
            return image;
        }
        case Art::BrowseButton: {
            QImage image = Canvas(w, h, scale, kKeyDialog);
            QPainter p(&image);
            Antialiased(p);
            Button(p, all, active, 3);
            p.setFont(uiFont(11));
            p.setPen(active ? C(kText) : C(0xffc3cad3));
            p.drawText(all, Qt::AlignCenter,
                       text(QT_TRANSLATE_NOOP("tavrin::skin::SkinArtist", "Browse")));
            return image;
        }
        case Art::MacroDialogBackground: {
            QImage image = Canvas(w, h, scale, kDialogPanel);
            QPainter p(&image);
            Antialiased(p);
            DialogTitleBar(p, w, 36);
            ListPanel(p, QRect(13, 58, 127, 305));
            ListPanel(p, QRect(143, 58, 127, 305));
            ListPanel(p, QRect(280, 58, 124, 305));
            Frame(p, w, h);
            return image;
        }
        case Art::Tick: {
            QImage image = Canvas(w, h, scale, kListPanel);
            QPainter p(&image);
            Antialiased(p);
            Box(p, all, 3, active ? C(kAccentDeep) : C(0xff0f1114),
                active ? C(kAccent) : C(0xff6b737d));
            if (active) {
                QPen pen(C(kAccentBright), 1.8);
                pen.setCapStyle(Qt::RoundCap);
                pen.setJoinStyle(Qt::RoundJoin);
                p.setPen(pen);
                QPolygonF check;
                check << QPointF(3.5, 7.5) << QPointF(6.3, 10.3) << QPointF(11.5, 4.5);
                p.drawPolyline(check);
            }
            return image;
        }
        case Art::ProfileDialogBackground: {
            QImage image = Canvas(w, h, scale, kDialogPanel);
            QPainter p(&image);
            Antialiased(p);
            DialogTitleBar(p, w, 33);
            // The profile list (1,34) 260 x 540 shows these pixels behind its lines.
            p.fillRect(QRect(1, 34, 260, 540), C(kListPanel));
            p.fillRect(QRect(0, 574, w, 1), C(kLineSoft));
            Frame(p, w, h);
            return image;
        }
        case Art::NewTile:
        case Art::DeleteTile: {
            QImage image = Canvas(w, h, scale, kDialogPanel);
            QPainter p(&image);
            Antialiased(p);
            Button(p, all, false, 4);
            // The caption sits at the top (y 3..19); the icon fills the lower part.
            const QPointF c(w / 2.0, 34);
            const bool add = art == Art::NewTile;
            p.setPen(QPen(add ? C(kAccent) : C(kTextDim), 1.4));
            p.setBrush(add ? WithAlpha(kAccent, 40) : QColor(Qt::transparent));
            p.drawEllipse(c, 9, 9);
            QPen pen(add ? C(kAccentBright) : C(kTextDim), 2);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.drawLine(QPointF(c.x() - 4.5, c.y()), QPointF(c.x() + 4.5, c.y()));
            if (add) {
                p.drawLine(QPointF(c.x(), c.y() - 4.5), QPointF(c.x(), c.y() + 4.5));
            }
            return image;
        }
        case Art::ArrowDown:
        case Art::ArrowUp: {
            QImage image = Canvas(w, h, scale, kListPanel);
            QPainter p(&image);
            Antialiased(p);
            Arrow(p, QRectF(0.5, 0.5, w - 1, h - 1),
                  art == Art::ArrowDown ? Direction::Down : Direction::Up, C(kAlert));
            return image;
        }
        case Art::Clock: {
            QImage image = Canvas(w, h, scale, kListPanel);
            QPainter p(&image);
            Antialiased(p);
            const QPointF c(w / 2.0, h / 2.0);
            p.setPen(QPen(C(kAccent), 1.4));
            p.setBrush(C(kAccentShade));
            p.drawEllipse(c, w / 2.0 - 1, h / 2.0 - 1);
            QPen hand(C(kAccentBright), 1.4);
            hand.setCapStyle(Qt::RoundCap);
            p.setPen(hand);
            p.drawLine(c, QPointF(c.x(), c.y() - 4));
            p.drawLine(c, QPointF(c.x() + 3, c.y() + 1));
            return image;
        }
        case Art::PlusSign:
        case Art::MinusSign: {
            QImage image = Canvas(w, h, scale, kTree);
            QPainter p(&image);
            PixelOutline(p, QRect(0, 0, w - 1, h - 1), C(kTextDim));
            p.fillRect(QRect(2, h / 2, w - 4, 1), C(kAccent));
            if (art == Art::PlusSign) {
                p.fillRect(QRect(w / 2, 2, 1, h - 4), C(kAccent));
            }
            return image;
        }
        case Art::ListPanel: {
            QImage image = Canvas(w, h, scale, kDialogPanel);
            QPainter p(&image);
            Antialiased(p);
            ListPanel(p, all);
            return image;
        }
        case Art::AppIcon: {
            // The only picture with transparency: icons are blended by the desktop.
            QImage image(w * scale, h * scale, QImage::Format_ARGB32);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::transparent);
            QPainter p(&image);
            Antialiased(p);
            const qreal s = w;
            const qreal pen = s >= 32 ? s / 32.0 : 0.0;
            const QRectF tile =
                QRectF(0, 0, s, s)
                    .adjusted(pen / 2 + 0.5, pen / 2 + 0.5, -pen / 2 - 0.5, -pen / 2 - 0.5);
            QLinearGradient g(tile.topLeft(), tile.bottomLeft());
            g.setColorAt(0.0, C(0xff24282e));
            g.setColorAt(1.0, C(0xff0d0e10));
            p.setPen(pen > 0 ? QPen(C(kAccent), pen) : QPen(Qt::NoPen));
            p.setBrush(g);
            p.drawRoundedRect(tile, s * 0.22, s * 0.22);
            Emblem(p, QRectF(s * 0.2, s * 0.2, s * 0.62, s * 0.62));
            return image;
        }
    }
    return Canvas(w, h, scale, kWindow);
}

}  // namespace tavrin::skin
