#include <gtest/gtest.h>

#include "ui/controls/SkinButtonTable.h"

namespace tavrin {
namespace {

TEST(SkinButtonTable, HelpButtonComesFirst) {
    SkinButtonTable table;
    BuildSkinButtonTable(table);
    EXPECT_EQ(table[0].rectangle, (SkinRect{936, 5, 952, 20}));
    EXPECT_EQ(table[0].normalPicture, u"button-help-normal.png");
    EXPECT_EQ(table[0].highlightedPicture, u"button-help-over.png");
    EXPECT_EQ(table[0].pressedPicture, u"button-help-normal.png");
    EXPECT_EQ(table[21].rectangle, (SkinRect{19, 507, 260, 524}));
}

TEST(SkinButtonTable, RebuildingClearsEverythingTheWindowChanged) {
    SkinButtonTable table;
    BuildSkinButtonTable(table);
    table[3].state = 7;
    table[3].rectangle.top += 100;
    table[22].normalPicture = u"left-over.png";
    table[255].state = 1;
    BuildSkinButtonTable(table);
    EXPECT_EQ(table[3].state, 0);
    EXPECT_EQ(table[3].rectangle, (SkinRect{28, 158, 248, 173}));
    for (std::size_t i = kSkinButtonCount; i < SkinButtonTable::size(); ++i) {
        EXPECT_TRUE(table[i].normalPicture.empty()) << i;
        EXPECT_EQ(table[i].state, 0) << i;
        EXPECT_EQ(table[i].rectangle, SkinRect{}) << i;
    }
    for (std::size_t i = 0; i < kSkinButtonCount; ++i) {
        EXPECT_FALSE(table[i].normalPicture.empty()) << i;
        EXPECT_LE(table[i].normalPicture.size(), kSkinPictureNameMax) << i;
    }
}

TEST(SkinButtonTable, RectanglesHoldBothEdges) {
    const SkinRect help{936, 5, 952, 20};
    EXPECT_TRUE(help.contains(936, 5));
    EXPECT_TRUE(help.contains(952, 20));
    EXPECT_FALSE(help.contains(935, 5));
    EXPECT_FALSE(help.contains(952, 21));
}

TEST(SkinButtonTable, OutOfRangeIndexIsCaught) {
    SkinButtonTable table;
    EXPECT_THROW(table[256], std::out_of_range);
}

}  // namespace
}  // namespace tavrin
