// The main window without a pointer: the Tab order, the keys that press, open and move, the focus
// ring, and what assistive technologies are told.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "model/AssignmentKind.h"
#include "model/KeyMapEntryType.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/SkinAccent.h"
#include "ui/main/MainViewFixture.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

using test::MainViewFixture;

constexpr std::uint8_t kCapsLock = 62;
constexpr std::uint8_t kTabKey = 41;
constexpr int kRegionKey = COstraDlg::kFirstKey;

// What a test sees of the focus: a region's name, a slider's name, or "-".
class KeyboardOperationTest : public MainViewFixture {
protected:
    void SetUp() override {
        MainViewFixture::SetUp();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, k, modifiers);
    }

    std::string focusName() {
        QWidget* focus = QApplication::focusWidget();
        if (focus != window.get()) {
            return focus ? focus->accessibleName().toStdString() : "-";
        }
        const int id = window->focusedRegion();
        return id < 0 ? "-" : window->regionInfo(id).name.toStdString();
    }

    std::vector<std::string> tabThrough(int count, bool forward = true) {
        std::vector<std::string> seen;
        for (int i = 0; i < count; ++i) {
            key(forward ? Qt::Key_Tab : Qt::Key_Backtab);
            seen.push_back(focusName());
        }
        return seen;
    }

    // Tabs until the named region has the focus; false after a whole round.
    bool tabTo(const std::string& name) {
        for (int i = 0; i < 60; ++i) {
            key(Qt::Key_Tab);
            if (focusName() == name) {
                return true;
            }
        }
        return false;
    }

    QAccessibleInterface* accessible(int id) { return RegionAccessible(*window, id); }
};

TEST_F(KeyboardOperationTest, TabRunsInReadingOrderAndShiftTabBack) {
    const std::vector<std::string> closed = {"Help",
                                             "Minimise",
                                             "Close",
                                             "Light",
                                             "Macro Management",
                                             "Game Mode",
                                             "Response Time",
                                             "USB Report Rate",
                                             "Esc",
                                             "Profile",
                                             "Return",
                                             "Cancel",
                                             "Save",
                                             "Help"};
    EXPECT_EQ(tabThrough(static_cast<int>(closed.size())), closed);
    const std::vector<std::string> back = {"Save", "Cancel", "Return", "Profile", "Esc"};
    EXPECT_EQ(tabThrough(static_cast<int>(back.size()), false), back);

    // Open sections bring their controls in where they stand: Wave's directions and both
    // sliders under Light, the radios under Game Mode, the box and the slider further down.
    settings().setEffectCode(2);
    state().panel = PanelState{false, false, false, false};
    window->paintAll();
    ASSERT_TRUE(tabTo("Light"));
    const std::vector<std::string> open = {"Effect",          "Direction Up",     "Direction Down",
                                           "Direction Right", "Direction Left",   "Brightness",
                                           "Speed",           "Macro Management", "Game Mode",
                                           "Game Mode ON",    "Game Mode OFF",    "Win Lock ON",
                                           "Win Lock OFF",    "Response Time",    "Response Time",
                                           "USB Report Rate", "USB Report Rate",  "Esc"};
    EXPECT_EQ(tabThrough(static_cast<int>(open.size())), open);
}

TEST_F(KeyboardOperationTest, SpaceAndEnterPressTheFocusedRegion) {
    ASSERT_TRUE(tabTo("Light"));
    key(Qt::Key_Space);
    EXPECT_FALSE(state().panel.lightCollapsed);
    key(Qt::Key_Return);
    EXPECT_TRUE(state().panel.lightCollapsed);

    QSignalSpy commands(window.get(), &COstraDlg::commandRequested);
    ASSERT_TRUE(tabTo("Save"));
    key(Qt::Key_Enter);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.takeFirst().at(0).value<Region>(), Region::Save);
    // Ctrl+S saves wherever the focus is, as Save does.
    ASSERT_TRUE(tabTo("Light"));
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.takeFirst().at(0).value<Region>(), Region::Save);
}

TEST_F(KeyboardOperationTest, TheArrowsChooseAnEffectAndEscapeLeavesItAsItWas) {
    settings().setEffectCode(0);
    ASSERT_TRUE(tabTo("Light"));
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    ASSERT_EQ(focusName(), "Effect");
    key(Qt::Key_Space);
    ASSERT_TRUE(state().effectListOpen);
    // It opens on the current effect's row; the focus is on that row.
    EXPECT_EQ(state().effectListRow, 0);
    EXPECT_EQ(focusName(), "Static");
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(focusName(), "Wave");
    key(Qt::Key_Escape);
    EXPECT_FALSE(state().effectListOpen);
    EXPECT_EQ(settings().effectCode(), 0);
    EXPECT_EQ(focusName(), "Effect");

    // It opens again on the row last highlighted.
    key(Qt::Key_Space);
    EXPECT_EQ(focusName(), "Wave");
    key(Qt::Key_Return);
    EXPECT_FALSE(state().effectListOpen);
    EXPECT_EQ(settings().effectCode(), 2);
    EXPECT_EQ(settings().colourIndex(), 8);  // the colour rule of a click holds
    // Up at the top row stays there.
    key(Qt::Key_Space);
    for (int i = 0; i < 4; ++i) {
        key(Qt::Key_Up);
    }
    EXPECT_EQ(state().effectListRow, 0);
    // Tab leaves the list without a choice.
    key(Qt::Key_Tab);
    EXPECT_FALSE(state().effectListOpen);
    EXPECT_EQ(settings().effectCode(), 2);
}

TEST_F(KeyboardOperationTest, TheArrowsWalkTheKeysAndEnterOpensTheAssignment) {
    ASSERT_TRUE(tabTo("Esc"));
    EXPECT_EQ(model->selectedKey, 0);  // the key shows its highlight as the pointer would
    key(Qt::Key_Down);
    EXPECT_EQ(focusName(), "~");
    key(Qt::Key_Down);
    EXPECT_EQ(window->focusedKey(), kTabKey);
    key(Qt::Key_Down);
    EXPECT_EQ(window->focusedKey(), kCapsLock);
    key(Qt::Key_Right);
    EXPECT_EQ(focusName(), "A");
    key(Qt::Key_Left);
    EXPECT_EQ(window->focusedKey(), kCapsLock);
    key(Qt::Key_Return);
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(model->selectedKey, kCapsLock);
    EXPECT_FALSE(window->lastPressByPointer());

    // Win and Fn cannot be picked in the Keymap view: the arrows pass over them.
    for (int i = 0; i < 6; ++i) {
        key(Qt::Key_Down);
    }
    for (int i = 0; i < 4; ++i) {
        key(Qt::Key_Right);
        EXPECT_NE(window->focusedKey(), 96);
        EXPECT_NE(window->focusedKey(), 100);
    }
}

TEST_F(KeyboardOperationTest, TheRingFollowsTheFocusInTheAccentColour) {
    const QRgb accent = kSkinAccent;
    const QRect save = window->regionInfo(static_cast<int>(Region::Save)).rect;
    EXPECT_NE(pixel(save.left() - 1, save.center().y()), accent);  // no ring before Tab
    ASSERT_TRUE(tabTo("Save"));
    EXPECT_EQ(pixel(save.left() - 1, save.center().y()), accent);
    EXPECT_EQ(pixel(save.right() + 2, save.center().y()), accent);
    EXPECT_EQ(pixel(save.center().x(), save.top() - 2), accent);
    EXPECT_EQ(pixel(save.center().x(), save.bottom() + 1), accent);
    EXPECT_NE(pixel(save.center().x(), save.bottom() + 3), accent);
    test::SaveScreenshotIfAsked(*window, QStringLiteral("focus-button"));

    // On a key, and on a slider, which has the focus itself.
    ASSERT_TRUE(tabTo("Esc"));
    const QRect esc = window->regionInfo(kRegionKey).rect;
    EXPECT_NE(pixel(save.left() - 1, save.center().y()), accent);
    EXPECT_EQ(pixel(esc.left() - 1, esc.center().y()), accent);
    test::SaveScreenshotIfAsked(*window, QStringLiteral("focus-key"));
    ASSERT_TRUE(tabTo("Light"));
    key(Qt::Key_Space);
    ASSERT_TRUE(tabTo("Brightness"));
    const QRect slider = window->slider(kBrightnessSliderId)->geometry();
    EXPECT_EQ(pixel(slider.left() - 1, slider.center().y()), accent);
    const int before = settings().brightnessLevel();
    key(before < 4 ? Qt::Key_Right : Qt::Key_Left);
    EXPECT_NE(settings().brightnessLevel(), before);  // the arrows move the slider
    test::SaveScreenshotIfAsked(*window, QStringLiteral("focus-slider"));

    // The pointer hides the ring until the keyboard moves the focus again.
    click(500, 30);
    EXPECT_NE(pixel(slider.left() - 1, slider.center().y()), accent);
}

TEST_F(KeyboardOperationTest, RegionsHaveRolesNamesStatesAndActions) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(root, nullptr);
    int regions = 0;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(root->indexOfChild(child), i);
        if (child->object() == nullptr) {
            ++regions;
            EXPECT_NE(child->role(), QAccessible::NoRole) << i;
            EXPECT_FALSE(child->text(QAccessible::Name).isEmpty()) << i;
            EXPECT_EQ(child->parent(), root);
        }
    }
    EXPECT_GE(regions, 25);

    QAccessibleInterface* light = accessible(static_cast<int>(Region::LightHeader));
    EXPECT_EQ(light->role(), QAccessible::PushButton);
    EXPECT_TRUE(light->state().expandable);
    EXPECT_TRUE(light->state().collapsed);
    QAccessibleInterface* effect = accessible(static_cast<int>(Region::EffectBox));
    EXPECT_TRUE(effect->state().invisible);  // its section is closed
    EXPECT_EQ(effect->role(), QAccessible::ComboBox);
    EXPECT_EQ(effect->childCount(), 18);

    // An action presses the region as a click would, once the caller has its answer.
    QAccessibleActionInterface* press = light->actionInterface();
    ASSERT_NE(press, nullptr);
    ASSERT_EQ(press->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    press->doAction(QAccessibleActionInterface::pressAction());
    TAVRIN_WAIT_TRUE(!state().panel.lightCollapsed);
    EXPECT_TRUE(light->state().expanded);
    EXPECT_FALSE(effect->state().invisible);
    EXPECT_EQ(effect->text(QAccessible::Value).toStdString(), "Static");

    state().panel.gameCollapsed = false;
    window->paintAll();
    QAccessibleInterface* on = accessible(static_cast<int>(Region::GameModeOn));
    EXPECT_EQ(on->role(), QAccessible::RadioButton);
    EXPECT_EQ(on->text(QAccessible::Name).toStdString(), "Game Mode ON");
    EXPECT_FALSE(on->state().checked);
    on->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    TAVRIN_WAIT_EQ(settings().gameMode(), 1);
    EXPECT_TRUE(on->state().checked);

    // Geometry on the screen, for a reader's magnifier and pointer.
    const QRect r = accessible(static_cast<int>(Region::Save))->rect();
    EXPECT_EQ(r.topLeft(), window->mapToGlobal(QPoint(923, 605)));
    EXPECT_EQ(root->childAt(r.center().x(), r.center().y()),
              accessible(static_cast<int>(Region::Save)));
}

TEST_F(KeyboardOperationTest, KeysTellTheirMeaning) {
    struct Case {
        std::uint8_t position;
        std::function<void(AssignmentRecord)> give;
        const char* meaning;
    };
    const Case cases[] = {
        {kCapsLock, [](AssignmentRecord) {}, "Caps"},  // what it sends by default
        {kCapsLock,
         [](AssignmentRecord r) {
             r.setKind(KindByte(AssignmentKind::SingleKey));
             r.keys()[0] = 0x1B;
             r.setKeyCount(1);
         },
         "Esc"},
        {1,
         [](AssignmentRecord r) {
             r.setKind(KindByte(AssignmentKind::Macro));
             r.setCode({1, 0, 0, EntryTypeByte(KeyMapEntryType::Macro)});
         },
         "Macro 2"},
        {5,
         [](AssignmentRecord r) {
             r.setKind(KindByte(AssignmentKind::Startup));
             r.setLaunchPath(u"/usr/bin/obs");
         },
         "Launch: /usr/bin/obs"},
        {kTabKey,
         [](AssignmentRecord r) {
             r.setKind(KindByte(AssignmentKind::KeyCombination));
             r.keys()[0] = 0xA2;
             r.keys()[1] = 'C';
             r.setKeyCount(2);
         },
         "LCtrl + C"},
    };
    for (const Case& c : cases) {
        model->assignments = AssignmentTable{};
        model->refreshOwnVk();
        c.give(model->assignments.record(c.position));
        QAccessibleInterface* key = accessible(kRegionKey + c.position);
        EXPECT_EQ(key->text(QAccessible::Description).toStdString(), c.meaning) << c.meaning;
        EXPECT_EQ(key->role(), QAccessible::PushButton);
    }
    EXPECT_EQ(accessible(kRegionKey + kCapsLock)->text(QAccessible::Name).toStdString(),
              "Caps Lock");
    // A disabled key says so; Win cannot be picked in the Keymap view.
    settings().setKeyEnabled(MatrixCodeOf(kCapsLock), false);
    EXPECT_EQ(accessible(kRegionKey + kCapsLock)->text(QAccessible::Description).toStdString(),
              "Disabled");
    EXPECT_TRUE(accessible(kRegionKey + 96)->state().disabled);

    // In the DIY view a key is a check box: lit or not.
    settings().setEffectCode(53);
    state().diyView = true;
    settings().diyTable(2)[LedIndexTable[0]] = 0xFF;
    QAccessibleInterface* esc = accessible(kRegionKey);
    EXPECT_EQ(esc->role(), QAccessible::CheckBox);
    EXPECT_TRUE(esc->state().checked);
    EXPECT_EQ(esc->text(QAccessible::Description).toStdString(), "Lit");
    esc->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    TAVRIN_WAIT_EQ(settings().diyTable(2)[LedIndexTable[0]], 0);
    EXPECT_FALSE(esc->state().checked);
}

}  // namespace
}  // namespace tavrin
