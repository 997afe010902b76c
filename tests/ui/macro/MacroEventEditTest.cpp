// Editing a sequence: the event list's context menu and the delay lines' in-place editor.

#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "support/ScopedTranslation.h"
#include "ui/macro/MacroTestSupport.h"

namespace tavrin::test {
namespace {

constexpr std::uint8_t kPress = MacroEvent::kPress;
constexpr std::uint8_t kRelease = MacroEvent::kRelease;
constexpr std::uint8_t kMouseLeft = 0xF0;
constexpr std::uint8_t kMouseRight = 0xF1;
constexpr std::uint8_t kMouseMiddle = 0xF2;

class MacroEventEditTest : public MacroDialogTest {
protected:
    // A dn, 250 ms, A up, B dn, B up
    void SetUp() override {
        MacroDialogTest::SetUp();
        PutMacro(
            model.macros, 0, u"Macro_001",
            {{kVkA, kPress, 1}, {kVkA, kRelease, 250}, {kVkB, kPress, 1}, {kVkB, kRelease, 1}});
        open();
        ASSERT_EQ(eventLines(),
                  (QStringList{KeyLine(kVkA, false), QStringLiteral("250 ms"), KeyLine(kVkA, true),
                               KeyLine(kVkB, false), KeyLine(kVkB, true)}));
    }

    void command(int line, int id) {
        selectEventLine(line);
        dialog->OnCommand(id);
    }

    // The texts of a menu, with its submenus in brackets.
    static QStringList Texts(const QMenu* menu) {
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (action->menu()) {
                texts << action->text() + QStringLiteral(" [") +
                             Texts(action->menu()).join(QStringLiteral(", ")) + QStringLiteral("]");
            } else {
                texts << action->text() + QStringLiteral("=") + action->data().toString();
            }
        }
        return texts;
    }
};

TEST_F(MacroEventEditTest, MenuTextsInBothLanguages) {
    EXPECT_EQ(Texts(dialog->buildContextMenu().get()),
              (QStringList{
                  "Insert Before=32790", "Insert After=32791",
                  "Insert Mouse Key [Left [Down=32800, Up=32801, Click=32802], Right [Down=32804, "
                  "Up=32806, Click=32807], Middle [Down=32811, Up=32812, Click=32813]]",
                  "Insert Delay=32793", "Delete=32815"}));
    dialog->hide();
    model.languageId = kLanguageChinese;
    const test::ScopedTranslation translation(model.languageId);
    open();
    EXPECT_EQ(
        Texts(dialog->buildContextMenu().get()),
        (QStringList{"在之前开始录入=32790", "在之后开始录入=32791",
                     "插入鼠标按键 [左键 [压下=32800, 释放=32801, 单击=32802], 右键 [压下=32804, "
                     "释放=32806, 单击=32807], 中健 [压下=32811, 释放=32812, 单击=32813]]",
                     "插入延迟=32793", "删除=32815"}));
}

TEST_F(MacroEventEditTest, ARightPressOverTheEventListRunsTheChosenCommand) {
    selectEventLine(3);
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            return;
        }
        for (QAction* action : menu->actions()) {
            offered << action->text();
            if (action->data().toInt() == CMacroRecordDlg::kInsertDelay) {
                menu->setActiveAction(action);
            }
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    CTransparentListBox* list = dialog->eventList();
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, list->lineRect(0).center());
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, list->lineRect(0).center());
    EXPECT_EQ(offered.size(), 5);
    EXPECT_EQ(workingSequence(0).keyEvent(2).delay, 50) << "Insert Delay on the selected line";
    EXPECT_EQ(dialog->eventList()->count(), 6);
}

TEST_F(MacroEventEditTest, MouseKeysGoBeforeTheSelectedLinesEvent) {
    struct Case {
        const char* name;
        int line;
        int command;
        std::vector<MacroEvent> expected;
    };
    const MacroEvent aDn{kVkA, kPress, 1}, aUp{kVkA, kRelease, 250}, bDn{kVkB, kPress, 1},
        bUp{kVkB, kRelease, 1};
    const std::vector<Case> cases = {
        {"left down on a key line",
         3,
         CMacroRecordDlg::kLeftDown,
         {aDn, aUp, {kMouseLeft, kPress, 1}, bDn, bUp}},
        {"right up on a delay line",
         1,
         CMacroRecordDlg::kRightUp,
         {aDn, {kMouseRight, kRelease, 1}, aUp, bDn, bUp}},
        {"middle click on line 0",
         0,
         CMacroRecordDlg::kMiddleClick,
         {{kMouseMiddle, kPress, 1}, {kMouseMiddle, kRelease, 1}, aDn, aUp, bDn, bUp}},
        {"left click on a delay line",
         1,
         CMacroRecordDlg::kLeftClick,
         {aDn, {kMouseLeft, kPress, 1}, {kMouseLeft, kRelease, 1}, aUp, bDn, bUp}},
        {"right click on the last line",
         4,
         CMacroRecordDlg::kRightClick,
         {aDn, aUp, bDn, {kMouseRight, kPress, 1}, {kMouseRight, kRelease, 1}, bUp}},
    };
    const MacroTable original = model.macros;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.macros = original;
        dialog->hide();
        open();
        command(c.line, c.command);
        EXPECT_EQ(workingEvents(0), c.expected);
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(workingSequence(0).codeEvent(i).key, HidUsage(c.expected[i].key)) << i;
        }
        EXPECT_EQ(dialog->eventList()->count(),
                  static_cast<int>(EventLines(workingSequence(0).keyEvents).size()));
    }
}

TEST_F(MacroEventEditTest, InsertDelay) {
    command(3, CMacroRecordDlg::kInsertDelay);
    EXPECT_EQ(workingSequence(0).keyEvent(2).delay, 50);
    EXPECT_EQ(eventLines()[3], QStringLiteral("50 ms"));

    command(0, CMacroRecordDlg::kInsertDelay);
    EXPECT_EQ(workingSequence(0).keyEvent(0).delay, 1) << "the first event keeps no delay";
    EXPECT_EQ(eventLines()[0], KeyLine(kVkA, false));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MacroEventEditTest, InsertDelayOnADelayLineAsksForAnEdit) {
    const MacroTable before = dialog->workingMacroTable();
    command(1, CMacroRecordDlg::kInsertDelay);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"Please edit current delay\n");
    EXPECT_EQ(prompts.shown()[0].caption, u"Macro Manager");
    EXPECT_EQ(dialog->workingMacroTable(), before);
}

TEST_F(MacroEventEditTest, DeleteADelayOrAnEvent) {
    command(1, CMacroRecordDlg::kDeleteEvent);
    EXPECT_EQ(workingSequence(0).keyEvent(1), (MacroEvent{kVkA, kRelease, 1}));
    EXPECT_EQ(dialog->eventList()->count(), 4);

    command(3, CMacroRecordDlg::kDeleteEvent);
    EXPECT_EQ(workingEvents(0),
              (std::vector<MacroEvent>{{kVkA, kPress, 1}, {kVkA, kRelease, 1}, {kVkB, kPress, 1}}));
    EXPECT_EQ(eventLines(),
              (QStringList{KeyLine(kVkA, false), KeyLine(kVkA, true), KeyLine(kVkB, false)}));
}

TEST_F(MacroEventEditTest, CommandsWithoutASelectedLineDoNothing) {
    const MacroTable before = dialog->workingMacroTable();
    dialog->eventList()->setSelectedLine(-1);
    for (int id : {CMacroRecordDlg::kInsertBefore, CMacroRecordDlg::kInsertAfter,
                   CMacroRecordDlg::kLeftClick, CMacroRecordDlg::kInsertDelay,
                   CMacroRecordDlg::kDeleteEvent}) {
        dialog->OnCommand(id);
    }
    EXPECT_EQ(dialog->workingMacroTable(), before);
    EXPECT_TRUE(hook.installs.empty());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MacroEventEditTest, AMouseClickNeedsRoomForBothHalves) {
    std::vector<TestEvent> events;
    for (std::size_t i = 0; i < kMacroEventCount - 1; ++i) {
        events.push_back({kVkC, i % 2 == 0 ? kPress : kRelease, 1});
    }
    PutMacro(model.macros, 0, u"Macro_001", events);
    dialog->hide();
    open();
    const MacroTable before = dialog->workingMacroTable();
    command(0, CMacroRecordDlg::kLeftClick);
    EXPECT_EQ(dialog->workingMacroTable(), before);
    command(0, CMacroRecordDlg::kLeftDown);
    EXPECT_EQ(workingSequence(0).eventCount(), kMacroEventCount);
}

TEST_F(MacroEventEditTest, AnotherEditCancelsAPendingInsertionAndItsHook) {
    command(0, CMacroRecordDlg::kInsertBefore);
    ASSERT_TRUE(dialog->insertMode());
    command(3, CMacroRecordDlg::kInsertDelay);
    EXPECT_FALSE(dialog->insertMode());
    EXPECT_FALSE(dialog->hookInstalled());
    EXPECT_EQ(hook.removes, 1);
    const MacroTable before = dialog->workingMacroTable();
    tap(kVkC);
    EXPECT_EQ(dialog->workingMacroTable(), before) << "no keystroke lands anywhere";
}

// --- delay lines ---------------------------------------------------------------------------

TEST_F(MacroEventEditTest, DelayEditsAreClampedAndStored) {
    struct Case {
        QString typed;
        std::uint16_t stored;
    };
    for (const Case& c : {Case{"1", 2}, Case{"70000", 60000}, Case{"1500", 1500}}) {
        SCOPED_TRACE(c.typed.toStdString());
        CTransparentListBox* list = dialog->eventList();
        const QPoint delayLine = list->lineRect(1).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, delayLine);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, delayLine);
        ASSERT_NE(list->editor(), nullptr);
        list->editor()->setText(c.typed);
        QTest::keyRelease(list->editor(), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(workingSequence(0).keyEvent(1).delay, c.stored);
        EXPECT_EQ(workingSequence(0).codeEvent(1).delay, c.stored);
        EXPECT_EQ(eventLines()[1], QStringLiteral("%1 ms").arg(c.stored));
    }
}

TEST_F(MacroEventEditTest, EditingADelayLineEndsARecording) {
    click(CMacroRecordDlg::kRecordButton);
    tap(kVkA);
    clock.advance(10);
    dialog->send(WM_LIST_EDIT_BEGIN, 0, 0);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_FALSE(dialog->hookInstalled());
}

TEST_F(MacroEventEditTest, APressLineOpensNoEditor) {
    CTransparentListBox* list = dialog->eventList();
    const QPoint pressLine = list->lineRect(0).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pressLine);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pressLine);
    EXPECT_EQ(list->editor(), nullptr);
}

TEST_F(MacroEventEditTest, EscapeInTheDelayEditorChangesNothing) {
    const MacroTable before = dialog->workingMacroTable();
    CTransparentListBox* list = dialog->eventList();
    const QPoint delayLine = list->lineRect(1).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, delayLine);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, delayLine);
    ASSERT_NE(list->editor(), nullptr);
    list->editor()->setText(QStringLiteral("999"));
    QTest::keyRelease(list->editor(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog->workingMacroTable(), before);
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
}  // namespace tavrin::test
