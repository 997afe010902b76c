// The Advance tab: radio marks, choosers, the path shown, and the launch on a keyboard event.

#include <QDir>

#include "model/KeyAssignment.h"
#include "platform/qt/QtConversions.h"
#include "support/RecordingShell.h"
#include "support/ScopedTranslation.h"
#include "ui/keymap/KeyMapFixture.h"
#include "ui/keymap/KeyboardEventHandler.h"

namespace tavrin::test {
namespace {

class LaunchPanelTest : public KeyMapFixture {
protected:
    // An existing file for the choosers to give.
    std::filesystem::path file(const std::string& name) {
        const auto path = program.path() / name;
        WriteWholeFile(path, {1, 2, 3});
        return path;
    }
    void openAdvance(std::uint8_t key) {
        open(key);
        click(kTabPoint[CKeyMap::AdvanceTab]);
        ASSERT_EQ(dialog->activeTab(), CKeyMap::AdvanceTab);
    }
    QColor radio(int row) { return pixel(RadioPoint(row)); }
};

TEST_F(LaunchPanelTest, EnteringTheTabLeavesNothingChosenAndForgetsTheRecord) {
    const std::uint8_t key = PositionOf(66);
    record(key).keys()[0] = 67;
    record(key).setKeyCount(1);
    openAdvance(key);
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
    EXPECT_EQ(record(key).kind(), KindByte(AssignmentKind::Nothing));
    EXPECT_EQ(record(key).keys()[0], 0);
    EXPECT_FALSE(dialog->singleKeyEdit()->isVisible());
    EXPECT_FALSE(dialog->tree()->isVisible());
}

TEST_F(LaunchPanelTest, ARadioAloneChoosesNothing) {
    openAdvance(PositionOf(66));
    click(RadioPoint(2));
    EXPECT_EQ(dialog->launchPanel().markedLaunchRow, 2);
    EXPECT_EQ(dialog->launchPanel().launchChoice, 2);
    EXPECT_EQ(radio(2), kTicked);
    EXPECT_EQ(radio(0), kUnticked);
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
}

TEST_F(LaunchPanelTest, ACancelledChooserMovesTheMarkOnlyForSoundAndProgram) {
    openAdvance(PositionOf(66));
    click(BrowsePoint(0));
    ASSERT_EQ(chooser.requests().size(), 1u);
    EXPECT_EQ(dialog->launchPanel().markedLaunchRow, 0);
    EXPECT_EQ(dialog->launchPanel().launchChoice, std::nullopt);
    EXPECT_EQ(radio(0), kTicked);
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));

    open(PositionOf(67));
    click(kTabPoint[CKeyMap::AdvanceTab]);
    click(BrowsePoint(2));
    ASSERT_EQ(chooser.requests().size(), 2u);
    EXPECT_EQ(dialog->launchPanel().markedLaunchRow, std::nullopt);
    EXPECT_EQ(radio(2), kUnticked);
}

TEST_F(LaunchPanelTest, TheChoosersAskForTheirFileKindsInTheHomeFolder) {
    openAdvance(PositionOf(66));
    for (int row = 0; row < 4; ++row) {
        click(BrowsePoint(row));
    }
    const auto& requests = chooser.requests();
    ASSERT_EQ(requests.size(), 4u);
    const std::u16string filters[] = {u"mp3 Files(*.mp3)", u"exe Files(*.exe)",
                                      u"txt Files(*.txt)"};
    const std::u16string extensions[] = {u".mp3", u".exe", u".txt"};
    for (std::size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(requests[row].kind, ScriptedFileChooser::Kind::Open);
        EXPECT_EQ(requests[row].choice.filterText.substr(0, filters[row].size()), filters[row]);
        EXPECT_EQ(requests[row].choice.defaultExtension, extensions[row]);
        EXPECT_EQ(requests[row].choice.startFolder, QStringToPath(QDir::homePath()));
    }
    // Programs without an extension can be started too.
    EXPECT_NE(requests[1].choice.filterText.find(u";;"), std::u16string::npos);
    EXPECT_EQ(requests[3].kind, ScriptedFileChooser::Kind::Folder);
    EXPECT_EQ(requests[3].title, u"modification path");
}

TEST_F(LaunchPanelTest, AChosenFileBecomesTheLaunchActionAndIsShownShortened) {
    const std::uint8_t key = PositionOf(66);
    const auto song = file("song.mp3");
    chooser.queueAnswer(song);
    openAdvance(key);
    click(BrowsePoint(0));
    EXPECT_EQ(dialog->launchPanel().launchChoice, 0);
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::PlaySound));
    EXPECT_EQ(model.pending.pendingLaunchPath, ToU16(PathToQString(song)));
    EXPECT_EQ(radio(0), kTicked);

    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    ASSERT_TRUE(CommitKeyAssignment(model, program.path()).ok);
    EXPECT_EQ(record(key).kind(), KindByte(AssignmentKind::PlaySound));
    EXPECT_EQ(model.settings.keyMapEntry(KeyMapIndexOf(key)), (KeyMapEntry{66, 0x00, 0x00, 0x0C}));

    // Opening the key again shows its path on its row.
    open(key);
    EXPECT_EQ(dialog->activeTab(), CKeyMap::AdvanceTab);
    EXPECT_EQ(dialog->launchPanel().launchChoice, 0);
    EXPECT_EQ(radio(0), kTicked);
}

TEST_F(LaunchPanelTest, PathsLongerThan255CharactersAreRefused) {
    const std::string longName(250, 'n');
    const auto longPath = file(longName);
    ASSERT_GT(longPath.native().size(), 255u);
    chooser.queueAnswer(longPath);
    openAdvance(PositionOf(66));
    click(BrowsePoint(2));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find(u"255"), std::u16string::npos);
    EXPECT_EQ(dialog->launchPanel().launchChoice, std::nullopt);
    EXPECT_TRUE(model.pending.pendingLaunchPath.empty());
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
}

TEST_F(LaunchPanelTest, AFolderWithoutAPathIsRefusedWithAMessage) {
    for (const std::uint16_t language : {kLanguageEnglish, kLanguageChinese}) {
        model.languageId = language;
        const test::ScopedTranslation translation(model.languageId);
        chooser.queueAnswer(std::filesystem::path());
        openAdvance(PositionOf(66));
        click(RadioPoint(3));
        model.pending.pendingLaunchPath = u"left over";
        click(BrowsePoint(3));
        EXPECT_TRUE(model.pending.pendingLaunchPath.empty());
        EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
        click(kCancelPoint);
    }
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, u"Please select a folder\n");
    EXPECT_EQ(prompts.shown()[1].text, u"请选择文件夹\n");
}

TEST_F(LaunchPanelTest, TheBrowseButtonUnderThePointerLightsUp) {
    openAdvance(PositionOf(66));
    QTest::mouseMove(dialog.get(), BrowsePoint(1));
    EXPECT_EQ(pixel({260, 98 + 2}), kBrowseOver);
    EXPECT_EQ(pixel({260, 68 + 2}), kBrowse);
    QTest::mouseMove(dialog.get(), {200, 200});
    EXPECT_EQ(pixel({260, 98 + 2}), kBrowse);
}

TEST(LaunchPathDisplayTest, ShortPathsWholeLongOnesByTheirLastPart) {
    struct Case {
        std::u16string path;
        std::u16string shown;
    };
    const Case cases[] = {
        {u"C:\\Music\\a.mp", u"C:\\Music\\a.mp"},  // 13 characters
        {u"C:\\Music\\ab.mp", u"..\\ab.mp"},       // 14
        {u"C:\\Music\\song.mp3", u"..\\song.mp3"},
        {u"/home/me/song.mp3", u"../song.mp3"},
        {u"C:\\Users\\me\\Music\\", u"..\\Music\\"},  // the trailing separator is kept
        {u"no-separator-at-all.mp3", u"no-separator-at-all.mp3"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LaunchPathDisplay(c.path), c.shown)
            << QString::fromStdU16String(c.path).toStdString();
    }
}

TEST(LaunchPanelRectsTest, FourCellsPerRowThirtyPixelsApart) {
    EXPECT_EQ(LaunchCellAt(15, 72)->cell, LaunchCell::Radio);
    EXPECT_EQ(LaunchCellAt(25, 171)->row, 3);
    EXPECT_EQ(LaunchCellAt(302, 113)->cell, LaunchCell::Browse);
    EXPECT_EQ(LaunchCellAt(302, 113)->row, 1);
    EXPECT_EQ(LaunchCellAt(83, 128)->cell, LaunchCell::Path);
    EXPECT_EQ(LaunchCellAt(303, 113), std::nullopt);
    EXPECT_EQ(LaunchCellAt(250, 70), std::nullopt);
}

TEST(KeyboardEventTest, EachKeyOpensItsOwnPath) {
    Model model;
    model.refreshOwnVk();
    const std::uint8_t keyA = PositionOf(65);
    const std::uint8_t keyB = PositionOf(66);
    // Only paths that exist are opened.
    TempDir files;
    std::filesystem::create_directory(files / "Music");
    WriteWholeFile(files / "Music" / "song.mp3", {1});
    WriteWholeFile(files / "notes.txt", {1});
    const std::pair<std::uint8_t, std::filesystem::path> actions[] = {
        {keyA, files / "Music" / "song.mp3"}, {keyB, files / "notes.txt"}};
    for (const auto& [key, path] : actions) {
        model.selectedKey = key;
        model.pending.pendingKind = KindByte(AssignmentKind::OpenFile);
        model.pending.pendingKeyCount = 0;
        model.pending.pendingLaunchPath = path.u16string();
        TempDir dir;
        ASSERT_TRUE(CommitKeyAssignment(model, dir.path()).ok);
    }
    RecordingShell shell;
    EXPECT_TRUE(HandleKeyboardEvent(model.assignments, 66, shell));
    EXPECT_TRUE(HandleKeyboardEvent(model.assignments, 65, shell));
    EXPECT_FALSE(HandleKeyboardEvent(model.assignments, 67, shell));
    EXPECT_EQ(shell.opened, (std::vector<RecordingShell::Open>{{files.path(), "notes.txt"},
                                                               {files / "Music", "song.mp3"}}));
}

}  // namespace
}  // namespace tavrin::test
