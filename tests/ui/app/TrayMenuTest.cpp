// The icon's menu: the profiles, automatic profiles, start at login and the language, on the
// whole application with the in-process keyboard, a private settings folder and a private
// XDG_CONFIG_HOME.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstring>
#include <memory>

#include "app/COstraApp.h"
#include "app/TrayController.h"
#include "automation/ProfileRules.h"
#include "device/HidBackend.h"
#include "model/ProfileFile.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/TrayIcon.h"
#include "sim/VirtualKeyboard.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/main/COstraDlg.h"
#include "ui/main/MainLayout.h"
#include "ui/profile/CConfigureDlg.h"
#include "ui/rules/ProfileRulesDialog.h"
#include "ui/support/ScopedEnvironment.h"
#include "ui/support/UiTestSupport.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

class NoKeyboard final : public HidBackend {
public:
    std::vector<HidInterfaceInfo> enumerate() override { return {}; }
    std::unique_ptr<HidDevice> open(const std::string&, std::string& error) override {
        error = "no such device";
        return nullptr;
    }
};

std::u16string U16(const char* text) {
    return std::u16string(text, text + std::strlen(text));
}

class TrayMenuTest : public testing::Test {
protected:
    void SetUp() override {
        env.set("XDG_CONFIG_HOME", QByteArray::fromStdString(xdg.path().string()));
        std::filesystem::create_directories(data / "Configure");
    }
    void TearDown() override { app.reset(); }

    void start(bool keyboard = true, const char* language = "english",
               const char* locale = "en_US.UTF-8") {
        if (language) {
            QtSettingsStore(config->path())
                .writeString("Software\\Mervic", "Language", U16(language));
        }
        AppOptions options;
        options.simulate = keyboard;
        options.dataDir = QString::fromStdString(data.path().string());
        AppOverrides overrides;
        if (!keyboard) {
            overrides.backend = std::make_unique<NoKeyboard>();
        }
        overrides.configFolder = config->path();
        overrides.trayAvailable = true;
        overrides.showSplash = false;
        overrides.skinRoot = std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR);
        overrides.prompts = &prompts;
        overrides.publishOnBus = false;
        if (locale) {
            overrides.localeName = locale;  // else the environment's
        }
        app = std::make_unique<COstraApp>(options, std::move(overrides));
        QString error;
        ASSERT_TRUE(app->start(error)) << error.toStdString();
        TAVRIN_WAIT_TRUE_FOR(app->settingsLoaded(), 10000);
    }

    // The menu as the user sees it when it opens.
    QMenu& openMenu() {
        emit app->tray()->menu().aboutToShow();
        return app->tray()->menu();
    }
    // With TAVRIN_SCREENSHOT_DIR set, the open menu as a picture, for a person to look at.
    void screenshotMenu(const QString& name) {
        if (qEnvironmentVariableIsEmpty("TAVRIN_SCREENSHOT_DIR")) {
            return;
        }
        QMenu& menu = openMenu();
        menu.popup(QPoint(0, 0));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        test::SaveScreenshotIfAsked(menu, name);
        menu.hide();
    }
    QAction* action(const char* name) {
        for (QAction* a : openMenu().actions()) {
            if (a->objectName() == QLatin1String(name)) {
                return a;
            }
            if (a->menu()) {
                for (QAction* inner : a->menu()->actions()) {
                    if (inner->objectName() == QLatin1String(name)) {
                        return inner;
                    }
                }
            }
        }
        ADD_FAILURE() << "no action " << name;
        return nullptr;
    }
    QList<QAction*> profileActions() {
        QList<QAction*> list;
        for (QAction* a : openMenu().actions()) {
            if (a->objectName() == QLatin1String("profileAction")) {
                list << a;
            }
        }
        return list;
    }
    void putProfile(const std::string& name) {
        ASSERT_TRUE(ProfileFile::FromModel(Model{}).write(data / "Configure" / (name + ".bin")));
    }
    std::optional<std::u16string> setting(const char* key, const char* value) {
        return QtSettingsStore(config->path()).readString(key, value);
    }
    QString rulesPath() const { return ProfileRulesPath(); }
    QString autostartPath() const {
        return QString::fromStdString((xdg / "autostart/tavrin-gaming-keyboard.desktop").string());
    }
    std::u16string lastPrompt() const {
        return prompts.shown().empty() ? std::u16string() : prompts.shown().back().text;
    }

    test::ScopedEnvironment env;
    test::TempDir xdg;
    test::TempDir data;
    std::unique_ptr<test::TempDir> config = std::make_unique<test::TempDir>();
    test::ScriptedPrompts prompts;
    std::unique_ptr<COstraApp> app;
};

TEST_F(TrayMenuTest, TheMenuInItsOrder) {
    start();
    QStringList names;
    for (const QAction* a : openMenu().actions()) {
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    EXPECT_EQ(names, (QStringList{"noProfilesAction", "-", "automaticProfilesAction",
                                  "editRulesAction", "-", "startAtLoginAction", "languageAction",
                                  "-", "aboutAction", "exitAction"}));
}

TEST_F(TrayMenuTest, SixProfilesWithTheCurrentOneCheckedByItsExactFileName) {
    // Seven files: the seventh is not listed. "My Game.bin" also contains "Game.bin".
    for (const char* name : {"Work", "Game", "My Game", "A", "B", "Z1", "Z2"}) {
        putProfile(name);
    }
    QtSettingsStore(config->path())
        .writeString("Software\\Dalvex", "CurrentProfileName", u"Game.bin");
    start();
    QStringList texts;
    QStringList checked;
    for (const QAction* a : profileActions()) {
        texts << a->text();
        if (a->isChecked()) {
            checked << a->text();
        }
    }
    EXPECT_EQ(texts, (QStringList{"A", "B", "Game", "My Game", "Work", "Z1"}));
    EXPECT_EQ(checked, QStringList{"Game"});
    screenshotMenu(QStringLiteral("icon-menu-english"));

    // Each opening lists the folder as it is now.
    std::filesystem::remove(data / "Configure" / "A.bin");
    EXPECT_EQ(profileActions().size(), 6);
    EXPECT_EQ(profileActions().constLast()->text(), QStringLiteral("Z2"));
}

TEST_F(TrayMenuTest, AClickAppliesTheProfileAndSendsIt) {
    start();
    // What the keyboard holds now, and the same with another lighting effect.
    ASSERT_TRUE(ProfileFile::FromModel(app->model()).write(data / "Configure" / "Calm.bin"));
    Model lit = app->model();
    lit.settings.setEffectCode(5);
    ASSERT_TRUE(ProfileFile::FromModel(lit).write(data / "Configure" / "Lit.bin"));
    ASSERT_NE(app->simulatedKeyboard()->state().lighting()[0], 5);
    QSignalSpy chosen(&app->trayController(), &TrayController::profileChosen);
    QAction* litAction = profileActions().at(1);
    ASSERT_EQ(litAction->text(), QStringLiteral("Lit"));
    litAction->trigger();
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), QStringLiteral("Lit"));
    // Applied like the profile manager's OK, then sent like Save.
    TAVRIN_WAIT_EQ_FOR(setting("Software\\Dalvex", "CurrentProfileName"),
                       std::optional<std::u16string>(u"Lit.bin"), 10000);
    TAVRIN_WAIT_EQ_FOR(int(app->simulatedKeyboard()->state().lighting()[0]), 5, 10000);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(profileActions().at(1)->isChecked());
}

TEST_F(TrayMenuTest, AProfileThatCannotBeSentIsToldInTheInterfaceLanguage) {
    putProfile("Game");
    for (const char* language : {"english", "chinese"}) {
        SCOPED_TRACE(language);
        app.reset();
        start(false, language);
        profileActions().at(0)->trigger();
        ASSERT_FALSE(prompts.shown().empty());
        const std::u16string expected = std::strcmp(language, "chinese") == 0
                                            ? u"未能应用配置 Game："
                                            : u"The profile Game was not applied:";
        EXPECT_EQ(lastPrompt().rfind(expected, 0), 0u)
            << QString::fromStdU16String(lastPrompt()).toStdString();
    }
    EXPECT_FALSE(setting("Software\\Dalvex", "CurrentProfileName").has_value());
}

TEST_F(TrayMenuTest, AutomaticProfilesSwitchesTheFileAndKeepsItsRules) {
    ProfileRules rules;
    rules.defaultProfile = QStringLiteral("Work");
    rules.rules.append({ProfileRule::Match::Process, QStringLiteral("hl2_linux"),
                        ProfileRule::Kind::WhileRunning, QStringLiteral("Game")});
    QString error;
    ASSERT_TRUE(SaveProfileRules(rulesPath(), rules, error)) << error.toStdString();
    start();
    ASSERT_TRUE(action("automaticProfilesAction")->isChecked());
    action("automaticProfilesAction")->trigger();
    RulesLoad load = LoadProfileRules(rulesPath());
    ASSERT_TRUE(load.rules);
    rules.enabled = false;
    EXPECT_EQ(*load.rules, rules);
    EXPECT_FALSE(action("automaticProfilesAction")->isChecked());

    action("automaticProfilesAction")->trigger();
    load = LoadProfileRules(rulesPath());
    ASSERT_TRUE(load.rules);
    EXPECT_TRUE(load.rules->enabled);
    EXPECT_TRUE(action("automaticProfilesAction")->isChecked());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(TrayMenuTest, WithoutARulesFileTurningOffWritesOne) {
    start();
    EXPECT_TRUE(action("automaticProfilesAction")->isChecked());  // switching is on by default
    action("automaticProfilesAction")->trigger();
    const RulesLoad load = LoadProfileRules(rulesPath());
    ASSERT_TRUE(load.rules);
    EXPECT_FALSE(load.rules->enabled);
    EXPECT_TRUE(load.rules->rules.isEmpty());
}

TEST_F(TrayMenuTest, ABrokenRulesFileIsToldAndKeptByteForByte) {
    const QByteArray broken = "{\"format\": \"tavrin-gaming-keyboard-profile-rules\", \"vers";
    std::filesystem::create_directories(xdg / "tavrin-gaming-keyboard");
    QFile file(rulesPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(broken);
    file.close();
    start();
    QAction* automatic = action("automaticProfilesAction");
    EXPECT_FALSE(automatic->isChecked());
    automatic->trigger();  // the user asks to turn it on
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(lastPrompt().rfind(u"Automatic profiles could not be turned on.\n", 0), 0u);
    EXPECT_NE(lastPrompt().find(rulesPath().toStdU16String()), std::u16string::npos);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), broken);
    EXPECT_FALSE(action("automaticProfilesAction")->isChecked());
}

TEST_F(TrayMenuTest, EditRulesOpensOneRulesWindow) {
    start();
    action("editRulesAction")->trigger();
    ASSERT_NE(app->rulesWindow(), nullptr);
    EXPECT_TRUE(app->rulesWindow()->isVisible());
    EXPECT_EQ(app->rulesWindow()->windowModality(), Qt::ApplicationModal);
    ProfileRulesDialog* first = app->rulesWindow();
    action("editRulesAction")->trigger();
    EXPECT_EQ(app->rulesWindow(), first);
}

// While the window shows, the rules window opens as its child, so that the window system keeps
// it over the window; with only the icon there it is a window of its own.
TEST_F(TrayMenuTest, TheRulesWindowOpensOverTheWindowWhileItShows) {
    start();
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown ? "window shown" : "window hidden");
        app->window().setVisible(shown);
        action("editRulesAction")->trigger();
        ProfileRulesDialog* rules = app->rulesWindow();
        ASSERT_NE(rules, nullptr);
        EXPECT_TRUE(rules->isVisible());
        ASSERT_NE(rules->windowHandle(), nullptr);
        EXPECT_EQ(rules->windowHandle()->transientParent(),
                  shown ? app->window().windowHandle() : nullptr);
        rules->reject();
        TAVRIN_WAIT_TRUE(app->rulesWindow() == nullptr);
    }
}

TEST_F(TrayMenuTest, StartAtLoginWritesAValidEntryAndRemovesIt) {
    start();
    QAction* login = action("startAtLoginAction");
    EXPECT_FALSE(login->isChecked());
    login->trigger();
    ASSERT_TRUE(QFile::exists(autostartPath()));
    EXPECT_TRUE(action("startAtLoginAction")->isChecked());

    QFile entry(autostartPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(
        QStringLiteral("\nExec=\"%1\" --minimized\n").arg(QCoreApplication::applicationFilePath())))
        << text.toStdString();
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {autostartPath()});
    ASSERT_TRUE(validate.waitForFinished(20000)) << "desktop-file-validate did not run";
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
    EXPECT_TRUE(validate.readAll().isEmpty());

    action("startAtLoginAction")->trigger();
    EXPECT_FALSE(QFile::exists(autostartPath()));
    EXPECT_FALSE(action("startAtLoginAction")->isChecked());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(TrayMenuTest, StartAtLoginThatCannotBeWrittenSaysSo) {
    // A file where the autostart folder belongs.
    QFile blocker(QString::fromStdString((xdg / "autostart").string()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    action("startAtLoginAction")->trigger();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(lastPrompt().rfind(u"Start at login could not be turned on.\n", 0), 0u);
    EXPECT_FALSE(action("startAtLoginAction")->isChecked());
}

// Without a stored value the desktop's locale chooses; a stored value alone decides.
TEST_F(TrayMenuTest, TheLanguageFollowsTheLocaleOnlyWithoutAValue) {
    struct Case {
        const char* value;
        bool chinese;
    };
    for (const Case& c : {Case{nullptr, true}, Case{"english", false}, Case{"chinese", true}}) {
        SCOPED_TRACE(c.value ? c.value : "no value");
        app.reset();
        config = std::make_unique<test::TempDir>();
        env.unset("LC_ALL");
        env.unset("LC_MESSAGES");
        env.set("LANG", "zh_CN.UTF-8");
        start(true, c.value, nullptr);
        EXPECT_EQ(app->model().chinese(), c.chinese);
        EXPECT_EQ(action("exitAction")->text(),
                  c.chinese ? QString::fromUtf16(u"退出") : QStringLiteral("Exit"));
        EXPECT_EQ(action("editRulesAction")->text(),
                  c.chinese ? QString::fromUtf16(u"编辑规则...") : QStringLiteral("Edit rules..."));
        if (!c.value) {
            screenshotMenu(QStringLiteral("icon-menu-chinese"));
        }
    }
}

TEST_F(TrayMenuTest, TheLanguageItemsStoreTheValueForTheNextStart) {
    start(true, nullptr, "en_US.UTF-8");
    EXPECT_TRUE(action("englishAction")->isChecked());
    EXPECT_FALSE(action("chineseAction")->isChecked());
    EXPECT_EQ(action("chineseAction")->text(), QString::fromUtf16(u"中文"));

    action("chineseAction")->trigger();
    EXPECT_EQ(setting("Software\\Mervic", "Language"), std::optional<std::u16string>(u"chinese"));
    EXPECT_EQ(app->lastBalloon(), QStringLiteral("The new language is used from the next start."));
    EXPECT_FALSE(app->model().chinese());
    EXPECT_TRUE(action("chineseAction")->isChecked());
    EXPECT_EQ(action("chineseAction")->text(), QString::fromUtf16(u"中文 (at the next start)"));
    EXPECT_EQ(action("languageAction")->text(), QStringLiteral("Language"));

    action("englishAction")->trigger();
    EXPECT_EQ(setting("Software\\Mervic", "Language"), std::optional<std::u16string>(u"english"));
    EXPECT_TRUE(action("englishAction")->isChecked());
    EXPECT_EQ(action("englishAction")->text(), QStringLiteral("English"));
    EXPECT_EQ(action("chineseAction")->text(), QString::fromUtf16(u"中文"));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(TrayMenuTest, ALanguageThatCannotBeStoredSaysSo) {
    // A folder where the settings file belongs.
    std::filesystem::create_directory(config->path() / "Mervic.conf");
    start(true, nullptr, "zh_CN.UTF-8");
    EXPECT_TRUE(app->model().chinese());
    action("englishAction")->trigger();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(lastPrompt().rfind(u"无法保存语言设置。", 0), 0u);
    EXPECT_TRUE(action("chineseAction")->isChecked());
    EXPECT_TRUE(app->lastBalloon().isEmpty());
}

// The profile manager's "Edit rules..." opens the same window, over the manager.
TEST_F(TrayMenuTest, TheProfileManagerOpensTheRulesWindowOverItself) {
    putProfile("Game");
    start();
    QPointer<QWidget> manager;
    bool rulesOverManager = false;
    test::WhenModal<CConfigureDlg>(
        [&](CConfigureDlg& dialog) {
            manager = &dialog;
            dialog.OnCommand(CConfigureDlg::kEditRulesCommand);
            ProfileRulesDialog* rules = app->rulesWindow();
            rulesOverManager = rules && rules->isVisible() && rules->parentWidget() == &dialog;
            if (rules) {
                rules->reject();
            }
            dialog.reject();
        },
        50);
    app->runCommand(Region::Profile);
    EXPECT_TRUE(manager);
    EXPECT_TRUE(rulesOverManager);
    TAVRIN_WAIT_TRUE(app->rulesWindow() == nullptr);  // deleted once closed
}

}  // namespace
}  // namespace tavrin
