#include "model/LaunchActions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/KeyAssignment.h"
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

    test::TempDir dir;
    std::unique_ptr<Model> model = [] {
        auto m = std::make_unique<Model>();
        m->refreshOwnVk();
        return m;
    }();
    RecordingShell shell;
};

TEST_F(LaunchExecutionTest, TwoKeysEachOpenTheirOwnPath) {
    assign(63, 4, u"/home/me/Music/song.mp3");  // 'A', event code 0x41
    assign(64, 7, u"/home/me/Documents");       // 'S', event code 0x53

    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x53, shell));
    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x41, shell));

    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], (RecordingShell::Open{"/home/me", "Documents"}));
    EXPECT_EQ(shell.opened[1], (RecordingShell::Open{"/home/me/Music", "song.mp3"}));
    EXPECT_EQ(FindLaunchRecord(model->assignments, 0x41), 63u);
}

TEST_F(LaunchExecutionTest, OnlyTheLowByteOfTheEventCodeCounts) {
    assign(63, 6, u"/home/me/notes.txt");
    EXPECT_TRUE(RunLaunchAction(model->assignments, 0x1241, shell));
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(LaunchExecutionTest, FirstMatchingRecordWins) {
    assign(63, 5, u"/usr/bin/first");
    model->assignments.record(200).setKind(5);
    model->assignments.record(200).setOwnVk(0x41);
    model->assignments.record(200).setLaunchPath(u"/usr/bin/second");

    RunLaunchAction(model->assignments, 0x41, shell);

    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].file, "first");
}

TEST_F(LaunchExecutionTest, NoMatchOrNoPathDoesNothing) {
    // A single key with the same ownVk is no launch action.
    model->assignments.record(10).setKind(0);
    model->assignments.record(10).setLaunchPath(u"/bin/sh");
    // A launch record without a path has nothing to open.
    model->assignments.record(11).setKind(4);
    model->assignments.record(11).setOwnVk(0x77);

    EXPECT_FALSE(RunLaunchAction(model->assignments, model->assignments.record(10).ownVk(), shell));
    EXPECT_FALSE(RunLaunchAction(model->assignments, 0x77, shell));
    EXPECT_FALSE(RunLaunchAction(model->assignments, 0xEE, shell));
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

}  // namespace
}  // namespace tavrin
