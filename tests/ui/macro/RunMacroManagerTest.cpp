// The Macro Management button's run: the modal dialog, then on OK the device records and both
// files.

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include "model/LocalFiles.h"
#include "model/MacroStore.h"
#include "support/ScopedTranslation.h"
#include "ui/macro/MacroTestSupport.h"
#include "ui/macro/RunMacroManager.h"

namespace tavrin::test {
namespace {

class RunMacroManagerTest : public MacroDialogTest {
protected:
    // Runs the dialog and, once it shows, records a tap of A into a new macro and leaves with
    // the given button.
    MacroManagerOutcome runAndLeaveWith(int button, const std::filesystem::path& dir) {
        QTimer::singleShot(0, dialog.get(), [this, button] {
            dialog->clickButton(CMacroRecordDlg::kNewButton);
            dialog->clickButton(CMacroRecordDlg::kRecordButton);
            tap(kVkA);
            dialog->clickButton(button);
        });
        return RunMacroManager(*dialog, model, dir);
    }

    TempDir programDir;
};

TEST_F(RunMacroManagerTest, OkBuildsTheDeviceRecordsAndWritesBothFiles) {
    model.settings.bytes.fill(0xAB);
    const MacroManagerOutcome outcome =
        runAndLeaveWith(CMacroRecordDlg::kOkButton, programDir.path());
    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.filesWritten()) << outcome.keymap.error << outcome.macros.error;
    EXPECT_EQ(hook.removes, 1);

    ASSERT_EQ(model.macros.record(0).name(), u"Macro_001");
    const auto device = std::as_const(model.settings).deviceMacroRecord(0);
    const std::vector<std::uint8_t> head(device.begin(), device.begin() + 12);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{1, 0, 0, 0, HidUsage(kVkA), 0x00, 1, 0,
                                               HidUsage(kVkA), 0x80, 1, 0}));
    EXPECT_EQ(std::as_const(model.settings).deviceMacroRecord(1)[0], 0xAB)
        << "records above the last macro keep their bytes";

    const std::vector<std::uint8_t> macros = ReadWholeFile(programDir / kMacroFileName);
    EXPECT_EQ(macros,
              std::vector<std::uint8_t>(model.macros.bytes.begin(), model.macros.bytes.end()));
    const std::vector<std::uint8_t> keymap = ReadWholeFile(programDir / kKeymapFileName);
    ASSERT_EQ(keymap.size(), kKeymapFileSize);
    EXPECT_TRUE(
        std::equal(model.settings.bytes.begin(), model.settings.bytes.end(), keymap.begin()));
}

TEST_F(RunMacroManagerTest, CancelChangesNothing) {
    const Model before = model;
    const MacroManagerOutcome outcome =
        runAndLeaveWith(CMacroRecordDlg::kCancelButton, programDir.path());
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(model.macros, before.macros);
    EXPECT_EQ(model.settings.bytes, before.settings.bytes);
    EXPECT_FALSE(std::filesystem::exists(programDir / kMacroFileName));
    EXPECT_FALSE(std::filesystem::exists(programDir / kKeymapFileName));
}

TEST_F(RunMacroManagerTest, WriteFailuresAreReported) {
    const auto missing = programDir.path() / "no-such-folder";
    const MacroManagerOutcome outcome = runAndLeaveWith(CMacroRecordDlg::kOkButton, missing);
    EXPECT_TRUE(outcome.accepted);
    EXPECT_FALSE(outcome.keymap.ok);
    EXPECT_FALSE(outcome.macros.ok);
    EXPECT_FALSE(outcome.macros.error.empty());
    EXPECT_EQ(model.macros.record(0).name(), u"Macro_001") << "the model has the macros";
}

// The dialog with the skin the build draws, in both languages, for a look at it. Saved when
// TAVRIN_SCREENSHOT_DIR is set.
TEST(MacroManagerLook, BothLanguagesWithTheBuiltSkin) {
    const std::filesystem::path programDir(TAVRIN_BUILD_PROGRAM_DIR);
    ASSERT_TRUE(std::filesystem::exists(programDir / "png" / "english" / "MacroManagement"))
        << "no skin in " << programDir;
    SkinLookup skins({programDir});
    for (std::uint16_t language : {kLanguageEnglish, kLanguageChinese}) {
        Model model;
        model.languageId = language;
        const test::ScopedTranslation translation(model.languageId);
        PutMacro(model.macros, 0, u"Macro_001",
                 {{kVkA, MacroEvent::kPress, 1},
                  {kVkA, MacroEvent::kRelease, 250},
                  {kVkB, MacroEvent::kPress, 1},
                  {kVkB, MacroEvent::kRelease, 40},
                  {0xF0, MacroEvent::kPress, 1},
                  {0xF0, MacroEvent::kRelease, 1}},
                 3, true);
        PutMacro(model.macros, 1, u"Macro_002");
        PutMacro(model.macros, 2, u"Reload");
        FakeKeyHook hook;
        ScriptedPrompts prompts;
        ManualMacroClock clock;
        CMacroRecordDlg dialog(model, hook, prompts, clock, skins);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ParkMouse(dialog);
        dialog.eventList()->setSelectedLine(1);
        QTest::mouseMove(
            &dialog, CMacroRecordDlg::kButtonTable[CMacroRecordDlg::kNewButton].rect().center());
        const QImage shot = dialog.grab().toImage();
        EXPECT_EQ(shot.size(), QSize(412, 436));
        const QString name = language == kLanguageChinese ? QStringLiteral("macro-manager-chinese")
                                                          : QStringLiteral("macro-manager-english");
        SaveScreenshotIfAsked(dialog, name);

        // Recording, with more lines than the list shows.
        dialog.clickButton(CMacroRecordDlg::kRecordButton);
        for (std::uint8_t vk = kVkA; vk < kVkA + 12; ++vk) {
            clock.advance(120.5);
            dialog.send(WM_HOOK_KEY, vk, 0);
            clock.advance(80);
            dialog.send(WM_HOOK_KEY, vk, static_cast<std::intptr_t>(0x80000000u));
        }
        EXPECT_EQ(dialog.eventList()->count(), 47);
        SaveScreenshotIfAsked(dialog, name + QStringLiteral("-recording"));
    }
}

}  // namespace
}  // namespace tavrin::test
