// The profile manager's Save (export) and Load (import), the checks an import passes before it
// replaces the model, the entry point the main window calls, and what a chosen profile leaves for
// the main window's Save.

#include <QTimer>

#include "support/ScopedTranslation.h"
#include "ui/profile/ProfileDialogTestSupport.h"
#include "ui/profile/RunProfileManager.h"

namespace tavrin::test {
namespace {

class ProfileExchangeTest : public ProfileDialogTest {
protected:
    std::filesystem::path writeFile(const std::string& name, const std::vector<std::uint8_t>& b) {
        const auto path = outside.path() / name;
        WriteWholeFile(path, b);
        return path;
    }

    TempDir outside;
};

TEST_F(ProfileExchangeTest, SaveWritesTheModelToTheProfileAndTheChosenFile) {
    putProfile("A", 0x0A);
    model.settings.bytes.fill(0x31);
    model.macros.bytes.fill(0x32);
    open();
    select(QStringLiteral("A"));
    const auto exported = outside.path() / "mine.bin";
    chooser.queueAnswer(exported);
    dialog->OnCommand(CConfigureDlg::kSaveCommand);

    ASSERT_EQ(chooser.requests().size(), 1u);
    const auto& request = chooser.requests()[0];
    EXPECT_EQ(request.kind, ScriptedFileChooser::Kind::Save);
    EXPECT_EQ(request.choice.filterText, u"bin Files(*.bin)");
    EXPECT_EQ(request.choice.defaultExtension, u".bin");
    EXPECT_EQ(request.choice.startFolder, programDir.path());
    EXPECT_EQ(ReadWholeFile(profilePath("A")), ProfileFile::FromModel(model).bytes());
    EXPECT_EQ(ReadWholeFile(exported), ProfileFile::FromModel(model).bytes());
    EXPECT_EQ(list().lineText(list().selectedLine()), QStringLiteral("A"));

    chooser.queueAnswer(std::nullopt);  // cancelled: the profile is still written
    model.settings.bytes.fill(0x41);
    dialog->OnCommand(CConfigureDlg::kSaveCommand);
    EXPECT_EQ(ReadWholeFile(profilePath("A")), ProfileFile::FromModel(model).bytes());
    EXPECT_NE(ReadWholeFile(exported), ProfileFile::FromModel(model).bytes());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ProfileExchangeTest, LoadReplacesTheModelAndTheSelectedProfile) {
    putProfile("A", 0x0A);
    model.savedSettings.bytes.fill(0x55);
    open();
    select(QStringLiteral("A"));
    std::vector<std::uint8_t> bytes = FilledProfile(0x3C).bytes();
    bytes.resize(bytes.size() + 10, 0xEE);  // bytes past the macros are ignored
    chooser.queueAnswer(writeFile("in.bin", bytes));
    dialog->OnCommand(CConfigureDlg::kLoadCommand);

    ASSERT_EQ(chooser.requests().size(), 1u);
    EXPECT_EQ(chooser.requests()[0].kind, ScriptedFileChooser::Kind::Open);
    EXPECT_EQ(chooser.requests()[0].choice.filterText, u"bin Files(*.bin)");
    EXPECT_EQ(chooser.requests()[0].choice.startFolder, programDir.path());
    EXPECT_EQ(ProfileFile::FromModel(model).bytes(), FilledProfile(0x3C).bytes());
    EXPECT_EQ(model.savedSettings.bytes[0], 0x55) << "the saved copies are not touched";
    EXPECT_EQ(ReadWholeFile(profilePath("A")), FilledProfile(0x3C).bytes());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ProfileExchangeTest, ImportOfAFileThatIsNotAProfileIsRefused) {
    putProfile("A", 0x0A);
    struct Case {
        const char* what;
        std::size_t size;
        std::uint16_t language;
        std::u16string textStart;
    };
    const Case cases[] = {
        {"one byte short of the assignments", 201423, kLanguageEnglish,
         u"This file is not a profile:\n"},
        {"empty", 0, kLanguageEnglish, u"This file is not a profile:\n"},
        {"short, Chinese", 4564, kLanguageChinese, u"此文件不是配置文件：\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model.settings.bytes.fill(0x21);
        model.languageId = c.language;
        const test::ScopedTranslation translation(model.languageId);
        const Model before = model;
        open();
        select(QStringLiteral("A"));
        const auto path = writeFile("short.bin", std::vector<std::uint8_t>(c.size, 0x99));
        chooser.queueAnswer(path);
        const std::size_t shownBefore = prompts.shown().size();
        dialog->OnCommand(CConfigureDlg::kLoadCommand);
        ASSERT_EQ(prompts.shown().size(), shownBefore + 1);
        EXPECT_TRUE(prompts.shown().back().text.starts_with(c.textStart));
        EXPECT_EQ(prompts.shown().back().caption,
                  c.language == kLanguageChinese ? u"配置管理" : u"Profile");
        EXPECT_EQ(ProfileFile::FromModel(model).bytes(), ProfileFile::FromModel(before).bytes());
        EXPECT_EQ(ReadWholeFile(profilePath("A")), FilledProfile(0x0A).bytes());
        dialog->hide();
    }
}

TEST_F(ProfileExchangeTest, ImportOfAFileThatCannotBeReadIsRefused) {
    putProfile("A", 0x0A);
    const Model before = model;
    open();
    select(QStringLiteral("A"));
    chooser.queueAnswer(outside.path());  // a folder
    dialog->OnCommand(CConfigureDlg::kLoadCommand);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(prompts.shown()[0].text.starts_with(u"The file cannot be opened:\n"));
    EXPECT_EQ(model.settings.bytes, before.settings.bytes);
    EXPECT_EQ(ReadWholeFile(profilePath("A")), FilledProfile(0x0A).bytes());
}

TEST_F(ProfileExchangeTest, ImportWithTheAssignmentsButNoMacrosIsTaken) {
    putProfile("A", 0x0A);
    model.macros.bytes.fill(0x44);
    open();
    select(QStringLiteral("A"));
    std::vector<std::uint8_t> bytes = FilledProfile(0x12).bytes();
    bytes.resize(kMinimumImportSize);
    chooser.queueAnswer(writeFile("nomacros.bin", bytes));
    dialog->OnCommand(CConfigureDlg::kLoadCommand);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(model.settings.bytes[100], 0x12);
    EXPECT_EQ(model.assignments.bytes[100], 0x12);
    EXPECT_EQ(model.macros.bytes[100], 0x44) << "a block the file does not hold keeps its bytes";
}

TEST_F(ProfileExchangeTest, RunProfileManagerReportsHowTheDialogClosed) {
    putProfile("A", 0x0A);
    makeDialog();
    struct Case {
        bool chooseA;
        bool accepted;
    };
    for (const Case& c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.chooseA);
        QTimer::singleShot(0, dialog.get(), [&] {
            if (c.chooseA) {
                select(QStringLiteral("A"));
            } else {
                list().setSelectedLine(-1);
            }
            dialog->closeButton();
        });
        EXPECT_EQ(RunProfileManager(*dialog, QRect(50, 60, 800, 600)), c.accepted);
        EXPECT_EQ(dialog->pos(), QPoint(49, 59));
    }
    EXPECT_EQ(ProfileFile::FromModel(model).bytes(), FilledProfile(0x0A).bytes());
}

// Two profiles that differ only in their lighting. The keyboard holds the first (the saved copies
// are its state); choosing the second leaves exactly the lighting for the main window's Save.
TEST_F(ProfileExchangeTest, ChoosingAProfileLeavesOnlyItsDifferenceForSave) {
    ASSERT_TRUE(ProfileFile::Default().write(profilePath("Calm")));
    Model lit;
    ProfileFile::Default().fill(lit);
    lit.settings.bytes[SettingsBlock::kEffectCodeOffset] = 7;
    lit.settings.bytes[SettingsBlock::kBrightnessLevelOffset] = 4;
    lit.settings.bytes[SettingsBlock::kColourIndexOffset] = 3;
    ASSERT_TRUE(ProfileFile::FromModel(lit).write(profilePath("Lit")).ok);

    ASSERT_TRUE(ApplyProfile(profilePath("Calm"), model));
    model.takeSavedCopies();  // as after a Save of Calm
    open();
    select(QStringLiteral("Lit"));
    click(CConfigureDlg::kCloseArea);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);

    EXPECT_EQ(ChangedParts(model.settings, model.savedSettings),
              std::vector<SettingsPart>{SettingsPart::Lighting});
    EXPECT_EQ(model.assignments.bytes, model.savedAssignments.bytes);
    EXPECT_EQ(ProfileFile::FromModel(model).bytes(), ProfileFile::FromModel(lit).bytes());
}

}  // namespace
}  // namespace tavrin::test
