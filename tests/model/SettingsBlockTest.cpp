#include <gtest/gtest.h>

#include "model/AssignmentTable.h"
#include "model/MacroTable.h"
#include "model/Model.h"
#include "model/SettingsBlock.h"

namespace tavrin {
namespace {

TEST(SettingsBlock, FieldsSitAtTheirOffsets) {
    SettingsBlock b;
    b.setReportInterval(3);
    b.setResponseTime(7);
    b.setEffectCode(51);
    b.setSpeedLevel(2);
    b.setBrightnessLevel(4);
    b.setColourIndex(8);
    b.setDirectionCode(1);
    b.setGameMode(1);
    b.setWinLock(1);
    b.setKeyMapEntry(127, {1, 2, 3, 4});
    b.deviceMacroRecord(4)[511] = 0xAB;
    b.keyEnableMask()[23] = 0xCD;
    b.diyTable(4)[127] = 0xFF;
    b.deviceParams()[3] = 0x11;

    EXPECT_EQ(b.bytes[11], 3);
    EXPECT_EQ(b.bytes[3865], 7);
    EXPECT_EQ(b.bytes[3866], 51);
    EXPECT_EQ(b.bytes[3867], 2);
    EXPECT_EQ(b.bytes[3868], 4);
    EXPECT_EQ(b.bytes[3869], 8);
    EXPECT_EQ(b.bytes[3870], 1);
    EXPECT_EQ(b.bytes[3892], 1);
    EXPECT_EQ(b.bytes[3917], 1);
    EXPECT_EQ(b.bytes[792 + 4 * 127 + 3], 4);
    EXPECT_EQ(b.bytes[1304 + 512 * 4 + 511], 0xAB);
    EXPECT_EQ(b.bytes[3893 + 23], 0xCD);
    EXPECT_EQ(b.bytes[3918 + 128 * 4 + 127], 0xFF);
    EXPECT_EQ(b.bytes[4558 + 3], 0x11);
    EXPECT_EQ(b.keyMapEntry(127), (KeyMapEntry{1, 2, 3, 4}));
}

TEST(LightingEncoding, BrightnessBothWays) {
    const std::uint8_t device[] = {0, 50, 100, 150, 255};
    for (std::uint8_t level = 0; level <= 4; ++level) {
        EXPECT_EQ(BrightnessToDevice(level), device[level]);
        EXPECT_EQ(BrightnessFromDevice(BrightnessToDevice(level)), level);
    }
    EXPECT_EQ(BrightnessToDevice(7), 150);
    EXPECT_EQ(BrightnessFromDevice(200), 3);
    EXPECT_EQ(BrightnessFromDevice(1), 3);
}

TEST(LightingEncoding, SpeedIsReversed) {
    EXPECT_EQ(SpeedToDevice(0), 4);
    EXPECT_EQ(SpeedFromDevice(4), 0);
    EXPECT_EQ(SpeedToDevice(4), 0);
    EXPECT_EQ(SpeedFromDevice(1), 3);
    // Out-of-range values from foreign files clamp instead of wrapping into 252.
    EXPECT_EQ(SpeedToDevice(9), 0);
    EXPECT_EQ(SpeedFromDevice(200), 0);
}

TEST(ChangeTest, ReservedBytesAreNoChange) {
    SettingsBlock live;
    const SettingsBlock saved;
    for (std::size_t offset : {0u, 10u, 12u, 791u, 3864u, 3871u, 3891u, 4562u, 4563u}) {
        live.bytes[offset] ^= 0xFF;
    }
    EXPECT_TRUE(ChangedParts(live, saved).empty());
}

TEST(ChangeTest, EachPartIsDetectedAloneAtEitherEnd) {
    for (SettingsPart part : kAllSettingsParts) {
        const ByteRange r = RangeOf(part);
        for (std::size_t offset : {r.offset, r.offset + r.size - 1}) {
            SettingsBlock live;
            live.bytes[offset] = 1;
            EXPECT_EQ(ChangedParts(live, SettingsBlock{}), std::vector<SettingsPart>{part})
                << "offset " << offset;
        }
    }
}

TEST(ChangeTest, PartsCoverExactlyTheNamedFields) {
    std::array<int, SettingsBlock::kSize> owners{};
    for (SettingsPart part : kAllSettingsParts) {
        const ByteRange r = RangeOf(part);
        for (std::size_t i = r.offset; i < r.offset + r.size; ++i) {
            ++owners[i];
        }
    }
    std::size_t covered = 0;
    for (int n : owners) {
        EXPECT_LE(n, 1);
        covered += static_cast<std::size_t>(n);
    }
    // Every field but the reserved bytes: report rate, key map, five macros, response time,
    // lighting, game mode, enable mask, Win lock, five DIY tables, device parameters.
    EXPECT_EQ(covered, 1u + 512 + 5 * 512 + 1 + 5 + 1 + 24 + 1 + 5 * 128 + 4);
}

TEST(KeyEnableMask, CodesBeyondTheMaskAreIgnored) {
    SettingsBlock b;
    b.setKeyEnabled(24 * 8, true);
    EXPECT_EQ(b, SettingsBlock{});
    EXPECT_FALSE(b.isKeyEnabled(24 * 8));
    b.setKeyEnabled(0, true);
    b.setKeyEnabled(9, true);
    EXPECT_EQ(b.keyEnableMask()[0], 0x01);
    EXPECT_EQ(b.keyEnableMask()[1], 0x02);
}

TEST(Model, SavedCopiesAndRevert) {
    auto model = std::make_unique<Model>();
    model->settings.setGameMode(1);
    model->assignments.record(3).setKind(2);
    model->takeSavedSettings();
    EXPECT_EQ(model->savedSettings.gameMode(), 1);
    EXPECT_EQ(model->savedAssignments.record(3).kind(), 0);

    model->takeSavedCopies();
    model->settings.setWinLock(1);
    model->assignments.record(3).setKind(5);
    model->revertToSaved();
    EXPECT_EQ(model->settings.winLock(), 0);
    EXPECT_EQ(model->assignments.record(3).kind(), 2);
    EXPECT_EQ(model->selectedKey, 255);
    EXPECT_EQ(model->languageId, kLanguageEnglish);
}

TEST(AssignmentRecord, FieldLayout) {
    AssignmentTable table;
    AssignmentRecord r = table.record(254);
    r.setOwnVk(0x41);
    r.setKind(6);
    r.keys()[254] = 9;
    r.setKeyCount(3);
    r.setCode({3, 0, 0x23, 2});
    r.setLaunchPath(u"/home/u/a.txt");
    const std::size_t base = 254 * 772;
    EXPECT_EQ(table.bytes[base + 0], 0x41);
    EXPECT_EQ(table.bytes[base + 1], 6);
    EXPECT_EQ(table.bytes[base + 2], 3);
    EXPECT_EQ(table.bytes[base + 4], 0x23);
    EXPECT_EQ(table.bytes[base + 256], 9);
    EXPECT_EQ(table.bytes[base + 257], 3);
    EXPECT_EQ(table.bytes[base + 260], '/');
    EXPECT_EQ(table.bytes[base + 261], 0);
    EXPECT_EQ(std::as_const(table).record(254).launchPath(), u"/home/u/a.txt");
}

TEST(AssignmentRecord, UnterminatedPathIsCutAtTheField) {
    AssignmentTable table;
    const std::size_t base = 7 * 772 + 260;
    for (std::size_t i = 0; i < 512; i += 2) {
        table.bytes[base + i] = 'x';
    }
    table.bytes[base + 512] = 'y';  // first byte of the next record
    EXPECT_EQ(table.record(7).launchPath(), std::u16string(256, u'x'));
    table.record(7).setLaunchPath(std::u16string(300, u'z'));
    EXPECT_EQ(table.record(7).launchPath(), std::u16string(255, u'z'));
    EXPECT_EQ(table.bytes[base + 512], 'y');
}

TEST(MacroRecord, OddOffsetsAndLittleEndian) {
    MacroTable table;
    MacroRecord r = table.record(1);
    r.setName(u"Macro_001");
    r.setLoopCount(999);
    r.setDelayFlag(true);
    r.setCodeEvent(0, {4, MacroEvent::kPress, 0x1234});
    r.setKeyEvent(126, {0x41, MacroEvent::kRelease, 60000});
    const std::size_t base = 1536;
    EXPECT_EQ(table.bytes[base + 512], 0xE7);
    EXPECT_EQ(table.bytes[base + 513], 0x03);
    EXPECT_EQ(table.bytes[base + 516], 1);
    EXPECT_EQ(table.bytes[base + 517], 4);
    EXPECT_EQ(table.bytes[base + 519], 0x34);
    EXPECT_EQ(table.bytes[base + 520], 0x12);
    EXPECT_EQ(table.bytes[base + 1025 + 126 * 4], 0x41);
    EXPECT_EQ(table.bytes[base + 1025 + 126 * 4 + 1], 0x80);
    const ConstMacroRecord c = std::as_const(table).record(1);
    EXPECT_EQ(c.name(), u"Macro_001");
    EXPECT_EQ(c.loopCount(), 999);
    EXPECT_EQ(c.keyEvent(126), (MacroEvent{0x41, 0x80, 60000}));
    EXPECT_TRUE(std::as_const(table).record(0).isFree());
    EXPECT_FALSE(c.isFree());
}

}  // namespace
}  // namespace tavrin
