// A key click's road: the dialog run modally for the key, its choice applied and stored, with
// the real key hook capturing real key events.

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include "model/LocalFiles.h"
#include "platform/qt/QtKeyHook.h"
#include "ui/keymap/KeyMapFixture.h"
#include "ui/keymap/OpenKeyAssignment.h"

namespace tavrin::test {
namespace {

class OpenKeyAssignmentTest : public KeyMapFixture {
protected:
    // Runs `steps` once the modal dialog shows; a dialog they leave open is cancelled, so that
    // a failing test cannot hang in the modal loop.
    static void whenShown(CKeyMap& shown, std::function<void()> steps) {
        QTimer::singleShot(0, &shown, [&shown, steps] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&shown));
            ParkMouse(shown);
            steps();
            if (shown.isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                shown.reject();
            }
        });
    }
};

TEST_F(OpenKeyAssignmentTest, SaveAppliesTheChoiceAndWritesKeymapBin) {
    const std::uint8_t key = PositionOf(66);
    // The file on disk is what the dialog starts from, not what memory held.
    ASSERT_TRUE(WriteKeymapFromModel(program.path(), model).ok);
    record(key).setKind(KindByte(AssignmentKind::Function));

    QtKeyHook realHook;
    CKeyMap hooked(model, *skins, realHook, prompts, chooser);
    whenShown(hooked, [&] {
        EXPECT_EQ(hooked.activeTab(), CKeyMap::SingleCombineTab);
        QTest::mouseClick(hooked.combinationEdit(), Qt::LeftButton);
        for (const auto& [qtKey, native] :
             {std::pair{int(Qt::Key_Control), 0xFFE3u}, std::pair{int(Qt::Key_A), 0u}}) {
            QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, 0, native, 0);
            QApplication::sendEvent(hooked.combinationEdit(), &press);
            QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, 0, native, 0);
            QApplication::sendEvent(hooked.combinationEdit(), &release);
        }
        EXPECT_EQ(hooked.combinationEdit()->text(), QStringLiteral("LCtrl + A "));
        QTest::mouseClick(&hooked, Qt::LeftButton, {}, kSavePoint);
    });
    model.selectedKey = key;
    const KeyAssignmentOutcome outcome = OpenKeyAssignment(hooked, model, program.path());

    EXPECT_EQ(outcome.status, KeyAssignmentOutcome::Status::Committed);
    ASSERT_TRUE(outcome.write && outcome.write->ok);
    EXPECT_FALSE(realHook.installed());
    EXPECT_EQ(model.settings.keyMapEntry(KeyMapIndexOf(key)),
              (KeyMapEntry{HidUsage(162), HidUsage(65), 0, 0}));
    EXPECT_EQ(model.keyChangedFlags[key], 1);

    Model reloaded;
    ASSERT_EQ(LoadKeymapFile(program.path(), reloaded, false).outcome, LoadOutcome::Loaded);
    EXPECT_EQ(reloaded.assignments.record(key).kind(), KindByte(AssignmentKind::KeyCombination));
    EXPECT_EQ(reloaded.settings.keyMapEntry(KeyMapIndexOf(key)),
              model.settings.keyMapEntry(KeyMapIndexOf(key)));
}

TEST_F(OpenKeyAssignmentTest, CancelAppliesNothingAndKeysWithoutAnEntryOpenNothing) {
    const std::uint8_t key = PositionOf(66);
    const KeyMapEntry before = model.settings.keyMapEntry(KeyMapIndexOf(key));
    whenShown(*dialog, [this] {
        hookKey(67);
        click(kCancelPoint);
    });
    model.selectedKey = key;
    EXPECT_EQ(OpenKeyAssignment(*dialog, model, program.path()).status,
              KeyAssignmentOutcome::Status::Cancelled);
    EXPECT_EQ(model.settings.keyMapEntry(KeyMapIndexOf(key)), before);

    model.selectedKey = kNoKey;
    EXPECT_EQ(OpenKeyAssignment(*dialog, model, program.path()).status,
              KeyAssignmentOutcome::Status::NotAssignable);
    model.selectedKey = 110;
    EXPECT_EQ(OpenKeyAssignment(*dialog, model, program.path()).status,
              KeyAssignmentOutcome::Status::NotAssignable);
}

}  // namespace
}  // namespace tavrin::test
