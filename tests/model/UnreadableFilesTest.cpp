// A file that is there but cannot be read is never replaced: not when it is loaded, not by a later
// write. Every case runs the load and the write as an unprivileged user, in a program directory
// that user may write in, so that nothing but the refusal keeps the entry.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "model/LocalFiles.h"
#include "model/ProfileFile.h"
#include "model/ProfileFolder.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::GiveToUnprivilegedUser;
using test::ReadWholeFile;
using test::RunUnprivileged;
using test::TempDir;
using test::WriteWholeFile;

// What is in a place, down to the inode: a replacement shows even when it copied the bytes.
struct Snapshot {
    bool present = false;
    mode_t mode = 0;
    ino_t inode = 0;
    std::vector<std::uint8_t> bytes;  // a regular file's content
    std::string linkTarget;
    std::vector<std::string> names;  // a folder's entries

    bool operator==(const Snapshot&) const = default;
};

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Snapshot Take(const fs::path& path) {
    Snapshot s;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return s;
    }
    s.present = true;
    s.mode = st.st_mode;
    s.inode = st.st_ino;
    if (S_ISREG(st.st_mode)) {
        s.bytes = ReadWholeFile(path);
    } else if (S_ISLNK(st.st_mode)) {
        s.linkTarget = fs::read_symlink(path).string();
    } else if (S_ISDIR(st.st_mode)) {
        s.names = Names(path);
    }
    return s;
}

void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << (s.present ? "mode " + std::to_string(s.mode) : std::string("nothing")) << ", inode "
        << s.inode << ", " << s.bytes.size() << " bytes, link '" << s.linkTarget << "', "
        << s.names.size() << " names";
}

// A sysfs attribute says 4096 bytes and holds a few: a file that reads short.
constexpr const char* kShortReadingFile = "/sys/kernel/uevent_seqnum";

struct Obstacle {
    const char* name;
    const char* reason;                // what the error must give as the reason
    bool (*make)(const fs::path& at);  // false: not possible on this machine
};

const Obstacle kObstacles[] = {
    {"NoPermission", "Permission denied",
     [](const fs::path& at) {
         WriteWholeFile(at, std::vector<std::uint8_t>(300, 0xAB));
         fs::permissions(at, fs::perms::none);
         return true;
     }},
    {"Folder", "Is a directory",
     [](const fs::path& at) {
         fs::create_directory(at);
         WriteWholeFile(at / "inside", {1, 2, 3});
         return true;
     }},
    {"Fifo", "not a regular file",
     [](const fs::path& at) { return ::mkfifo(at.c_str(), 0666) == 0; }},
    {"DanglingLink", "a link to nothing",
     [](const fs::path& at) {
         fs::create_symlink("absent.bin", at);
         return true;
     }},
    {"ShortRead", "bytes",
     [](const fs::path& at) {
         std::error_code ec;
         const auto size = fs::file_size(kShortReadingFile, ec);
         if (ec || ReadWholeFile(kShortReadingFile).size() >= size) {
             return false;
         }
         fs::create_symlink(kShortReadingFile, at);
         return true;
     }},
};

std::string ExpectUnreadable(const LoadResult& r, const fs::path& path, const char* reason) {
    if (r.outcome != LoadOutcome::Unreadable) {
        return "the load answered " + std::to_string(static_cast<int>(r.outcome)) + " (" + r.error +
               "); ";
    }
    if (r.error.find(path.string()) == std::string::npos ||
        r.error.find(reason) == std::string::npos) {
        return "the load's error lacks the path or '" + std::string(reason) + "': " + r.error +
               "; ";
    }
    return {};
}

struct Target {
    const char* name;
    const char* relative;  // below the program directory
    // Loads in the child, with images full of known bytes; says what went wrong.
    std::string (*load)(const fs::path& programDir, const fs::path& path, const char* reason);
    WriteResult (*write)(const fs::path& programDir, const fs::path& path);
};

const Target kTargets[] = {
    {"Keymap", "keymap.bin",
     [](const fs::path& programDir, const fs::path& path, const char* reason) {
         auto model = std::make_unique<Model>();
         model->settings.bytes.fill(0x11);
         model->assignments.bytes.fill(0x22);
         const auto before = std::make_unique<Model>(*model);
         std::string failures =
             ExpectUnreadable(LoadKeymapFile(programDir, *model, false), path, reason);
         if (model->settings != before->settings || model->assignments != before->assignments) {
             failures += "the images changed; ";
         }
         return failures;
     },
     [](const fs::path& programDir, const fs::path&) {
         auto model = std::make_unique<Model>();
         return WriteKeymapFromModel(programDir, *model);
     }},
    {"Macros", "MacroDefine.bin",
     [](const fs::path& programDir, const fs::path& path, const char* reason) {
         MacroTable macros;
         macros.bytes.fill(0x77);
         std::string failures = ExpectUnreadable(LoadMacroFile(programDir, macros), path, reason);
         if (std::ranges::any_of(macros.bytes, [](std::uint8_t b) { return b != 0x77; })) {
             failures += "the MacroTable changed; ";
         }
         return failures;
     },
     [](const fs::path& programDir, const fs::path&) {
         return WriteMacroFile(programDir, MacroTable{});
     }},
    {"DefaultProfile", "Configure/Profile_1.bin",
     [](const fs::path&, const fs::path& path, const char* reason) {
         return ExpectUnreadable(EnsureDefaultProfile(path), path, reason);
     },
     [](const fs::path&, const fs::path& path) { return CreateDefaultProfile(path); }},
};

void PrintTo(const Obstacle& o, std::ostream* os) {
    *os << o.name;
}
void PrintTo(const Target& t, std::ostream* os) {
    *os << t.name;
}

class UnreadableFileTest : public testing::TestWithParam<std::tuple<Target, Obstacle>> {};

TEST_P(UnreadableFileTest, IsReportedAndNeverReplaced) {
    const auto& [target, obstacle] = GetParam();
    TempDir dir;
    const fs::path path = dir / target.relative;
    fs::create_directories(path.parent_path());
    GiveToUnprivilegedUser(dir.path());
    GiveToUnprivilegedUser(path.parent_path());
    if (!obstacle.make(path)) {
        GTEST_SKIP() << obstacle.name << " cannot be made on this machine";
    }
    const Snapshot before = Take(path);
    const std::vector<std::string> namesBefore = Names(path.parent_path());

    const std::string failures = RunUnprivileged([&] {
        std::string f = target.load(dir.path(), path, obstacle.reason);
        const WriteResult w = target.write(dir.path(), path);
        if (w.ok) {
            f += "the write was not refused; ";
        } else if (w.error.find(path.string()) == std::string::npos ||
                   w.error.find("exists but could not be read") == std::string::npos ||
                   w.error.find(obstacle.reason) == std::string::npos) {
            f += "the write's error says: " + w.error + "; ";
        }
        return f;
    });

    EXPECT_EQ(failures, "");
    EXPECT_EQ(Take(path), before);
    EXPECT_EQ(Names(path.parent_path()), namesBefore) << "nothing added, no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(LocalFiles, UnreadableFileTest,
                         testing::Combine(testing::ValuesIn(kTargets),
                                          testing::ValuesIn(kObstacles)),
                         [](const auto& p) {
                             return std::string(std::get<0>(p.param).name) + "_" +
                                    std::get<1>(p.param).name;
                         });

// The profile manager's opening goes the same way: an unlisted entry in the place of
// "Profile_1.bin" is reported and kept, and the list stays empty.
class UnreadableDefaultProfileTest : public testing::TestWithParam<Obstacle> {};

TEST_P(UnreadableDefaultProfileTest, OpeningReportsItAndListsNothing) {
    const Obstacle& obstacle = GetParam();
    TempDir dir;
    const fs::path path = dir / "Configure" / "Profile_1.bin";
    fs::create_directory(dir / "Configure");
    if (!obstacle.make(path)) {
        GTEST_SKIP() << obstacle.name << " cannot be made on this machine";
    }
    const Snapshot before = Take(path);
    ProfileFolder folder(dir.path());
    MemorySettingsStore store;

    const ProfileFolderOpened opened = folder.openFolder(store);

    ASSERT_TRUE(opened.defaultProfile.has_value());
    EXPECT_EQ(ExpectUnreadable(*opened.defaultProfile, path, obstacle.reason), "");
    EXPECT_TRUE(folder.entries().empty());
    EXPECT_EQ(opened.selected, std::nullopt);
    EXPECT_EQ(Take(path), before);
}

// The three that are no regular file: the list never shows them, whoever runs the test.
INSTANTIATE_TEST_SUITE_P(LocalFiles, UnreadableDefaultProfileTest,
                         testing::Values(kObstacles[1], kObstacles[2], kObstacles[3]),
                         [](const auto& p) { return std::string(p.param.name); });

// Creating never replaces, whatever is in the place; a readable file is kept as well.
TEST(CreateFileAtomically, CreatesOnlyWhereNothingIs) {
    TempDir dir;
    const std::array<std::uint8_t, 3> bytes{7, 8, 9};

    ASSERT_TRUE(CreateFileAtomically(dir / "new.bin", {ConstByteSpan(bytes)}));
    EXPECT_EQ(ReadWholeFile(dir / "new.bin"), (std::vector<std::uint8_t>{7, 8, 9}));
    EXPECT_EQ(fs::status(dir / "new.bin").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);

    WriteWholeFile(dir / "old.bin", {1});
    fs::create_symlink("absent.bin", dir / "link.bin");
    for (const char* name : {"old.bin", "link.bin"}) {
        const Snapshot before = Take(dir / name);
        const WriteResult r = CreateFileAtomically(dir / name, {ConstByteSpan(bytes)});
        EXPECT_FALSE(r.ok) << name;
        EXPECT_NE(r.error.find((dir / name).string()), std::string::npos) << r.error;
        EXPECT_EQ(Take(dir / name), before) << name;
    }
    EXPECT_FALSE(fs::exists(dir / "absent.bin"));
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"link.bin", "new.bin", "old.bin"}));
}

}  // namespace
}  // namespace tavrin
