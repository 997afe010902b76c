#include "ui/main/MainLayout.h"

#include <QtGlobal>

#include "model/KeyTables.h"

namespace tavrin {

namespace {

using W = RegionWhen;
using R = RegionRole;

// Test order; the first hit wins. The reading order runs: the title buttons, the left panel from
// top to bottom, the keyboard picture, the bottom buttons from left to right.
constexpr std::array<RegionRow, 25> kRegionTable = {{
    {Region::Help, W::Always, R::Expander, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Help"), nullptr,
     0},
    {Region::Minimise, W::Always, R::Button, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Minimise"),
     nullptr, 10},
    {Region::Close, W::Always, R::Button, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Close"), nullptr,
     20},
    {Region::LightHeader, W::Always, R::Expander, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Light"),
     nullptr, 100},
    {Region::KeymapRadio, W::LightOpenDiy, R::Radio, "Keymap", nullptr, 160},
    {Region::DiyRadio, W::LightOpenDiy, R::Radio, "DIY", nullptr, 170},
    {Region::EffectBox, W::LightOpen, R::ComboBox, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Effect"),
     nullptr, 110},
    {Region::DirectionT, W::LightOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Up"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Direction"), 120},
    {Region::DirectionB, W::LightOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Down"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Direction"), 130},
    {Region::DirectionR, W::LightOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Right"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Direction"), 140},
    {Region::DirectionL, W::LightOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Left"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Direction"), 150},
    {Region::MacroManagement, W::Always, R::Button,
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Macro Management"), nullptr, 200},
    {Region::GameModeOn, W::GameOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "ON"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Game Mode"), 220},
    {Region::GameModeOff, W::GameOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "OFF"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Game Mode"), 230},
    {Region::GameModeHeader, W::Always, R::Expander,
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Game Mode"), nullptr, 210},
    {Region::WinLockOn, W::GameOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "ON"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Win Lock"), 240},
    {Region::WinLockOff, W::GameOpen, R::Radio, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "OFF"),
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Win Lock"), 250},
    {Region::ResponseBox, W::ResponseOpen, R::ComboBox,
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Response Time"), nullptr, 270},
    {Region::ResponseHeader, W::Always, R::Expander,
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Response Time"), nullptr, 260},
    {Region::ReportHeader, W::Always, R::Expander,
     QT_TRANSLATE_NOOP("tavrin::COstraDlg", "USB Report Rate"), nullptr, 280},
    {Region::Profile, W::Always, R::Button, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Profile"),
     nullptr, 400},
    {Region::Return, W::Always, R::Button, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Return"),
     nullptr, 410},
    {Region::Cancel, W::Always, R::Button, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Cancel"),
     nullptr, 420},
    {Region::Save, W::Always, R::Button, QT_TRANSLATE_NOOP("tavrin::COstraDlg", "Save"), nullptr,
     430},
    {Region::Logo, W::Always, R::None, nullptr, nullptr, 0},
}};

}  // namespace

SectionLayout LayoutSections(const PanelState& panel) {
    SectionLayout s;
    const int lightHeight = panel.lightCollapsed ? 30 : 225;
    s.yLight = 110;
    s.yMacro = 110 + lightHeight;
    s.yGame = s.yMacro + 55;
    s.yResponse = s.yMacro + 110;
    s.yReport = s.yResponse + (panel.responseCollapsed ? 40 : 75);
    return s;
}

Rect RegionRect(Region region, const SectionLayout& l) {
    switch (region) {
        case Region::Help:
            return {936, 5, 952, 20};
        case Region::Minimise:
            return {957, 5, 973, 20};
        case Region::Close:
            return {978, 5, 994, 20};
        case Region::LightHeader:
            return {19, 110, 261, 130};
        case Region::KeymapRadio:
            return {28, 200, 42, 214};
        case Region::DiyRadio:
            return {130, 200, 144, 214};
        case Region::EffectBox:
            return {28, 158, 248, 173};
        case Region::DirectionT:
            return {29, 197, 64, 212};
        case Region::DirectionB:
            return {79, 197, 114, 212};
        case Region::DirectionR:
            return {129, 197, 164, 212};
        case Region::DirectionL:
            return {179, 197, 214, 212};
        case Region::MacroManagement:
            return {19, l.yMacro + 10, 259, l.yMacro + 28};
        case Region::GameModeOn:
            return {34, l.yGame + 33, 44, l.yGame + 42};
        case Region::GameModeOff:
            return {88, l.yGame + 33, 115, l.yGame + 42};
        case Region::GameModeHeader:
            return {19, l.yGame, 261, l.yGame + 20};
        case Region::WinLockOn:
            return {164, l.yGame + 33, 174, l.yGame + 42};
        case Region::WinLockOff:
            return {218, l.yGame + 33, 245, l.yGame + 42};
        case Region::ResponseBox:
            return {28, l.yResponse + 28, 248, l.yResponse + 44};
        case Region::ResponseHeader:
            return {19, l.yResponse, 261, l.yResponse + 20};
        case Region::ReportHeader:
            return {19, l.yReport, 261, l.yReport + 20};
        case Region::Profile:
            return {19, 605, 89, 633};
        case Region::Return:
            return {800, 605, 857, 635};
        case Region::Cancel:
            return {861, 605, 918, 635};
        case Region::Save:
            return {923, 605, 980, 635};
        case Region::Logo:
            return {19, 32, 261, 102};
    }
    return {0, 0, -1, -1};
}

std::span<const RegionRow> RegionTable() {
    return kRegionTable;
}

bool RegionTested(const RegionRow& row, const PanelState& panel, std::uint8_t effectCode) {
    switch (row.when) {
        case RegionWhen::Always:
            return true;
        case RegionWhen::LightOpenDiy:
            return !panel.lightCollapsed && effectCode >= kFirstDiyEffect;
        case RegionWhen::LightOpen:
            return !panel.lightCollapsed;
        case RegionWhen::GameOpen:
            return !panel.gameCollapsed;
        case RegionWhen::ResponseOpen:
            return !panel.responseCollapsed;
    }
    return false;
}

std::optional<Region> HitRegion(const PanelState& panel, std::uint8_t effectCode, int x, int y) {
    const SectionLayout layout = LayoutSections(panel);
    for (const RegionRow& row : kRegionTable) {
        if (RegionTested(row, panel, effectCode) && RegionRect(row.region, layout).contains(x, y)) {
            return row.region;
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> EffectListRowAt(int x, int y) {
    if (kEffectListLeft <= x && x <= kEffectListRight && kEffectListTop <= y &&
        y <= kEffectListBottom) {
        return static_cast<std::uint8_t>((y - kEffectListTop) / kListRowHeight);
    }
    return std::nullopt;
}

std::optional<std::uint8_t> ResponseListRowAt(const SectionLayout& layout, int x, int y) {
    const int top = layout.responseListY();
    if (layout.responseListX() <= x && x <= 247 && top <= y &&
        y <= top + kResponseRows * kListRowHeight - 1) {
        return static_cast<std::uint8_t>((y - top) / kListRowHeight);
    }
    return std::nullopt;
}

}  // namespace tavrin
