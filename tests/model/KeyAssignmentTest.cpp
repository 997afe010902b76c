#include "model/KeyAssignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model/FunctionCatalogue.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

using test::ReadWholeFile;
using test::TempDir;

// Positions of a few keys and their default virtual-key codes.
constexpr std::uint8_t kEscPosition = 0;
constexpr std::uint8_t kAPosition = 63;  // 'A', virtual key 0x41
constexpr std::uint8_t kVkA = 0x41;
constexpr std::uint8_t kVkB = 0x42;
constexpr std::uint8_t kVkLCtrl = 162;
constexpr std::uint8_t kVkLAlt = 164;
constexpr std::uint8_t kVkDelete = 46;

class KeyAssignmentTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(DefaultVkTable[kAPosition], kVkA);
        std::ranges::copy(DefaultKeyMap, model->settings.keyMap().begin());
        std::ranges::fill(model->settings.keyEnableMask(), std::uint8_t{0xFF});
        model->refreshOwnVk();
        select(kAPosition);
    }

    void select(std::uint8_t position) {
        model->selectedKey = position;
        model->pending = PendingAssignment{};
    }
    void capture(std::uint8_t kind, const std::vector<std::uint8_t>& keys) {
        model->pending.pendingKind = kind;
        std::ranges::copy(keys, model->pending.pendingKeys.begin());
        model->pending.pendingKeyCount = static_cast<std::int32_t>(keys.size());
    }
    KeyMapEntry entry() const {
        return model->settings.keyMapEntry(KeyMapIndexOf(model->selectedKey));
    }
    AssignmentRecord record() { return model->assignments.record(model->selectedKey); }
    std::uint8_t& changedFlag() { return model->keyChangedFlags[model->selectedKey]; }
    bool enabled() const { return model->settings.isKeyEnabled(MatrixCodeOf(model->selectedKey)); }
    WriteResult apply() { return ApplyKeyAssignment(*model, dir.path()); }

    // The KeyMap entry as "keymap.bin" holds it.
    KeyMapEntry entryInFile() const {
        const auto file = ReadWholeFile(dir / "keymap.bin");
        KeyMapEntry e{};
        const std::size_t at = SettingsBlock::kKeyMapOffset + 4 * KeyMapIndexOf(model->selectedKey);
        if (file.size() >= at + 4) {
            std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), 4, e.begin());
        }
        return e;
    }

    TempDir dir;
    std::unique_ptr<Model> model = std::make_unique<Model>();
};

TEST_F(KeyAssignmentTest, KeyGivenItsOwnMeaningClearsTheRecordAndItsChangedFlag) {
    record().setKind(1);
    record().setKeyCount(2);
    record().keys()[0] = kVkB;
    changedFlag() = 1;
    capture(0, {kVkA});

    ASSERT_TRUE(apply());

    EXPECT_EQ(record().kind(), 0);
    EXPECT_EQ(record().keyCount(), 0);
    EXPECT_TRUE(std::ranges::all_of(record().keys(), [](auto b) { return b == 0; }));
    EXPECT_EQ(changedFlag(), 0);
    EXPECT_EQ(entry(), (KeyMapEntry{0x04, 0, 0, 0}));
    EXPECT_EQ(entryInFile(), entry());
}

// A single captured key: its HID usage, or the consumer encoding for the four media keys.
struct SingleKeyCase {
    const char* name;
    std::uint8_t vk;
    KeyMapEntry expected;
};

class SingleKeyTest : public KeyAssignmentTest,
                      public testing::WithParamInterface<SingleKeyCase> {};

TEST_P(SingleKeyTest, EntryAndRecord) {
    select(kEscPosition);
    capture(0, {GetParam().vk});

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), GetParam().expected);
    EXPECT_EQ(record().kind(), 0);
    EXPECT_EQ(record().keyCount(), 1);
    EXPECT_EQ(record().keys()[0], GetParam().vk);
    EXPECT_EQ(changedFlag(), 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, SingleKeyTest,
                         testing::Values(SingleKeyCase{"LetterB", kVkB, {0x05, 0x00, 0x00, 0x00}},
                                         SingleKeyCase{"VolumeUp", 175, {0x00, 0xE9, 0x00, 0x03}},
                                         SingleKeyCase{"VolumeDown", 174, {0x00, 0xEA, 0x00, 0x03}},
                                         SingleKeyCase{"PlayPause", 179, {0x00, 0xCD, 0x00, 0x03}},
                                         SingleKeyCase{"Media", 181, {0x01, 0x83, 0x00, 0x03}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(KeyAssignmentTest, VolumeUpCapturedEqualsTheVolUpFunction) {
    const CatalogueFunction* volUp = FindFunctionByLabel(u"Vol+", kLanguageEnglish);
    ASSERT_NE(volUp, nullptr);
    EXPECT_EQ(SingleKeyEntry(175), volUp->code);
}

TEST_F(KeyAssignmentTest, SingleKeyWithoutExactlyOneKeyLeavesTheEntry) {
    const KeyMapEntry before = entry();
    capture(0, {});

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), before);
    EXPECT_EQ(record().keyCount(), 0);
    EXPECT_EQ(changedFlag(), 0);
}

struct CombinationCase {
    const char* name;
    std::vector<std::uint8_t> keys;
    KeyMapEntry expected;
    std::uint8_t changed;
};

class CombinationTest : public KeyAssignmentTest,
                        public testing::WithParamInterface<CombinationCase> {};

TEST_P(CombinationTest, ThreeUsagesAndTheChangedFlag) {
    capture(1, GetParam().keys);

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), GetParam().expected);
    EXPECT_EQ(record().kind(), 1);
    EXPECT_EQ(record().keyCount(), GetParam().keys.size());
    EXPECT_EQ(changedFlag(), GetParam().changed);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, CombinationTest,
    testing::Values(
        // A combination of one key is stored but does not count as a change.
        CombinationCase{"OneKey", {kVkLCtrl}, {0xE0, 0x00, 0x00, 0x00}, 0},
        CombinationCase{"TwoKeys", {kVkLCtrl, kVkB}, {0xE0, 0x05, 0x00, 0x00}, 1},
        CombinationCase{"ThreeKeys", {kVkLCtrl, kVkLAlt, kVkDelete}, {0xE0, 0xE2, 0x4C, 0x00}, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(KeyAssignmentTest, MacroSlotTwoRebuildsTheDeviceMacros) {
    for (std::size_t slot = 0; slot < 3; ++slot) {
        model->macros.record(slot).setName(u"M" +
                                           std::u16string(1, static_cast<char16_t>(u'0' + slot)));
        model->macros.record(slot).setLoopCount(static_cast<std::int32_t>(10 + slot));
    }
    model->pending.pendingKind = 2;
    model->pending.pendingMacro = 2;

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), (KeyMapEntry{0x02, 0x00, 0x00, 0x04}));
    EXPECT_EQ(record().kind(), 2);
    EXPECT_EQ(record().code(), (std::array<std::uint8_t, 4>{0x02, 0x00, 0x00, 0x04}));
    EXPECT_EQ(changedFlag(), 1);
    EXPECT_EQ(model->settings.deviceMacroRecord(2)[0], 12);
    EXPECT_EQ(entryInFile(), entry());
}

TEST_F(KeyAssignmentTest, MacroWithoutASlotOnlyMarksTheRecord) {
    model->macros.record(0).setName(u"M0");
    const KeyMapEntry before = entry();
    model->pending.pendingKind = 2;
    model->pending.pendingMacro = PendingAssignment::kNoMacro;

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), before);
    EXPECT_EQ(record().kind(), 2);
    EXPECT_EQ(record().code(), (std::array<std::uint8_t, 4>{0xFF, 0x00, 0x00, 0x04}));
    EXPECT_EQ(changedFlag(), 0);
    EXPECT_EQ(model->settings.deviceMacroRecord(0)[4], 0);  // not rebuilt
}

struct FunctionCase {
    const char* name;
    std::uint16_t languageId;
    std::u16string_view label;
};

class FunctionTest : public KeyAssignmentTest, public testing::WithParamInterface<FunctionCase> {};

TEST_P(FunctionTest, PrevInTheInterfaceLanguage) {
    model->languageId = GetParam().languageId;
    model->pending.pendingKind = 3;
    model->pending.pendingFunctionLabel = std::u16string(GetParam().label);

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), (KeyMapEntry{0x00, 0xB6, 0x00, 0x03}));
    EXPECT_EQ(record().kind(), 3);
    EXPECT_EQ(record().code(), (std::array<std::uint8_t, 4>{0x00, 0xB6, 0x00, 0x03}));
    EXPECT_EQ(changedFlag(), 1);
}

INSTANTIATE_TEST_SUITE_P(Languages, FunctionTest,
                         testing::Values(FunctionCase{"English", kLanguageEnglish, u"Prev"},
                                         FunctionCase{"Chinese", kLanguageChinese, u"上一曲"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(KeyAssignmentTest, UnknownFunctionLabelKeepsEntryAndCode) {
    record().setCode({0x11, 0x22, 0x33, 0x44});
    const KeyMapEntry before = entry();
    model->languageId = kLanguageChinese;
    model->pending.pendingKind = 3;
    model->pending.pendingFunctionLabel = u"Prev";  // the English label in the Chinese interface

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), before);
    EXPECT_EQ(record().kind(), 3);
    EXPECT_EQ(record().code(), (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(changedFlag(), 1);
}

TEST_F(KeyAssignmentTest, PlaySoundReportsTheKeyByItsOwnCode) {
    model->pending.pendingKind = 4;
    model->pending.pendingLaunchPath = u"/home/me/Music/song.mp3";

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry(), (KeyMapEntry{kVkA, 0x00, 0x00, 0x0C}));
    EXPECT_EQ(record().kind(), 4);
    EXPECT_EQ(record().ownVk(), kVkA);
    EXPECT_EQ(record().code(), (std::array<std::uint8_t, 4>{0x03, 0x00, 0x23, 0x02}));
    EXPECT_EQ(record().launchPath(), u"/home/me/Music/song.mp3");
    EXPECT_EQ(changedFlag(), 1);
    EXPECT_EQ(entryInFile(), entry());
}

TEST_F(KeyAssignmentTest, LaunchEntryTakesOwnVkBeforeTheRecordChanges) {
    record().setOwnVk(0x99);  // as a foreign keymap.bin could leave it
    model->pending.pendingKind = 7;
    model->pending.pendingLaunchPath = u"/home/me";

    ASSERT_TRUE(apply());

    EXPECT_EQ(entry()[0], 0x99);
    EXPECT_EQ(record().ownVk(), kVkA);
}

TEST_F(KeyAssignmentTest, OverlongLaunchPathIsRefusedAndChangesNothing) {
    const AssignmentTable before = model->assignments;
    const SettingsBlock settingsBefore = model->settings;
    model->pending.pendingKind = 5;
    model->pending.pendingLaunchPath = std::u16string(256, u'x');
    model->pending.keyEnabledResult = 0;
    changedFlag() = 1;

    for (const WriteResult& r : {apply(), CommitKeyAssignment(*model, dir.path())}) {
        EXPECT_FALSE(r);
        EXPECT_NE(r.error.find("255"), std::string::npos);
    }
    EXPECT_EQ(model->assignments, before);
    EXPECT_EQ(model->settings, settingsBefore);
    EXPECT_EQ(changedFlag(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "keymap.bin"));
}

TEST_F(KeyAssignmentTest, RestoreDefaultClearsTheRecordAndLeavesTheMask) {
    capture(1, {kVkLCtrl, kVkB});
    ASSERT_TRUE(apply());
    model->settings.setKeyEnabled(MatrixCodeOf(kAPosition), false);
    model->pending.pendingKind = 8;

    ASSERT_TRUE(apply());

    EXPECT_EQ(record().kind(), 0);
    EXPECT_EQ(record().keyCount(), 0);
    EXPECT_EQ(entry(), (KeyMapEntry{0x04, 0, 0, 0}));
    EXPECT_FALSE(enabled());
}

TEST_F(KeyAssignmentTest, NothingChosenChangesNothingButStillWritesTheFile) {
    const AssignmentTable before = model->assignments;
    const SettingsBlock settingsBefore = model->settings;
    model->pending.pendingKind = 255;

    ASSERT_TRUE(apply());

    EXPECT_EQ(model->assignments, before);
    EXPECT_EQ(model->settings, settingsBefore);
    EXPECT_EQ(ReadWholeFile(dir / "keymap.bin").size(), 201424u);
}

TEST_F(KeyAssignmentTest, DefaultOnADisabledKeyEnablesItAgain) {
    capture(0, {kVkB});
    ASSERT_TRUE(apply());
    model->settings.setKeyEnabled(MatrixCodeOf(kAPosition), false);
    changedFlag() = 1;
    model->pending.pendingKeyCount = PendingAssignment::kDefaultKeyCount;
    model->pending.keyEnabledResult = 0;  // whatever the dialog left, Default enables the key

    ASSERT_TRUE(CommitKeyAssignment(*model, dir.path()));

    EXPECT_TRUE(enabled());
    EXPECT_EQ(model->pending.keyEnabledResult, 1);
    EXPECT_EQ(changedFlag(), 0);
    EXPECT_EQ(record().kind(), 0);
    EXPECT_EQ(entry(), (KeyMapEntry{0x04, 0, 0, 0}));
    const auto file = ReadWholeFile(dir / "keymap.bin");
    const std::uint16_t code = MatrixCodeOf(kAPosition);
    EXPECT_TRUE((file[SettingsBlock::kKeyEnableMaskOffset + (code >> 3)] >> (code & 7)) & 1);
}

TEST_F(KeyAssignmentTest, CommitDisablingAKeyMarksItChanged) {
    capture(0, {kVkA});  // its own meaning: not changed by the assignment itself
    model->pending.keyEnabledResult = 0;

    ASSERT_TRUE(CommitKeyAssignment(*model, dir.path()));

    EXPECT_FALSE(enabled());
    EXPECT_EQ(changedFlag(), 1);
    const auto file = ReadWholeFile(dir / "keymap.bin");
    const std::uint16_t code = MatrixCodeOf(kAPosition);
    EXPECT_FALSE((file[SettingsBlock::kKeyEnableMaskOffset + (code >> 3)] >> (code & 7)) & 1);
}

TEST_F(KeyAssignmentTest, KeysWithoutAKeyMapEntryAreLeftAlone) {
    for (std::uint8_t position : {std::uint8_t{108}, std::uint8_t{112}, kNoKey}) {
        SCOPED_TRACE(position);
        const SettingsBlock before = model->settings;
        select(position);
        capture(0, {kVkB});

        EXPECT_TRUE(CommitKeyAssignment(*model, dir.path()));

        EXPECT_EQ(model->settings, before);
        EXPECT_FALSE(std::filesystem::exists(dir / "keymap.bin"));
    }
}

TEST_F(KeyAssignmentTest, AFailedWriteIsReportedWithTheImagesChanged) {
    capture(0, {kVkB});

    const WriteResult r = CommitKeyAssignment(*model, dir / "missing");

    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("keymap.bin"), std::string::npos);
    EXPECT_EQ(entry(), (KeyMapEntry{0x05, 0, 0, 0}));
}

TEST(FunctionCatalogueTest, LabelsAndCodesFindTheirFunction) {
    for (const CatalogueFunction& f : kFunctionCatalogue) {
        EXPECT_EQ(FindFunctionByLabel(f.english, kLanguageEnglish), &f);
        EXPECT_EQ(FindFunctionByLabel(f.chinese, kLanguageChinese), &f);
        EXPECT_EQ(FindFunctionByCode(f.code), &f);
    }
    EXPECT_EQ(FindFunctionByLabel(u"上一曲", kLanguageEnglish), nullptr);
    EXPECT_EQ(FindFunctionByCode({0x12, 0x34, 0x56, 0x78}), nullptr);
}

}  // namespace
}  // namespace tavrin
