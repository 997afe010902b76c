#include <gtest/gtest.h>

#include "ui/main/MainLayout.h"

namespace tavrin {
namespace {

TEST(MainLayout, SectionPositions) {
    const SectionLayout closed = LayoutSections(PanelState{});
    EXPECT_EQ(closed.yLight, 110);
    EXPECT_EQ(closed.yMacro, 140);
    EXPECT_EQ(closed.yGame, 195);
    EXPECT_EQ(closed.yResponse, 250);
    EXPECT_EQ(closed.yReport, 290);

    PanelState open;
    open.lightCollapsed = false;
    open.responseCollapsed = false;
    const SectionLayout l = LayoutSections(open);
    EXPECT_EQ(l.yLight, 110);
    EXPECT_EQ(l.yMacro, 335);
    EXPECT_EQ(l.yGame, 390);
    EXPECT_EQ(l.yResponse, 445);
    EXPECT_EQ(l.yReport, 520);
    EXPECT_EQ(l.responseListY(), 272);
    EXPECT_EQ(closed.responseListY(), 77);
}

struct RegionCase {
    Region region;
    bool lightOpen;
    bool gameOpen;
    bool responseOpen;
    std::uint8_t effect;
};

// Every region is hit on its top-left and bottom-right pixels in the state where it is tested,
// and one pixel outside the corner is not that region.
TEST(MainLayout, EveryRegionOnItsEdgePixels) {
    const RegionCase cases[] = {
        {Region::Help, false, false, false, 0},
        {Region::Minimise, false, false, false, 0},
        {Region::Close, false, false, false, 0},
        {Region::LightHeader, false, false, false, 0},
        {Region::KeymapRadio, true, false, false, 51},
        {Region::DiyRadio, true, false, false, 55},
        {Region::EffectBox, true, false, false, 0},
        {Region::DirectionT, true, false, false, 0},
        {Region::DirectionB, true, false, false, 0},
        {Region::DirectionR, true, false, false, 2},
        {Region::DirectionL, true, false, false, 2},
        {Region::MacroManagement, false, false, false, 0},
        {Region::MacroManagement, true, true, true, 0},
        {Region::GameModeOn, false, true, false, 0},
        {Region::GameModeOff, false, true, false, 0},
        {Region::GameModeHeader, false, false, false, 0},
        {Region::WinLockOn, true, true, false, 0},
        {Region::WinLockOff, false, true, false, 0},
        {Region::ResponseBox, false, false, true, 0},
        {Region::ResponseHeader, true, false, true, 0},
        {Region::ReportHeader, false, false, true, 0},
        {Region::ReportHeader, false, false, false, 0},
        {Region::Profile, false, false, false, 0},
        {Region::Return, false, false, false, 0},
        {Region::Cancel, false, false, false, 0},
        {Region::Save, false, false, false, 0},
        {Region::Logo, false, false, false, 0},
    };
    for (const RegionCase& c : cases) {
        PanelState panel;
        panel.lightCollapsed = !c.lightOpen;
        panel.gameCollapsed = !c.gameOpen;
        panel.responseCollapsed = !c.responseOpen;
        const Rect r = RegionRect(c.region, LayoutSections(panel));
        const int n = static_cast<int>(c.region);
        EXPECT_EQ(HitRegion(panel, c.effect, r.left, r.top), c.region) << "region " << n;
        EXPECT_EQ(HitRegion(panel, c.effect, r.right, r.bottom), c.region) << "region " << n;
        EXPECT_EQ(HitRegion(panel, c.effect, r.left, r.bottom), c.region) << "region " << n;
        EXPECT_NE(HitRegion(panel, c.effect, r.left - 1, r.top - 1), c.region) << "region " << n;
        EXPECT_NE(HitRegion(panel, c.effect, r.right + 1, r.bottom + 1), c.region) << n;
    }
}

TEST(MainLayout, ConditionalRegionsOnlyWhenTheirSectionIsOpen) {
    const PanelState closed;
    // With Light closed the points of its radio and effect box belong to the sections below.
    EXPECT_EQ(HitRegion(closed, 51, 30, 205), Region::GameModeHeader);
    EXPECT_EQ(HitRegion(closed, 0, 100, 160), Region::MacroManagement);
    EXPECT_EQ(HitRegion(closed, 0, 40, 195 + 35), std::nullopt);  // Game Mode ON, section closed

    PanelState light;
    light.lightCollapsed = false;
    // Below DIY the radios are not regions, and the T direction button answers in their place.
    EXPECT_EQ(HitRegion(light, 50, 30, 205), Region::DirectionT);
    EXPECT_EQ(HitRegion(light, 51, 30, 205), Region::KeymapRadio);
    // The direction regions answer for every effect, drawn or not.
    EXPECT_EQ(HitRegion(light, 0, 140, 200), Region::DirectionR);
}

TEST(MainLayout, BareBackgroundHitsNothing) {
    EXPECT_EQ(HitRegion(PanelState{}, 0, 5, 5), std::nullopt);
    EXPECT_EQ(HitRegion(PanelState{}, 0, 600, 400), std::nullopt);
    EXPECT_EQ(HitRegion(PanelState{}, 0, 858, 620), std::nullopt);  // between Return and Cancel
}

TEST(MainLayout, ListRows) {
    EXPECT_EQ(EffectListRowAt(100, 180), 0);
    EXPECT_EQ(EffectListRowAt(100, 532), 17);
    EXPECT_EQ(EffectListRowAt(249, 180), std::nullopt);
    EXPECT_EQ(EffectListRowAt(28, 172), std::nullopt);

    PanelState open;
    open.lightCollapsed = false;
    open.responseCollapsed = false;
    const SectionLayout l = LayoutSections(open);
    EXPECT_EQ(ResponseListRowAt(l, 27, 272), 0);
    EXPECT_EQ(ResponseListRowAt(l, 247, 272 + 199), 9);
    EXPECT_EQ(ResponseListRowAt(l, 27, 272 + 200), std::nullopt);
    EXPECT_EQ(ResponseListRowAt(LayoutSections(PanelState{}), 27, 77), 0);
}

TEST(MainLayout, EffectNames) {
    EXPECT_EQ(EffectName(7, false), u"RainDropo");
    EXPECT_EQ(EffectName(3, true), u"随按渐灭");
    EXPECT_EQ(EffectNameForCode(55, false), u"DIY5");
    EXPECT_EQ(EffectNameForCode(16, true), u"扩散集合");
    EXPECT_EQ(EffectNameForCode(7, false), std::nullopt);
}

}  // namespace
}  // namespace tavrin
