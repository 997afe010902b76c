// The macro manager's window: opening, the skin buttons, the macros, loops, OK and Cancel.

#include <QLineEdit>

#include "support/ScopedTranslation.h"
#include "ui/macro/MacroTestSupport.h"
#include "ui/support/Waits.h"

namespace tavrin::test {
namespace {

constexpr std::uint8_t kPress = MacroEvent::kPress;
constexpr std::uint8_t kRelease = MacroEvent::kRelease;

using CMacroRecordDlgTest = MacroDialogTest;

TEST_F(CMacroRecordDlgTest, OpensEmptyOnAnEmptyStore) {
    open();
    EXPECT_EQ(dialog->size(), QSize(412, 436));
    EXPECT_EQ(dialog->macroList()->count(), 0);
    EXPECT_EQ(dialog->macroList()->selectedLine(), -1);
    EXPECT_EQ(dialog->eventList()->count(), 0);
    EXPECT_FALSE(dialog->recordDelay());
    EXPECT_FALSE(dialog->loopsOn());
    EXPECT_FALSE(dialog->loopsEdit()->isEnabled());
    EXPECT_FALSE(dialog->hookInstalled());
    EXPECT_TRUE(dialog->nameTimerActive());
    const QImage surface = dialog->composeSurface();
    EXPECT_EQ(LogicalPixelColor(surface, {370, 170}), kTickOff);
    EXPECT_EQ(LogicalPixelColor(surface, {298, 317}), kTickOff);
}

TEST_F(CMacroRecordDlgTest, PlacesItsControlsAndModes) {
    open();
    EXPECT_EQ(dialog->macroList()->geometry(), QRect(20, 80, 113, 275));
    EXPECT_EQ(dialog->eventList()->geometry(), QRect(150, 80, 113, 275));
    EXPECT_EQ(dialog->loopsEdit()->geometry(), QRect(296, 331, 84, 18));
    EXPECT_EQ(dialog->loopsEdit()->maxLength(), 3);
    EXPECT_EQ(dialog->eventList()->editMode(), CTransparentListBox::DelayEdit);
    EXPECT_EQ(dialog->macroList()->editMode(), CTransparentListBox::Rename);
    EXPECT_EQ(dialog->macroList()->lineHeight(), dialog->eventList()->lineHeight());
    EXPECT_LE(dialog->macroList()->lineHeight(), 16);
    QTest::keyClicks(dialog->loopsEdit(), QStringLiteral("x"));
    EXPECT_TRUE(dialog->loopsEdit()->text().isEmpty()) << "disabled and digits only";
}

TEST_F(CMacroRecordDlgTest, OpensOnSlotZero) {
    PutMacro(model.macros, 0, u"Jump", {{kVkA, kPress, 1}, {kVkA, kRelease, 250}}, 5, true);
    PutMacro(model.macros, 1, u"Run");
    open();
    EXPECT_EQ(macroLines(), (QStringList{QStringLiteral("Jump"), QStringLiteral("Run")}));
    EXPECT_EQ(dialog->macroList()->selectedLine(), 0);
    EXPECT_TRUE(dialog->loopsOn());
    EXPECT_TRUE(dialog->loopsEdit()->isEnabled());
    EXPECT_EQ(dialog->loopsEdit()->text(), QStringLiteral("5"));
    EXPECT_TRUE(dialog->recordDelay());
    EXPECT_EQ(eventLines(),
              (QStringList{KeyLine(kVkA, false), QStringLiteral("250 ms"), KeyLine(kVkA, true)}));
    const QImage surface = dialog->composeSurface();
    EXPECT_EQ(LogicalPixelColor(surface, {370, 170}), kTickOn);
    EXPECT_EQ(LogicalPixelColor(surface, {298, 317}), kTickOn);
}

TEST_F(CMacroRecordDlgTest, OpeningShowsSlotZerosLoopCountAsStored) {
    PutMacro(model.macros, 0, u"Jump", {}, 0);
    open();
    EXPECT_EQ(dialog->loopsEdit()->text(), QStringLiteral("0"));
    EXPECT_FALSE(dialog->loopsOn());
    EXPECT_EQ(working(0).loopCount(), 0);
}

TEST_F(CMacroRecordDlgTest, SelectingAMacroWithLoopCountZeroShowsOne) {
    PutMacro(model.macros, 0, u"Jump", {}, 7);
    PutMacro(model.macros, 1, u"Run", {{kVkB, kPress, 1}}, 0, true);
    open();
    selectMacro(1);
    EXPECT_EQ(dialog->loopsEdit()->text(), QStringLiteral("1"));
    EXPECT_FALSE(dialog->loopsOn());
    EXPECT_FALSE(dialog->loopsEdit()->isEnabled());
    EXPECT_EQ(working(1).loopCount(), 1);
    EXPECT_TRUE(dialog->recordDelay());
    EXPECT_EQ(eventLines(), QStringList{KeyLine(kVkB, false)});
    selectMacro(0);
    EXPECT_TRUE(dialog->loopsOn());
    EXPECT_EQ(dialog->loopsEdit()->text(), QStringLiteral("7"));
}

TEST_F(CMacroRecordDlgTest, LoopTickOffWritesOne) {
    PutMacro(model.macros, 0, u"Jump", {}, 12);
    open();
    QTest::keyClick(dialog->loopsEdit(), Qt::Key_End);
    dialog->loopsEdit()->setText(QStringLiteral("999"));
    EXPECT_EQ(working(0).loopCount(), 999);
    click(CMacroRecordDlg::kLoopTick);
    EXPECT_FALSE(dialog->loopsOn());
    EXPECT_EQ(dialog->loopsEdit()->text(), QStringLiteral("1"));
    EXPECT_FALSE(dialog->loopsEdit()->isEnabled());
    EXPECT_EQ(working(0).loopCount(), 1);
    click(CMacroRecordDlg::kLoopTick);
    EXPECT_TRUE(dialog->loopsEdit()->isEnabled());
    dialog->loopsEdit()->clear();
    EXPECT_EQ(working(0).loopCount(), 0) << "an empty field reads 0";
}

TEST_F(CMacroRecordDlgTest, AGapInTheStoreIsClosedUp) {
    PutMacro(model.macros, 0, u"First");
    PutMacro(model.macros, 2, u"Third", {{kVkC, kPress, 1}});
    open();
    EXPECT_EQ(macroLines(), (QStringList{QStringLiteral("First"), QStringLiteral("Third")}));
    EXPECT_EQ(working(1).name(), u"Third");
    EXPECT_EQ(workingEvents(1), (std::vector<MacroEvent>{{kVkC, kPress, 1}}));
    EXPECT_TRUE(working(2).isFree());
}

TEST_F(CMacroRecordDlgTest, NewNamesTheFirstFreeNumber) {
    open();
    click(CMacroRecordDlg::kNewButton);
    EXPECT_EQ(macroLines(), QStringList{QStringLiteral("Macro_001")});
    EXPECT_EQ(dialog->macroList()->selectedLine(), 0);
    EXPECT_EQ(working(0).name(), u"Macro_001");
    EXPECT_EQ(working(0).loopCount(), 1);
    EXPECT_EQ(dialog->loopsEdit()->text(), QStringLiteral("1"));
    click(CMacroRecordDlg::kNewButton);
    EXPECT_EQ(working(1).name(), u"Macro_002");

    // Deleting Macro_001 frees its name; the new one is appended as slot 1.
    dialog->macroList()->setSelectedLine(0);
    click(CMacroRecordDlg::kDeleteButton);
    click(CMacroRecordDlg::kNewButton);
    EXPECT_EQ(macroLines(),
              (QStringList{QStringLiteral("Macro_002"), QStringLiteral("Macro_001")}));
    EXPECT_EQ(working(1).name(), u"Macro_001");
    EXPECT_EQ(dialog->macroList()->selectedLine(), 1);
}

TEST_F(CMacroRecordDlgTest, NewClearsTheSlotAndTheOptions) {
    PutMacro(model.macros, 0, u"Jump", {{kVkA, kPress, 1}}, 4, true);
    open();
    click(CMacroRecordDlg::kNewButton);
    EXPECT_TRUE(eventLines().isEmpty());
    EXPECT_FALSE(dialog->recordDelay());
    EXPECT_FALSE(dialog->loopsOn());
    EXPECT_TRUE(workingEvents(1).empty());
    EXPECT_FALSE(working(1).delayFlag());
    EXPECT_EQ(working(0).loopCount(), 4) << "the macro before keeps its count";
}

TEST_F(CMacroRecordDlgTest, NewDoesNothingWithFiveMacros) {
    for (std::size_t slot = 0; slot < 5; ++slot) {
        PutMacro(model.macros, slot, u"M" + std::u16string(1, char16_t(u'0' + slot)));
    }
    open();
    const MacroTable before = dialog->workingMacroTable();
    click(CMacroRecordDlg::kNewButton);
    EXPECT_EQ(dialog->macroList()->count(), 5);
    EXPECT_EQ(dialog->workingMacroTable(), before);
}

TEST_F(CMacroRecordDlgTest, DeletingSlotOneOfThreeMovesSlotTwoDown) {
    PutMacro(model.macros, 0, u"A");
    PutMacro(model.macros, 1, u"B", {{kVkB, kPress, 1}});
    PutMacro(model.macros, 2, u"C", {{kVkC, kPress, 1}, {kVkC, kRelease, 1}}, 3);
    open();
    selectMacro(1);
    click(CMacroRecordDlg::kDeleteButton);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"Confirm to delete?");
    EXPECT_EQ(prompts.shown()[0].caption, u"Macro Manager");
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(macroLines(), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    EXPECT_EQ(working(1).name(), u"C");
    EXPECT_EQ(working(1).loopCount(), 3);
    EXPECT_TRUE(working(2).isFree());
    EXPECT_EQ(dialog->macroList()->selectedLine(), 1);
    EXPECT_EQ(eventLines(), (QStringList{KeyLine(kVkC, false), KeyLine(kVkC, true)}));
}

TEST_F(CMacroRecordDlgTest, DeletingTheOnlyMacroLeavesNothingSelected) {
    PutMacro(model.macros, 0, u"A", {{kVkA, kPress, 1}});
    open();
    click(CMacroRecordDlg::kDeleteButton);
    EXPECT_EQ(dialog->macroList()->count(), 0);
    EXPECT_EQ(dialog->macroList()->selectedLine(), -1);
    EXPECT_TRUE(eventLines().isEmpty());
    EXPECT_EQ(dialog->workingMacroTable(), MacroTable{});
}

TEST_F(CMacroRecordDlgTest, DeleteAsksFirstAndNeedsASelection) {
    PutMacro(model.macros, 0, u"A");
    open();
    prompts.queueAnswer(PromptAnswer::Cancel);
    click(CMacroRecordDlg::kDeleteButton);
    EXPECT_EQ(macroLines(), QStringList{QStringLiteral("A")});

    dialog->macroList()->setSelectedLine(-1);
    click(CMacroRecordDlg::kDeleteButton);
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[2].text, u"Please select a Macro file to delete\n");
    EXPECT_EQ(prompts.shown()[2].caption, u"Macro Manager");
    EXPECT_EQ(macroLines(), QStringList{QStringLiteral("A")});
}

TEST_F(CMacroRecordDlgTest, ChineseMessageTexts) {
    model.languageId = kLanguageChinese;
    const test::ScopedTranslation translation(model.languageId);
    open();
    click(CMacroRecordDlg::kRecordButton);
    click(CMacroRecordDlg::kDeleteButton);
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[0].text, u"请选择一个宏指令文件录制\n");
    EXPECT_EQ(prompts.shown()[0].caption, u"宏管理器");
    EXPECT_EQ(prompts.shown()[1].text, u"确认删除吗？");
    EXPECT_EQ(prompts.shown()[1].caption, u"宏管理");
    EXPECT_EQ(prompts.shown()[2].text, u"请选择一个宏指令文件删除\n");
    EXPECT_EQ(prompts.shown()[2].caption, u"宏管理");
}

TEST_F(CMacroRecordDlgTest, OkKeepsTheWorkAndCancelDropsIt) {
    PutMacro(model.macros, 0, u"A", {}, 1);
    const MacroTable stored = model.macros;
    open();
    click(CMacroRecordDlg::kNewButton);
    click(CMacroRecordDlg::kCancelButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(model.macros, stored);

    open();
    click(CMacroRecordDlg::kLoopTick);
    dialog->loopsEdit()->setText(QStringLiteral("42"));
    click(CMacroRecordDlg::kNewButton);
    dialog->macroList()->setSelectedLine(0);
    click(CMacroRecordDlg::kLoopTick);
    dialog->loopsEdit()->setText(QStringLiteral("42"));
    click(CMacroRecordDlg::kOkButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(model.macros.record(0).loopCount(), 42);
    EXPECT_EQ(model.macros.record(1).name(), u"Macro_001");
}

TEST_F(CMacroRecordDlgTest, EnterNeverClosesAndEscapeCancelsUnlessAnEditIsOpen) {
    PutMacro(model.macros, 0, u"A", {}, 3);
    open();
    for (QWidget* target :
         {static_cast<QWidget*>(dialog.get()), static_cast<QWidget*>(dialog->loopsEdit()),
          static_cast<QWidget*>(dialog->macroList())}) {
        for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(target, k);
            EXPECT_TRUE(dialog->isVisible());
        }
    }
    // Escape in a line's editor ends the edit only.
    CTransparentListBox* list = dialog->macroList();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->lineRect(0).center());
    ASSERT_NE(list->editor(), nullptr);
    list->editor()->setText(QStringLiteral("Fire"));
    QTest::keyClick(list->editor(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    TAVRIN_WAIT_EQ(list->editor(), nullptr);
    // Then Escape cancels, as Cancel does: the store keeps what it had.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(std::as_const(model.macros).record(0).name(), u"A");
}

TEST_F(CMacroRecordDlgTest, RenamesReachTheCopyByTheNameTimerAndOnOk) {
    PutMacro(model.macros, 0, u"A");
    open();
    CTransparentListBox* list = dialog->macroList();
    const QPoint line = list->lineRect(0).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
    ASSERT_NE(list->editor(), nullptr);
    list->editor()->setText(QStringLiteral("Fire"));
    QTest::keyRelease(list->editor(), Qt::Key_Return);
    EXPECT_EQ(list->lineText(0), QStringLiteral("Fire"));
    TAVRIN_WAIT_EQ_FOR(working(0).name(), std::u16string(u"Fire"), 3000);

    // Renamed and left with OK at once, before the timer's next tick.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
    ASSERT_NE(list->editor(), nullptr);
    list->editor()->setText(QString(300, QLatin1Char('x')));
    click(CMacroRecordDlg::kOkButton);
    EXPECT_EQ(model.macros.record(0).name(), std::u16string(255, u'x'));
}

TEST_F(CMacroRecordDlgTest, AnEmptyNameKeepsTheOldOne) {
    PutMacro(model.macros, 0, u"A");
    PutMacro(model.macros, 1, u"B");
    open();
    dialog->macroList()->setLineText(0, QString());
    click(CMacroRecordDlg::kOkButton);
    EXPECT_EQ(model.macros.record(0).name(), u"A");
    EXPECT_EQ(model.macros.record(1).name(), u"B");
}

TEST_F(CMacroRecordDlgTest, ButtonsLightUpUnderThePointer) {
    open();
    const QRect newButton = CMacroRecordDlg::kButtonTable[CMacroRecordDlg::kNewButton].rect();
    const QRect record = CMacroRecordDlg::kButtonTable[CMacroRecordDlg::kRecordButton].rect();
    EXPECT_EQ(LogicalPixelColor(dialog->composeSurface(), newButton.topLeft() + QPoint(2, 2)),
              kButtonNormal);
    QTest::mouseMove(dialog.get(), newButton.bottomRight());  // edges belong to the button
    EXPECT_EQ(dialog->buttonState(CMacroRecordDlg::kNewButton), 1);
    EXPECT_EQ(LogicalPixelColor(dialog->composeSurface(), newButton.topLeft() + QPoint(2, 2)),
              kButtonOver);
    QTest::mouseMove(dialog.get(), record.topLeft());
    EXPECT_EQ(dialog->buttonState(CMacroRecordDlg::kNewButton), 0);
    EXPECT_EQ(dialog->buttonState(CMacroRecordDlg::kRecordButton), 1);
    EXPECT_EQ(LogicalPixelColor(dialog->composeSurface(), record.topLeft() + QPoint(80, 20)),
              kRecordOver);
    QTest::mouseMove(dialog.get(), QPoint(200, 20));
    for (int i = 0; i < CMacroRecordDlg::kButtonCount; ++i) {
        EXPECT_EQ(dialog->buttonState(i), 0) << i;
    }
}

TEST_F(CMacroRecordDlgTest, TheRecordButtonSaysWhatItWillDo) {
    PutMacro(model.macros, 0, u"A");
    open();
    const QRect record = CMacroRecordDlg::kButtonTable[CMacroRecordDlg::kRecordButton].rect();
    const auto shown = [&] {
        QTest::mouseMove(dialog.get(), QPoint(200, 20));  // no hover image
        return LogicalCopy(dialog->composeSurface(), record);
    };
    const QImage idle = shown();
    click(CMacroRecordDlg::kRecordButton);
    EXPECT_NE(shown(), idle);
    click(CMacroRecordDlg::kRecordButton);
    EXPECT_EQ(shown(), idle);
    bool white = false;
    for (int x = 0; x < idle.width() && !white; ++x) {
        for (int y = 0; y < idle.height() && !white; ++y) {
            white = idle.pixelColor(x, y) == Qt::white;
        }
    }
    EXPECT_TRUE(white) << "the caption is drawn over the button";
}

TEST_F(CMacroRecordDlgTest, HitTestIsInclusiveAndInTableOrder) {
    EXPECT_EQ(CMacroRecordDlg::hitTest({290, 100}), CMacroRecordDlg::kRecordButton);
    EXPECT_EQ(CMacroRecordDlg::hitTest({379, 124}), CMacroRecordDlg::kRecordButton);
    EXPECT_EQ(CMacroRecordDlg::hitTest({380, 124}), -1);
    EXPECT_EQ(CMacroRecordDlg::hitTest({382, 182}), CMacroRecordDlg::kRecordDelayTick);
    EXPECT_EQ(CMacroRecordDlg::hitTest({296, 315}), CMacroRecordDlg::kLoopTick);
    EXPECT_EQ(CMacroRecordDlg::hitTest({137, 392}), CMacroRecordDlg::kDeleteButton);
    EXPECT_EQ(CMacroRecordDlg::hitTest({397, 424}), CMacroRecordDlg::kCancelButton);
    EXPECT_EQ(CMacroRecordDlg::hitTest({0, 0}), -1);
}

TEST_F(CMacroRecordDlgTest, DraggingTheSurfaceMovesTheWindow) {
    open();
    const QPoint start = dialog->pos();
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, QPoint(200, 20));
    QTest::mouseMove(dialog.get(), QPoint(230, 40));
    EXPECT_EQ(dialog->pos(), start + QPoint(30, 20));
    QTest::mouseRelease(dialog.get(), Qt::LeftButton);
}

TEST_F(CMacroRecordDlgTest, EveryOpeningStartsAfresh) {
    PutMacro(model.macros, 0, u"A", {{kVkA, kPress, 1}});
    open();
    click(CMacroRecordDlg::kRecordDelayTick);
    click(CMacroRecordDlg::kNewButton);
    click(CMacroRecordDlg::kCancelButton);
    open();
    EXPECT_EQ(macroLines(), QStringList{QStringLiteral("A")});
    EXPECT_EQ(eventLines(), QStringList{KeyLine(kVkA, false)});
    EXPECT_FALSE(dialog->recordDelay());
}

}  // namespace
}  // namespace tavrin::test
