#include "model/LaunchActions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/KeyAssignment.h"
#include "model/Utf16Text.h"
#include "support/RecordingShell.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

using test::RecordingShell;

struct SplitCase {
    const char* name;
    std::u16string_view path;
    std::string directory;
    std::string file;
};

class SplitLaunchPathTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLaunchPathTest, FolderAndFile) {
    const LaunchTarget t = SplitLaunchPath(GetParam().path);
    EXPECT_EQ(t.directory.string(), GetParam().directory);
    EXPECT_EQ(t.file.string(), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitLaunchPathTest,
    testing::Values(SplitCase{"WindowsFolder", u"C:\\Users\\me\\Music", "C:\\Users\\me", "Music"},
                    SplitCase{"LinuxFile", u"/home/me/Music/song.mp3", "/home/me/Music",
                              "song.mp3"},
                    SplitCase{"MixedSeparators", u"/home/me\\notes.txt", "/home/me", "notes.txt"},
                    SplitCase{"NoSeparator", u"notes.txt", "notes.txt", ""},
                    SplitCase{"FileInRoot", u"/song.mp3", "/", "song.mp3"},
                    SplitCase{"FileOnADrive", u"C:\\song.mp3", "C:\\", "song.mp3"},
                    SplitCase{"TrailingSeparator", u"/home/me/", "/home/me", ""},
                    SplitCase{"NonAscii", u"/home/me/音乐/歌.mp3", "/home/me/音乐", "歌.mp3"},
                    // A lone surrogate from a foreign file must not throw on the way to a path.
                    SplitCase{"LoneSurrogate", u"/tmp/\xD800.mp3", "/tmp", "\xEF\xBF\xBD.mp3"}),
    [](const auto& p) { return std::string(p.param.name); });

class LaunchExecutionTest : public testing::Test {
protected:
    void assign(std::uint8_t position, std::uint8_t kind, std::u16string path) {
        model->selectedKey = position;
        model->pending = PendingAssignment{};
        model->pending.pendingKind = kind;
        model->pending.pendingLaunchPath = std::move(path);
        ASSERT_TRUE(ApplyKeyAssignment(*model, dir.path()));
    }
    // A file (or, ending in '/', a folder) under the test's folder, and its path as a key holds it.
    std::u16string make(const std::string& relative) {
        const std::filesystem::path path = dir / relative;
        if (relative.ends_with('/')) {
            std::filesystem::create_directories(path);
        } else {
            std::filesystem::create_directories(path.parent_path());
            test::WriteWholeFile(path, {'x'});
        }
        return Utf16FromPath(relative.ends_with('/') ? path.parent_path() : path);
    }
    std::filesystem::path at(const std::string& relative) const { return dir / relative; }

    test::TempDir dir;
    std::unique_ptr<Model> model = [] {
        auto m = std::make_unique<Model>();
        m->refreshOwnVk();
        return m;
    }();
    RecordingShell shell;
};

TEST_F(LaunchExecutionTest, TwoKeysEachOpenTheirOwnPath) {
    assign(63, 4, make("Music/song.mp3"));  // 'A', event code 0x41
    assign(64, 7, make("Documents/"));      // 'S', event code 0x53

    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x53, shell));
    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x41, shell));

    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], (RecordingShell::Open{dir.path(), "Documents"}));
    EXPECT_EQ(shell.opened[1], (RecordingShell::Open{at("Music"), "song.mp3"}));
    EXPECT_EQ(FindLaunchRecord(model->assignments, 0x41), 63u);
}

TEST_F(LaunchExecutionTest, OnlyTheLowByteOfTheEventCodeCounts) {
    assign(63, 6, make("notes.txt"));
    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x1241, shell));
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(LaunchExecutionTest, FirstMatchingRecordWins) {
    assign(63, 5, make("bin/first"));
    model->assignments.record(200).setKind(5);
    model->assignments.record(200).setOwnVk(0x41);
    model->assignments.record(200).setLaunchPath(make("bin/second"));

    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x41, shell));

    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].file, "first");
}

// What a key press does with each kind of stored path: only a full path to something that is
// there reaches the shell; the others say which key and which path, and run nothing.
TEST_F(LaunchExecutionTest, OnlyAFullPathThatExistsIsHandedToTheShell) {
    struct Case {
        const char* what;
        std::u16string path;
        bool shellAnswers;
        LaunchOutcome expected;
    };
    const std::u16string gone = Utf16FromPath(at("gone/tool"));
    const std::u16string metacharacters = Utf16FromPath(at("a b;touch ")) + u"/tmp/pwned";
    const Case cases[] = {
        {"a program that exists", make("bin/tool"), true, LaunchOutcome::Started},
        {"a folder that exists", make("games/"), true, LaunchOutcome::Started},
        {"the shell cannot open it", make("bin/broken"), false, LaunchOutcome::Failed},
        {"relative", u"bin/tool", true, LaunchOutcome::NotAbsolute},
        {"a bare name", u"tool", true, LaunchOutcome::NotAbsolute},
        {"a Windows path", u"C:\\Games\\tool.exe", true, LaunchOutcome::NotAbsolute},
        {"empty", u"", true, LaunchOutcome::NotAbsolute},
        {"gone", gone, true, LaunchOutcome::Missing},
        {"shell words that name nothing", metacharacters, true, LaunchOutcome::Missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model->assignments.record(12).setKind(5);  // F12, Startup
        model->assignments.record(12).setLaunchPath(c.path);
        shell.opened.clear();
        shell.answer = c.shellAnswers;

        const LaunchResult r = RunLaunchAction(model->assignments, 123, shell);

        EXPECT_EQ(r.outcome, c.expected);
        EXPECT_EQ(r.position, 12u);
        EXPECT_EQ(r.key, u"F12");
        EXPECT_EQ(r.path, c.path);
        const bool handed =
            c.expected == LaunchOutcome::Started || c.expected == LaunchOutcome::Failed;
        EXPECT_EQ(shell.opened.size(), handed ? 1u : 0u);
        EXPECT_EQ(r.refused(), c.expected != LaunchOutcome::Started);
        if (handed) {
            const LaunchTarget t = SplitLaunchPath(c.path);
            EXPECT_EQ(shell.opened[0], (RecordingShell::Open{t.directory, t.file}));
        }
    }
}

TEST_F(LaunchExecutionTest, AKeyWithoutALaunchActionDoesNothing) {
    // A single key with the same ownVk is no launch action.
    model->assignments.record(10).setKind(0);
    model->assignments.record(10).setLaunchPath(make("bin/sh"));

    const LaunchResult r =
        RunLaunchAction(model->assignments, model->assignments.record(10).ownVk(), shell);
    EXPECT_EQ(r.outcome, LaunchOutcome::NoAction);
    EXPECT_FALSE(r.refused());
    EXPECT_EQ(RunLaunchAction(model->assignments, 0xEE, shell).outcome, LaunchOutcome::NoAction);
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(LaunchExecutionTest, LaunchActionsAreListedInRecordOrder) {
    assign(64, 7, u"/home/me/Documents");
    assign(63, 4, u"/home/me/song.mp3");

    const auto actions = LaunchActionsOf(model->assignments);

    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0], (LaunchAction{63, 4, 0x41, u"/home/me/song.mp3"}));
    EXPECT_EQ(actions[1], (LaunchAction{64, 7, 0x53, u"/home/me/Documents"}));
}

// The list a profile's question shows: each key by its name, and whether its path is a full
// path and is there.
TEST_F(LaunchExecutionTest, CheckedActionsNameTheKeyAndTheStateOfThePath) {
    const std::u16string program = make("bin/tool");
    const std::vector<LaunchAction> actions = {
        {12, 5, 123, program},
        {1, 6, 112, u"notes.txt"},
        {63, 7, 0x41, Utf16FromPath(at("gone"))},
        {200, 4, 0x53, program},  // no key there: named by the key its event code belongs to
        {201, 4, 0xFF, program},  // nor a key name for its code
    };
    const auto checked = CheckLaunchActions(actions);
    ASSERT_EQ(checked.size(), actions.size());
    const std::pair<std::u16string, std::pair<bool, bool>> expected[] = {
        {u"F12", {true, true}}, {u"F1", {false, false}}, {u"A", {true, false}},
        {u"S", {true, true}},   {u"#255", {true, true}},
    };
    for (std::size_t i = 0; i < checked.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(checked[i].action, actions[i]);
        EXPECT_EQ(checked[i].key, expected[i].first);
        EXPECT_EQ(checked[i].absolute, expected[i].second.first);
        EXPECT_EQ(checked[i].exists, expected[i].second.second);
    }
}

}  // namespace
}  // namespace tavrin
