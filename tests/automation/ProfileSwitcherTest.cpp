// Automatic profiles: which profile the rules want, their file, and the switcher's manners on the
// in-process virtual keyboard: the debounce, the last wish winning over a busy keyboard, and
// unsaved edits that are never overwritten.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "automation/ProfileRules.h"
#include "automation/ProfileSwitcher.h"
#include "automation/RunningProcesses.h"
#include "model/ProfileFile.h"
#include "model/SettingsStore.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"
#include "service/ServiceFixture.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

using test::RunFor;
using test::RunUntil;

ProfileRule Rule(ProfileRule::Match match, const char* pattern, ProfileRule::Kind kind,
                 const char* profile) {
    return {match, QLatin1String(pattern), kind, QLatin1String(profile)};
}

using M = ProfileRule::Match;
using K = ProfileRule::Kind;

TEST(ProfileRules, TheFirstRuleThatMatchesWinsElseTheDefault) {
    ProfileRules rules;
    rules.defaultProfile = QStringLiteral("Desktop");
    rules.rules = {Rule(M::WindowClass, "Steam", K::WhileFocused, "Store"),
                   Rule(M::Process, "game.x86_64", K::WhileFocused, "FPS"),
                   Rule(M::Process, "obs", K::WhileRunning, "Stream"),
                   Rule(M::Process, "game.x86_64", K::WhileRunning, "Lobby")};
    struct Case {
        ActiveApplication focused;
        QList<QString> running;
        const char* expected;
    };
    const Case cases[] = {
        {{}, {}, "Desktop"},
        {{QStringLiteral("steam"), QStringLiteral("steamwebhelper"), QStringLiteral("Steam")},
         {},
         "Store"},
        {{{}, QStringLiteral("STEAM"), {}}, {}, "Store"},  // classes in any case
        {{QStringLiteral("game.x86_64"), {}, {}}, {QStringLiteral("obs")}, "FPS"},
        {{QStringLiteral("GAME.x86_64"), {}, {}}, {}, "Desktop"},  // executables exactly
        {{QStringLiteral("xterm"), {}, {}}, {QStringLiteral("obs")}, "Stream"},
        {{QStringLiteral("xterm"), {}, {}}, {QStringLiteral("game.x86_64")}, "Lobby"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WantedProfile(rules, c.focused, c.running), QLatin1String(c.expected))
            << c.expected;
    }
    rules.defaultProfile.clear();
    EXPECT_EQ(WantedProfile(rules, {}, {}), QString()) << "none: the keyboard is left as it is";
    EXPECT_TRUE(rules.hasRunningRule());
}

TEST(ProfileRules, TheFileIsVersionedAndABrokenOneIsReportedAndKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/profile-rules.json"));
    const RulesLoad missing = LoadProfileRules(path);
    ASSERT_TRUE(missing.rules.has_value()) << "no file yet: no rules, switching on";
    EXPECT_TRUE(missing.rules->enabled);

    ProfileRules rules;
    rules.enabled = false;
    rules.defaultProfile = QStringLiteral("Desktop");
    rules.rules = {Rule(M::Process, "obs", K::WhileRunning, "Stream")};
    QString error;
    ASSERT_TRUE(SaveProfileRules(path, rules, error)) << error.toStdString();
    const RulesLoad back = LoadProfileRules(path);
    ASSERT_TRUE(back.rules.has_value()) << back.error.toStdString();
    EXPECT_EQ(*back.rules, rules);

    const QByteArray broken[] = {
        "{not json",
        R"({"format": "something else", "version": 1})",
        R"({"format": "tavrin-gaming-keyboard-profile-rules", "version": 2, "rules": []})",
        R"({"format": "tavrin-gaming-keyboard-profile-rules", "version": 1,
            "rules": [{"match": "process", "pattern": "x", "while": "sometimes", "profile": "P"}]})",
    };
    for (const QByteArray& text : broken) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        const RulesLoad load = LoadProfileRules(path);
        EXPECT_FALSE(load.rules.has_value()) << text.constData();
        EXPECT_FALSE(load.error.isEmpty()) << text.constData();
        EXPECT_FALSE(SaveProfileRules(path, rules, error)) << "a broken file is never replaced";
        QFile again(path);
        ASSERT_TRUE(again.open(QIODevice::ReadOnly));
        EXPECT_EQ(again.readAll(), text);
    }
}

TEST(RunningProcesses, NamesComeFromCommAndTheExecutablesFileName) {
    QTemporaryDir proc;
    const auto process = [&](const char* pid, const char* comm, const char* exe) {
        QDir(proc.path()).mkpath(QLatin1String(pid));
        QFile file(proc.filePath(QStringLiteral("%1/comm").arg(QLatin1String(pid))));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(comm) + '\n');
        file.close();
        if (exe) {
            QFile::link(QLatin1String(exe),
                        proc.filePath(QStringLiteral("%1/exe").arg(QLatin1String(pid))));
        }
    };
    process("12", "Main Thread", "/opt/Game/game.x86_64");
    process("40", "obs", nullptr);
    QDir(proc.path()).mkpath(QStringLiteral("self"));  // not a process number
    QList<QString> names = RunningExecutableNames(proc.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (QList<QString>{QStringLiteral("Main Thread"), QStringLiteral("game.x86_64"),
                                     QStringLiteral("obs")}));
}

class SwitcherThreads : public test::ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_EQ(service->state(), KeyboardService::State::Ready);
        // Two profiles that differ from the keyboard only in their effect.
        std::filesystem::create_directories(data / "Configure");
        for (const auto& [name, effect] : {std::pair{"Chat", 2}, std::pair{"Desktop", 5}}) {
            Model profile = service->model();
            profile.settings.setEffectCode(static_cast<std::uint8_t>(effect));
            ASSERT_TRUE(
                WriteProfileFromModel(data / "Configure" / (std::string(name) + ".bin"), profile));
        }
        ProfileRules rules;
        rules.defaultProfile = QStringLiteral("Desktop");
        rules.rules = {Rule(M::WindowClass, "chatwin", K::WhileFocused, "Chat")};
        QString error;
        ASSERT_TRUE(SaveProfileRules(rulesPath(), rules, error));
        switcher = std::make_unique<ProfileSwitcher>(*service, *scripting, settings, rulesPath());
    }
    QString rulesPath() const {
        return QString::fromStdString((data / "rules" / "profile-rules.json").string());
    }
    int effect() const { return keyboard.state().lighting()[0]; }
    static ActiveApplication Window(const char* instance) {
        return {{}, QLatin1String(instance), QStringLiteral("Xmessage")};
    }

    std::unique_ptr<ProfileSwitcher> switcher;
};

TEST_F(SwitcherThreads, AFocusThatLastsSwitchesAndFlickingSwitchesNothing) {
    QSignalSpy switched(switcher.get(), &ProfileSwitcher::switched);
    switcher->start();
    switcher->setFocused(Window("chatwin"));
    ASSERT_TRUE(RunUntil([&] { return switched.count() == 1; }));
    EXPECT_EQ(switched.at(0).at(0).toString(), QStringLiteral("Chat"));
    EXPECT_EQ(effect(), 2);

    // Back and forth faster than the debounce, ending where it started: nothing is sent.
    const std::size_t reports = keyboard.hostReports().size();
    for (int i = 0; i < 4; ++i) {
        switcher->setFocused(Window("otherwin"));
        RunFor(100);
        switcher->setFocused(Window("chatwin"));
        RunFor(100);
    }
    RunFor(ProfileSwitcher::kDebounceMs + 300);
    EXPECT_EQ(switched.count(), 1);
    EXPECT_EQ(keyboard.hostReports().size(), reports);

    switcher->setFocused(Window("otherwin"));
    ASSERT_TRUE(RunUntil([&] { return switched.count() == 2; }));
    EXPECT_EQ(switched.at(1).at(0).toString(), QStringLiteral("Desktop"));
    EXPECT_EQ(effect(), 5);
}

TEST_F(SwitcherThreads, UnsavedEditsAreNeverOverwrittenTheSwitchWaitsForThem) {
    QSignalSpy switched(switcher.get(), &ProfileSwitcher::switched);
    QSignalSpy waiting(switcher.get(), &ProfileSwitcher::waitingForUnsavedEdits);
    switcher->start();
    ASSERT_EQ(service->setWinLock(true), EditResult::Done);  // an edit not saved yet
    switcher->setFocused(Window("chatwin"));
    ASSERT_TRUE(RunUntil([&] { return waiting.count() == 1; }));
    EXPECT_EQ(waiting.at(0).at(0).toString(), QStringLiteral("Chat"));
    RunFor(ProfileSwitcher::kRetryMs + 200);
    EXPECT_EQ(switched.count(), 0);
    EXPECT_EQ(service->model().settings.winLock(), 1) << "the edit is still there";

    // Saved: the edit reaches the keyboard, then the switch goes ahead and the notice ends.
    QSignalSpy saved(service.get(), &KeyboardService::saveFinished);
    ASSERT_EQ(service->save(), Availability::Started);
    ASSERT_TRUE(RunUntil([&] { return saved.count() == 1; }));
    EXPECT_EQ(keyboard.state().winLock(), 1);
    EXPECT_EQ(switched.count(), 0);
    ASSERT_TRUE(RunUntil([&] { return switched.count() == 1; }));
    EXPECT_EQ(effect(), 2);
    EXPECT_EQ(waiting.last().at(0).toString(), QString());
}

TEST_F(SwitcherThreads, ABrokenRulesFileIsReportedAndTheRulesReadBeforeStay) {
    QSignalSpy failed(switcher.get(), &ProfileSwitcher::rulesFailed);
    QSignalSpy switched(switcher.get(), &ProfileSwitcher::switched);
    switcher->start();
    {
        QFile file(rulesPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{broken");
    }
    switcher->reloadRules();
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(failed.at(0).at(0).toString().contains(QStringLiteral("not a rules file")));
    switcher->setFocused(Window("chatwin"));
    ASSERT_TRUE(RunUntil([&] { return switched.count() == 1; }));
    EXPECT_EQ(switched.at(0).at(0).toString(), QStringLiteral("Chat"));
    QFile file(rulesPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("{broken"));
}

// A profile whose keys would run programs the user has not accepted is not switched to behind
// the user's back: the switch fails once, naming the profile, and nothing reaches the keyboard.
// Once the user has taken it by hand, the rules switch to it again.
TEST_F(SwitcherThreads, AProfileWithUnacceptedLaunchActionsWaitsForTheUsersChoice) {
    Model chat = service->model();
    chat.settings.setEffectCode(2);
    chat.assignments.record(12).setKind(5);
    chat.assignments.record(12).setLaunchPath(u"/usr/bin/xterm");
    ASSERT_TRUE(WriteProfileFromModel(data / "Configure" / "Chat.bin", chat));
    QSignalSpy switched(switcher.get(), &ProfileSwitcher::switched);
    QSignalSpy failed(switcher.get(), &ProfileSwitcher::switchFailed);
    switcher->start();
    const std::size_t reports = keyboard.hostReports().size();

    switcher->setFocused(Window("chatwin"));
    ASSERT_TRUE(RunUntil([&] { return failed.count() == 1; }));
    EXPECT_TRUE(failed.at(0).at(0).toString().contains(QStringLiteral("The profile Chat")));
    RunFor(ProfileSwitcher::kRetryMs + 200);
    EXPECT_EQ(failed.count(), 1) << "said once";
    EXPECT_EQ(switched.count(), 0);
    EXPECT_EQ(keyboard.hostReports().size(), reports);
    EXPECT_EQ(std::as_const(service->model().assignments).record(12).kind(), 0);

    // The user keeps them (the icon's menu asks), goes elsewhere and comes back.
    std::optional<ScriptReply> kept;
    scripting->call(QStringLiteral("ApplyProfileWithLaunch"),
                    {QStringLiteral("Chat"), QStringLiteral("keep"), true},
                    [&](const ScriptReply& r) { kept = r; });
    ASSERT_TRUE(RunUntil([&] { return kept.has_value(); }));
    ASSERT_TRUE(kept->ok()) << kept->message.toStdString();
    switcher->setFocused(Window("otherwin"));
    ASSERT_TRUE(RunUntil([&] { return switched.count() == 1; }));
    EXPECT_EQ(effect(), 5);
    switcher->setFocused(Window("chatwin"));
    ASSERT_TRUE(RunUntil([&] { return switched.count() == 2; }));
    EXPECT_EQ(switched.at(1).at(0).toString(), QStringLiteral("Chat"));
    EXPECT_EQ(effect(), 2);
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
