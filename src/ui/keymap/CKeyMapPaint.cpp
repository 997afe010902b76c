// The key assignment dialog's picture: background, title line, buttons, tab strip and panel.

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>

#include "platform/qt/QtConversions.h"
#include "ui/controls/DensePictures.h"
#include "ui/controls/SkinFont.h"
#include "ui/controls/VividTree.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/keymap/KeyNames.h"

namespace tavrin {

namespace {

const QColor kGreyCaption(0xC0, 0xC0, 0xC0);

struct TabCaption {
    int x;
    const char* text;  // translated in the context of CKeyMap
    int markerX;       // where "cursor.png" marks the active tab
};

constexpr std::array<TabCaption, 4> kTabCaptions = {{
    {6, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Single/Combine"), 35},
    {115, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Macro"), 115},
    {182, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Basic"), 200},
    {259, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Advance"), 280},
}};

constexpr int kTabCaptionY = 39;
constexpr int kTabMarkerY = 30;

QFont CaptionFont() {
    // Height 14 as a line height, weight 300, as the other windows count it.
    return SkinFont(QStringLiteral("Arial"), 14, QFont::Light);
}

// Where each tab's caption may reach: its button's right edge.
constexpr std::array<int, 4> kTabCaptionRight = {79, 160, 241, 322};

}  // namespace

QImage CKeyMap::image(const char16_t* name) {
    const std::u16string key(name);
    const auto cached = images_.find(key);
    if (cached != images_.end()) {
        return cached->second;
    }
    QImage picture = LoadSkinPicture(skins_, imageFolder_, ToQString(key), imagesRatio_);
    images_.emplace(key, picture);
    return picture;
}

void CKeyMap::drawButton(QPainter& painter, std::size_t index) {
    const SkinButton& button = buttons_[index];
    const std::u16string& name =
        button.state == 0 ? button.normalPicture : button.highlightedPicture;
    painter.drawImage(button.rectangle.left, button.rectangle.top, image(name.c_str()));
}

QImage CKeyMap::composed() {
    const qreal ratio = SurfaceRatio(devicePixelRatioF());
    if (ratio != imagesRatio_) {
        // Moved to a screen of another density: the pictures are decoded again for it.
        images_.clear();
        imagesRatio_ = ratio;
        background_ = image(u"Custom_BK.png");
    }
    QImage picture = NewSurface(size(), ratio, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    drawnTexts_.clear();
    composeFull(painter);
    if (ringShown_ && hasFocus() && focusedRegion_ >= 0) {
        const SkinRegionInfo info = regionInfo(focusedRegion_);
        if (info.shown) {
            PaintFocusRing(painter, info.rect);
        }
    }
    painter.end();
    AnnounceChanges(*this);
    return picture;
}

void CKeyMap::drawCaption(QPainter& painter, int x, int y, int right, const QString& text,
                          const QColor& colour) {
    drawnTexts_.add(DrawSkinText(painter, text, QRect(QPoint(x, y), QPoint(right, y + 13)),
                                 CaptionFont(), colour));
}

void CKeyMap::composeFull(QPainter& painter) {
    const bool chinese = model_.chinese();
    painter.drawImage(0, 0, background_);
    painter.setFont(CaptionFont());
    painter.setBackgroundMode(Qt::TransparentMode);

    drawCaption(painter, 2, 2, 300, tr("Current Key:") + KeyName(selectedKeyVk_), Qt::white);
    for (std::size_t i = KeyMapButtons::kClose; i <= KeyMapButtons::kFirstTab + 3; ++i) {
        drawButton(painter, i);
    }
    drawTabStripAndPanel(painter);

    drawButton(painter, KeyMapButtons::kDisableTick);
    drawCaption(painter, 34, 249, 154, tr("Disable"), Qt::white);

    for (std::size_t i = KeyMapButtons::kDefault; i <= KeyMapButtons::kSave; ++i) {
        drawButton(painter, i);
    }
    drawCaption(painter, 158, 248, 196, tr("Default"), Qt::white);
    // The Chinese word is narrower and stands further right on the button.
    drawCaption(painter, chinese ? 218 : 214, 248, 250, tr("Cancel"), Qt::white);
    drawCaption(painter, 272, 248, 304, tr("Save"), Qt::white);
}

void CKeyMap::drawTabStripAndPanel(QPainter& painter) {
    drawButton(painter, KeyMapButtons::kTabBand);
    painter.drawImage(kTabCaptions[static_cast<std::size_t>(activeTab_)].markerX, kTabMarkerY,
                      image(u"cursor.png"));
    for (std::size_t tab = 0; tab < kTabCaptions.size(); ++tab) {
        const TabCaption& caption = kTabCaptions[tab];
        drawCaption(painter, caption.x, kTabCaptionY, kTabCaptionRight[tab], tr(caption.text),
                    static_cast<int>(tab) == activeTab_ ? QColor(Qt::white) : kGreyCaption);
    }
    switch (activeTab_) {
        case SingleCombineTab:
            drawCaption(painter, 20, 69, 300, tr("Single"), kGreyCaption);
            drawCaption(painter, 20, 119, 300, tr("Combine"), kGreyCaption);
            break;
        case AdvanceTab:
            launchPanel_.draw(
                painter, [this](const char16_t* name) { return image(name); }, browseHover_,
                drawnTexts_);
            break;
        default:
            break;
    }
}

void CKeyMap::showTabControls() {
    tree_->setVisible(activeTab_ == BasicTab);
    singleKeyEdit_->setVisible(activeTab_ == SingleCombineTab);
    combinationEdit_->setVisible(activeTab_ == SingleCombineTab);
    macroList_->setVisible(activeTab_ == MacroTab);
}

}  // namespace tavrin
