// The profile manager's window: opening, the list, New, Copy, Delete, Rename, the close button
// and the keys.

#include <QMenu>
#include <QTimer>

#include "support/ScopedTranslation.h"
#include "ui/profile/ProfileDialogTestSupport.h"

namespace tavrin::test {
namespace {

using CConfigureDlgTest = ProfileDialogTest;

TEST_F(CConfigureDlgTest, EmptyFolderGetsTheFactoryProfileOne) {
    open();
    EXPECT_EQ(lines(), QStringList{QStringLiteral("Profile_1")});
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"Profile_1.bin"});
    EXPECT_EQ(std::filesystem::file_size(profilePath("Profile_1")), 209104u);
    EXPECT_EQ(ReadWholeFile(profilePath("Profile_1")), ProfileFile::Default().bytes());
    EXPECT_EQ(list().selectedLine(), 0) << "an empty CurrentProfile is in every path";
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(CConfigureDlgTest, AMissingFolderIsMadeAndFilled) {
    std::filesystem::remove(configure());
    open();
    EXPECT_EQ(lines(), QStringList{QStringLiteral("Profile_1")});
}

TEST_F(CConfigureDlgTest, EightFilesGiveSixLinesInOrder) {
    for (const char* name : {"h", "G", "f", "E", "d", "C", "b", "A"}) {
        putProfile(name);
    }
    open();
    EXPECT_EQ(lines(), (QStringList{"A", "b", "C", "d", "E", "f"}));
    ASSERT_EQ(dialog->folder().profileCount(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog->folder().entries()[static_cast<std::size_t>(i)].path,
                  profilePath(lines()[i].toStdString()));
    }
}

TEST_F(CConfigureDlgTest, PlacesItselfBesideTheMainWindowWithTheListInModeThree) {
    putProfile("Profile_1");
    makeDialog();
    dialog->setMainWindowRect(QRect(300, 200, 800, 640));
    open();
    EXPECT_EQ(dialog->size(), QSize(264, 632));
    EXPECT_EQ(dialog->pos(), QPoint(299, 199));
    EXPECT_EQ(list().geometry(), CConfigureDlg::kListRect);
    EXPECT_EQ(list().editMode(), CTransparentListBox::TransparentRename);
    EXPECT_EQ(list().GetListFont().family(), QStringLiteral("Arial"));
    EXPECT_LE(list().lineHeight(), 15);
    EXPECT_TRUE(list().hasFocus());

    const QImage surface = dialog->composeSurface();
    EXPECT_EQ(LogicalPixelColor(surface, {100, 300}), kConfigBackground);
    EXPECT_EQ(LogicalPixelColor(surface, CConfigureDlg::kCloseImageAt), kCloseColour);
    EXPECT_EQ(LogicalPixelColor(surface, CConfigureDlg::kNewImageAt + QPoint(2, 45)), kNewColour);
    EXPECT_EQ(LogicalPixelColor(surface, CConfigureDlg::kDeleteImageAt + QPoint(2, 45)),
              kDeleteColour);
}

TEST_F(CConfigureDlgTest, CurrentProfileSelectsTheLastLineWhosePathHoldsIt) {
    putProfile("Profile_1");
    putProfile("Copy of  Profile_1");
    putProfile("Other");
    struct Case {
        std::u16string current;
        QString selected;
    };
    for (const Case& c : {Case{u"Profile_1.bin", "Profile_1"}, Case{u"Other.bin", "Other"},
                          Case{u"Copy of  Profile_1.bin", "Copy of  Profile_1"}}) {
        SCOPED_TRACE(c.selected.toStdString());
        settings.writeString(kProfileKey, kCurrentProfileValue, c.current);
        open();
        ASSERT_EQ(lines(), (QStringList{"Copy of  Profile_1", "Other", "Profile_1"}));
        EXPECT_EQ(list().lineText(list().selectedLine()), c.selected);
        dialog->hide();
    }
}

TEST_F(CConfigureDlgTest, NewFillsTheFirstGapAndRefusesASeventh) {
    putProfile("Profile_1");
    putProfile("Profile_3");
    open();
    dialog->OnCommand(CConfigureDlg::kNewCommand);
    EXPECT_EQ(lines(), (QStringList{"Profile_1", "Profile_2", "Profile_3"}));
    EXPECT_EQ(ReadWholeFile(profilePath("Profile_2")), ProfileFile::Default().bytes());

    click(CConfigureDlg::kNewArea);  // the New button does the same
    click(CConfigureDlg::kNewArea);
    click(CConfigureDlg::kNewArea);
    EXPECT_EQ(lines().size(), 6);
    EXPECT_TRUE(prompts.shown().empty());
    click(CConfigureDlg::kNewArea);
    EXPECT_EQ(lines().size(), 6);
    EXPECT_EQ(filesInFolder().size(), 6u);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"Only Create Six Profile mostly\n");
    EXPECT_EQ(prompts.shown()[0].caption, u"Profile");
}

TEST_F(CConfigureDlgTest, CopyNamesTheCopyAfterItsSource) {
    struct Case {
        std::uint16_t language;
        QString first;
        QString second;
    };
    for (const Case& c : {Case{kLanguageEnglish, "Copy of  Profile_1", "Copy of  Profile_1 1"},
                          Case{kLanguageChinese, "复制  Profile_1", "复制  Profile_1 1"}}) {
        SCOPED_TRACE(c.language);
        std::filesystem::remove_all(configure());
        std::filesystem::create_directory(configure());
        putProfile("Profile_1", 0x5A);
        model.languageId = c.language;
        const test::ScopedTranslation translation(model.languageId);
        open();
        for (const QString& expected : {c.first, c.second}) {
            select(QStringLiteral("Profile_1"));
            dialog->OnCommand(CConfigureDlg::kCopyCommand);
            ASSERT_TRUE(lines().contains(expected)) << lines().join('|').toStdString();
            EXPECT_EQ(ReadWholeFile(configure() / (expected.toStdString() + ".bin")),
                      FilledProfile(0x5A).bytes());
        }
        EXPECT_TRUE(prompts.shown().empty());
        dialog->hide();
        dialog.reset();
    }
}

TEST_F(CConfigureDlgTest, CopyAtSixLinesDoesNothing) {
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
        putProfile(name);
    }
    open();
    select(QStringLiteral("A"));
    dialog->OnCommand(CConfigureDlg::kCopyCommand);
    EXPECT_EQ(filesInFolder().size(), 6u);
    EXPECT_EQ(lines().size(), 6);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(CConfigureDlgTest, CommandsThatNeedASelectionSaySo) {
    putProfile("A");
    putProfile("B");
    struct Case {
        int command;
        std::uint16_t language;
        std::u16string text;
        std::u16string caption;
    };
    const Case cases[] = {
        {CConfigureDlg::kCopyCommand, kLanguageEnglish, u"Please select a profile to copy\n",
         u"Profile"},
        {CConfigureDlg::kSaveCommand, kLanguageEnglish, u"Please select a profile to Save\n",
         u"Profile"},
        {CConfigureDlg::kLoadCommand, kLanguageEnglish, u"Please select a profile to Open\n",
         u"Profile"},
        {CConfigureDlg::kDeleteCommand, kLanguageEnglish, u"Please select a profile to delete\n",
         u"Profile"},
        {CConfigureDlg::kCopyCommand, kLanguageChinese, u"请选择一个配置拷贝", u"配置管理"},
        {CConfigureDlg::kSaveCommand, kLanguageChinese, u"请选择一个配置存储", u"配置管理"},
        {CConfigureDlg::kLoadCommand, kLanguageChinese, u"请选择一个配置打开", u"配置管理"},
        {CConfigureDlg::kDeleteCommand, kLanguageChinese, u"请选择一个配置删除", u"配置管理"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        model.languageId = c.language;
        const test::ScopedTranslation translation(model.languageId);
        open();
        list().setSelectedLine(-1);
        const std::size_t before = prompts.shown().size();
        dialog->OnCommand(c.command);
        ASSERT_EQ(prompts.shown().size(), before + 1);
        EXPECT_EQ(prompts.shown().back().text, c.text);
        EXPECT_EQ(prompts.shown().back().caption, c.caption);
        EXPECT_EQ(prompts.shown().back().buttons, PromptButtons::Ok);
        dialog->hide();
    }
    EXPECT_TRUE(chooser.requests().empty());
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"A.bin", "B.bin"}));
}

TEST_F(CConfigureDlgTest, DeleteAsksAndKeepsTheLastProfile) {
    putProfile("A");
    putProfile("B");
    open();
    select(QStringLiteral("A"));
    prompts.queueAnswer(PromptAnswer::Cancel);
    click(CConfigureDlg::kDeleteArea);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"Delete current profile ?");
    EXPECT_EQ(prompts.shown()[0].caption, u"Profile");
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"A.bin", "B.bin"}));

    select(QStringLiteral("A"));
    dialog->OnCommand(CConfigureDlg::kDeleteCommand);  // answered OK
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"B.bin"});
    EXPECT_EQ(lines(), QStringList{"B"});

    select(QStringLiteral("B"));
    click(CConfigureDlg::kDeleteArea);
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[2].text, u"Please keep a profile\n");
    EXPECT_EQ(prompts.shown()[2].buttons, PromptButtons::Ok);
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"B.bin"});
}

TEST_F(CConfigureDlgTest, ChineseDeleteTexts) {
    putProfile("A");
    model.languageId = kLanguageChinese;
    const test::ScopedTranslation translation(model.languageId);
    open();
    dialog->OnCommand(CConfigureDlg::kDeleteCommand);
    putProfile("B");
    dialog->hide();
    open();
    select(QStringLiteral("B"));
    prompts.queueAnswer(PromptAnswer::Cancel);
    dialog->OnCommand(CConfigureDlg::kDeleteCommand);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, u"请至少保留一个配置文件");
    EXPECT_EQ(prompts.shown()[1].text, u"删除当前配置文件吗");
    EXPECT_EQ(prompts.shown()[1].caption, u"配置管理");
}

TEST_F(CConfigureDlgTest, RenameThroughTheListEditor) {
    struct Case {
        QString typed;
        const char* file;
    };
    for (const Case& c : {Case{"Game", "Game.bin"}, Case{"Game.bin", "Game.bin"}}) {
        SCOPED_TRACE(c.typed.toStdString());
        std::filesystem::remove_all(configure());
        std::filesystem::create_directory(configure());
        putProfile("Profile_1", 0x11);
        putProfile("Profile_2", 0x22);
        settings.writeString(kProfileKey, kCurrentProfileValue, u"Profile_2.bin");
        waits.clear();
        open();
        renameThroughEditor(1, c.typed);
        EXPECT_EQ(settings.readString(kProfileKey, kCurrentProfileValue), u"Game.bin")
            << "the current profile follows its rename";
        EXPECT_EQ(filesInFolder(), (std::vector<std::string>{c.file, "Profile_1.bin"}));
        EXPECT_EQ(ReadWholeFile(configure() / c.file), FilledProfile(0x22).bytes());
        EXPECT_EQ(lines(), (QStringList{"Game", "Profile_1"}));
        EXPECT_EQ(waits, (std::vector<int>{100, 200, 300}));
        EXPECT_TRUE(prompts.shown().empty());
        dialog->hide();
    }
}

TEST_F(CConfigureDlgTest, RenameOntoAnotherProfileOnlyRebuildsTheList) {
    putProfile("Profile_1", 0x11);
    putProfile("Profile_2", 0x22);
    open();
    renameThroughEditor(1, QStringLiteral("Profile_1"));
    EXPECT_EQ(lines(), (QStringList{"Profile_1", "Profile_2"}));
    EXPECT_EQ(ReadWholeFile(profilePath("Profile_1")), FilledProfile(0x11).bytes());
    EXPECT_EQ(ReadWholeFile(profilePath("Profile_2")), FilledProfile(0x22).bytes());
    EXPECT_EQ(waits, std::vector<int>{300});
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(CConfigureDlgTest, RefusedRenameSaysFailAndRestoresTheLine) {
    putProfile("Profile_1", 0x11);
    open();
    for (const QString& typed : {QStringLiteral("../Escaped"), QStringLiteral("a/b")}) {
        SCOPED_TRACE(typed.toStdString());
        renameThroughEditor(0, typed);
        EXPECT_EQ(lines(), QStringList{"Profile_1"});
        ASSERT_FALSE(prompts.shown().empty());
        EXPECT_EQ(prompts.shown().back().text, u"Fail");
        EXPECT_EQ(prompts.shown().back().caption, u"") << "the program's title";
    }
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"Profile_1.bin"});
    EXPECT_FALSE(std::filesystem::exists(programDir / "Escaped.bin"));
}

TEST_F(CConfigureDlgTest, CloseButtonAppliesTheSelectedProfile) {
    putProfile("A", 0x0A);
    putProfile("B", 0x0B);
    model.settings.bytes.fill(0x77);
    model.assignments.bytes.fill(0x66);
    open();
    select(QStringLiteral("A"));
    click(CConfigureDlg::kCloseArea);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ProfileFile::FromModel(model).bytes(), FilledProfile(0x0A).bytes());
    EXPECT_EQ(model.savedSettings.bytes[0], 0x77) << "the keyboard's state stays known";
    EXPECT_EQ(model.savedAssignments.bytes[0], 0x66);
    EXPECT_EQ(settings.readString(kProfileKey, kCurrentProfileValue), u"A.bin");

    open();  // the next opening selects it again
    EXPECT_EQ(list().lineText(list().selectedLine()), QStringLiteral("A"));
}

TEST_F(CConfigureDlgTest, CloseWithoutASelectionCancels) {
    putProfile("A", 0x0A);
    const Model before = model;
    open();
    list().setSelectedLine(-1);
    click(CConfigureDlg::kCloseArea);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(model.settings.bytes, before.settings.bytes);
    EXPECT_EQ(settings.readString(kProfileKey, kCurrentProfileValue), std::nullopt);
}

TEST_F(CConfigureDlgTest, CloseOnAProfileThatVanishedStaysOpenAndSaysSo) {
    putProfile("A", 0x0A);
    putProfile("B", 0x0B);
    const Model before = model;
    open();
    select(QStringLiteral("A"));
    std::filesystem::remove(profilePath("A"));
    dialog->closeButton();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(model.settings.bytes, before.settings.bytes);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(lines(), QStringList{"B"});
}

TEST_F(CConfigureDlgTest, EscapeCancelsAndEnterStays) {
    putProfile("A");
    open();
    QTest::keyClick(&list(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_Enter);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(&list(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(CConfigureDlgTest, ContextMenuInBothLanguages) {
    putProfile("A");
    struct Case {
        std::uint16_t language;
        QStringList texts;
    };
    for (const Case& c :
         {Case{kLanguageEnglish, {"New", "Copy", "Save", "Load", "Delete", "", "Edit rules..."}},
          Case{kLanguageChinese, {"新建", "复制", "保存", "加载", "删除", "", "编辑规则..."}}}) {
        model.languageId = c.language;
        const test::ScopedTranslation translation(model.languageId);
        open();
        const std::unique_ptr<QMenu> menu = dialog->buildContextMenu();
        QStringList texts;
        QList<int> commands;
        for (const QAction* action : menu->actions()) {
            texts << action->text();
            commands << action->data().toInt();
        }
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(commands, (QList<int>{32785, 32817, 32786, 32787, 32788, 0, 32820}));
        dialog->hide();
    }
}

// The rules window belongs to another library: the dialog only calls what it was handed.
TEST_F(CConfigureDlgTest, EditRulesCallsItsCallbackOverTheDialog) {
    putProfile("A");
    open();
    EXPECT_FALSE(dialog->buildContextMenu()->actions().constLast()->isEnabled());
    dialog->OnCommand(CConfigureDlg::kEditRulesCommand);  // nothing to call: nothing happens

    QList<QWidget*> parents;
    dialog->setEditRules([&](QWidget* parent) { parents << parent; });
    EXPECT_TRUE(dialog->buildContextMenu()->actions().constLast()->isEnabled());
    dialog->OnCommand(CConfigureDlg::kEditRulesCommand);
    EXPECT_EQ(parents, (QList<QWidget*>{dialog.get()}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"A.bin"}));
}

TEST_F(CConfigureDlgTest, RightPressOverTheListOpensTheMenu) {
    putProfile("A");
    open();
    bool shown = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        QMenu* menu = dialog->findChild<QMenu*>(QStringLiteral("profileMenu"));
        shown = menu != nullptr && menu->isVisible();
        // The fourth item: Load, which asks the open chooser.
        if (menu != nullptr) {
            menu->setActiveAction(menu->actions().at(3));
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    select(QStringLiteral("A"));
    const QPoint at = list().lineRect(0).center();
    QTest::mousePress(list().viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(list().viewport(), Qt::RightButton, {}, at);  // leaves no button held
    EXPECT_TRUE(shown);
    ASSERT_EQ(chooser.requests().size(), 1u);
    EXPECT_EQ(chooser.requests()[0].kind, ScriptedFileChooser::Kind::Open);
}

}  // namespace
}  // namespace tavrin::test
