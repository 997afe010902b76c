// Launch actions that come with a profile from elsewhere: what a profile would bring, the hash by
// which an accepted set is remembered, the profile taken without them, and the profile folder's
// apply and import refusing them until the user chose.

#include "model/LaunchActionsReview.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/KeyCodeTable.h"
#include "model/ProfileFolder.h"
#include "model/Sha256.h"
#include "model/Utf16Text.h"
#include "support/LaunchProfiles.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;

TEST(Sha256Test, KnownDigests) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // Around the block's end: the length must fit in the last block, or take another one.
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.size());
        const std::vector<std::uint8_t> bytes(c.message.begin(), c.message.end());
        EXPECT_EQ(Sha256Hex(bytes), c.digest);
    }
}

// The hash is stored in the user's settings and compared by later versions: its bytes are fixed.
TEST(LaunchActionsHashTest, IsTheDocumentedFormAndTellsEveryFieldApart) {
    const LaunchAction xterm{63, 5, 0x41, u"/usr/bin/xterm"};
    EXPECT_EQ(LaunchActionsHash({xterm}),
              "515196b2681a01385950942704f7c07c36c680a91821899f3af3692912547c3b");
    EXPECT_EQ(LaunchActionsHash({xterm, {200, 7, 0x41, u"/home/音乐"}}),
              "7394d2ea70ff8f673a1c7aebacf86e99503abc34539318db8d428962c02655a3");
    EXPECT_EQ(LaunchActionsHash({}), "");

    const LaunchAction changed[] = {
        {64, 5, 0x41, u"/usr/bin/xterm"},
        {63, 6, 0x41, u"/usr/bin/xterm"},
        {63, 5, 0x42, u"/usr/bin/xterm"},
        {63, 5, 0x41, u"/usr/bin/xterm "},
    };
    for (const LaunchAction& c : changed) {
        EXPECT_NE(LaunchActionsHash({c}), LaunchActionsHash({xterm}));
    }
    // The length keeps two actions from reading as one with a longer path.
    EXPECT_NE(LaunchActionsHash({{1, 5, 1, u"/a"}, {2, 5, 2, u"/b"}}),
              LaunchActionsHash({{1, 5, 1, u"/a\x0205\x02\x0002/b"}}));
}

class LaunchReviewTest : public testing::Test {
protected:
    std::u16string existing(const std::string& name) { return profiles.pathOf("=" + name); }
    static void Give(Model& m, std::uint8_t position, std::uint8_t kind, std::u16string path) {
        test::LaunchProfiles::Give(m, position, kind, std::move(path));
    }
    static std::unique_ptr<Model> fresh() { return test::LaunchProfiles::Fresh(); }
    // The profile folder with one factory profile, "Mine".
    ProfileFolder folderWithMine() {
        fs::create_directory(dir / "Configure");
        EXPECT_TRUE(ProfileFile::Default().write(dir / "Configure" / "Mine.bin"));
        ProfileFolder folder(dir.path());
        folder.refresh();
        return folder;
    }

    test::TempDir dir;
    test::LaunchProfiles profiles{dir.path()};
    MemorySettingsStore store;
};

class LaunchProfileTable : public LaunchReviewTest,
                           public testing::WithParamInterface<test::LaunchProfileCase> {
protected:
    void SetUp() override {
        current = profiles.current();
        incoming = profiles.profile(GetParam());
        fs::create_directory(dir / "Configure");
        ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(dir / "Configure" / "In.bin"));
        folder.refresh();
    }
    bool bringsAny() const { return GetParam().bringsAny(); }

    std::unique_ptr<Model> current;
    std::unique_ptr<Model> incoming;
    ProfileFolder folder{dir.path()};
};

TEST_P(LaunchProfileTable, TheReviewListsWhatWouldBeNew) {
    const LaunchActionsReview review =
        ReviewLaunchActions(incoming->assignments, current->assignments, store);
    ASSERT_EQ(review.brought.size(), GetParam().brought.size());
    for (std::size_t i = 0; i < review.brought.size(); ++i) {
        const auto& [key, absolute, exists] = GetParam().brought[i];
        EXPECT_EQ(review.brought[i].key, key);
        EXPECT_EQ(review.brought[i].absolute, absolute);
        EXPECT_EQ(review.brought[i].exists, exists);
    }
    EXPECT_EQ(review.needsChoice(), bringsAny());
    EXPECT_EQ(review.hash.empty(), GetParam().actions.empty());

    // Accepted once: the same set needs no choice again.
    ASSERT_TRUE(AcceptLaunchActions(store, review.hash));
    EXPECT_FALSE(
        ReviewLaunchActions(incoming->assignments, current->assignments, store).needsChoice());
}

TEST_P(LaunchProfileTable, ApplyRefusesUntilTheUserChose) {
    const auto line = folder.find(u"In");
    for (const LaunchChoice choice :
         {LaunchChoice::Refuse, LaunchChoice::Drop, LaunchChoice::Keep, LaunchChoice::Refuse}) {
        SCOPED_TRACE(static_cast<int>(choice));
        auto model = std::make_unique<Model>(*current);
        const ProfileResult r = folder.applySelected(line, *model, store, choice);
        const bool refused = choice == LaunchChoice::Refuse && bringsAny() &&
                             !IsAcceptedLaunchActions(
                                 store, LaunchActionsHash(LaunchActionsOf(incoming->assignments)));
        if (refused) {
            EXPECT_EQ(r.status, ProfileStatus::LaunchActionsNotAccepted);
            EXPECT_EQ(r.launchActions.size(), GetParam().brought.size());
            EXPECT_EQ(ProfileFile::FromModel(*model).bytes(),
                      ProfileFile::FromModel(*current).bytes());
            EXPECT_EQ(model->savedAssignments, current->savedAssignments);
            EXPECT_EQ(folder.currentProfile(), u"");
            continue;
        }
        ASSERT_EQ(r.status, ProfileStatus::Done) << r.error;
        EXPECT_EQ(model->settings.effectCode(), 7);
        EXPECT_EQ(model->savedSettings, current->settings) << "the keyboard's state stays known";
        if (choice == LaunchChoice::Drop) {
            EXPECT_TRUE(LaunchActionsOf(model->assignments).empty());
        } else {
            EXPECT_EQ(model->assignments, incoming->assignments);
        }
        EXPECT_EQ(folder.currentProfile(), u"In.bin");
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, LaunchProfileTable,
                         testing::ValuesIn(test::LaunchProfileCases()),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(LaunchReviewTest, DroppedKeysGetTheirOwnMeaningBack) {
    auto model = fresh();
    Give(*model, 12, 5, u"/usr/bin/xterm");
    model->settings.setKeyEnabled(MatrixCodeOf(12), false);
    model->assignments.record(12).setOwnVk(0x41);  // a file may name another key's code
    Give(*model, 1, 6, u"/tmp/notes.txt");
    model->assignments.record(230).setKind(7);  // no key there, found by its event code
    model->assignments.record(230).setOwnVk(0x53);
    model->assignments.record(230).setLaunchPath(u"/tmp");
    model->assignments.record(63).setKind(2);  // a macro stays
    model->settings.setKeyMapEntry(KeyMapIndexOf(63), {1, 0, 0, 4});
    const auto before = std::make_unique<Model>(*model);

    DropLaunchActions(*model);

    EXPECT_TRUE(LaunchActionsOf(model->assignments).empty());
    for (const std::uint8_t p : {std::uint8_t{12}, std::uint8_t{1}}) {
        SCOPED_TRACE(static_cast<int>(p));
        const ConstAssignmentRecord r = std::as_const(model->assignments).record(p);
        EXPECT_EQ(r.kind(), 0);
        EXPECT_EQ(r.ownVk(), DefaultVkTable[p]);
        EXPECT_EQ(model->settings.keyMapEntry(KeyMapIndexOf(p)),
                  (KeyMapEntry{HidUsage(DefaultVkTable[p]), 0, 0, 0}));
        EXPECT_TRUE(model->settings.isKeyEnabled(MatrixCodeOf(p)));
    }
    EXPECT_EQ(std::as_const(model->assignments).record(230).kind(), 0);
    EXPECT_EQ(std::as_const(model->assignments).record(63).kind(), 2);
    EXPECT_EQ(model->settings.keyMapEntry(KeyMapIndexOf(63)), (KeyMapEntry{1, 0, 0, 4}));
    EXPECT_EQ(model->macros, before->macros);
    EXPECT_EQ(model->settings.effectCode(), before->settings.effectCode());
}

TEST_F(LaunchReviewTest, TheAcceptedSetsAreKeptNewestLast) {
    std::vector<std::string> hashes;
    for (unsigned i = 0; i < kMaxAcceptedLaunchActions + 3; ++i) {
        hashes.push_back(
            LaunchActionsHash({{1, 5, 1, u"/bin/p" + Utf16FromPath(std::to_string(i))}}));
        ASSERT_TRUE(AcceptLaunchActions(store, hashes.back()));
        ASSERT_TRUE(AcceptLaunchActions(store, hashes.back()));  // once is enough
    }
    for (std::size_t i = 0; i < hashes.size(); ++i) {
        EXPECT_EQ(IsAcceptedLaunchActions(store, hashes[i]), i >= 3) << i;
    }
    const auto stored = store.readString(kLaunchActionsKey, kAcceptedLaunchActionsValue);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), kMaxAcceptedLaunchActions * 65 - 1);
    EXPECT_FALSE(store.readString(kProfileKey, kCurrentProfileValue))
        << "the profile key is not created by it";

    // Whatever someone wrote there by hand is no hash of ours, and nothing is accepted by it.
    store.writeString(kLaunchActionsKey, kAcceptedLaunchActionsValue, u"  garbage\n 音乐 ");
    EXPECT_FALSE(IsAcceptedLaunchActions(store, hashes.back()));
    EXPECT_FALSE(IsAcceptedLaunchActions(store, ""));
    ASSERT_TRUE(AcceptLaunchActions(store, hashes.back()));
    EXPECT_TRUE(IsAcceptedLaunchActions(store, hashes.back()));

    store.setFailWrites(true);
    EXPECT_FALSE(AcceptLaunchActions(store, hashes.front()));
}

// A file that holds only part of the AssignmentTable leaves the rest of the model's records: a
// kind from the file over a path from the model is a launch action too, and is asked about.
TEST_F(LaunchReviewTest, AShortProfileIsReviewedAsTheModelItLeaves) {
    auto model = fresh();
    model->assignments.record(12).setLaunchPath(existing("bin/tool"));  // kind 0: no action
    std::vector<std::uint8_t> bytes = ProfileFile::FromModel(*model).bytes();
    const std::size_t kindAt = ProfileFile::kAssignmentsOffset + 12 * AssignmentRecord::kSize + 1;
    bytes[kindAt] = 5;
    bytes.resize(kindAt + 1);
    fs::create_directory(dir / "Configure");
    test::WriteWholeFile(dir / "Configure" / "Short.bin", bytes);
    ProfileFolder folder(dir.path());
    folder.refresh();

    const ProfileResult r = folder.applySelected(0, *model, store);
    ASSERT_EQ(r.status, ProfileStatus::LaunchActionsNotAccepted);
    ASSERT_EQ(r.launchActions.size(), 1u);
    EXPECT_EQ(r.launchActions[0].key, u"F12");
    EXPECT_EQ(std::as_const(model->assignments).record(12).kind(), 0);
}

TEST_F(LaunchReviewTest, ImportAsksLikeApplyAndWritesWhatWasChosen) {
    ProfileFolder folder = folderWithMine();
    auto theirs = fresh();
    Give(*theirs, 12, 5, existing("bin/tool"));
    const ProfileFile imported = ProfileFile::FromModel(*theirs);
    auto model = fresh();
    const auto mine = ReadWholeFile(dir / "Configure" / "Mine.bin");

    ProfileResult r = folder.loadProfile(0, *model, &imported, store);
    ASSERT_EQ(r.status, ProfileStatus::LaunchActionsNotAccepted);
    EXPECT_EQ(ReadWholeFile(dir / "Configure" / "Mine.bin"), mine);
    EXPECT_TRUE(LaunchActionsOf(model->assignments).empty());

    ASSERT_TRUE(folder.loadProfile(0, *model, &imported, store, LaunchChoice::Drop));
    EXPECT_TRUE(LaunchActionsOf(model->assignments).empty());
    EXPECT_TRUE(LaunchActionsOf(*ProfileFile::Read(dir / "Configure" / "Mine.bin")).empty());
    EXPECT_FALSE(
        IsAcceptedLaunchActions(store, LaunchActionsHash(LaunchActionsOf(theirs->assignments))));

    ASSERT_TRUE(folder.loadProfile(0, *model, &imported, store, LaunchChoice::Keep));
    EXPECT_EQ(model->assignments, theirs->assignments);
    EXPECT_EQ(ReadWholeFile(dir / "Configure" / "Mine.bin"), imported.bytes());
    // Kept: applying the profile later, over another configuration, asks nothing.
    auto other = fresh();
    EXPECT_EQ(folder.applySelected(0, *other, store).status, ProfileStatus::Done);
}

// The user's own configuration saved as a profile is the user's: applying it later asks nothing.
TEST_F(LaunchReviewTest, ASavedProfileIsAccepted) {
    ProfileFolder folder = folderWithMine();
    auto model = fresh();
    Give(*model, 12, 5, existing("bin/tool"));
    ASSERT_TRUE(folder.saveProfile(0, *model, std::nullopt, store));

    auto other = fresh();
    ASSERT_EQ(folder.applySelected(0, *other, store).status, ProfileStatus::Done);
    EXPECT_EQ(other->assignments, model->assignments);
}

}  // namespace
}  // namespace tavrin
