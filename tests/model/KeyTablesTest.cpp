#include <gtest/gtest.h>

#include <set>

#include "model/KeyCodeTable.h"
#include "model/KeyHitTest.h"
#include "model/KeyTables.h"
#include "model/SettingsBlock.h"

namespace tavrin {
namespace {

struct HitCase {
    const char* name;
    int x;
    int y;
    std::optional<std::size_t> expected;
};

class EscBounds : public testing::TestWithParam<HitCase> {};

TEST_P(EscBounds, InclusiveEdgesOn104Keys) {
    const HitCase& c = GetParam();
    EXPECT_EQ(HitKeyRect(KeyRects104, c.x, c.y), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    KeyHitTest, EscBounds,
    testing::Values(HitCase{"TopLeftCorner", 275 + 86, 85 + 113, 0},
                    HitCase{"BottomRightCorner", 275 + 108, 85 + 137, 0},
                    HitCase{"LeftOfTopLeft", 275 + 85, 85 + 113, std::nullopt},
                    HitCase{"AboveTopLeft", 275 + 86, 85 + 112, std::nullopt},
                    HitCase{"RightOfBottomRight", 275 + 109, 85 + 137, std::nullopt},
                    HitCase{"BelowBottomRight", 275 + 108, 85 + 138, std::nullopt},
                    HitCase{"PictureOrigin", 275, 85, std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(KeyHitTest, PictureOriginHitsNothingOn87Keys) {
    EXPECT_EQ(HitKeyRect(KeyRects87, 275, 85), std::nullopt);
}

TEST(KeyHitTest, EveryKeyIsHitAtItsCentreInBothLayouts) {
    for (const auto* rects : {&KeyRects104, &KeyRects87}) {
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            const KeyRect& r = (*rects)[p];
            if (r.isEmpty()) {
                continue;
            }
            const int x = kKeyboardOriginX + (r.left + r.right) / 2;
            const int y = kKeyboardOriginY + (r.top + r.bottom) / 2;
            EXPECT_EQ(HitKeyRect(*rects, x, y), p) << "position " << p;
        }
    }
}

TEST(KeyHitTest, The87KeyLayoutNeverHitsTheNumericPad) {
    const std::set<std::size_t> pad = {37, 38, 39, 40, 58, 59, 60,  61, 75,
                                       76, 77, 91, 92, 93, 94, 106, 107};
    std::set<std::size_t> hit;
    for (int x = 0; x < 1000; ++x) {
        for (int y = 0; y < 500; ++y) {
            if (auto p = HitKeyRect(KeyRects87, x, y)) {
                hit.insert(*p);
            }
        }
    }
    for (std::size_t p : pad) {
        EXPECT_EQ(hit.count(p), 0u) << "position " << p;
    }
    EXPECT_EQ(hit.size(), 87u);
}

TEST(KeyTables, AbsentKeysHaveAllZeroRectangles) {
    for (std::size_t p : {16, 17, 18, 19, 108, 109, 110, 111, 112}) {
        EXPECT_TRUE(KeyRects104[p].isEmpty()) << p;
        EXPECT_TRUE(KeyRects87[p].isEmpty()) << p;
        EXPECT_TRUE(KeyLabels104[p].empty()) << p;
    }
}

TEST(KeyTables, DeviceIndexesFollowTheMatrixPlace) {
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        const MatrixPlace place = MatrixPlaces[p];
        if (place.row < 0) {
            // The media keys share left Ctrl's indexes.
            EXPECT_EQ(MatrixCodeTable[p], 0) << p;
            EXPECT_EQ(LedIndexTable[p], 0) << p;
            EXPECT_EQ(KeyMapIndexTable[p], 0) << p;
            continue;
        }
        EXPECT_EQ(MatrixCodeTable[p], place.row * 32 + place.column) << p;
        EXPECT_EQ(LedIndexTable[p], place.column * 6 + (5 - place.row)) << p;
        EXPECT_EQ(KeyMapIndexTable[p], place.row * 21 + place.column) << p;
    }
    EXPECT_EQ(MatrixCodeOf(95), 0);
    EXPECT_EQ(KeyMapIndexOf(112), 0);
}

TEST(KeyTables, F6CodesAndItsEnableBit) {
    EXPECT_EQ(MatrixCodeTable[6], 167);
    EXPECT_EQ(LedIndexTable[6], 42);
    EXPECT_EQ(KeyMapIndexTable[6], 112);

    SettingsBlock block;
    block.setKeyEnabled(MatrixCodeTable[6], true);
    EXPECT_EQ(block.keyEnableMask()[20], 0x80);
    EXPECT_TRUE(block.isKeyEnabled(167));
    block.setKeyEnabled(167, false);
    EXPECT_EQ(block.keyEnableMask()[20], 0x00);
}

TEST(KeyTables, CaptionsAndVirtualKeys) {
    EXPECT_EQ(KeyLabels104[54], u"\\");
    EXPECT_EQ(KeyLabels104[62], u"Caps Lock");
    EXPECT_EQ(KeyLabels104, KeyLabels87);
    for (std::size_t p = 108; p < kKeyTableSize; ++p) {
        EXPECT_TRUE(KeyLabels104[p].empty());
        EXPECT_EQ(LabelPoints104[p].x, 0);
        EXPECT_EQ(LabelPoints87[p].y, 0);
    }
    EXPECT_EQ(DefaultVkTable[100], 93);
    EXPECT_EQ(DefaultVkTable[101], 93);
    EXPECT_EQ(DefaultVkTable[112], 237);
    EXPECT_EQ(LabelPoints104[98].x, 244);
    EXPECT_EQ(LabelPoints87[0].y, 132);
}

TEST(KeyTables, FactoryKeyMapSpecialEntries) {
    const auto entry = [](std::size_t i) {
        return KeyMapEntry{DefaultKeyMap[4 * i], DefaultKeyMap[4 * i + 1], DefaultKeyMap[4 * i + 2],
                           DefaultKeyMap[4 * i + 3]};
    };
    EXPECT_EQ(entry(10), (KeyMapEntry{255, 0, 5, 7}));
    EXPECT_EQ(entry(18), (KeyMapEntry{2, 2, 0, 4}));
    EXPECT_EQ(entry(35), (KeyMapEntry{1, 1, 0, 4}));
    EXPECT_EQ(entry(83), (KeyMapEntry{3, 0, 0, 4}));
    EXPECT_EQ(entry(126), (KeyMapEntry{224, 0, 0, 0}));
    EXPECT_EQ(entry(127), (KeyMapEntry{227, 0, 0, 0}));
    // Esc sits at row 5, column 0 and sends usage 41.
    EXPECT_EQ(entry(KeyMapIndexTable[0]), (KeyMapEntry{41, 0, 0, 0}));
}

TEST(KeyTables, EffectCodes) {
    EXPECT_EQ(EffectCodeTable[7], 9);
    EXPECT_EQ(EffectCodeTable[13], kFirstDiyEffect);
    EXPECT_EQ(EffectCodeTable[17], 55);
    EXPECT_EQ(EffectCodeTable[18], 0);
}

struct KeyCodeCase {
    int vk;
    int usage;
    std::u16string_view name;
};

class KeyCodeRecords : public testing::TestWithParam<KeyCodeCase> {};

TEST_P(KeyCodeRecords, UsageAndNameExactly) {
    const KeyCodeCase& c = GetParam();
    const KeyCodeRecord& r = kKeyCodeTable[static_cast<std::size_t>(c.vk)];
    EXPECT_EQ(r.virtualKey, c.vk);
    EXPECT_EQ(r.usage, c.usage);
    EXPECT_EQ(r.name, c.name);
}

INSTANTIATE_TEST_SUITE_P(KeyCodeTable, KeyCodeRecords,
                         testing::Values(KeyCodeCase{48, 39, u"0"}, KeyCodeCase{49, 30, u"1 "},
                                         KeyCodeCase{57, 38, u"9 "}, KeyCodeCase{65, 4, u"A "},
                                         KeyCodeCase{90, 29, u"Z "}, KeyCodeCase{112, 58, u"F1 "},
                                         KeyCodeCase{123, 69, u"F12 "},
                                         KeyCodeCase{105, 97, u"9-num "},
                                         KeyCodeCase{179, 205, u"Play/Pause"},
                                         KeyCodeCase{174, 234, u"Volume DOWN "},
                                         KeyCodeCase{220, 50, u"\\ "}, KeyCodeCase{243, 243, u""},
                                         KeyCodeCase{247, 247, u"Mouse pointer Down"},
                                         KeyCodeCase{0, 0, u""}, KeyCodeCase{255, 0, u""}),
                         [](const auto& p) { return "vk" + std::to_string(p.param.vk); });

TEST(KeyCodeTable, EveryRecordNamesItsIndex) {
    for (std::size_t i = 0; i < kKeyCodeTable.size(); ++i) {
        EXPECT_EQ(kKeyCodeTable[i].virtualKey, i);
    }
}

}  // namespace
}  // namespace tavrin
