// The skinned tree's painting over the platform tree's items.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "ui/controls/VividTree.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

const QColor kPlus(0, 255, 0);
const QColor kMinus(255, 0, 255);

class VividTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree = new VividTree(&window);
        other = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(tree);
        layout->addWidget(other);
        window.resize(200, 200);
        tree->setBackgroundMode(VividTree::DarkBackground);
        tree->setSignBitmaps(test::SolidImage({9, 9}, kPlus), test::SolidImage({9, 9}, kMinus));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    int countColour(const QImage& image, const QColor& colour, QRect area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += image.pixelColor(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

    QWidget window;
    VividTree* tree;
    QLineEdit* other;
};

TEST_F(VividTreeTest, AnEmptyTreePaintsOnlyItsBackground) {
    const QImage picture = tree->composed();
    EXPECT_EQ(countColour(picture, VividTree::kDarkFill, picture.rect()),
              picture.width() * picture.height());

    tree->setBackgroundMode(VividTree::GradientBackground);
    const QImage gradient = tree->composed();
    EXPECT_EQ(gradient.pixelColor(0, 5), QColor(255, 255, 255));
    EXPECT_GT(gradient.pixelColor(gradient.width() - 1, 5).red(), 200);
    EXPECT_LT(gradient.pixelColor(gradient.width() - 1, 5).red(), 220);
}

TEST_F(VividTreeTest, TheHighlightBandFollowsTheFocusUnlessTheSelectionShowsAlways) {
    auto* item = new QTreeWidgetItem(tree, QStringList(QStringLiteral("Search")));
    tree->setCurrentItem(item);
    tree->setFocus();
    ASSERT_TRUE(tree->hasFocus());
    const QRect row = tree->visualItemRect(item);
    const QImage focused = tree->composed();
    // The band runs from the left edge over the row.
    EXPECT_EQ(focused.pixelColor(0, row.center().y()), VividTree::kHighlightBand);
    EXPECT_EQ(focused.pixelColor(focused.width() - 1, row.center().y()), VividTree::kHighlightBand);

    other->setFocus();
    ASSERT_FALSE(tree->hasFocus());
    EXPECT_EQ(tree->composed().pixelColor(0, row.center().y()), VividTree::kDarkFill);

    tree->setShowSelectionAlways(true);
    EXPECT_EQ(tree->composed().pixelColor(0, row.center().y()), VividTree::kHighlightBand);
}

TEST_F(VividTreeTest, SignsOnlyBeforeGroupsAndTextsSevenPixelsRight) {
    auto* leaf = new QTreeWidgetItem(tree, QStringList(QStringLiteral("Run")));
    auto* group = new QTreeWidgetItem(tree, QStringList(QStringLiteral("Media")));
    new QTreeWidgetItem(group, QStringList(QStringLiteral("Prev")));
    other->setFocus();

    const QImage collapsed = tree->composed();
    const QRect leafRow = tree->visualItemRect(leaf);
    const QRect groupRow = tree->visualItemRect(group);
    EXPECT_EQ(countColour(collapsed, kPlus, QRect(0, leafRow.top(), 200, leafRow.height())), 0);
    EXPECT_EQ(countColour(collapsed, kMinus, collapsed.rect()), 0);
    // The plus sign ends 2 pixels left of the moved text rectangle, 4 below its top.
    const int textLeft = groupRow.left() + VividTree::kTextShift;
    EXPECT_EQ(collapsed.pixelColor(textLeft - 3, groupRow.top() + 4), kPlus);
    EXPECT_EQ(collapsed.pixelColor(textLeft - 11, groupRow.top() + 12), kPlus);
    EXPECT_NE(collapsed.pixelColor(textLeft - 2, groupRow.top() + 4), kPlus);

    // Some white text starts at or after the moved left edge, none before it.
    const QRect before(0, leafRow.top(), leafRow.left() + VividTree::kTextShift, leafRow.height());
    EXPECT_EQ(countColour(collapsed, Qt::white, before), 0);
    const QRect after(leafRow.left() + VividTree::kTextShift, leafRow.top(), 60, leafRow.height());
    EXPECT_GT(countColour(collapsed, Qt::white, after), 5);

    group->setExpanded(true);
    const QImage expanded = tree->composed();
    EXPECT_EQ(expanded.pixelColor(textLeft - 3, groupRow.top() + 4), kMinus);
    EXPECT_EQ(countColour(expanded, kPlus, expanded.rect()), 0);
}

TEST_F(VividTreeTest, TheCompiledInSignsAreNineByNine) {
    tree->SetTreeBitmaps();
    auto* group = new QTreeWidgetItem(tree, QStringList(QStringLiteral("Media")));
    new QTreeWidgetItem(group, QStringList(QStringLiteral("Prev")));
    const QImage plus = QImage(QStringLiteral(":/bitmaps/133.png"));
    ASSERT_FALSE(plus.isNull());
    EXPECT_EQ(plus.size(), QSize(9, 9));
    EXPECT_EQ(QImage(QStringLiteral(":/bitmaps/134.png")).size(), QSize(9, 9));
}

}  // namespace
}  // namespace tavrin
