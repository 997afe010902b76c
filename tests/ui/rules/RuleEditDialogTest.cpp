#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>

#include "model/Model.h"
#include "support/ScopedTranslation.h"
#include "support/TempDir.h"
#include "ui/rules/RuleEditDialog.h"
#include "ui/rules/RulesTestSupport.h"
#include "ui/rules/RunningProcessDialog.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

const QStringList kProfiles{QStringLiteral("Calm"), QStringLiteral("Game"), QStringLiteral("Work")};

class RuleEditDialogTest : public testing::Test {
protected:
    void open(const ProfileRule& rule, bool chinese = false) {
        translation = std::make_unique<test::ScopedTranslation>(chinese ? kLanguageChinese
                                                                        : kLanguageEnglish);
        dialog = std::make_unique<RuleEditDialog>(kProfiles, rule, nullptr,
                                                  QString::fromStdString(proc.path().string()));
        dialog->show();
    }
    template <typename T>
    T& child(const char* name) {
        T* found = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QPushButton& ok() { return child<QPushButton>("okButton"); }
    void choose(const char* box, const QString& text) {
        auto& combo = child<QComboBox>(box);
        const int index = combo.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo.setCurrentIndex(index);
    }

    test::TempDir proc;
    std::unique_ptr<test::ScopedTranslation> translation;
    std::unique_ptr<RuleEditDialog> dialog;
};

TEST_F(RuleEditDialogTest, ShowsTheRuleAndGivesBackWhatTheFieldsSay) {
    open({ProfileRule::Match::Process, QStringLiteral("hl2_linux"), ProfileRule::Kind::WhileRunning,
          QStringLiteral("Game")});
    EXPECT_EQ(child<QComboBox>("matchBox").currentText(), QStringLiteral("Process name"));
    EXPECT_EQ(child<QLineEdit>("patternEdit").text(), QStringLiteral("hl2_linux"));
    EXPECT_EQ(child<QComboBox>("kindBox").currentText(), QStringLiteral("while running"));
    EXPECT_EQ(child<QComboBox>("profileBox").currentText(), QStringLiteral("Game"));
    test::SaveScreenshotIfAsked(*dialog, QStringLiteral("rule-editor-english"));

    child<QLineEdit>("patternEdit").setText(QStringLiteral("  csgo_linux64 "));
    choose("kindBox", QStringLiteral("while focused"));
    choose("profileBox", QStringLiteral("Work"));
    EXPECT_EQ(dialog->rule(),
              (ProfileRule{ProfileRule::Match::Process, QStringLiteral("csgo_linux64"),
                           ProfileRule::Kind::WhileFocused, QStringLiteral("Work")}));
}

// A window class is known only for the window in front: such a rule never applies while running.
TEST_F(RuleEditDialogTest, AWindowClassAppliesOnlyWhileFocused) {
    open({ProfileRule::Match::Process, QStringLiteral("steam"), ProfileRule::Kind::WhileRunning,
          QStringLiteral("Game")});
    auto* kinds = qobject_cast<QStandardItemModel*>(child<QComboBox>("kindBox").model());
    ASSERT_NE(kinds, nullptr);
    EXPECT_TRUE(kinds->item(1)->isEnabled());
    choose("matchBox", QStringLiteral("Window class"));
    EXPECT_EQ(dialog->rule().kind, ProfileRule::Kind::WhileFocused);
    EXPECT_FALSE(kinds->item(1)->isEnabled());
    choose("matchBox", QStringLiteral("Process name"));
    EXPECT_TRUE(kinds->item(1)->isEnabled());
}

TEST_F(RuleEditDialogTest, OkNeedsAnApplicationAndAProfile) {
    open({});
    EXPECT_EQ(child<QComboBox>("profileBox").currentText(), QStringLiteral("Calm"));
    struct Case {
        const char* pattern;
        bool ok;
    };
    for (const Case& c : {Case{"", false}, Case{"   ", false}, Case{"x", true}}) {
        child<QLineEdit>("patternEdit").setText(QString::fromUtf8(c.pattern));
        EXPECT_EQ(ok().isEnabled(), c.ok) << '"' << c.pattern << '"';
    }
    // No profile at all: nothing to choose, nothing to accept.
    dialog = std::make_unique<RuleEditDialog>(QStringList(), ProfileRule{});
    dialog->findChild<QLineEdit*>(QStringLiteral("patternEdit"))->setText(QStringLiteral("x"));
    EXPECT_FALSE(ok().isEnabled());
}

TEST_F(RuleEditDialogTest, AProfileThatWentAwayStaysTheRulesUntilAnotherIsChosen) {
    open({ProfileRule::Match::Process, QStringLiteral("steam"), ProfileRule::Kind::WhileFocused,
          QStringLiteral("Old")});
    EXPECT_EQ(child<QComboBox>("profileBox").currentText(), QStringLiteral("Old (missing)"));
    EXPECT_EQ(dialog->rule().profile, QStringLiteral("Old"));
}

TEST_F(RuleEditDialogTest, TheRunningApplicationsAreThisUsersByEveryNameARuleMatches) {
    const QString root = QString::fromStdString(proc.path().string());
    test::AddProcess(root, 100, "Game.exe", QStringLiteral("/usr/bin/wine64-preloader"));
    test::AddProcess(root, 200, "kworker/0:1", QString());  // a kernel thread, or another user's
    test::AddProcess(root, 300, "firefox-esr", QStringLiteral("/usr/lib/firefox-esr/firefox-esr"));
    test::AddProcess(root, 301, "Web Content", QStringLiteral("/usr/lib/firefox-esr/firefox-esr"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/self")));
    EXPECT_EQ(RunningProcessDialog::NamesOf(root),
              (QStringList{"firefox-esr", "Game.exe", "Web Content", "wine64-preloader"}));

    open({ProfileRule::Match::WindowClass, QStringLiteral("steam"), ProfileRule::Kind::WhileFocused,
          QStringLiteral("Game")});
    test::WhenModal<RunningProcessDialog>([](RunningProcessDialog& chooser) {
        auto* filter = chooser.findChild<QLineEdit*>(QStringLiteral("filter"));
        auto* list = chooser.findChild<QListWidget*>(QStringLiteral("processList"));
        filter->setText(QStringLiteral("GAME"));
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            if (!list->item(i)->isHidden()) {
                shown << list->item(i)->text();
            }
        }
        EXPECT_EQ(shown, QStringList{"Game.exe"});
        list->setCurrentItem(list->findItems(QStringLiteral("Game.exe"), Qt::MatchExactly)[0]);
        chooser.accept();
    });
    dialog->findChild<QPushButton*>(QStringLiteral("runningButton"))->click();
    EXPECT_EQ(dialog->rule().match, ProfileRule::Match::Process);
    EXPECT_EQ(dialog->rule().pattern, QStringLiteral("Game.exe"));

    // Cancelled: the fields stay.
    test::WhenModal<RunningProcessDialog>([](RunningProcessDialog& chooser) { chooser.reject(); });
    dialog->chooseRunning();
    EXPECT_EQ(dialog->rule().pattern, QStringLiteral("Game.exe"));
}

TEST_F(RuleEditDialogTest, WindowsCanBeClickedOnX11Only) {
    open({});
    // These tests run offscreen.
    EXPECT_FALSE(child<QPushButton>("pickButton").isEnabled());
}

TEST_F(RuleEditDialogTest, ChineseTexts) {
    open({ProfileRule::Match::Process, QStringLiteral("steam"), ProfileRule::Kind::WhileRunning,
          QStringLiteral("Old")},
         true);
    EXPECT_EQ(child<QComboBox>("matchBox").currentText(), QString::fromUtf16(u"进程名"));
    EXPECT_EQ(child<QComboBox>("kindBox").currentText(), QString::fromUtf16(u"运行时"));
    EXPECT_EQ(child<QComboBox>("profileBox").currentText(), QString::fromUtf16(u"Old（不存在）"));
    EXPECT_EQ(child<QPushButton>("pickButton").text(), QString::fromUtf16(u"点击窗口..."));
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf16(u"规则"));
}

}  // namespace
}  // namespace tavrin
