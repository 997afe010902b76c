// The main window's commands through the whole application, on the in-process virtual keyboard
// with the test's clock: what the keyboard received, the waits, the files and the prompts.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>

#include "app/COstraApp.h"
#include "device/KeyboardProtocol.h"
#include "device/WindowMessages.h"
#include "model/AssignmentKind.h"
#include "model/LocalFiles.h"
#include "model/ProfileFile.h"
#include "platform/qt/QtSettingsStore.h"
#include "service/KeyboardService.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/ManualClock.h"
#include "support/RecordingShell.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/macro/CMacroRecordDlg.h"
#include "ui/main/COstraDlg.h"
#include "ui/profile/CConfigureDlg.h"
#include "ui/support/UiTestSupport.h"
#include "ui/support/UrlCatcher.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

using test::Ms;

// A command interface that can be made to answer as an unplugged one, and come back on the same
// handle; or to stay plugged in and answer no get-feature request (`mute`). The event interface is
// never touched.
class AwayDevice final : public HidDevice {
public:
    AwayDevice(std::unique_ptr<HidDevice> inner, std::atomic<bool>& away, std::atomic<bool>& mute)
        : inner_(std::move(inner)), away_(away), mute_(mute) {}
    HidResult sendFeatureReport(ConstByteSpan report) override {
        return away_ ? HidResult::Gone() : inner_->sendFeatureReport(report);
    }
    HidResult getFeatureReport(ByteSpan report) override {
        if (mute_) {
            return HidResult::Error("Broken pipe");
        }
        return away_ ? HidResult::Gone() : inner_->getFeatureReport(report);
    }
    HidResult write(ConstByteSpan report) override {
        return away_ ? HidResult::Gone() : inner_->write(report);
    }
    HidResult read(ByteSpan buffer, std::chrono::milliseconds timeout) override {
        return inner_->read(buffer, timeout);
    }

private:
    std::unique_ptr<HidDevice> inner_;
    std::atomic<bool>& away_;
    std::atomic<bool>& mute_;
};

class AwayBackend final : public HidBackend {
public:
    AwayBackend(VirtualKeyboard& keyboard, std::atomic<bool>& away, std::atomic<bool>& mute)
        : inner_(keyboard), away_(away), mute_(mute) {}
    std::vector<HidInterfaceInfo> enumerate() override { return inner_.enumerate(); }
    std::unique_ptr<HidDevice> open(const std::string& path, std::string& error) override {
        auto device = inner_.open(path, error);
        if (!device) {
            return nullptr;
        }
        return std::make_unique<AwayDevice>(std::move(device), away_, mute_);
    }

private:
    VirtualKeyboardBackend inner_;
    std::atomic<bool>& away_;
    std::atomic<bool>& mute_;
};

// Window points of the regions (all sections closed unless a test opens them).
const QPoint kLightHeader(100, 115);
const QPoint kGameHeader(100, 200);
const QPoint kGameOff(110, 232);
const QPoint kReportHeader(100, 295);
const QPoint kProfile(50, 620);
const QPoint kReturn(828, 620);
const QPoint kCancel(890, 620);
const QPoint kSave(950, 620);
const QPoint kHelp(944, 12);
const QPoint kClose(985, 10);

VirtualKeyboardOptions StrictKeyboard(FirmwareVersion firmware = {1, 2}) {
    VirtualKeyboardOptions options;
    options.firmwareMajor = firmware.major;
    options.firmwareMinor = firmware.minor;
    options.strict = true;
    return options;
}

class MainCommandsTest : public testing::Test {
protected:
    void SetUp() override {
        VirtualKeyboardState state;
        state.gameMode() = 1;
        keyboard->setState(state);
    }

    void TearDown() override {
        app.reset();
        EXPECT_TRUE(keyboard->breaches().empty()) << keyboard->breaches().front();
    }

    // The keyboard, the clock and the answers of this fixture, for every application it starts.
    AppOverrides testOverrides() {
        AppOverrides overrides;
        overrides.backend = std::make_unique<AwayBackend>(*keyboard, away, mute);
        overrides.configFolder = config.path();
        overrides.trayAvailable = true;
        overrides.showSplash = false;
        overrides.skinRoot = std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR);
        overrides.clock = &clock;
        overrides.prompts = &prompts;
        overrides.shell = &shell;
        overrides.chooser = &chooser;
        return overrides;
    }

    void start(const char* language = "english") {
        QtSettingsStore(config.path())
            .writeString("Software\\Mervic", "Language",
                         std::u16string(language, language + std::strlen(language)));
        AppOptions options;
        options.dataDir = QString::fromStdString(data.path().string());
        app = std::make_unique<COstraApp>(options, testOverrides());
        QString error;
        ASSERT_TRUE(app->start(error)) << error.toStdString();
        TAVRIN_WAIT_TRUE_FOR(app->settingsLoaded(), 10000);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        test::ParkMouse(window());
    }

    COstraDlg& window() { return app->window(); }
    Model& model() { return app->model(); }
    void click(QPoint p) { QTest::mouseClick(&window(), Qt::LeftButton, {}, p); }
    void waitIdle() { TAVRIN_WAIT_TRUE_FOR(!window().busy(), 10000); }
    // Forget what the keyboard and the clock have seen so far.
    void mark() {
        keyboard->clearHostReports();
        clock.clearWaits();
    }
    std::vector<HostReport> commandReports() const {
        std::vector<HostReport> out;
        for (const HostReport& r : keyboard->hostReports()) {
            if (r.interfaceIndex == VirtualKeyboard::kCommandInterface) {
                out.push_back(r);
            }
        }
        return out;
    }
    static std::vector<std::uint8_t> Feature(std::uint8_t code, std::uint8_t value) {
        std::vector<std::uint8_t> report(protocol::kFeatureReportSize, 0);
        report[protocol::kCodeByte] = code;
        report[protocol::kArgByte3] = value;
        return report;
    }
    // The SettingsBlock part of "keymap.bin".
    std::vector<std::uint8_t> keymapFileSettings() const {
        auto file = test::ReadWholeFile(data / kKeymapFileName);
        EXPECT_EQ(file.size(), kKeymapFileSize);
        file.resize(SettingsBlock::kSize);
        return file;
    }
    static std::vector<std::uint8_t> Bytes(const SettingsBlock& s) {
        return {s.bytes.begin(), s.bytes.end()};
    }
    void writeVersionFile(std::uint8_t major, std::uint8_t minor) {
        std::vector<char> bytes(8, 0);
        // The digits are stored as characters.
        bytes[5] = static_cast<char>('0' + major);
        bytes[7] = static_cast<char>('0' + minor);
        std::ofstream(data / kVersionFileName104, std::ios::binary).write(bytes.data(), 8);
    }

    test::ManualClock clock;
    std::unique_ptr<VirtualKeyboard> keyboard =
        std::make_unique<VirtualKeyboard>(clock, StrictKeyboard());
    std::atomic<bool> away{false};
    std::atomic<bool> mute{false};
    test::ScriptedPrompts prompts;
    test::RecordingShell shell;
    test::ScriptedFileChooser chooser;
    test::TempDir data;
    test::TempDir config;
    std::unique_ptr<COstraApp> app;
};

TEST_F(MainCommandsTest, GameModeOffThenSaveSendsOneWriteGameModeAndNothingElse) {
    start();
    ASSERT_EQ(model().settings.gameMode(), 1);
    mark();
    click(kGameHeader);
    click(kGameOff);
    EXPECT_EQ(model().settings.gameMode(), 0);
    EXPECT_TRUE(keyboard->hostReports().empty());  // edits stay in the model
    click(kSave);
    waitIdle();

    const auto reports = keyboard->hostReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].kind, HostReport::Kind::SetFeature);
    EXPECT_EQ(reports[0].interfaceIndex, VirtualKeyboard::kCommandInterface);
    EXPECT_EQ(reports[0].bytes, Feature(protocol::kWriteGameMode, 0));
    EXPECT_EQ(test::Describe(clock.waits()), test::Describe({Ms(20), Ms(50)}));
    EXPECT_EQ(keyboard->state().gameMode(), 0);
    EXPECT_EQ(model().savedSettings.gameMode(), 0);
    EXPECT_EQ(keymapFileSettings()[SettingsBlock::kGameModeOffset], 0);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainCommandsTest, SaveRunsOnAWorkerWhileTheWindowWaitsAndIgnoresInput) {
    start();
    click(kGameHeader);
    click(kGameOff);
    // Hold the worker in its first wait.
    std::mutex mutex;
    std::condition_variable released;
    bool hold = true;
    std::atomic<bool> held{false};
    const auto windowThread = std::this_thread::get_id();
    clock.setOnSleep([&](std::chrono::milliseconds) {
        if (std::this_thread::get_id() == windowThread) {
            return;
        }
        std::unique_lock lock(mutex);
        held = true;
        released.wait(lock, [&] { return !hold; });
    });
    click(kSave);
    TAVRIN_WAIT_TRUE(held.load());
    EXPECT_TRUE(window().busy());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Clicks do nothing, and the progress bar still moves.
    const QImage before = window().composedImage();
    click({38, 232});  // Game Mode ON
    EXPECT_EQ(model().settings.gameMode(), 0);
    TAVRIN_WAIT_TRUE(window().composedImage() != before);
    test::SaveScreenshotIfAsked(window(), QStringLiteral("main-saving"));
    {
        std::lock_guard lock(mutex);
        hold = false;
    }
    released.notify_all();
    waitIdle();
    clock.setOnSleep({});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(keyboard->state().gameMode(), 0);
    click({38, 232});
    EXPECT_EQ(model().settings.gameMode(), 1);
}

TEST_F(MainCommandsTest, SaveAndReturnWaitForTheStartupRead) {
    // The start-up reader is held in its first wait until the test lets it go.
    std::mutex mutex;
    std::condition_variable released;
    bool hold = true;
    const auto windowThread = std::this_thread::get_id();
    clock.setOnSleep([&](std::chrono::milliseconds ms) {
        // The read's first wait (ReadGameMode's 10 ms) on the command worker; opening the
        // interfaces before it goes on.
        if (std::this_thread::get_id() == windowThread || ms != std::chrono::milliseconds(10)) {
            return;
        }
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return !hold; });
    });
    AppOptions options;
    options.dataDir = QString::fromStdString(data.path().string());
    app = std::make_unique<COstraApp>(options, testOverrides());
    QString error;
    ASSERT_TRUE(app->start(error));
    // The window shows once the keyboard has opened, while its read is still held.
    TAVRIN_WAIT_TRUE_FOR(window().isVisible(), 10000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    const auto reportsSoFar = keyboard->hostReports().size();
    click(kSave);
    click(kReturn);
    EXPECT_FALSE(window().busy());
    // Neither click is dropped in silence: each is answered that the keyboard is busy.
    ASSERT_EQ(prompts.shown().size(), 2u);
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.text, u"The keyboard is busy. Try again in a moment.");
    }
    EXPECT_FALSE(app->settingsLoaded());
    {
        std::lock_guard lock(mutex);
        hold = false;
    }
    released.notify_all();
    TAVRIN_WAIT_TRUE_FOR(app->settingsLoaded(), 10000);
    clock.setOnSleep({});
    // Only the start-up read and its ReadLighting reached the keyboard.
    const auto reports = keyboard->hostReports();
    for (std::size_t i = reportsSoFar; i < reports.size(); ++i) {
        if (reports[i].kind == HostReport::Kind::SetFeature) {
            EXPECT_GE(reports[i].bytes[protocol::kCodeByte], 0x80)
                << "a write reached the keyboard";
        }
    }
}

TEST_F(MainCommandsTest, ASaveThatFailsSaysSoAndTheNextSaveSendsTheChangeAgain) {
    struct Language {
        const char* id;
        std::u16string text;
        std::u16string caption;
    };
    const Language languages[] = {
        {"english",
         u"The settings did not reach the keyboard. Check that the keyboard is connected, then "
         u"press Save again.",
         u"Save"},
        {"chinese", u"设置没有保存到键盘。请检查键盘是否已连接，然后再次点击“保存”。", u"保存"},
    };
    for (const Language& l : languages) {
        SCOPED_TRACE(l.id);
        app.reset();
        prompts = test::ScriptedPrompts();
        start(l.id);
        click(kGameHeader);
        click(kGameOff);
        away = true;
        click(kSave);
        waitIdle();
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, l.text);
        EXPECT_EQ(prompts.shown()[0].caption, l.caption);
        EXPECT_EQ(model().settings.gameMode(), 0);
        EXPECT_EQ(model().savedSettings.gameMode(), 1);
        EXPECT_EQ(keymapFileSettings()[SettingsBlock::kGameModeOffset], 0);  // the model's

        away = false;
        mark();
        click(kSave);
        waitIdle();
        const auto reports = keyboard->hostReports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].bytes, Feature(protocol::kWriteGameMode, 0));
        EXPECT_EQ(model().savedSettings.gameMode(), 0);
        EXPECT_EQ(prompts.shown().size(), 1u);
        VirtualKeyboardState back;
        back.gameMode() = 1;
        keyboard->setState(back);
    }
}

TEST_F(MainCommandsTest, TheRightmostReportRateIsSavedAsThree) {
    start();
    ASSERT_NE(model().settings.reportInterval(), 3);
    mark();
    click(kReportHeader);
    CBitSlider* report = window().slider(kReportSliderId);
    QTest::mouseClick(report, Qt::LeftButton, {},
                      QPoint(report->width() - 2, report->height() / 2));
    EXPECT_EQ(model().settings.reportInterval(), 3);
    click(kSave);
    waitIdle();
    const auto reports = keyboard->hostReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, Feature(protocol::kWriteReportInterval, 3));
    EXPECT_EQ(keyboard->state().reportInterval(), 3);
}

TEST_F(MainCommandsTest, AnUnknownEffectGoesBackUnchangedWhenAnotherLightingByteIsSaved) {
    VirtualKeyboardState state;
    state.lighting()[0] = 7;  // an effect the list does not know
    state.lighting()[2] = 0;  // the darkest brightness
    keyboard->setState(state);
    start();
    ASSERT_EQ(model().settings.effectCode(), 7);
    click(kLightHeader);
    CBitSlider* brightness = window().slider(kBrightnessSliderId);
    QTest::mouseClick(brightness, Qt::LeftButton, {},
                      QPoint(brightness->width() - 2, brightness->height() / 2));
    ASSERT_EQ(model().settings.brightnessLevel(), 4);
    mark();
    click(kSave);
    waitIdle();
    const auto reports = keyboard->hostReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes[protocol::kCodeByte], protocol::kWriteLighting);
    EXPECT_EQ(reports[0].bytes[protocol::kLightingFirst], 7);
    EXPECT_EQ(reports[0].bytes[protocol::kLightingFirst + 2], 255);
}

TEST_F(MainCommandsTest, TheFactoryResetQuestionAnsweredCancelChangesNothing) {
    struct Language {
        const char* id;
        std::u16string text;
        std::u16string caption;
    };
    const Language languages[] = {
        {"english", u"Confirm to return Factory Setting?", u"Factory Setting"},
        {"chinese", u"确认恢复至出厂设置吗？", u"出厂设置"},
    };
    for (const Language& l : languages) {
        SCOPED_TRACE(l.id);
        app.reset();
        prompts = test::ScriptedPrompts();
        start(l.id);
        click(kLightHeader);
        click({100, 392});  // Game Mode header below the open Light section
        model().settings.setEffectCode(52);
        model().keyChangedFlags[3] = 1;
        window().state().diyView = true;
        const MainWindowState stateBefore = window().state();
        const SettingsBlock settingsBefore = model().settings;
        mark();
        prompts.queueAnswer(PromptAnswer::Cancel);
        click(kReturn);
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, l.text);
        EXPECT_EQ(prompts.shown()[0].caption, l.caption);
        EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
        EXPECT_FALSE(window().busy());
        EXPECT_FALSE(window().state().panel.lightCollapsed);
        EXPECT_FALSE(window().state().panel.gameCollapsed);
        EXPECT_EQ(window().state().diyView, stateBefore.diyView);
        EXPECT_EQ(model().settings, settingsBefore);
        EXPECT_EQ(model().keyChangedFlags[3], 1);
        EXPECT_TRUE(keyboard->hostReports().empty());
    }
}

TEST_F(MainCommandsTest, AfterAFactoryResetEverythingIsAsTheKeyboardLeftTheFactory) {
    start();
    const VirtualKeyboardState factory;
    click(kLightHeader);
    model().settings.setEffectCode(53);
    window().state().diyView = true;
    window().state().panel.gameCollapsed = false;
    window().state().panel.responseCollapsed = false;
    window().state().panel.reportCollapsed = false;
    model().keyChangedFlags[5] = 1;
    model().assignments.record(5).setKind(KindByte(AssignmentKind::Function));
    window().slider(kBrightnessSliderId)->SetPos(0);
    mark();
    click(kReturn);
    waitIdle();

    ASSERT_EQ(prompts.shown().size(), 1u);
    const auto reports = commandReports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0].bytes[protocol::kCodeByte], protocol::kFactoryResetCommand);
    const MainWindowState& s = window().state();
    EXPECT_TRUE(s.panel.lightCollapsed && s.panel.gameCollapsed && s.panel.responseCollapsed &&
                s.panel.reportCollapsed);
    EXPECT_FALSE(s.diyView);
    for (std::size_t i = 0; i < kKeyTableSize; ++i) {
        EXPECT_EQ(model().keyChangedFlags[i], 0) << i;
    }
    EXPECT_EQ(model().assignments.record(5).kind(), 0);
    EXPECT_EQ(model().assignments.record(5).ownVk(), DefaultVkTable[5]);
    VirtualKeyboardState after = keyboard->state();
    EXPECT_EQ(model().settings.gameMode(), after.gameMode());
    EXPECT_EQ(model().settings.effectCode(), after.lighting()[0]);
    EXPECT_EQ(model().settings.effectCode(), factory.lighting()[0]);
    EXPECT_EQ(window().slider(kBrightnessSliderId)->value(),
              int(model().settings.brightnessLevel()));
    EXPECT_EQ(window().slider(kSpeedSliderId)->value(), int(model().settings.speedLevel()));
    EXPECT_EQ(window().slider(kReportSliderId)->value(), int(model().settings.reportInterval()));
    EXPECT_EQ(model().savedSettings, model().settings);
    EXPECT_EQ(model().savedAssignments, model().assignments);
    EXPECT_EQ(keymapFileSettings(), Bytes(model().settings));
    // Nothing is left to send.
    mark();
    click(kSave);
    waitIdle();
    EXPECT_TRUE(keyboard->hostReports().empty());
}

TEST_F(MainCommandsTest, CloseAfterALightingEditWritesTheSavedState) {
    start();
    QSignalSpy quit(app.get(), &COstraApp::quitRequested);
    const SettingsBlock saved = model().savedSettings;
    click(kLightHeader);
    click({100, 165});
    click({100, 173 + 20 * 8 + 5});  // "Horse Race"
    ASSERT_EQ(model().settings.effectCode(), 10);
    click(kClose);
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(keymapFileSettings(), Bytes(saved));
}

TEST_F(MainCommandsTest, CancelHidesRevertsAndTheIconShowsTheRevertedValues) {
    start();
    const SettingsBlock saved = model().savedSettings;
    click(kLightHeader);
    CBitSlider* brightness = window().slider(kBrightnessSliderId);
    const int other = (saved.brightnessLevel() + 2) % 5;
    brightness->SetPos(other);
    window().paintAll();
    ASSERT_EQ(model().settings.brightnessLevel(), other);
    click(kCancel);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(model().settings, saved);
    EXPECT_EQ(keymapFileSettings(), Bytes(saved));
    app->showMainWindow();
    EXPECT_TRUE(window().isVisible());
    window().paintAll();
    EXPECT_EQ(brightness->value(), int(saved.brightnessLevel()));
    EXPECT_EQ(model().settings.brightnessLevel(), saved.brightnessLevel());
}

TEST_F(MainCommandsTest, FirmwarePrompts) {
    struct Case {
        const char* name;
        FirmwareVersion keyboardFirmware;
        std::optional<FirmwareVersion> file;
        std::u16string prompt;  // empty: none
    };
    const Case cases[] = {
        {"minorNewer", {1, 3}, FirmwareVersion{1, 4}, u"Update new firmware?"},
        {"majorNewer", {0, 9}, FirmwareVersion{1, 2}, u"Update new firmware\uFF1F"},
        {"older", {1, 5}, FirmwareVersion{1, 4}, u""},
        {"majorOlderMinorNewer", {2, 0}, FirmwareVersion{1, 9}, u""},
        {"noVersionFile", {0, 0}, std::nullopt, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.reset();
        prompts = test::ScriptedPrompts();
        keyboard.reset();
        keyboard = std::make_unique<VirtualKeyboard>(clock, StrictKeyboard(c.keyboardFirmware));
        std::filesystem::remove(data / kVersionFileName104);
        if (c.file) {
            writeVersionFile(c.file->major, c.file->minor);
        }
        prompts.queueAnswer(PromptAnswer::Cancel);
        start();
        ASSERT_EQ(model().firmware, c.keyboardFirmware);
        if (c.prompt.empty()) {
            EXPECT_TRUE(prompts.shown().empty());
            continue;
        }
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, c.prompt);
        EXPECT_EQ(prompts.shown()[0].caption, u"Firmware Update");
        EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::OkCancel);
        EXPECT_TRUE(shell.started.empty());
    }
}

TEST_F(MainCommandsTest, FirmwarePromptInChineseAndOkStartsTheUpdater) {
    keyboard = std::make_unique<VirtualKeyboard>(clock, StrictKeyboard({1, 3}));
    writeVersionFile(1, 4);
    std::ofstream(data / "Tavrin Gaming Keyboard_Update") << "#!/bin/sh\n";
    start("chinese");
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"更新到新的固件吗？");
    EXPECT_EQ(prompts.shown()[0].caption, u"固件更新");
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0].program, data / "Tavrin Gaming Keyboard_Update");
    EXPECT_TRUE(shell.started[0].arguments.empty());
}

TEST_F(MainCommandsTest, HelpRows) {
    start();
    test::UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    const auto helpRow = [&](int row) {
        click(kHelp);
        EXPECT_TRUE(window().state().helpOpen);
        click({900, 22 + 25 * row + 1});
        EXPECT_FALSE(window().state().helpOpen);
    };
    // The version line and the pixels below it.
    helpRow(2);
    helpRow(3);
    EXPECT_TRUE(catcher.urls.isEmpty());
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(prompts.shown().empty());

    helpRow(0);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl(QString::fromLatin1(kHomePageAddress)));

    // No updater beside the program: a message instead of nothing.
    helpRow(1);
    EXPECT_TRUE(shell.started.empty());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].caption, u"Firmware Update");
    EXPECT_NE(prompts.shown()[0].text.find(app->updaterPath().u16string()), std::u16string::npos);

    std::ofstream(app->updaterPath()) << "#!/bin/sh\n";
    helpRow(1);
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0].program, app->updaterPath());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

TEST_F(MainCommandsTest, ProfileOkReloadsLocallyWithoutReadingTheKeyboardOrCheckingFirmware) {
    writeVersionFile(9, 9);
    prompts.queueAnswer(PromptAnswer::Cancel);
    start();
    ASSERT_EQ(prompts.shown().size(), 1u);  // the start-up read did check
    const auto macroFileBefore = test::ReadWholeFile(data / kMacroFileName);

    // Not accepted: nothing happens.
    int runs = 0;
    app->setProfileDialog([&](const QRect&) {
        ++runs;
        return false;
    });
    mark();
    click(kProfile);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(clock.waits().empty());
    EXPECT_EQ(test::ReadWholeFile(data / kMacroFileName), macroFileBefore);

    QRect shownWith;
    app->setProfileDialog([&](const QRect& rect) {
        shownWith = rect;
        // What loading a profile does to the model.
        model().macros.record(1).setName(u"loaded");
        model().settings.setBrightnessLevel(4);
        model().settings.setKeyMapEntry(KeyMapIndexOf(2), {0, 0, 0, 4});
        return true;
    });
    click(kProfile);
    EXPECT_EQ(shownWith, window().frameGeometry());
    // 50 ms later, by a timer: the window thread does not sleep.
    EXPECT_TRUE(clock.waits().empty());
    TAVRIN_WAIT_EQ(model().keyChangedFlags[2], std::uint8_t{1});
    EXPECT_TRUE(keyboard->hostReports().empty());  // no ReadLighting
    EXPECT_EQ(prompts.shown().size(), 1u);         // no firmware question
    const auto macroFile = test::ReadWholeFile(data / kMacroFileName);
    ASSERT_EQ(macroFile.size(), MacroTable::kSize);
    EXPECT_TRUE(std::equal(macroFile.begin(), macroFile.end(), model().macros.bytes.begin()));
    EXPECT_EQ(window().slider(kBrightnessSliderId)->value(), 4);
    EXPECT_EQ(model().keyChangedFlags[2], 1);
    EXPECT_EQ(keymapFileSettings(), Bytes(model().settings));
}

TEST_F(MainCommandsTest, KeyboardEventsOpenTheirLaunchActionAndALostKeyboardHidesTheWindow) {
    start();
    const auto notes = data / "notes.txt";
    test::WriteWholeFile(notes, {'h', 'i'});
    AssignmentRecord record = model().assignments.record(7);
    record.setKind(KindByte(AssignmentKind::OpenFile));
    record.setLaunchPath(notes.u16string());
    app->handleMessage(WM_KEYBOARD_EVENT, record.ownVk(), 0);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].directory, data.path());
    EXPECT_EQ(shell.opened[0].file, std::filesystem::path("notes.txt"));
    app->handleMessage(WM_KEYBOARD_EVENT, 0xEE, 0);  // no action for it
    EXPECT_EQ(shell.opened.size(), 1u);

    EXPECT_TRUE(window().isVisible());
    app->handleMessage(WM_KEYBOARD_LOST, 0, 0);
    EXPECT_FALSE(window().isVisible());
}

TEST_F(MainCommandsTest, KeyAndMacroManagementClicksOpenTheirDialogs) {
    start();
    const auto keymapBefore = test::ReadWholeFile(data / kKeymapFileName);
    QStringList opened;
    const auto closeWhenShown = [&] {
        test::WhenModal<QDialog>(
            [&](QDialog& dialog) {
                opened << QString::fromLatin1(dialog.metaObject()->className());
                dialog.reject();
            },
            50);
    };
    closeWhenShown();
    click({363, 210});  // Esc
    closeWhenShown();
    click({100, 155});  // Macro Management
    EXPECT_EQ(opened, (QStringList{QStringLiteral("tavrin::CKeyMap"),
                                   QStringLiteral("tavrin::CMacroRecordDlg")}));
    EXPECT_EQ(test::ReadWholeFile(data / kKeymapFileName), keymapBefore);
}

// The dialogs are children of the window, so that the window system keeps them over it: on
// Wayland a dialog without a transient parent lands wherever the compositor likes.
TEST_F(MainCommandsTest, TheDialogsOpenAsChildrenOfTheWindow) {
    start();
    struct Case {
        const char* dialog;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"tavrin::CKeyMap",
         [&] {
             click({363, 210});
         }},  // Esc
        {"tavrin::CMacroRecordDlg",
         [&] {
             click({100, 155});
         }},
        {"tavrin::CConfigureDlg", [&] { app->runCommand(Region::Profile); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        QString shown;
        const QWindow* parent = nullptr;
        test::WhenModal<QDialog>(
            [&](QDialog& dialog) {
                shown = QString::fromLatin1(dialog.metaObject()->className());
                parent = dialog.windowHandle() ? dialog.windowHandle()->transientParent() : nullptr;
                dialog.reject();
            },
            50);
        c.open();
        EXPECT_EQ(shown, QString::fromLatin1(c.dialog));
        EXPECT_EQ(parent, window().windowHandle());
    }
}

TEST_F(MainCommandsTest, TheGeneratedSkinShowsChangedKeysAndDiyLayersInBothLanguages) {
    for (const char* language : {"english", "chinese"}) {
        SCOPED_TRACE(language);
        app.reset();
        start(language);
        const QString folder = QString::fromUtf8(language);
        const QImage highlight(
            QString::fromStdString(
                (std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR) / "png").string()) +
            QStringLiteral("/%1/kb_hl.png").arg(folder));
        ASSERT_FALSE(highlight.isNull());
        // Keymap view: two changed keys, Wave with its direction, every section open.
        model().keyChangedFlags[0] = 1;
        model().keyChangedFlags[60] = 1;
        model().settings.setEffectCode(2);
        model().settings.setDirectionCode(1);
        click(kLightHeader);
        click({100, 392});  // Game Mode
        click({100, 447});  // Response Time
        click({100, 522});  // USB Report Rate
        window().slider(kBrightnessSliderId)->SetPos(3);
        window().paintAll();
        for (std::size_t key : {std::size_t{0}, std::size_t{60}}) {
            const KeyRect& r = KeyRects104[key];
            const QPoint inPicture(r.left + 3, r.top + 3);
            EXPECT_EQ(window().composedImage().pixel(inPicture + QPoint(275, 85)),
                      highlight.pixel(inPicture))
                << key;
        }
        test::SaveScreenshotIfAsked(window(), QStringLiteral("main-keymap-%1").arg(folder));

        // DIY view: a lit layer with the hovered key outlined.
        click({100, 165});
        click({100, 173 + 20 * 13 + 5});  // DIY1
        ASSERT_TRUE(window().state().diyView);
        for (std::size_t key : {0, 1, 2, 3, 4, 30, 31, 32, 50, 51, 52, 96, 100}) {
            model().settings.diyTable(0)[LedIndexOf(key)] = 0xFF;
        }
        QTest::mouseMove(&window(), {363, 210});
        window().paintAll();
        EXPECT_EQ(QColor(window().composedImage().pixel(KeyRects104[96].left + 276,
                                                        KeyRects104[96].top + 86)),
                  QColor(0, 0, 255));
        test::SaveScreenshotIfAsked(window(), QStringLiteral("main-diy-%1").arg(folder));
        click({100, 165});
        test::SaveScreenshotIfAsked(window(), QStringLiteral("main-effect-list-%1").arg(folder));
        click({300, 50});
    }
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

// The key map entry the keyboard holds for a key position.
KeyMapEntry KeyboardEntry(const VirtualKeyboardState& state, std::uint8_t position) {
    const std::size_t at = 4 * KeyMapIndexOf(position);
    const auto map = state.keyMap();
    return {map[at], map[at + 1], map[at + 2], map[at + 3]};
}

TEST_F(MainCommandsTest, AKeyGivenAFileReachesTheKeyboardAndAPressOpensTheFile) {
    start();
    const auto notes = data / "notes.txt";
    test::WriteWholeFile(notes, {'h', 'i'});
    chooser.queueAnswer(notes);
    test::WhenModal<CKeyMap>(
        [](CKeyMap& dialog) {
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(283, 44));   // Advance tab
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(279, 135));  // Open File: browse
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(284, 257));  // Save
        },
        50);
    click({418, 210});  // F1
    const std::uint8_t f1 = 1;
    ASSERT_EQ(model().assignments.record(f1).kind(), KindByte(AssignmentKind::OpenFile));
    const KeyMapEntry entry{112, 0, 0, 0x0C};
    EXPECT_EQ(model().settings.keyMapEntry(KeyMapIndexOf(f1)), entry);

    mark();
    click({950, 620});  // Save
    waitIdle();
    EXPECT_EQ(KeyboardEntry(keyboard->state(), f1), entry);

    keyboard->press(112);
    TAVRIN_WAIT_EQ_FOR(shell.opened.size(), std::size_t{1}, 5000);
    EXPECT_EQ(shell.opened[0].directory, data.path());
    EXPECT_EQ(shell.opened[0].file, std::filesystem::path("notes.txt"));
}

TEST_F(MainCommandsTest, ARecordedMacroAssignedToAKeyReachesTheKeyboard) {
    start();
    test::WhenModal<CMacroRecordDlg>(
        [](CMacroRecordDlg& dialog) {
            dialog.clickButton(CMacroRecordDlg::kNewButton);
            dialog.clickButton(CMacroRecordDlg::kRecordButton);
            for (const auto& [vk, release] :
                 {std::pair{0x41, false}, {0x41, true}, {0x42, false}, {0x42, true}}) {
                dialog.send(WM_HOOK_KEY, static_cast<std::uintptr_t>(vk),
                            release ? static_cast<std::intptr_t>(1u << 31) : 0);
            }
            dialog.clickButton(CMacroRecordDlg::kRecordButton);
            dialog.clickButton(CMacroRecordDlg::kOkButton);
        },
        50);
    click({100, 155});  // Macro Management
    ASSERT_EQ(model().macros.record(0).name(), u"Macro_001");
    ASSERT_EQ(model().macros.record(0).keyEvent(3).key, 0x42);

    test::WhenModal<CKeyMap>(
        [](CKeyMap& dialog) {
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(120, 44));  // Macro tab
            QListWidget* list = dialog.macroList();
            if (list->count() > 0) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(0)).center());
            }
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(284, 257));  // Save
        },
        50);
    click({418, 210});  // F1
    const std::uint8_t f1 = 1;
    const KeyMapEntry entry{0, 0, 0, 4};
    ASSERT_EQ(model().settings.keyMapEntry(KeyMapIndexOf(f1)), entry);

    mark();
    click({950, 620});  // Save
    waitIdle();
    const VirtualKeyboardState state = keyboard->state();
    EXPECT_EQ(KeyboardEntry(state, f1), entry);
    const auto device = model().settings.deviceMacroRecord(0);
    EXPECT_TRUE(std::equal(device.begin(), device.end(), state.deviceMacroRecord(0).begin()));
    EXPECT_NE(device[0], 0) << "the device record holds the recorded events";
}

TEST_F(MainCommandsTest, ChoosingAProfileThenSaveSendsExactlyItsLightingDifference) {
    start();
    const auto configure = data / "Configure";
    std::filesystem::create_directories(configure);
    ASSERT_TRUE(ProfileFile::FromModel(model()).write(configure / "Calm.bin"));
    Model lit = model();
    lit.settings.setBrightnessLevel(
        static_cast<std::uint8_t>((lit.settings.brightnessLevel() + 2) % 5));
    lit.settings.setEffectCode(2);
    ASSERT_TRUE(ProfileFile::FromModel(lit).write(configure / "Lit.bin"));

    test::WhenModal<CConfigureDlg>(
        [](CConfigureDlg& dialog) {
            dialog.profileList()->setSelectedLine(1);  // Calm, Lit
            dialog.closeButton();
        },
        50);
    click({50, 618});  // Profile
    ASSERT_EQ(model().settings.lighting()[0], 2);

    mark();
    click(kSave);
    waitIdle();
    const auto reports = keyboard->hostReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes[protocol::kCodeByte], protocol::kWriteLighting);
    const VirtualKeyboardState state = keyboard->state();
    EXPECT_EQ(state.lighting()[0], 2);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainCommandsTest, MacrosThatCannotBeKeptOnDiskSaySo) {
    start();
    // A folder in the file's place makes the write fail, whoever runs the test.
    std::filesystem::remove(data / kMacroFileName);
    std::filesystem::create_directory(data / kMacroFileName);
    test::WhenModal<CMacroRecordDlg>(
        [](CMacroRecordDlg& dialog) {
            dialog.clickButton(CMacroRecordDlg::kNewButton);
            dialog.clickButton(CMacroRecordDlg::kOkButton);
        },
        50);
    click({100, 155});  // Macro Management
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text.rfind(u"The macros could not be saved to a file:\n", 0), 0u);
    EXPECT_NE(prompts.shown()[0].text.find(u"MacroDefine.bin"), std::u16string::npos);
    EXPECT_EQ(model().macros.record(0).name(), u"Macro_001");  // kept in the model
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

TEST_F(MainCommandsTest, AStartUpReadThatFailsSaysSoAndChangesNothing) {
    struct Language {
        const char* id;
        std::u16string text;
    };
    const Language languages[] = {
        {"english",
         u"The keyboard did not answer, so its settings were not read. The program goes on with "
         u"the settings it had; unplug the keyboard and plug it in again to read it."},
        {"chinese",
         u"键盘没有响应，未能读取其设置。程序继续使用原有的设置；请重新插拔键盘以再次读取。"},
    };
    for (const Language& l : languages) {
        SCOPED_TRACE(l.id);
        app.reset();
        prompts = test::ScriptedPrompts();
        // A newer firmware beside the updater: a read that succeeded would offer it.
        writeVersionFile(9, 9);
        // The keyboard is found but answers no get-feature request.
        mute = true;
        start(l.id);
        TAVRIN_WAIT_EQ(prompts.shown().size(), std::size_t{1});
        EXPECT_EQ(prompts.shown()[0].text, l.text) << "and no firmware offer";
        EXPECT_EQ(app->service().state(), KeyboardService::State::None);
        EXPECT_EQ(model().firmware, FirmwareVersion{});
        EXPECT_EQ(model().settings, model().savedSettings);
        EXPECT_EQ(model().settings.gameMode(), 0) << "the model keeps what the file held";

        // Save and Return then say that no keyboard is there, and send nothing.
        mute = false;
        mark();
        app->runCommand(Region::Save);
        app->runCommand(Region::Return);
        ASSERT_EQ(prompts.shown().size(), 3u);
        EXPECT_NE(prompts.shown()[1].text.find(l.id == std::string("english") ? u"No keyboard"
                                                                              : u"未检测到键盘"),
                  std::u16string::npos);
        EXPECT_TRUE(keyboard->hostReports().empty());
    }
    // The only breaches are the replies the muted interface never delivered.
    app.reset();
    for (const std::string& breach : keyboard->breaches()) {
        EXPECT_NE(breach.find("0x87"), std::string::npos) << breach;
    }
    keyboard = std::make_unique<VirtualKeyboard>(clock, StrictKeyboard());
}

TEST_F(MainCommandsTest, WithoutAKeyboardProfilesAndCancelWorkOnTheFiles) {
    keyboard->unplug();
    AppOptions options;
    options.dataDir = QString::fromStdString(data.path().string());
    app = std::make_unique<COstraApp>(options, testOverrides());
    QString error;
    ASSERT_TRUE(app->start(error));
    TAVRIN_WAIT_TRUE_FOR(app->settingsLoaded(), 10000);
    EXPECT_FALSE(window().isVisible());
    ASSERT_EQ(app->service().state(), KeyboardService::State::None);

    // Save says so; the edit stays for a later Save.
    model().settings.setWinLock(1);
    app->runCommand(Region::Save);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text,
              u"No keyboard is connected. Connect the keyboard, then try again.");
    EXPECT_EQ(model().settings.winLock(), 1);

    // Cancel goes back to the saved copies and writes them.
    app->runCommand(Region::Cancel);
    EXPECT_EQ(model().settings.winLock(), 0);
    EXPECT_EQ(keymapFileSettings(), Bytes(model().settings));

    // The profile manager works on the folder: its OK loads the profile locally.
    int runs = 0;
    app->setProfileDialog([&](const QRect&) {
        ++runs;
        model().settings.setBrightnessLevel(4);
        return true;
    });
    app->runCommand(Region::Profile);
    EXPECT_EQ(runs, 1);
    TAVRIN_WAIT_EQ(window().slider(kBrightnessSliderId)->value(), 4);
    TAVRIN_WAIT_EQ(keymapFileSettings(), Bytes(model().settings));
    EXPECT_EQ(prompts.shown().size(), 1u);
}

}  // namespace
}  // namespace tavrin
