#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "model/KeyTables.h"
#include "model/LocalFiles.h"
#include "model/ProgramDirectory.h"
#include "model/SettingsStore.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::RunUnprivileged;
using test::TempDir;
using test::WriteWholeFile;

class LocalFilesTest : public testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<Model> model = std::make_unique<Model>();
};

TEST_F(LocalFilesTest, MissingKeymapIsCreatedWithEmptyAssignments) {
    model->settings.setEffectCode(5);
    model->assignments.record(0).setKind(3);  // whatever was there is dropped

    const LoadResult r = LoadKeymapFile(dir.path(), *model, false);

    EXPECT_EQ(r.outcome, LoadOutcome::Created);
    const auto file = ReadWholeFile(dir / "keymap.bin");
    ASSERT_EQ(file.size(), 201424u);
    EXPECT_EQ(file[3866], 5);
    EXPECT_TRUE(std::all_of(file.begin() + 4564, file.end(), [](auto b) { return b == 0; }));
    // In memory every key knows its own code, so that "Default" gives it back on the first run.
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        EXPECT_EQ(model->assignments.record(p).ownVk(), DefaultVkTable[p]) << p;
    }
}

TEST_F(LocalFilesTest, FullKeymapLoadsBothImagesAndRefreshesOwnVk) {
    std::vector<std::uint8_t> file(201424, 0x5A);
    WriteWholeFile(dir / "keymap.bin", file);

    ASSERT_EQ(LoadKeymapFile(dir.path(), *model, false).outcome, LoadOutcome::Loaded);

    EXPECT_EQ(model->settings.bytes[4563], 0x5A);
    EXPECT_EQ(model->assignments.record(0).ownVk(), 27);
    EXPECT_EQ(model->assignments.record(112).ownVk(), 237);
    EXPECT_EQ(model->assignments.record(113).ownVk(), 0x5A);  // beyond the table: kept as read
    EXPECT_EQ(model->assignments.record(0).kind(), 0x5A);
}

TEST_F(LocalFilesTest, ShortKeymapKeepsTheRestOfTheImages) {
    model->settings.bytes.fill(0x11);
    model->assignments.bytes.fill(0x22);
    WriteWholeFile(dir / "keymap.bin", std::vector<std::uint8_t>(4564 + 10, 0x33));

    ASSERT_EQ(LoadKeymapFile(dir.path(), *model, false).outcome, LoadOutcome::Loaded);

    EXPECT_EQ(model->settings.bytes[0], 0x33);
    EXPECT_EQ(model->settings.bytes[4563], 0x33);
    EXPECT_EQ(model->assignments.bytes[9], 0x33);
    EXPECT_EQ(model->assignments.bytes[10], 0x22);
    EXPECT_EQ(model->assignments.bytes[196859], 0x22);
}

TEST_F(LocalFilesTest, AssignmentsOnlyLeavesTheSettingsAlone) {
    model->settings.bytes.fill(0x11);
    std::vector<std::uint8_t> file(201424 + 100, 0x44);  // longer than the image: tail ignored
    WriteWholeFile(dir / "keymap.bin", file);

    ASSERT_EQ(LoadKeymapFile(dir.path(), *model, true).outcome, LoadOutcome::Loaded);

    EXPECT_EQ(model->settings.bytes[100], 0x11);
    EXPECT_EQ(model->assignments.bytes[196859], 0x44);
    EXPECT_EQ(model->assignments.record(5).ownVk(), DefaultVkTable[5]);
}

TEST_F(LocalFilesTest, KeymapWrittenFromLiveOrSaved) {
    model->settings.setGameMode(1);
    model->savedAssignments.record(2).setKind(7);
    ASSERT_TRUE(WriteKeymapFromModel(dir.path(), *model));
    EXPECT_EQ(ReadWholeFile(dir / "keymap.bin")[3892], 1);
    ASSERT_TRUE(WriteKeymapFromSaved(dir.path(), *model));
    const auto file = ReadWholeFile(dir / "keymap.bin");
    EXPECT_EQ(file.size(), 201424u);
    EXPECT_EQ(file[3892], 0);
    EXPECT_EQ(file[4564 + 2 * 772 + 1], 7);
}

TEST_F(LocalFilesTest, MacroFileCreatedThenLoaded) {
    model->macros.bytes.fill(0x77);
    EXPECT_EQ(LoadMacroFile(dir.path(), model->macros).outcome, LoadOutcome::Created);
    EXPECT_EQ(ReadWholeFile(dir / "MacroDefine.bin"), std::vector<std::uint8_t>(7680, 0));
    EXPECT_EQ(model->macros, MacroTable{});

    WriteWholeFile(dir / "MacroDefine.bin", std::vector<std::uint8_t>(1536, 0x61));
    model->macros.bytes.fill(0x77);
    EXPECT_EQ(LoadMacroFile(dir.path(), model->macros).outcome, LoadOutcome::Loaded);
    EXPECT_EQ(model->macros.bytes[1535], 0x61);
    EXPECT_EQ(model->macros.bytes[1536], 0);  // the table is cleared before a short read
}

TEST_F(LocalFilesTest, FailedWriteKeepsTheOldFileAndReportsIt) {
    const std::vector<std::uint8_t> old(201424, 0x99);
    WriteWholeFile(dir / "keymap.bin", old);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read |
                                    fs::perms::others_exec | fs::perms::group_read |
                                    fs::perms::group_exec);
    fs::permissions(dir / "keymap.bin", fs::perms::owner_all | fs::perms::others_all);
    fs::permissions(dir.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    const std::string failures = RunUnprivileged([&]() -> std::string {
        auto m = std::make_unique<Model>();
        m->settings.setGameMode(1);
        const WriteResult r = WriteKeymapFromModel(dir.path(), *m);
        if (r.ok) {
            return "the write succeeded";
        }
        return r.error.find("keymap.bin") != std::string::npos ? "" : "the error says: " + r.error;
    });

    EXPECT_EQ(failures, "");
    EXPECT_EQ(ReadWholeFile(dir / "keymap.bin"), old);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u) << "no temporary file left behind";
}

TEST_F(LocalFilesTest, MissingFolderIsReported) {
    const WriteResult r = WriteKeymapFromModel(dir / "absent", *model);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("keymap.bin"), std::string::npos);
    EXPECT_EQ(LoadMacroFile(dir / "absent", model->macros).outcome, LoadOutcome::CreateFailed);
}

struct VersionCase {
    const char* name;
    std::string content;
    std::uint8_t layout;
    const char* file;
    FirmwareVersion keyboard;
    bool offered;
};

class VersionFile : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionFile, OffersAnUpdateOnlyForNewerFirmware) {
    const VersionCase& c = GetParam();
    TempDir dir;
    WriteWholeFile(dir / c.file, std::vector<std::uint8_t>(c.content.begin(), c.content.end()));
    const FirmwareVersion shipped = ReadVersionFile(dir.path(), c.layout);
    EXPECT_EQ(UpdateAvailable(shipped, c.keyboard), c.offered);
}

INSTANTIATE_TEST_SUITE_P(
    LocalFiles, VersionFile,
    testing::Values(VersionCase{"Digits20Against19", "VER: 2.0 xyz", 1, "VER.bin", {1, 9}, true},
                    VersionCase{"Digits19Against19", "VER: 1.9 xyz", 1, "VER.bin", {1, 9}, false},
                    VersionCase{"Layout87ReadsVer87", "VER: 3.1 xyz", 0, "VER87.bin", {1, 9}, true},
                    VersionCase{"Layout87IgnoresVer", "VER: 3.1 xyz", 0, "VER.bin", {1, 9}, false},
                    VersionCase{"TooShortFile", "VER:", 1, "VER.bin", {0, 0}, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(VersionFile, MissingFileIsZero) {
    TempDir dir;
    EXPECT_EQ(ReadVersionFile(dir.path(), 1), (FirmwareVersion{0, 0}));
    WriteWholeFile(dir / "VER.bin", {'x', 'x', 'x', 'x', 'x', '1', '.', '4'});
    EXPECT_EQ(ReadVersionFile(dir.path(), 1), (FirmwareVersion{1, 4}));
}

TEST(Language, OnlyExactlyChineseSelectsChinese) {
    const std::pair<std::optional<std::u16string>, std::uint16_t> cases[] = {
        {u"chinese", 4}, {u"Chinese", 9}, {u"chinese ", 9},
        {u"english", 9}, {u"", 9},        {std::nullopt, 9}};
    for (const auto& [value, expected] : cases) {
        MemorySettingsStore store;
        if (value) {
            store.writeString("Software\\Mervic", "Language", *value);
        }
        EXPECT_EQ(ReadLanguageId(store), expected);
    }
}

// Without a value the locale decides; a value decides alone, even an empty one.
TEST(Language, TheLocaleDecidesOnlyWithoutAValue) {
    struct Case {
        const char* value;  // nullptr: no value
        std::string_view locale;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {nullptr, "zh_CN.UTF-8", 4}, {nullptr, "zh_TW", 4},         {nullptr, "zh", 4},
        {nullptr, "en_US.UTF-8", 9}, {nullptr, "C.UTF-8", 9},       {nullptr, "", 9},
        {nullptr, "ZH_CN", 9},       {nullptr, "de_DE@zh", 9},      {"english", "zh_CN.UTF-8", 9},
        {"", "zh_CN.UTF-8", 9},      {"Chinese", "zh_CN.UTF-8", 9}, {"chinese", "en_US.UTF-8", 4},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (c.value) {
            const std::string_view v(c.value);
            store.writeString("Software\\Mervic", "Language", std::u16string(v.begin(), v.end()));
        }
        EXPECT_EQ(ReadLanguageId(store, c.locale), c.expected)
            << "locale \"" << c.locale << "\", value " << (c.value ? c.value : "missing");
    }
}

TEST(ProgramDirectory, DataDirRules) {
    ProgramDirectoryInputs in;
    in.executableDir = "/opt/t/bin";
    in.home = "/home/u";
    in.installedDataDir = "/opt/t/share/tavrin-gaming-keyboard";

    EXPECT_EQ(ResolveProgramPaths(in).dataDir, "/opt/t/bin");

    in.executableDirWritable = false;
    const ProgramPaths installed = ResolveProgramPaths(in);
    EXPECT_EQ(installed.dataDir, "/home/u/.local/share/tavrin-gaming-keyboard");
    EXPECT_EQ(installed.skinRoots,
              (std::vector<fs::path>{"/home/u/.local/share/tavrin-gaming-keyboard", "/opt/t/bin",
                                     "/opt/t/share/tavrin-gaming-keyboard"}));

    in.xdgDataHome = "/x";
    EXPECT_EQ(ResolveProgramPaths(in).dataDir, "/x/tavrin-gaming-keyboard");

    in.dataDirOption = "/d";
    EXPECT_EQ(ResolveProgramPaths(in).dataDir, "/d");
    EXPECT_EQ(SkinFolderName(4), fs::path("png/chinese"));
    EXPECT_EQ(SkinFolderName(9), fs::path("png/english"));
}

// What ships with the program is looked for where an installation or a build puts it, never in
// the per-user folder that holds only what the program wrote.
struct ShippedDirsCase {
    const char* name;
    std::optional<fs::path> dataDirOption;
    bool executableDirWritable;
    std::optional<fs::path> installedDataDir;
    std::vector<fs::path> expected;
};

class ShippedDirs : public testing::TestWithParam<ShippedDirsCase> {};

TEST_P(ShippedDirs, DataDirOptionThenExecutableThenInstalled) {
    const ShippedDirsCase& c = GetParam();
    ProgramDirectoryInputs in;
    in.executableDir = "/opt/t/bin";
    in.home = "/home/u";
    in.dataDirOption = c.dataDirOption;
    in.executableDirWritable = c.executableDirWritable;
    in.installedDataDir = c.installedDataDir;
    EXPECT_EQ(ResolveProgramPaths(in).shippedDirs, c.expected);
}

const fs::path kInstalled = "/opt/t/share/tavrin-gaming-keyboard";

INSTANTIATE_TEST_SUITE_P(
    ProgramDirectory, ShippedDirs,
    testing::Values(
        ShippedDirsCase{"BuildTree", std::nullopt, true, std::nullopt, {"/opt/t/bin"}},
        ShippedDirsCase{"Installed", std::nullopt, false, kInstalled, {"/opt/t/bin", kInstalled}},
        ShippedDirsCase{"DataDirOption", "/d", false, kInstalled, {"/d", "/opt/t/bin", kInstalled}},
        ShippedDirsCase{
            "DataDirIsTheExecutables", "/opt/t/bin", true, kInstalled, {"/opt/t/bin", kInstalled}}),
    [](const auto& p) { return std::string(p.param.name); });

// Three folders in search order; each case lays out files and names the folder whose file wins.
struct ShippedFileCase {
    const char* name;
    std::vector<std::pair<int, std::string>> files;  // folder index, VER.bin content
    bool folderInFirst;                              // a folder named VER.bin in the first
    std::optional<int> found;
    FirmwareVersion version;
};

class ShippedFile : public testing::TestWithParam<ShippedFileCase> {};

TEST_P(ShippedFile, FirstRegularFileWins) {
    const ShippedFileCase& c = GetParam();
    TempDir dirs[3];
    const std::vector<fs::path> order{dirs[0].path(), dirs[1].path(), dirs[2].path()};
    for (const auto& [index, content] : c.files) {
        WriteWholeFile(dirs[index] / "VER.bin",
                       std::vector<std::uint8_t>(content.begin(), content.end()));
    }
    if (c.folderInFirst) {
        fs::create_directory(dirs[0] / "VER.bin");
    }

    const auto found = FindShippedFile(order, "VER.bin");

    EXPECT_EQ(found, c.found ? std::optional(dirs[*c.found] / "VER.bin") : std::nullopt);
    EXPECT_EQ(ReadVersionFile(order, 1), c.version);
    EXPECT_EQ(ReadVersionFile(order, 0), (FirmwareVersion{0, 0})) << "VER87.bin is another file";
}

INSTANTIATE_TEST_SUITE_P(
    ProgramDirectory, ShippedFile,
    testing::Values(
        ShippedFileCase{"Nowhere", {}, false, std::nullopt, {0, 0}},
        ShippedFileCase{"OnlyInstalled", {{2, "VER: 2.1 xyz"}}, false, 2, {2, 1}},
        ShippedFileCase{
            "EarlierFolderWins", {{1, "VER: 1.3 xyz"}, {2, "VER: 2.1 xyz"}}, false, 1, {1, 3}},
        ShippedFileCase{"FolderOfThatNameIsPassed", {{1, "VER: 1.3 xyz"}}, true, 1, {1, 3}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ShippedFile, Layout87ReadsVer87) {
    TempDir a;
    TempDir b;
    WriteWholeFile(b / "VER87.bin", {'V', 'E', 'R', ':', ' ', '3', '.', '2'});
    EXPECT_EQ(ReadVersionFile(std::vector<fs::path>{a.path(), b.path()}, 0),
              (FirmwareVersion{3, 2}));
}

TEST(SkinLookup, CaseInsensitiveAndFirstRootWins) {
    TempDir a;
    TempDir b;
    fs::create_directories(a / "png/english");
    fs::create_directories(b / "png/english/Custom");
    WriteWholeFile(a / "png/english/Main.PNG", {1});
    WriteWholeFile(b / "png/english/main.png", {2});
    WriteWholeFile(b / "png/english/Custom/Custom_BK.png", {3});

    SkinLookup lookup({a.path(), b.path()});
    EXPECT_EQ(lookup.find("png/english", "main.png"), a / "png/english/Main.PNG");
    EXPECT_EQ(lookup.find("png/english/Custom", "CUSTOM_bk.png"),
              b / "png/english/Custom/Custom_BK.png");
    EXPECT_EQ(lookup.find("png/english", "absent.png"), std::nullopt);
    EXPECT_EQ(lookup.find("png/chinese", "main.png"), std::nullopt);
}

}  // namespace
}  // namespace tavrin
