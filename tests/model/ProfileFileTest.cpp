#include "model/ProfileFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "model/LaunchActions.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

using test::ReadWholeFile;
using test::TempDir;
using test::WriteWholeFile;

class ProfileFileTest : public testing::Test {
protected:
    void fillModel(std::uint8_t settings, std::uint8_t assignments, std::uint8_t macros) {
        model->settings.bytes.fill(settings);
        model->assignments.bytes.fill(assignments);
        model->macros.bytes.fill(macros);
    }

    TempDir dir;
    std::unique_ptr<Model> model = std::make_unique<Model>();
};

TEST_F(ProfileFileTest, WrittenProfileHoldsTheThreeImagesInOrder) {
    fillModel(0x11, 0x22, 0x33);
    ASSERT_TRUE(WriteProfileFromModel(dir / "p.bin", *model));

    const auto file = ReadWholeFile(dir / "p.bin");
    ASSERT_EQ(file.size(), 209104u);
    EXPECT_EQ(file[0], 0x11);
    EXPECT_EQ(file[4563], 0x11);
    EXPECT_EQ(file[4564], 0x22);
    EXPECT_EQ(file[201423], 0x22);
    EXPECT_EQ(file[201424], 0x33);
    EXPECT_EQ(file[209103], 0x33);
}

// A file fills what it holds, in file order; the rest of the model keeps its bytes.
struct PartialCase {
    const char* name;
    std::size_t length;
};

class PartialProfileTest : public ProfileFileTest,
                           public testing::WithParamInterface<PartialCase> {};

TEST_P(PartialProfileTest, FillsWhatItHolds) {
    const std::size_t length = GetParam().length;
    fillModel(0x11, 0x22, 0x33);
    model->takeSavedCopies();
    WriteWholeFile(dir / "p.bin", std::vector<std::uint8_t>(length, 0x5A));
    auto expected = std::make_unique<Model>(*model);
    for (std::size_t i = 0; i < std::min(length, ProfileFile::kSize); ++i) {
        if (i < 4564) {
            expected->settings.bytes[i] = 0x5A;
        } else if (i < 201424) {
            expected->assignments.bytes[i - 4564] = 0x5A;
        } else {
            expected->macros.bytes[i - 201424] = 0x5A;
        }
    }

    ASSERT_TRUE(ApplyProfile(dir / "p.bin", *model));

    EXPECT_EQ(model->settings, expected->settings);
    EXPECT_EQ(model->assignments, expected->assignments);
    EXPECT_EQ(model->macros, expected->macros);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PartialProfileTest,
                         testing::Values(PartialCase{"Empty", 0}, PartialCase{"InSettings", 100},
                                         PartialCase{"InAssignments", 4564 + 772 * 3 + 5},
                                         PartialCase{"InMacros", 201424 + 1536},
                                         PartialCase{"Whole", 209104},
                                         PartialCase{"LongerThanAProfile", 209104 + 4096}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileFileTest, ApplyTakesTheSavedCopiesFirst) {
    fillModel(0x11, 0x22, 0x33);
    ASSERT_TRUE(CreateDefaultProfile(dir / "p.bin"));

    ASSERT_TRUE(ApplyProfile(dir / "p.bin", *model));

    EXPECT_EQ(model->savedSettings.bytes[0], 0x11);
    EXPECT_EQ(model->savedAssignments.bytes[0], 0x22);
    EXPECT_EQ(model->settings.reportInterval(), 2);
    EXPECT_EQ(model->macros.bytes[0], 0);
}

TEST_F(ProfileFileTest, ApplyOfAMissingFileChangesNothing) {
    fillModel(0x11, 0x22, 0x33);
    const auto before = std::make_unique<Model>(*model);

    EXPECT_FALSE(ApplyProfile(dir / "missing.bin", *model));
    EXPECT_FALSE(ApplyProfile(dir.path(), *model));  // a folder is no profile
    ASSERT_EQ(::mkfifo((dir / "fifo.bin").c_str(), 0600), 0);
    EXPECT_FALSE(ApplyProfile(dir / "fifo.bin", *model));  // and a FIFO would never end

    EXPECT_EQ(model->settings, before->settings);
    EXPECT_EQ(model->savedSettings, before->savedSettings);
    EXPECT_EQ(model->assignments, before->assignments);
}

TEST_F(ProfileFileTest, DefaultProfileHoldsTheFactoryConfiguration) {
    ASSERT_TRUE(CreateDefaultProfile(dir / "p.bin"));
    const auto file = ReadWholeFile(dir / "p.bin");
    ASSERT_EQ(file.size(), 209104u);

    std::vector<std::uint8_t> expected(209104, 0);
    expected[SettingsBlock::kReportIntervalOffset] = 2;
    std::ranges::copy(DefaultKeyMap, expected.begin() + SettingsBlock::kKeyMapOffset);
    expected[SettingsBlock::kResponseTimeOffset] = 10;
    expected[SettingsBlock::kEffectCodeOffset] = 1;
    expected[SettingsBlock::kBrightnessLevelOffset] = 1;
    // Every key enabled: a zero mask would disable the whole keyboard on the next Save.
    std::fill_n(expected.begin() + SettingsBlock::kKeyEnableMaskOffset, 24, 0xFF);
    expected[3918] = 0x3F;
    expected[3919] = 0x3F;
    expected[3920] = 0x3F;
    expected[3921] = 0x17;
    for (std::size_t k = 0; k <= 21; ++k) {
        expected[4564 + 772 * k] = DefaultVkTable[k];
    }
    EXPECT_EQ(file, expected);
}

TEST_F(ProfileFileTest, WriteFailureLeavesTheOldFileWhole) {
    const WriteResult r = CreateDefaultProfile(dir / "missing" / "p.bin");
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("p.bin"), std::string::npos);
}

struct ImportCase {
    const char* name;
    std::optional<std::size_t> length;  // nullopt: no file
    ProfileImportProblem problem;
};

class ImportCheckTest : public ProfileFileTest, public testing::WithParamInterface<ImportCase> {};

TEST_P(ImportCheckTest, OnlyFilesHoldingSettingsAndAssignmentsAreProfiles) {
    if (GetParam().length) {
        WriteWholeFile(dir / "import.bin", std::vector<std::uint8_t>(*GetParam().length, 1));
    }
    EXPECT_EQ(ValidateProfileImport(ProfileFile::Read(dir / "import.bin")), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportCheckTest,
    testing::Values(ImportCase{"Missing", std::nullopt, ProfileImportProblem::CannotOpen},
                    ImportCase{"Empty", 0, ProfileImportProblem::TooShort},
                    ImportCase{"OneByteShort", 201423, ProfileImportProblem::TooShort},
                    ImportCase{"WithoutMacros", 201424, ProfileImportProblem::None},
                    ImportCase{"Whole", 209104, ProfileImportProblem::None}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileFileTest, ImportListsItsLaunchActionsAndLeavesTheSavedCopies) {
    model->assignments.record(63).setKind(5);
    model->assignments.record(63).setOwnVk(0x41);
    model->assignments.record(63).setLaunchPath(u"/usr/bin/game");
    ASSERT_TRUE(WriteProfileFromModel(dir / "p.bin", *model));
    auto target = std::make_unique<Model>();
    target->settings.bytes.fill(0x77);
    target->takeSavedCopies();

    const std::optional<ProfileFile> file = ProfileFile::Read(dir / "p.bin");
    ASSERT_EQ(ValidateProfileImport(file), ProfileImportProblem::None);
    const auto actions = LaunchActionsOf(*file);
    ImportProfile(*file, *target);

    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0], (LaunchAction{63, 5, 0x41, u"/usr/bin/game"}));
    EXPECT_EQ(target->assignments, model->assignments);
    EXPECT_EQ(target->savedSettings.bytes[0], 0x77);
}

}  // namespace
}  // namespace tavrin
