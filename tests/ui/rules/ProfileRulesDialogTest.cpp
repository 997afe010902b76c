#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "model/Model.h"
#include "support/ScopedTranslation.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/rules/ProfileRulesDialog.h"
#include "ui/rules/RuleEditDialog.h"
#include "ui/rules/RulesTestSupport.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

const QStringList kProfiles{QStringLiteral("Calm"), QStringLiteral("Game"), QStringLiteral("Work")};

ProfileRule Rule(ProfileRule::Match match, const char* pattern, ProfileRule::Kind kind,
                 const char* profile) {
    return {match, QString::fromUtf8(pattern), kind, QString::fromUtf8(profile)};
}

class ProfileRulesDialogTest : public testing::Test {
protected:
    QString path() const {
        return QString::fromStdString((dir / "rules/profile-rules.json").string());
    }

    void save(const ProfileRules& rules) {
        QString error;
        ASSERT_TRUE(SaveProfileRules(path(), rules, error)) << error.toStdString();
    }
    void writeRaw(const QByteArray& bytes) {
        QDir().mkpath(QString::fromStdString((dir / "rules").string()));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readRaw() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void open(bool chinese = false) {
        translation = std::make_unique<test::ScopedTranslation>(chinese ? kLanguageChinese
                                                                        : kLanguageEnglish);
        dialog = std::make_unique<ProfileRulesDialog>(kProfiles, path(), &prompts);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <typename T>
    T& child(const char* name) {
        T* found = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    void click(const char* button) { child<QPushButton>(button).click(); }
    QTreeWidget& list() { return child<QTreeWidget>("rulesList"); }
    void select(int row) { list().setCurrentItem(list().topLevelItem(row)); }
    // The list as the user reads it: one line per rule, its columns joined by " | ".
    QStringList lines() {
        QStringList result;
        for (int i = 0; i < list().topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list().columnCount(); ++c) {
                cells << list().topLevelItem(i)->text(c);
            }
            result << cells.join(QStringLiteral(" | "));
        }
        return result;
    }
    // Fills the rule editor that the next step opens and presses its OK.
    static void FillEditor(ProfileRule::Match match, const char* pattern, ProfileRule::Kind kind,
                           const char* profile) {
        test::WhenModal<RuleEditDialog>([=](RuleEditDialog& editor) {
            auto* matchBox = editor.findChild<QComboBox*>(QStringLiteral("matchBox"));
            matchBox->setCurrentIndex(matchBox->findData(static_cast<int>(match)));
            editor.findChild<QLineEdit*>(QStringLiteral("patternEdit"))
                ->setText(QString::fromUtf8(pattern));
            auto* kindBox = editor.findChild<QComboBox*>(QStringLiteral("kindBox"));
            kindBox->setCurrentIndex(kindBox->findData(static_cast<int>(kind)));
            auto* profileBox = editor.findChild<QComboBox*>(QStringLiteral("profileBox"));
            profileBox->setCurrentIndex(profileBox->findText(QString::fromUtf8(profile)));
            editor.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        });
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    std::unique_ptr<test::ScopedTranslation> translation;
    std::unique_ptr<ProfileRulesDialog> dialog;
};

TEST_F(ProfileRulesDialogTest, OpensWithTheFilesRulesAndMarksMissingProfiles) {
    ProfileRules rules;
    rules.enabled = false;
    rules.defaultProfile = QStringLiteral("Work");
    rules.rules = {
        Rule(ProfileRule::Match::Process, "hl2_linux", ProfileRule::Kind::WhileRunning, "Game"),
        Rule(ProfileRule::Match::WindowClass, "Steam", ProfileRule::Kind::WhileFocused, "Old")};
    save(rules);
    open();
    EXPECT_FALSE(child<QLabel>("loadError").isVisible());
    EXPECT_FALSE(child<QCheckBox>("enabledBox").isChecked());
    EXPECT_EQ(child<QComboBox>("defaultProfileBox").currentText(), QStringLiteral("Work"));
    EXPECT_EQ(lines(), (QStringList{"hl2_linux | Process name | while running | Game",
                                    "Steam | Window class | while focused | Old (missing)"}));
    EXPECT_EQ(dialog->rules(), rules);
    test::SaveScreenshotIfAsked(*dialog, QStringLiteral("rules-window-english"));
}

TEST_F(ProfileRulesDialogTest, WithoutAFileItStartsEmptyAndSwitchedOn) {
    open();
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(child<QCheckBox>("enabledBox").isChecked());
    EXPECT_EQ(child<QComboBox>("defaultProfileBox").currentText(),
              QStringLiteral("None: leave the keyboard as it is"));
    for (const char* button : {"editButton", "removeButton", "upButton", "downButton"}) {
        EXPECT_FALSE(child<QPushButton>(button).isEnabled()) << button;
    }
}

TEST_F(ProfileRulesDialogTest, AddEditRemoveReorderThenSave) {
    open();
    using M = ProfileRule::Match;
    using K = ProfileRule::Kind;
    FillEditor(M::Process, "hl2_linux", K::WhileRunning, "Game");
    click("addButton");
    FillEditor(M::WindowClass, "Steam", K::WhileFocused, "Work");
    click("addButton");
    FillEditor(M::Process, "firefox-esr", K::WhileFocused, "Calm");
    click("addButton");
    ASSERT_EQ(lines().size(), 3);
    EXPECT_EQ(list().currentItem(), list().topLevelItem(2));  // the new rule is selected

    select(1);
    FillEditor(M::WindowClass, "steamwebhelper", K::WhileFocused, "Game");
    click("editButton");
    select(0);
    click("removeButton");
    // The last rule first: up twice, where the second press finds the top.
    select(1);
    EXPECT_FALSE(child<QPushButton>("downButton").isEnabled());
    click("upButton");
    EXPECT_FALSE(child<QPushButton>("upButton").isEnabled());
    EXPECT_EQ(lines(), (QStringList{"firefox-esr | Process name | while focused | Calm",
                                    "steamwebhelper | Window class | while focused | Game"}));
    // Down again and back: the order is the buttons' doing, not the editor's.
    click("downButton");
    click("upButton");

    child<QComboBox>("defaultProfileBox").setCurrentIndex(3);  // Work
    child<QCheckBox>("enabledBox").setChecked(false);
    click("okButton");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(prompts.shown().empty());

    ProfileRules expected;
    expected.enabled = false;
    expected.defaultProfile = QStringLiteral("Work");
    expected.rules = {Rule(M::Process, "firefox-esr", K::WhileFocused, "Calm"),
                      Rule(M::WindowClass, "steamwebhelper", K::WhileFocused, "Game")};
    const RulesLoad load = LoadProfileRules(path());
    ASSERT_TRUE(load.rules) << load.error.toStdString();
    EXPECT_EQ(*load.rules, expected);
}

TEST_F(ProfileRulesDialogTest, CancelledEditsLeaveTheFileAsItWas) {
    ProfileRules rules;
    rules.rules = {
        Rule(ProfileRule::Match::Process, "steam", ProfileRule::Kind::WhileFocused, "Game")};
    save(rules);
    const QByteArray before = readRaw();
    open();
    // An editor cancelled changes nothing either.
    select(0);
    test::WhenModal<RuleEditDialog>([](RuleEditDialog& editor) {
        editor.findChild<QLineEdit*>(QStringLiteral("patternEdit"))->setText(QStringLiteral("x"));
        editor.reject();
    });
    click("editButton");
    EXPECT_EQ(dialog->rules(), rules);
    click("removeButton");
    click("cancelButton");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(readRaw(), before);
}

// A file the program cannot read is the user's: it is reported and never saved over.
TEST_F(ProfileRulesDialogTest, AnUnreadableFileIsReportedAndKeptByteForByte) {
    const QByteArray cases[] = {
        "{ not json",
        R"({"format": "something-else", "version": 1})",
        R"({"format": "tavrin-gaming-keyboard-profile-rules", "version": 2, "rules": []})",
        R"({"format": "tavrin-gaming-keyboard-profile-rules", "version": 1,
            "rules": [{"match": "process", "while": "focused", "profile": "Game"}]})",
    };
    for (const QByteArray& broken : cases) {
        SCOPED_TRACE(broken.toStdString());
        writeRaw(broken);
        const RulesLoad load = LoadProfileRules(path());
        ASSERT_FALSE(load.rules);
        prompts = test::ScriptedPrompts();
        open();
        EXPECT_FALSE(dialog->fileReadable());
        EXPECT_TRUE(child<QLabel>("loadError").isVisible());
        EXPECT_TRUE(child<QLabel>("loadError").text().contains(load.error));

        // Whatever is edited, OK refuses and the window stays.
        FillEditor(ProfileRule::Match::Process, "steam", ProfileRule::Kind::WhileFocused, "Game");
        click("addButton");
        click("okButton");
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text.rfind(u"The rules were not saved:", 0), 0u);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(readRaw(), broken);
    }
    test::SaveScreenshotIfAsked(*dialog, QStringLiteral("rules-window-broken-file"));
}

TEST_F(ProfileRulesDialogTest, ASaveThatFailsSaysSoAndKeepsTheWindow) {
    // A file where the rules' folder belongs.
    QFile blocker(QString::fromStdString((dir / "rules").string()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    open(true);
    EXPECT_TRUE(dialog->fileReadable());
    click("okButton");
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text.rfind(u"无法保存规则：\n", 0), 0u);
    EXPECT_EQ(prompts.shown()[0].caption, u"自动切换配置");
    EXPECT_TRUE(dialog->isVisible());
}

// The icon's menu or tavrinctl wrote the file while the window was open: asked before replacing.
TEST_F(ProfileRulesDialogTest, AFileChangedMeanwhileIsReplacedOnlyWhenTheUserAgrees) {
    ProfileRules rules;
    rules.rules = {
        Rule(ProfileRule::Match::Process, "steam", ProfileRule::Kind::WhileFocused, "Game")};
    save(rules);
    open();
    ProfileRules elsewhere = rules;
    elsewhere.enabled = false;
    save(elsewhere);
    const QByteArray changed = readRaw();
    click("removeButton");

    prompts.queueAnswer(PromptAnswer::Cancel);
    click("okButton");
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(readRaw(), changed);

    prompts.queueAnswer(PromptAnswer::Ok);
    click("okButton");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const RulesLoad load = LoadProfileRules(path());
    ASSERT_TRUE(load.rules);
    EXPECT_TRUE(load.rules->rules.isEmpty());
    EXPECT_TRUE(load.rules->enabled);  // what the window showed
}

TEST_F(ProfileRulesDialogTest, ChineseTexts) {
    ProfileRules rules;
    rules.rules = {
        Rule(ProfileRule::Match::WindowClass, "Steam", ProfileRule::Kind::WhileFocused, "Game")};
    save(rules);
    open(true);
    QStringList headers;
    for (int c = 0; c < list().columnCount(); ++c) {
        headers << list().headerItem()->text(c);
    }
    EXPECT_EQ(headers,
              (QStringList{QString::fromUtf16(u"应用程序"), QString::fromUtf16(u"匹配方式"),
                           QString::fromUtf16(u"生效条件"), QString::fromUtf16(u"配置")}));
    EXPECT_EQ(lines(), QStringList{QString::fromUtf16(u"Steam | 窗口类 | 在前台时 | Game")});
    EXPECT_EQ(child<QPushButton>("addButton").text(), QString::fromUtf16(u"添加..."));
    EXPECT_EQ(child<QCheckBox>("enabledBox").text(), QString::fromUtf16(u"自动切换配置"));
    EXPECT_EQ(child<QComboBox>("defaultProfileBox").currentText(),
              QString::fromUtf16(u"无：保持键盘当前的设置"));
    test::SaveScreenshotIfAsked(*dialog, QStringLiteral("rules-window-chinese"));
}

}  // namespace
}  // namespace tavrin
