#include "model/ProfileFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::TempDir;
using test::WriteWholeFile;

class ProfileFolderTest : public testing::Test {
protected:
    void SetUp() override { fs::create_directory(configure()); }

    fs::path configure() const { return dir / "Configure"; }
    void makeProfile(const std::string& fileName, std::uint8_t tag = 0x42) {
        WriteWholeFile(configure() / fileName, std::vector<std::uint8_t>(64, tag));
    }
    std::vector<std::u16string> names() const {
        std::vector<std::u16string> n;
        for (const ProfileEntry& e : folder.entries()) {
            n.push_back(e.name);
        }
        return n;
    }
    // Everything in the program directory, to prove nothing was written elsewhere.
    std::vector<std::string> allFiles() const {
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            files.push_back(fs::relative(e.path(), dir.path()).string());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    TempDir dir;
    ProfileFolder folder{dir.path()};
    MemorySettingsStore store;
    std::unique_ptr<Model> model = std::make_unique<Model>();
};

TEST_F(ProfileFolderTest, EmptyFolderGetsProfile1) {
    const auto selected = folder.open(store);

    EXPECT_EQ(names(), (std::vector<std::u16string>{u"Profile_1"}));
    EXPECT_EQ(ReadWholeFile(configure() / "Profile_1.bin").size(), 209104u);
    EXPECT_EQ(selected, 0u);  // no settings key: the empty CurrentProfile matches the last line
}

TEST_F(ProfileFolderTest, MissingFolderIsMadeInTheProgramDirectory) {
    fs::remove(configure());
    folder.open(store);
    EXPECT_EQ(allFiles(), (std::vector<std::string>{"Configure", "Configure/Profile_1.bin"}));
}

TEST_F(ProfileFolderTest, EightFilesListSixInNameOrder) {
    for (const char* name : {"h", "B", "a", "g", "C", "d", "e", "f"}) {
        makeProfile(std::string(name) + ".bin");
    }
    makeProfile("notes.txt");
    makeProfile("upper.BIN");
    fs::create_directory(configure() / "folder.bin");

    folder.refresh();

    EXPECT_EQ(names(), (std::vector<std::u16string>{u"a", u"B", u"C", u"d", u"e", u"f"}));
    EXPECT_EQ(folder.profileCount(), 6u);
    EXPECT_EQ(folder.entries()[1].path, configure() / "B.bin");
}

TEST_F(ProfileFolderTest, LineIsTheFileNameWithoutBin) {
    makeProfile("Game.bin.bin");
    folder.refresh();
    ASSERT_EQ(names(), (std::vector<std::u16string>{u"Game"}));
    // The line keeps its real file, so every operation reaches it.
    EXPECT_EQ(folder.entries()[0].path, configure() / "Game.bin.bin");
}

TEST_F(ProfileFolderTest, NewFillsTheFirstGap) {
    makeProfile("Profile_1.bin");
    makeProfile("Profile_3.bin");
    folder.refresh();

    const ProfileResult r = folder.newProfile();

    EXPECT_EQ(r.status, ProfileStatus::Done);
    EXPECT_EQ(r.name, u"Profile_2");
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"Profile_1", u"Profile_2", u"Profile_3"}));
    EXPECT_EQ(ReadWholeFile(configure() / "Profile_2.bin"), ProfileFile::Default().bytes());
}

TEST_F(ProfileFolderTest, NewAndCopyStopAtSix) {
    for (int i = 1; i <= 6; ++i) {
        makeProfile("P" + std::to_string(i) + ".bin");
    }
    folder.refresh();
    const auto before = allFiles();

    EXPECT_EQ(folder.newProfile().status, ProfileStatus::TooMany);
    EXPECT_EQ(folder.copyProfile(0, kLanguageEnglish).status, ProfileStatus::TooMany);
    EXPECT_EQ(folder.copyProfile(std::nullopt, kLanguageEnglish).status,
              ProfileStatus::NoSelection);
    EXPECT_EQ(allFiles(), before);
}

TEST(ProfileNamesTest, NumberedNames) {
    EXPECT_EQ(NumberedProfileName(1), u"Profile_1");
    EXPECT_EQ(NumberedProfileName(9), u"Profile_9");
    EXPECT_EQ(NumberedProfileName(10), u"Profile010");
    EXPECT_EQ(NumberedProfileName(98), u"Profile098");
    EXPECT_EQ(NumberedProfileName(99), u"Profile99");
}

struct CopyCase {
    const char* name;
    std::uint16_t languageId;
    std::u16string first;
    std::u16string second;
};

class CopyNamesTest : public ProfileFolderTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(CopyNamesTest, FirstAndSecondCopy) {
    makeProfile("Profile_1.bin", 0x66);
    folder.refresh();

    const ProfileResult first =
        folder.copyProfile(folder.find(u"Profile_1"), GetParam().languageId);
    const ProfileResult second =
        folder.copyProfile(folder.find(u"Profile_1"), GetParam().languageId);

    EXPECT_EQ(first.name, GetParam().first);
    EXPECT_EQ(second.name, GetParam().second);
    ASSERT_TRUE(folder.find(GetParam().second));
    // The copy is the source's bytes, filled up to a whole profile.
    const auto copy = ReadWholeFile(folder.entries()[*folder.find(GetParam().second)].path);
    ASSERT_EQ(copy.size(), 209104u);
    EXPECT_EQ(copy[63], 0x66);
    EXPECT_EQ(copy[64], 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, CopyNamesTest,
                         testing::Values(CopyCase{"English", kLanguageEnglish,
                                                  u"Copy of  Profile_1", u"Copy of  Profile_1 1"},
                                         CopyCase{"Chinese", kLanguageChinese, u"复制  Profile_1",
                                                  u"复制  Profile_1 1"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileFolderTest, CopyOfAProfileThatCannotBeReadIsAllZero) {
    makeProfile("Profile_1.bin");
    folder.refresh();
    fs::remove(configure() / "Profile_1.bin");  // gone between listing and copying

    ASSERT_TRUE(folder.copyProfile(0, kLanguageEnglish));

    const auto copy = ReadWholeFile(configure() / "Copy of  Profile_1.bin");
    EXPECT_EQ(copy, std::vector<std::uint8_t>(209104, 0));
}

struct RenameCase {
    const char* name;
    std::u16string text;
    std::string fileName;
};

class RenameTest : public ProfileFolderTest, public testing::WithParamInterface<RenameCase> {};

TEST_P(RenameTest, GivesTheFileItsNewName) {
    makeProfile("Profile_1.bin", 0x31);
    folder.refresh();

    const ProfileResult r = folder.renameProfile(0, GetParam().text);

    EXPECT_EQ(r.status, ProfileStatus::Done);
    EXPECT_EQ(allFiles(),
              (std::vector<std::string>{"Configure", "Configure/" + GetParam().fileName}));
    EXPECT_EQ(ReadWholeFile(configure() / GetParam().fileName),
              std::vector<std::uint8_t>(64, 0x31));
}

INSTANTIATE_TEST_SUITE_P(Names, RenameTest,
                         testing::Values(RenameCase{"Plain", u"Game", "Game.bin"},
                                         RenameCase{"WithBin", u"Game.bin", "Game.bin"},
                                         RenameCase{"BinInside", u"a.bin.b", "a.bin.b.bin"},
                                         RenameCase{"Chinese", u"游戏", "游戏.bin"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileFolderTest, RenameOntoAnotherProfileOnlyRebuildsTheList) {
    makeProfile("Game.bin", 1);
    makeProfile("Work.bin", 2);
    folder.refresh();

    EXPECT_EQ(folder.renameProfile(*folder.find(u"Work"), u"Game").status, ProfileStatus::SameFile);

    EXPECT_EQ(ReadWholeFile(configure() / "Game.bin"), std::vector<std::uint8_t>(64, 1));
    EXPECT_EQ(ReadWholeFile(configure() / "Work.bin"), std::vector<std::uint8_t>(64, 2));
}

TEST_F(ProfileFolderTest, RenameNeverReplacesAnUnlistedFile) {
    makeProfile("Game.bin", 1);
    fs::create_directory(configure() / "Work.bin");
    folder.refresh();

    EXPECT_EQ(folder.renameProfile(0, u"Work").status, ProfileStatus::Failed);
    EXPECT_EQ(ReadWholeFile(configure() / "Game.bin"), std::vector<std::uint8_t>(64, 1));
}

TEST(ProfileNamesTest, NamesThatLeaveTheFolderAreUnsafe) {
    for (std::u16string_view name :
         {std::u16string_view(u"../evil"), std::u16string_view(u"a/b"),
          std::u16string_view(u"a\\b"), std::u16string_view(u".."), std::u16string_view(),
          std::u16string_view(u"x\ty"), std::u16string_view(u"nul\0x", 5)}) {
        EXPECT_FALSE(IsSafeProfileName(name)) << std::string(name.begin(), name.end());
    }
    EXPECT_FALSE(IsSafeProfileName(std::u16string(96, u'x')));
    for (std::u16string_view name : {u"Game", u"Copy of  Profile_1 2", u"复制  配置", u"a.b"}) {
        EXPECT_TRUE(IsSafeProfileName(name));
    }
    EXPECT_TRUE(IsSafeProfileName(std::u16string(95, u'x')));
}

TEST_F(ProfileFolderTest, RenameToAnUnsafeNameIsRefusedAndWritesNothing) {
    makeProfile("Profile_1.bin");
    folder.refresh();
    const auto before = allFiles();

    for (std::u16string_view text : {u"../evil", u"a/b", u"..\\evil", u"", u".bin", u"x\ny"}) {
        EXPECT_EQ(folder.renameProfile(0, text).status, ProfileStatus::RefusedName);
    }

    EXPECT_EQ(allFiles(), before);
    EXPECT_FALSE(fs::exists(dir / "evil.bin"));
}

TEST_F(ProfileFolderTest, DeleteKeepsTheLastProfile) {
    makeProfile("Profile_1.bin");
    folder.refresh();

    EXPECT_EQ(folder.checkDelete(0), ProfileStatus::LastProfile);
    EXPECT_EQ(folder.deleteProfile(0).status, ProfileStatus::LastProfile);
    EXPECT_TRUE(fs::exists(configure() / "Profile_1.bin"));
}

TEST_F(ProfileFolderTest, DeleteRemovesTheSelectedFile) {
    makeProfile("Profile_1.bin");
    makeProfile("Profile_2.bin");
    folder.refresh();

    EXPECT_EQ(folder.checkDelete(std::nullopt), ProfileStatus::NoSelection);
    ASSERT_EQ(folder.checkDelete(0), ProfileStatus::Done);
    EXPECT_TRUE(folder.deleteProfile(0));

    EXPECT_EQ(names(), (std::vector<std::u16string>{u"Profile_2"}));
    EXPECT_FALSE(fs::exists(configure() / "Profile_1.bin"));
}

TEST_F(ProfileFolderTest, DeleteOfAVanishedFileFailsAndTheListFollowsTheFolder) {
    makeProfile("Profile_1.bin");
    makeProfile("Profile_2.bin");
    folder.refresh();
    fs::remove(configure() / "Profile_1.bin");

    EXPECT_EQ(folder.deleteProfile(0, 3).status, ProfileStatus::Failed);
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"Profile_2"}));
}

TEST_F(ProfileFolderTest, CurrentProfileSelectsTheLastLineContainingIt) {
    makeProfile("Profile_1.bin");
    makeProfile("Copy of  Profile_1.bin");
    makeProfile("Game.bin");
    folder.refresh();
    ASSERT_EQ(names(), (std::vector<std::u16string>{u"Copy of  Profile_1", u"Game", u"Profile_1"}));

    EXPECT_EQ(SelectCurrentProfile(folder.profilePaths(), u"Profile_1.bin"), 2u);
    EXPECT_EQ(SelectCurrentProfile(folder.profilePaths(), u"Copy of  Profile_1.bin"), 0u);
    EXPECT_EQ(SelectCurrentProfile(folder.profilePaths(), u""), 2u);
    EXPECT_EQ(SelectCurrentProfile(folder.profilePaths(), u"Other.bin"), std::nullopt);

    store.writeString(kProfileKey, kCurrentProfileValue, u"Game.bin");
    EXPECT_EQ(folder.open(store), 1u);
}

TEST(CurrentProfileTest, ReadFollowsTheKeyAndTheValue) {
    MemorySettingsStore store;
    // No key: the value stays and nothing is written.
    EXPECT_EQ(ReadCurrentProfile(store, u"Kept.bin"), u"Kept.bin");
    EXPECT_FALSE(store.keyExists(kProfileKey));

    // The key without the value: "Profile_1.bin" is written and used.
    store.writeString(kProfileKey, "Other", u"x");
    EXPECT_EQ(ReadCurrentProfile(store, u"Kept.bin"), u"Profile_1.bin");
    EXPECT_EQ(store.readString(kProfileKey, kCurrentProfileValue), u"Profile_1.bin");

    store.writeString(kProfileKey, kCurrentProfileValue, u"Game.bin");
    EXPECT_EQ(ReadCurrentProfile(store, u""), u"Game.bin");

    // Longer than the 100 units read: a failed query.
    store.writeString(kProfileKey, kCurrentProfileValue, std::u16string(101, u'x'));
    EXPECT_EQ(ReadCurrentProfile(store, u""), u"Profile_1.bin");
}

TEST_F(ProfileFolderTest, CloseAppliesTheSelectedProfileAndRemembersIt) {
    ASSERT_TRUE(CreateDefaultProfile(configure() / "Game.bin"));
    makeProfile("Work.bin");
    folder.refresh();
    model->settings.setEffectCode(9);

    const ProfileResult r = folder.applySelected(folder.find(u"Game"), *model, store);

    EXPECT_EQ(r.status, ProfileStatus::Done);
    EXPECT_EQ(model->settings.effectCode(), 1);
    EXPECT_EQ(model->savedSettings.effectCode(), 9);
    EXPECT_EQ(folder.currentProfile(), u"Game.bin");
    // Stored on a fresh machine too: the write creates the key.
    EXPECT_EQ(store.readString(kProfileKey, kCurrentProfileValue), u"Game.bin");
    EXPECT_EQ(folder.applySelected(std::nullopt, *model, store).status, ProfileStatus::NoSelection);
}

TEST_F(ProfileFolderTest, SaveWritesTheSelectedProfileAndTheExport) {
    makeProfile("Game.bin");
    folder.refresh();
    model->settings.setEffectCode(7);

    ASSERT_TRUE(folder.saveProfile(0, *model, std::nullopt, store));
    EXPECT_EQ(ReadWholeFile(configure() / "Game.bin")[SettingsBlock::kEffectCodeOffset], 7);

    ASSERT_TRUE(folder.saveProfile(0, *model, dir / "export.bin", store));
    EXPECT_EQ(ReadWholeFile(dir / "export.bin"), ReadWholeFile(configure() / "Game.bin"));
    EXPECT_EQ(folder.saveProfile(std::nullopt, *model, std::nullopt, store).status,
              ProfileStatus::NoSelection);
}

TEST_F(ProfileFolderTest, LoadImportsIntoTheModelAndTheSelectedProfile) {
    makeProfile("Game.bin", 0x42);
    folder.refresh();
    auto other = std::make_unique<Model>();
    other->settings.setEffectCode(5);
    ASSERT_TRUE(WriteProfileFromModel(dir / "import.bin", *other));
    model->settings.setEffectCode(9);
    model->takeSavedCopies();

    // Cancelled chooser: the selected profile is not overwritten.
    ASSERT_TRUE(folder.loadProfile(0, *model, nullptr, store));
    EXPECT_EQ(ReadWholeFile(configure() / "Game.bin"), std::vector<std::uint8_t>(64, 0x42));

    const auto imported = ProfileFile::Read(dir / "import.bin");
    ASSERT_TRUE(imported);
    ASSERT_TRUE(folder.loadProfile(0, *model, &*imported, store));
    EXPECT_EQ(model->settings.effectCode(), 5);
    EXPECT_EQ(model->savedSettings.effectCode(), 9);
    EXPECT_EQ(ReadWholeFile(configure() / "Game.bin"), ReadWholeFile(dir / "import.bin"));
}

TEST_F(ProfileFolderTest, LoadRefusesAShortFile) {
    makeProfile("Game.bin", 0x42);
    folder.refresh();
    WriteWholeFile(dir / "short.bin", std::vector<std::uint8_t>(1000, 0x99));
    const auto imported = ProfileFile::Read(dir / "short.bin");
    const auto before = std::make_unique<Model>(*model);

    EXPECT_EQ(folder.loadProfile(0, *model, &*imported, store).status, ProfileStatus::Failed);
    EXPECT_EQ(model->settings, before->settings);
    EXPECT_EQ(ReadWholeFile(configure() / "Game.bin"), std::vector<std::uint8_t>(64, 0x42));
}

}  // namespace
}  // namespace tavrin
