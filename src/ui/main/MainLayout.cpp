#include "ui/main/MainLayout.h"

#include "model/KeyTables.h"

namespace tavrin {

namespace {

enum class When { Always, LightOpenDiy, LightOpen, GameOpen, ResponseOpen };

struct RegionRow {
    Region region;
    When when;
};

// Test order; the first hit wins.
constexpr std::array<RegionRow, 25> kRegionOrder = {{
    {Region::Help, When::Always},
    {Region::Minimise, When::Always},
    {Region::Close, When::Always},
    {Region::LightHeader, When::Always},
    {Region::KeymapRadio, When::LightOpenDiy},
    {Region::DiyRadio, When::LightOpenDiy},
    {Region::EffectBox, When::LightOpen},
    {Region::DirectionT, When::LightOpen},
    {Region::DirectionB, When::LightOpen},
    {Region::DirectionR, When::LightOpen},
    {Region::DirectionL, When::LightOpen},
    {Region::MacroManagement, When::Always},
    {Region::GameModeOn, When::GameOpen},
    {Region::GameModeOff, When::GameOpen},
    {Region::GameModeHeader, When::Always},
    {Region::WinLockOn, When::GameOpen},
    {Region::WinLockOff, When::GameOpen},
    {Region::ResponseBox, When::ResponseOpen},
    {Region::ResponseHeader, When::Always},
    {Region::ReportHeader, When::Always},
    {Region::Profile, When::Always},
    {Region::Return, When::Always},
    {Region::Cancel, When::Always},
    {Region::Save, When::Always},
    {Region::Logo, When::Always},
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

std::optional<Region> HitRegion(const PanelState& panel, std::uint8_t effectCode, int x, int y) {
    const SectionLayout layout = LayoutSections(panel);
    for (const RegionRow& row : kRegionOrder) {
        bool tested = true;
        switch (row.when) {
            case When::Always:
                break;
            case When::LightOpenDiy:
                tested = !panel.lightCollapsed && effectCode >= kFirstDiyEffect;
                break;
            case When::LightOpen:
                tested = !panel.lightCollapsed;
                break;
            case When::GameOpen:
                tested = !panel.gameCollapsed;
                break;
            case When::ResponseOpen:
                tested = !panel.responseCollapsed;
                break;
        }
        if (tested && RegionRect(row.region, layout).contains(x, y)) {
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
