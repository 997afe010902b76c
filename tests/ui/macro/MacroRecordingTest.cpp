// Free recording through the key hook and the one-shot insertion of a keystroke.

#include "ui/macro/MacroTestSupport.h"

namespace tavrin::test {
namespace {

constexpr std::uint8_t kPress = MacroEvent::kPress;
constexpr std::uint8_t kRelease = MacroEvent::kRelease;

class MacroRecordingTest : public MacroDialogTest {
protected:
    void SetUp() override {
        MacroDialogTest::SetUp();
        PutMacro(model.macros, 0, u"Macro_001", {{kVkC, kPress, 1}, {kVkC, kRelease, 1}});
        open();
    }

    void startRecording(bool withDelay) {
        if (withDelay != dialog->recordDelay()) {
            click(CMacroRecordDlg::kRecordDelayTick);
        }
        click(CMacroRecordDlg::kRecordButton);
        ASSERT_TRUE(dialog->recordButtonState());
    }
};

TEST_F(MacroRecordingTest, StartClearsTheSequenceAndInstallsTheHookInRecordMode) {
    startRecording(false);
    ASSERT_EQ(hook.installs.size(), 1u);
    EXPECT_EQ(hook.installs[0].window, dialog.get());
    EXPECT_EQ(hook.installs[0].mode, 1);
    EXPECT_TRUE(dialog->hookInstalled());
    EXPECT_TRUE(eventLines().isEmpty());
    EXPECT_TRUE(workingEvents(0).empty());
    EXPECT_EQ(working(0).name(), u"Macro_001");

    click(CMacroRecordDlg::kRecordButton);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_FALSE(dialog->hookInstalled());
    EXPECT_EQ(hook.removes, 1);
}

TEST_F(MacroRecordingTest, TwoTapsWithoutDelayAreFourEventsOfNoDelay) {
    startRecording(false);
    tap(kVkA);
    clock.advance(300);
    tap(kVkA);
    const std::vector<MacroEvent> expected = {
        {kVkA, kPress, 1}, {kVkA, kRelease, 1}, {kVkA, kPress, 1}, {kVkA, kRelease, 1}};
    EXPECT_EQ(workingEvents(0), expected);
    EXPECT_EQ(workingSequence(0).codeEvent(0), (MacroEvent{HidUsage(kVkA), kPress, 1}));
    EXPECT_EQ(eventLines(), (QStringList{KeyLine(kVkA, false), KeyLine(kVkA, true),
                                         KeyLine(kVkA, false), KeyLine(kVkA, true)}));
    EXPECT_EQ(dialog->recordOffset(), 16u);
    EXPECT_EQ(dialog->eventList()->selectedLine(), 3);
}

TEST_F(MacroRecordingTest, AHeldKeyIsRecordedOnce) {
    startRecording(true);
    press(kVkA);
    for (int i = 0; i < 5; ++i) {
        clock.advance(33);
        press(kVkA);
    }
    clock.advance(10);
    release(kVkA);
    const std::vector<MacroEvent> expected = {{kVkA, kPress, 1}, {kVkA, kRelease, 175}};
    EXPECT_EQ(workingEvents(0), expected) << "the repeats take no time stamp";
}

TEST_F(MacroRecordingTest, MeasuredDelaysInWholeMilliseconds) {
    struct Case {
        double elapsed;
        std::uint16_t stored;
        QString line;
    };
    const std::vector<Case> cases = {
        {1234.9, 1234, QStringLiteral("1234 ms")},
        {70000.0, 60000, QStringLiteral("60000 ms")},
        {0.4, 0, QStringLiteral("0 ms")},
        {1.0, 1, QString()},  // a measured 1 ms is no delay and shows no line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        startRecording(true);
        press(kVkA);
        clock.advance(c.elapsed);
        release(kVkA);
        const std::vector<MacroEvent> expected = {{kVkA, kPress, 1}, {kVkA, kRelease, c.stored}};
        EXPECT_EQ(workingEvents(0), expected);
        QStringList lines{KeyLine(kVkA, false)};
        if (!c.line.isEmpty()) {
            lines << c.line;
        }
        lines << KeyLine(kVkA, true);
        EXPECT_EQ(eventLines(), lines);
        click(CMacroRecordDlg::kRecordButton);
    }
}

TEST_F(MacroRecordingTest, TheFirstEventCarriesNoDelay) {
    startRecording(true);
    clock.advance(5000);
    press(kVkA);
    clock.advance(20);
    press(kVkB);
    EXPECT_EQ(workingEvents(0), (std::vector<MacroEvent>{{kVkA, kPress, 1}, {kVkB, kPress, 20}}));
}

TEST_F(MacroRecordingTest, AnIgnoredReleaseStillTakesATimeStamp) {
    // A repeated release line is not recorded, but the next delay is measured from it.
    startRecording(true);
    press(kVkA);
    clock.advance(100);
    release(kVkA);
    clock.advance(50);
    release(kVkA);  // the same line again: ignored, but it takes a stamp
    clock.advance(70);
    press(kVkB);
    EXPECT_EQ(workingEvents(0), (std::vector<MacroEvent>{
                                    {kVkA, kPress, 1}, {kVkA, kRelease, 100}, {kVkB, kPress, 70}}));
}

TEST_F(MacroRecordingTest, PressesStopAt46EventsWhileReleasesGoOn) {
    startRecording(false);
    for (int i = 0; i < 46; ++i) {
        press(i % 2 == 0 ? kVkA : kVkB);
    }
    EXPECT_EQ(dialog->recordOffset(), 184u);
    press(kVkA);
    EXPECT_EQ(workingSequence(0).eventCount(), 46u) << "a press at 184 is dropped";
    release(kVkA);
    release(kVkB);
    EXPECT_EQ(workingSequence(0).eventCount(), 48u);
    EXPECT_EQ(workingSequence(0).keyEvent(47), (MacroEvent{kVkB, kRelease, 1}));
    EXPECT_TRUE(dialog->recordButtonState());
}

TEST_F(MacroRecordingTest, RecordingPastTheBufferStopsByItselfWithoutOverwriting) {
    startRecording(false);
    for (int i = 0; i < 46; ++i) {
        press(i % 2 == 0 ? kVkA : kVkB);
    }
    for (int i = 0; i < 18; ++i) {
        release(i % 2 == 0 ? kVkA : kVkB);
    }
    // 64 events fill what the record offset can address: the recording has ended itself.
    EXPECT_EQ(workingSequence(0).eventCount(), 64u);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_FALSE(dialog->hookInstalled());
    EXPECT_EQ(hook.removes, 1);
    release(kVkA);
    release(kVkB);
    press(kVkC);
    EXPECT_EQ(workingSequence(0).eventCount(), 64u);
    EXPECT_EQ(workingSequence(0).keyEvent(0), (MacroEvent{kVkA, kPress, 1}));
    EXPECT_EQ(workingSequence(0).keyEvent(63), (MacroEvent{kVkB, kRelease, 1}));
    EXPECT_EQ(dialog->eventList()->count(), 64);
}

TEST_F(MacroRecordingTest, AHookThatCannotBeInstalledRecordsNothing) {
    hook.result = false;
    click(CMacroRecordDlg::kRecordButton);
    EXPECT_TRUE(dialog->recordButtonState());
    EXPECT_FALSE(dialog->hookInstalled());
    tap(kVkA);
    EXPECT_TRUE(workingEvents(0).empty());
    click(CMacroRecordDlg::kRecordButton);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_EQ(hook.removes, 0);
}

TEST_F(MacroRecordingTest, ReleaseIsBit31WhateverTheWidth) {
    startRecording(false);
    dialog->send(WM_HOOK_KEY, kVkA, 0x001E0001);
    dialog->send(WM_HOOK_KEY, kVkA, static_cast<std::intptr_t>(std::int32_t(0xC01E0001u)));
    dialog->send(WM_HOOK_KEY, 300, 0);  // no such key
    EXPECT_EQ(workingEvents(0), (std::vector<MacroEvent>{{kVkA, kPress, 1}, {kVkA, kRelease, 1}}));
}

TEST_F(MacroRecordingTest, RecordingWithoutASelectedMacroAsks) {
    dialog->macroList()->setSelectedLine(-1);
    click(CMacroRecordDlg::kRecordButton);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"Please select a Macro file to record \n");
    EXPECT_EQ(prompts.shown()[0].caption, u"Macro Manager");
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::Ok);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_TRUE(hook.installs.empty());
}

TEST_F(MacroRecordingTest, EveryWayOutRemovesTheHook) {
    PutMacro(model.macros, 1, u"Macro_002");
    dialog->hide();
    open();
    const std::vector<std::pair<const char*, std::function<void()>>> exits = {
        {"stop", [&] { click(CMacroRecordDlg::kRecordButton); }},
        {"new", [&] { click(CMacroRecordDlg::kNewButton); }},
        {"delete", [&] { click(CMacroRecordDlg::kDeleteButton); }},
        {"list edit", [&] { dialog->send(WM_LIST_EDIT_BEGIN, 0, 0); }},
        {"other macro", [&] { selectMacro(dialog->macroList()->selectedLine() == 0 ? 1 : 0); }},
        {"ok", [&] { click(CMacroRecordDlg::kOkButton); }},
    };
    for (const auto& [name, leave] : exits) {
        SCOPED_TRACE(name);
        if (!dialog->isVisible()) {
            open();
        }
        if (dialog->macroList()->selectedLine() < 0) {
            dialog->macroList()->setSelectedLine(0);
        }
        const int removes = hook.removes;
        click(CMacroRecordDlg::kRecordButton);
        ASSERT_TRUE(dialog->hookInstalled());
        leave();
        EXPECT_FALSE(dialog->hookInstalled());
        EXPECT_FALSE(dialog->recordButtonState());
        EXPECT_EQ(hook.removes, removes + 1);
        tap(kVkA);
    }
    EXPECT_FALSE(hook.installed);
}

TEST_F(MacroRecordingTest, ClosingTheDialogRemovesTheHook) {
    click(CMacroRecordDlg::kRecordButton);
    click(CMacroRecordDlg::kCancelButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(hook.removes, 1);
    EXPECT_FALSE(dialog->nameTimerActive());
}

// --- insertion ---------------------------------------------------------------------------

TEST_F(MacroRecordingTest, InsertAfterTheLastLineAppendsPressAndRelease) {
    selectEventLine(1);
    dialog->OnCommand(CMacroRecordDlg::kInsertAfter);
    EXPECT_TRUE(dialog->insertMode());
    EXPECT_EQ(dialog->insertLine(), 2);
    ASSERT_EQ(hook.installs.size(), 1u);
    EXPECT_EQ(hook.installs[0].mode, 1);
    press(kVkA);
    EXPECT_TRUE(dialog->hookInstalled()) << "the insertion waits for the release";
    release(kVkA);
    EXPECT_FALSE(dialog->insertMode());
    EXPECT_FALSE(dialog->hookInstalled());
    EXPECT_EQ(hook.removes, 1);
    EXPECT_EQ(workingEvents(0),
              (std::vector<MacroEvent>{
                  {kVkC, kPress, 1}, {kVkC, kRelease, 1}, {kVkA, kPress, 1}, {kVkA, kRelease, 1}}));
    EXPECT_EQ(eventLines(), (QStringList{KeyLine(kVkC, false), KeyLine(kVkC, true),
                                         KeyLine(kVkA, false), KeyLine(kVkA, true)}));
    tap(kVkB);
    EXPECT_EQ(workingSequence(0).eventCount(), 4u) << "one keystroke only";
}

TEST_F(MacroRecordingTest, InsertBeforeLineZeroPutsTheKeystrokeFirst) {
    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kInsertBefore);
    EXPECT_EQ(dialog->insertLine(), 0);
    tap(kVkA);
    EXPECT_EQ(workingEvents(0),
              (std::vector<MacroEvent>{
                  {kVkA, kPress, 1}, {kVkA, kRelease, 1}, {kVkC, kPress, 1}, {kVkC, kRelease, 1}}));
    EXPECT_EQ(eventLines(), (QStringList{KeyLine(kVkA, false), KeyLine(kVkA, true),
                                         KeyLine(kVkC, false), KeyLine(kVkC, true)}));
}

TEST_F(MacroRecordingTest, InsertedLinesAlwaysMatchTheSequence) {
    // The leading press hides its delay of 300 until something is put before it.
    PutMacro(model.macros, 0, u"Macro_001", {{kVkC, kPress, 300}, {kVkC, kRelease, 1}});
    dialog->hide();
    open();
    ASSERT_EQ(eventLines(), (QStringList{KeyLine(kVkC, false), KeyLine(kVkC, true)}));
    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kInsertBefore);
    tap(kVkA);
    EXPECT_EQ(
        workingEvents(0),
        (std::vector<MacroEvent>{
            {kVkA, kPress, 1}, {kVkA, kRelease, 1}, {kVkC, kPress, 300}, {kVkC, kRelease, 1}}));
    EXPECT_EQ(eventLines(),
              (QStringList{KeyLine(kVkA, false), KeyLine(kVkA, true), QStringLiteral("300 ms"),
                           KeyLine(kVkC, false), KeyLine(kVkC, true)}));
}

TEST_F(MacroRecordingTest, InsertBeforeAKeyLineGoesBeforeItsDelayLine) {
    PutMacro(model.macros, 0, u"Macro_001", {{kVkC, kPress, 1}, {kVkC, kRelease, 250}});
    dialog->hide();
    open();
    ASSERT_EQ(eventLines(),
              (QStringList{KeyLine(kVkC, false), QStringLiteral("250 ms"), KeyLine(kVkC, true)}));
    selectEventLine(2);
    dialog->OnCommand(CMacroRecordDlg::kInsertBefore);
    EXPECT_EQ(dialog->insertLine(), 1);
    tap(kVkA);
    EXPECT_EQ(
        workingEvents(0),
        (std::vector<MacroEvent>{
            {kVkC, kPress, 1}, {kVkA, kPress, 1}, {kVkA, kRelease, 1}, {kVkC, kRelease, 250}}));

    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kInsertAfter);
    EXPECT_EQ(dialog->insertLine(), 1);
}

TEST_F(MacroRecordingTest, InsertionIntoAFullSequenceIsRefused) {
    std::vector<TestEvent> full;
    for (std::size_t i = 0; i < kMacroEventCount; ++i) {
        full.push_back({kVkC, i % 2 == 0 ? kPress : kRelease, 1});
    }
    PutMacro(model.macros, 0, u"Macro_001", full);
    dialog->hide();
    open();
    const MacroSequence before = workingSequence(0);
    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kInsertBefore);
    press(kVkA);
    EXPECT_FALSE(dialog->insertMode());
    EXPECT_FALSE(dialog->hookInstalled());
    EXPECT_EQ(hook.removes, 1);
    release(kVkA);
    EXPECT_EQ(workingSequence(0), before);
    EXPECT_EQ(dialog->eventList()->count(), 127);
}

TEST_F(MacroRecordingTest, StartingARecordingCancelsAPendingInsertion) {
    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kInsertBefore);
    click(CMacroRecordDlg::kRecordButton);
    EXPECT_FALSE(dialog->insertMode());
    EXPECT_EQ(hook.installs.size(), 1u) << "the hook stays for the recording";
    tap(kVkA);
    EXPECT_EQ(workingEvents(0), (std::vector<MacroEvent>{{kVkA, kPress, 1}, {kVkA, kRelease, 1}}));
}

TEST_F(MacroRecordingTest, SelectingAnotherMacroEndsRecordingAndInsertion) {
    PutMacro(model.macros, 1, u"Macro_002");
    dialog->hide();
    open();
    click(CMacroRecordDlg::kRecordButton);
    tap(kVkA);
    selectMacro(1);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_FALSE(dialog->hookInstalled());
    tap(kVkB);
    EXPECT_TRUE(workingEvents(1).empty());
    EXPECT_EQ(workingEvents(0), (std::vector<MacroEvent>{{kVkA, kPress, 1}, {kVkA, kRelease, 1}}));

    selectMacro(0);
    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kInsertBefore);
    selectMacro(1);
    EXPECT_FALSE(dialog->insertMode());
    EXPECT_FALSE(dialog->hookInstalled());
    tap(kVkB);
    EXPECT_TRUE(workingEvents(1).empty());
}

TEST_F(MacroRecordingTest, AContextMenuEditEndsTheRecordingFirst) {
    click(CMacroRecordDlg::kRecordButton);
    tap(kVkA);
    tap(kVkB);
    selectEventLine(0);
    dialog->OnCommand(CMacroRecordDlg::kDeleteEvent);
    EXPECT_FALSE(dialog->recordButtonState());
    EXPECT_FALSE(dialog->hookInstalled());
    tap(kVkC);
    EXPECT_EQ(workingEvents(0), (std::vector<MacroEvent>{
                                    {kVkA, kRelease, 1}, {kVkB, kPress, 1}, {kVkB, kRelease, 1}}));
}

}  // namespace
}  // namespace tavrin::test
