#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <memory>

#include "app/COstraApp.h"
#include "device/WindowMessages.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/TrayIcon.h"
#include "service/KeyboardService.h"
#include "sim/VirtualKeyboard.h"
#include "support/TempDir.h"
#include "ui/controls/CBitSlider.h"
#include "ui/main/COstraDlg.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

// No HID device at all.
class NoDevices final : public HidBackend {
public:
    std::vector<HidInterfaceInfo> enumerate() override { return {}; }
    std::unique_ptr<HidDevice> open(const std::string&, std::string& error) override {
        error = "no such device";
        return nullptr;
    }
};

class AppStartTest : public testing::Test {
protected:
    std::unique_ptr<COstraApp> start(bool keyboard, bool tray, const char* language = nullptr,
                                     bool minimized = false) {
        if (language) {
            QtSettingsStore(config->path())
                .writeString("Software\\Mervic", "Language",
                             std::u16string(language, language + std::strlen(language)));
        }
        AppOptions options;
        options.simulate = keyboard;
        options.minimized = minimized;
        options.dataDir = QString::fromStdString(data.path().string());
        AppOverrides overrides;
        if (!keyboard) {
            overrides.backend = std::make_unique<NoDevices>();
        }
        overrides.configFolder = config->path();
        overrides.trayAvailable = tray;
        overrides.showSplash = false;
        overrides.skinRoot = std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR);
        overrides.localeName = "en_US.UTF-8";  // without a stored value: English
        auto app = std::make_unique<COstraApp>(options, std::move(overrides));
        QString error;
        EXPECT_TRUE(app->start(error)) << error.toStdString();
        // The keyboard opens on the service's worker; the window hears of it once it is done.
        for (int i = 0; i < 1000 && !app->settingsLoaded(); ++i) {
            QTest::qWait(10);
        }
        EXPECT_TRUE(app->settingsLoaded());
        return app;
    }

    test::TempDir data;
    std::unique_ptr<test::TempDir> config = std::make_unique<test::TempDir>();
};

TEST_F(AppStartTest, WithAKeyboardTheWindowShowsAndTheSlidersFollowTheKeyboard) {
    auto app = start(true, true);
    EXPECT_TRUE(app->window().isVisible());
    ASSERT_NE(app->tray(), nullptr);
    EXPECT_TRUE(app->tray()->isVisible());
    EXPECT_EQ(app->tray()->toolTip(), QStringLiteral("Tavrin Gaming Keyboard"));

    // The start-up read ends with WM_SETTINGS_LOADED, which sets the sliders from the model.
    // The brightness slider starts at 1; the keyboard's factory brightness is another level.
    TAVRIN_WAIT_TRUE_FOR(app->model().savedSettings.keyMap()[0] != 0, 5000);
    TAVRIN_WAIT_EQ(app->window().slider(kBrightnessSliderId)->value(),
                   int(app->model().settings.brightnessLevel()));
    EXPECT_EQ(app->window().slider(kReportSliderId)->value(),
              int(app->model().settings.reportInterval()));
    EXPECT_EQ(app->window().slider(kSpeedSliderId)->value(),
              int(app->model().settings.speedLevel()));
    EXPECT_EQ(app->window().size(), QSize(1000, 645));
}

TEST_F(AppStartTest, WithoutAKeyboardOnlyTheIconShows) {
    auto app = start(false, true);
    EXPECT_FALSE(app->window().isVisible());
    EXPECT_TRUE(app->tray()->isVisible());

    app->showMainWindow();  // a double click on the icon
    EXPECT_FALSE(app->window().isVisible());
    EXPECT_EQ(app->lastBalloon(), QStringLiteral("No Gaming Keyboard Detected!"));
}

TEST_F(AppStartTest, TheNoKeyboardMessageNeedsItsParameter) {
    auto app = start(false, true);
    app->handleMessage(WM_SHOW_NO_KEYBOARD, 14, 0);
    EXPECT_TRUE(app->lastBalloon().isEmpty());
    app->handleMessage(WM_SHOW_NO_KEYBOARD, 15, 0);
    EXPECT_EQ(app->lastBalloon(), QStringLiteral("No Gaming Keyboard Detected!"));
}

TEST_F(AppStartTest, WithoutANotificationAreaTheWindowStaysReachable) {
    auto app = start(false, false);
    EXPECT_TRUE(app->window().isVisible());
    EXPECT_EQ(app->lastBalloon(), QStringLiteral("No Gaming Keyboard Detected!"));
}

TEST_F(AppStartTest, IconMenuTextsInBothLanguages) {
    const std::pair<const char*, QString> cases[] = {{nullptr, QStringLiteral("Exit")},
                                                     {"Chinese", QStringLiteral("Exit")},
                                                     {"chinese", QString::fromUtf16(u"退出")}};
    for (const auto& [language, exitText] : cases) {
        config = std::make_unique<test::TempDir>();
        auto app = start(true, true, language);
        emit app->tray()->aboutToShowMenu();
        const QList<QAction*> actions = app->tray()->menu().actions();
        ASSERT_GE(actions.size(), 2);
        // About and Exit end the menu.
        EXPECT_EQ(actions.at(actions.size() - 2)->text(), QStringLiteral("About Ostra..."));
        EXPECT_EQ(actions.constLast()->text(), exitText) << (language ? language : "none");
    }
}

TEST_F(AppStartTest, ExitLeavesKeymapAsLastWritten) {
    auto app = start(true, true);
    const auto before = test::ReadWholeFile(data / "keymap.bin");
    app->model().settings.setEffectCode(9);
    QSignalSpy quit(app.get(), &COstraApp::quitRequested);
    app->tray()->menu().actions().constLast()->trigger();  // Exit
    EXPECT_EQ(quit.count(), 1);
    app.reset();
    EXPECT_EQ(test::ReadWholeFile(data / "keymap.bin"), before);
}

TEST_F(AppStartTest, KeyboardLostHidesTheWindow) {
    auto app = start(true, true);
    ASSERT_TRUE(app->window().isVisible());
    app->handleMessage(WM_KEYBOARD_LOST, 0, 0);
    EXPECT_FALSE(app->window().isVisible());
    app->showMainWindow();
    EXPECT_TRUE(app->window().isVisible());
}

// At login: only the icon, or the iconified window where there is no notification area; the
// keyboard is read as at any start, and no notice pops up.
TEST_F(AppStartTest, MinimizedStartsInTheNotificationAreaOrIconified) {
    struct Case {
        bool keyboard;
        bool tray;
    };
    for (const Case& c :
         {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        SCOPED_TRACE(std::string(c.keyboard ? "keyboard" : "no keyboard") +
                     (c.tray ? ", tray" : ", no tray"));
        auto app = start(c.keyboard, c.tray, nullptr, true);
        if (c.keyboard) {
            TAVRIN_WAIT_TRUE_FOR(app->model().savedSettings.keyMap()[0] != 0, 5000);
        }
        QTest::qWait(100);  // what the first link may still show
        EXPECT_EQ(app->window().isVisible(), !c.tray);
        EXPECT_EQ(app->window().isMinimized(), !c.tray);
        EXPECT_EQ(app->tray() != nullptr && app->tray()->isVisible(), c.tray);
        EXPECT_TRUE(app->lastBalloon().isEmpty());
        if (c.keyboard && c.tray) {
            app->showMainWindow();  // a double click on the icon
            EXPECT_TRUE(app->window().isVisible());
            EXPECT_FALSE(app->window().isMinimized());
        }
    }
}

TEST(AppOptions, MinimizedIsAnOption) {
    QString error;
    const auto plain = ParseAppOptions({QStringLiteral("tavrin-gaming-keyboard")}, error);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->minimized);
    const auto login = ParseAppOptions(
        {QStringLiteral("tavrin-gaming-keyboard"), QStringLiteral("--minimized")}, error);
    ASSERT_TRUE(login);
    EXPECT_TRUE(login->minimized);
}

}  // namespace
}  // namespace tavrin
