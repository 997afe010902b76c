// A launch action from a shared profile, through the whole application on the in-process virtual
// keyboard and the desktop's real shell: chosen from the icon's menu, asked about, sent to the
// keyboard, and run when the keyboard reports its key. A path full of shell words runs exactly
// that program; a path that cannot be run is told, with its key.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstring>
#include <fstream>
#include <memory>

#include "app/COstraApp.h"
#include "model/KeyTables.h"
#include "model/LaunchActions.h"
#include "model/ProfileFile.h"
#include "platform/qt/QtSettingsStore.h"
#include "service/KeyboardService.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/LaunchProfiles.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/main/COstraDlg.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kF12 = 12;
constexpr std::uint8_t kF12Vk = 123;

class LaunchKeyTest : public testing::Test {
protected:
    void SetUp() override {
        VirtualKeyboardOptions options;
        options.firmwareMajor = 1;
        options.firmwareMinor = 2;
        options.strict = true;
        keyboard = std::make_unique<VirtualKeyboard>(clock, options);
        QtSettingsStore(config.path()).writeString("Software\\Mervic", "Language", u"english");
        AppOverrides overrides;
        overrides.backend = std::make_unique<VirtualKeyboardBackend>(*keyboard);
        overrides.configFolder = config.path();
        overrides.trayAvailable = true;
        overrides.showSplash = false;
        overrides.skinRoot = fs::path(TAVRIN_BUILD_PROGRAM_DIR);
        overrides.clock = &clock;
        overrides.prompts = &prompts;
        overrides.publishOnBus = false;
        overrides.automaticProfiles = false;
        // No shell override: the desktop's own opener and program start, as a user has them.
        AppOptions appOptions;
        appOptions.dataDir = QString::fromStdString(data.path().string());
        app = std::make_unique<COstraApp>(appOptions, std::move(overrides));
        QString error;
        ASSERT_TRUE(app->start(error)) << error.toStdString();
        TAVRIN_WAIT_TRUE_FOR(app->settingsLoaded(), 10000);
    }

    void TearDown() override {
        app.reset();
        EXPECT_TRUE(keyboard->breaches().empty()) << keyboard->breaches().front();
    }

    // A profile in the folder, as a user drops a downloaded file there, whose F12 starts `path`.
    void shareProfile(const std::u16string& path) {
        auto profile = test::LaunchProfiles::Fresh();
        test::LaunchProfiles::Give(*profile, kF12, 5, path);
        ASSERT_TRUE(ProfileFile::FromModel(*profile).write(data / "Configure" / "Shared.bin"));
    }

    KeyMapEntry keyboardEntry(std::uint8_t position) const {
        const VirtualKeyboardState state = keyboard->state();
        const auto map = state.keyMap();
        const std::size_t at = 4 * KeyMapIndexOf(position);
        return {map[at], map[at + 1], map[at + 2], map[at + 3]};
    }

    // Chosen in the icon's menu and kept when asked: the keyboard then reports F12.
    void applyAndKeep() {
        prompts.queueChoice(0);
        app->applyProfile(QStringLiteral("Shared"));
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::Choices);
        TAVRIN_WAIT_EQ_FOR(keyboardEntry(kF12), (KeyMapEntry{kF12Vk, 0, 0, 0x0C}), 10000);
        TAVRIN_WAIT_TRUE_FOR(app->service().state() == KeyboardService::State::Ready, 10000);
    }

    test::ManualClock clock;
    std::unique_ptr<VirtualKeyboard> keyboard;
    test::ScriptedPrompts prompts;
    test::TempDir data;
    test::TempDir config;
    test::TempDir scratch;  // never /tmp itself: nothing outside this folder is looked at
    std::unique_ptr<COstraApp> app;
};

bool ProcessEnded(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    // "pid (comm) state ...": a zombie has ended, only its parent has not looked yet.
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// The "/tmp/a b;touch /tmp/pwned", in a folder of this test's own. Given to a shell it
// would run "<dir>/a" with "b", then touch "<dir>/pwned"; started directly it is one program,
// which exists here and leaves its own name in "ran".
TEST_F(LaunchKeyTest, APathWithShellWordsRunsThatProgramAndNothingElse) {
    const std::string dir = scratch.path().string();
    const fs::path program = dir + "/a b;touch " + dir + "/pwned";
    fs::create_directories(program.parent_path());
    {
        std::ofstream script(program);
        script << "#!/bin/sh\n"
               << "echo $$ > '" << dir << "/pid'\n"
               << "printf '%s' \"$0\" > '" << dir << "/ran.part'\n"
               << "mv '" << dir << "/ran.part' '" << dir << "/ran'\n";
    }
    fs::permissions(program, fs::perms::owner_all);
    shareProfile(program.u16string());
    applyAndKeep();
    EXPECT_NE(prompts.shown()[0].text.find(u"  F12 (Startup): " + program.u16string() + u"\n"),
              std::u16string::npos);

    keyboard->press(kF12Vk);  // the keyboard's event report, through the event worker

    TAVRIN_WAIT_TRUE_FOR(fs::exists(dir + "/ran"), 10000);
    std::ifstream ranFile(dir + "/ran");
    const std::string ran((std::istreambuf_iterator<char>(ranFile)), {});
    EXPECT_EQ(ran, program.string()) << "started directly, by its whole path";
    std::ifstream pidFile(dir + "/pid");
    std::string pid;
    pidFile >> pid;
    ASSERT_FALSE(pid.empty());
    TAVRIN_WAIT_TRUE_FOR(ProcessEnded(pid), 10000);
    EXPECT_FALSE(fs::exists(dir + "/pwned")) << "no shell read the path";
    EXPECT_TRUE(app->lastBalloon().isEmpty());
}

// Kept from a profile, but not runnable here: the key runs nothing and the icon says which key
// and which path.
TEST_F(LaunchKeyTest, APathThatCannotRunIsToldWithItsKey) {
    struct Case {
        const char* what;
        std::u16string path;
        const char* why;
    };
    const Case cases[] = {
        {"relative", u"bin/tool", "it is not a full path."},
        {"gone", (scratch.path() / "gone" / "tool").u16string(), "nothing is there any more."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts = test::ScriptedPrompts{};
        shareProfile(c.path);
        if (keyboardEntry(kF12)[3] != 0x0C) {
            applyAndKeep();
        } else {
            // The same F12 already: only the path differs, and is asked about again.
            prompts.queueChoice(0);
            app->applyProfile(QStringLiteral("Shared"));
            TAVRIN_WAIT_TRUE_FOR(app->model().assignments.record(kF12).launchPath() == c.path,
                                 10000);
            TAVRIN_WAIT_TRUE_FOR(app->service().state() == KeyboardService::State::Ready, 10000);
        }
        keyboard->press(kF12Vk);
        const QString expected =
            QStringLiteral("The key F12 did not open \"%1\": %2")
                .arg(QString::fromStdU16String(c.path), QString::fromLatin1(c.why));
        TAVRIN_WAIT_EQ_FOR(app->lastBalloon(), expected, 10000);
    }
    EXPECT_TRUE(fs::is_empty(scratch.path())) << "nothing was made by a run";
}

// Cancelled in the icon's menu: nothing changes, and nothing reaches the keyboard.
TEST_F(LaunchKeyTest, CancelLeavesTheKeyboardAsItWas) {
    shareProfile(u"/usr/bin/true");
    const KeyMapEntry before = keyboardEntry(kF12);
    const auto keymapBefore = test::ReadWholeFile(data / "keymap.bin");
    keyboard->clearHostReports();
    prompts.queueChoice(2);
    app->applyProfile(QStringLiteral("Shared"));
    ASSERT_EQ(prompts.shown().size(), 1u);
    QTest::qWait(0);  // let anything queued run (nothing should be)
    EXPECT_TRUE(keyboard->hostReports().empty());
    EXPECT_EQ(keyboardEntry(kF12), before);
    EXPECT_TRUE(LaunchActionsOf(app->model().assignments).empty());
    EXPECT_EQ(test::ReadWholeFile(data / "keymap.bin"), keymapBefore);
}

}  // namespace
}  // namespace tavrin
