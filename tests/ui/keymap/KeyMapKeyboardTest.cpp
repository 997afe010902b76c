// The key assignment dialog without a pointer, with the real key hook: what a capture field takes,
// Enter, Escape and Tab, and the dialog's regions as assistive technologies see them.

#include <gtest/gtest.h>

#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QTest>

#include "platform/qt/QtKeyHook.h"
#include "ui/keymap/KeyMapFixture.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

constexpr std::uint8_t kVkB = 'B';

class KeyMapKeyboardTest : public test::KeyMapFixture {
protected:
    void SetUp() override {
        KeyMapFixture::SetUp();
        dialog = std::make_unique<CKeyMap>(model, *skins, realHook, prompts, chooser);
    }
    void TearDown() override { dialog.reset(); }

    void openActive(bool byPointer) {
        dialog->setCaptureAtOpening(byPointer);
        open(test::PositionOf(kVkB));
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        TAVRIN_WAIT_EQ(QApplication::focusWidget(), dialog->singleKeyEdit());
    }
    void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    QString shown() const { return dialog->singleKeyEdit()->text().trimmed(); }

    QtKeyHook realHook;
};

TEST_F(KeyMapKeyboardTest, OpenedByThePointerTheFieldKeepsEveryKeyItTakes) {
    openActive(true);
    EXPECT_TRUE(dialog->capturesKeys());
    EXPECT_TRUE(realHook.installed());
    for (const Qt::Key k : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Space}) {
        key(k);
        EXPECT_TRUE(dialog->isVisible()) << k;
        EXPECT_EQ(QApplication::focusWidget(), dialog->singleKeyEdit()) << k;
    }
    EXPECT_EQ(model.pending.pendingKeys[0], 0x20);  // the last one, Space
    EXPECT_EQ(model.pending.pendingKeyCount, 1);
    click(test::kClosePoint);
    EXPECT_TRUE(closedWith(QDialog::Rejected));
}

TEST_F(KeyMapKeyboardTest, OpenedFromTheKeyboardEnterSetsTheFieldToTakeOneKey) {
    openActive(false);
    EXPECT_FALSE(dialog->capturesKeys());
    key(Qt::Key_A);  // no text is typed into a field that takes no keys
    EXPECT_EQ(shown(), "");
    key(Qt::Key_Return);
    EXPECT_TRUE(dialog->capturesKeys());
    key(Qt::Key_Escape);  // taken: Escape is the key's new meaning
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(shown(), "Esc");
    EXPECT_EQ(model.pending.pendingKeys[0], 0x1B);
    EXPECT_FALSE(dialog->capturesKeys());  // one key, and the keyboard is back
    // Now Escape closes the dialog, as its close button does: nothing is taken.
    key(Qt::Key_Escape);
    EXPECT_TRUE(closedWith(QDialog::Rejected));
}

TEST_F(KeyMapKeyboardTest, TabReachesTabsAndButtonsAndSpacePressesThem) {
    openActive(false);
    // From the field: past the second field to the tick box, then Default, Cancel, Save, the
    // close button and the four tabs.
    const auto focused = [this] {
        return QApplication::focusWidget() == dialog.get()
                   ? dialog->regionInfo(dialog->focusedRegion()).name.toStdString()
                   : QApplication::focusWidget()->accessibleName().toStdString();
    };
    std::vector<std::string> seen;
    for (int i = 0; i < 9; ++i) {
        key(Qt::Key_Tab);
        seen.push_back(focused());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Combine", "Disable", "Default", "Cancel", "Save",
                                              "Close", "Single/Combine", "Macro", "Basic"}));
    key(Qt::Key_Space);
    EXPECT_EQ(dialog->activeTab(), CKeyMap::BasicTab);
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), "Advance");
    key(Qt::Key_Tab);  // the tab's own control comes after the tabs
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(dialog->tree()));
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Backtab);
    }
    EXPECT_EQ(focused(), "Macro");
    key(Qt::Key_Return);  // Enter presses the focused tab, and closes nothing
    EXPECT_EQ(dialog->activeTab(), CKeyMap::MacroTab);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(KeyMapKeyboardTest, RegionsAreNamedAndPressedThroughTheirActions) {
    openActive(false);
    QAccessibleInterface* tick = RegionAccessible(*dialog, KeyMapButtons::kDisableTick);
    EXPECT_EQ(tick->role(), QAccessible::CheckBox);
    EXPECT_EQ(tick->text(QAccessible::Name).toStdString(), "Disable");
    EXPECT_FALSE(tick->state().checked);
    tick->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    TAVRIN_WAIT_TRUE(tick->state().checked);
    QAccessibleInterface* basic = RegionAccessible(*dialog, 3);
    EXPECT_EQ(basic->role(), QAccessible::PageTab);
    EXPECT_FALSE(basic->state().selected);
    basic->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    TAVRIN_WAIT_EQ(dialog->activeTab(), CKeyMap::BasicTab);
    EXPECT_TRUE(basic->state().selected);
    // The launch rows show on their tab only.
    QAccessibleInterface* sound = RegionAccessible(*dialog, CKeyMap::kLaunchRadio);
    EXPECT_TRUE(sound->state().invisible);
    EXPECT_EQ(sound->text(QAccessible::Name).toStdString(), "Play Sound");
}

}  // namespace
}  // namespace tavrin
