// Table transfers, the read-all sequence and ApplySettings: exact reports, waits and yields, and
// what a failing transfer does to the model and its saved copy.

#include <gtest/gtest.h>

#include <numeric>

#include "device/SettingsTransfers.h"
#include "support/KeyboardLinkFixture.h"

namespace tavrin::test {
namespace {

using TransfersTest = KeyboardLinkFixture;
INSTANTIATE_TEST_SUITE_P(Backends, TransfersTest,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

// A keyboard whose every table holds a recognisable pattern.
VirtualKeyboardState PatternState() {
    VirtualKeyboardState state;
    for (std::size_t i = 0; i < VirtualKeyboardState::kKeyMapSize; ++i) {
        state.keyMap()[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (std::size_t i = 0; i < VirtualKeyboardState::kKeyEnableMaskSize; ++i) {
        state.keyEnableMask()[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    for (std::size_t slot = 0; slot < VirtualKeyboardState::kDeviceMacroCount; ++slot) {
        for (std::size_t i = 0; i < VirtualKeyboardState::kDeviceMacroSize; ++i) {
            state.deviceMacroRecord(slot)[i] = static_cast<std::uint8_t>(slot * 31 + i);
        }
    }
    for (std::size_t n = 0; n < VirtualKeyboardState::kDiyTableCount; ++n) {
        for (std::size_t i = 0; i < VirtualKeyboardState::kDiyTableSize; ++i) {
            state.diyTable(n)[i] = (i + n) % 3 == 0 ? 0xFF : 0x00;
        }
    }
    const std::uint8_t lighting[] = {13, 1, 100, 4, 2};
    std::copy(std::begin(lighting), std::end(lighting), state.lighting().begin());
    state.gameMode() = 1;
    state.deviceParams()[1] = 0x42;
    return state;
}

void ExpectModelHoldsKeyboard(const SettingsBlock& s, const VirtualKeyboardState& k) {
    EXPECT_EQ(Hex(s.keyMap()), Hex(k.keyMap()));
    EXPECT_EQ(Hex(s.keyEnableMask()), Hex(k.keyEnableMask()));
    for (std::size_t slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(Hex(s.deviceMacroRecord(slot)), Hex(k.deviceMacroRecord(slot)))
            << "slot " << slot;
    }
    for (std::size_t n = 0; n < 5; ++n) {
        EXPECT_EQ(Hex(s.diyTable(n)), Hex(k.diyTable(n))) << "table " << n;
    }
    EXPECT_EQ(Hex(s.deviceParams()), Hex(k.deviceParams()));
    EXPECT_EQ(s.gameMode(), k.gameMode());
}

std::vector<std::string> Repeat(std::vector<std::string> lines, const std::string& line, int n) {
    for (int i = 0; i < n; ++i) {
        lines.push_back(line);
    }
    return lines;
}

TEST_P(TransfersTest, WriteTransfersAnnounceSendAndWait) {
    openCommands();
    SettingsBlock s;
    std::iota(s.keyMap().begin(), s.keyMap().end(), std::uint8_t{1});
    std::fill(s.keyEnableMask().begin(), s.keyEnableMask().end(), std::uint8_t{0x5A});
    std::iota(s.deviceMacroRecord(3).begin(), s.deviceMacroRecord(3).end(), std::uint8_t{9});
    std::fill(s.diyTable(2).begin(), s.diyTable(2).begin() + 70, std::uint8_t{0xFF});

    mark();
    ASSERT_TRUE(commands.writeKeyMap(s));
    EXPECT_EQ(trace(), Repeat({"+0 set 00 08 00 00 08 00 00 00 00"}, "+50 data", 8));
    EXPECT_EQ(waits(), "50 60");
    const auto keyMapReports = dataReports();
    ASSERT_EQ(keyMapReports.size(), 8u);
    for (std::size_t k = 0; k < 8; ++k) {
        ASSERT_EQ(keyMapReports[k].size(), 65u);
        EXPECT_EQ(keyMapReports[k][0], 0);
        EXPECT_EQ(Hex(ConstByteSpan(keyMapReports[k]).subspan(1)),
                  Hex(ConstByteSpan(s.keyMap()).subspan(64 * k, 64)));
    }

    mark();
    clock.advance(std::chrono::milliseconds(110));
    ASSERT_TRUE(commands.writeKeyEnableMask(s));
    EXPECT_EQ(trace(),
              (std::vector<std::string>{"+110 set 00 09 00 00 01 00 00 00 00", "+120 data"}));
    EXPECT_EQ(waits(), "10");
    const auto maskReport = dataReports().at(0);
    EXPECT_EQ(Hex(ConstByteSpan(maskReport).subspan(1, 24)), Hex(s.keyEnableMask()));
    EXPECT_EQ(Hex(ConstByteSpan(maskReport).subspan(25)), Hex(std::vector<std::uint8_t>(40, 0)));

    mark();
    clock.advance(std::chrono::milliseconds(50));
    ASSERT_TRUE(commands.writeDeviceMacro(3, s));
    EXPECT_EQ(trace(), Repeat({"+50 set 00 0A 00 03 08 00 00 00 00"}, "+51 data", 8));
    EXPECT_EQ(waits(), "1 yield yield");

    mark();
    clock.advance(std::chrono::milliseconds(500));
    ASSERT_TRUE(commands.writeDiyTable(2, s));
    EXPECT_EQ(trace(), (std::vector<std::string>{"+500 set 00 0B 00 02 02 00 00 00 00", "+505 data",
                                                 "+510 data"}));
    EXPECT_EQ(waits(), "5 5 5");

    const VirtualKeyboardState state = keyboard->state();
    EXPECT_EQ(Hex(state.keyMap()), Hex(s.keyMap()));
    EXPECT_EQ(Hex(state.keyEnableMask()), Hex(s.keyEnableMask()));
    EXPECT_EQ(Hex(state.deviceMacroRecord(3)), Hex(s.deviceMacroRecord(3)));
    EXPECT_EQ(Hex(state.diyTable(2)), Hex(s.diyTable(2)));
}

TEST_P(TransfersTest, ReadTransfersFillTheirTable) {
    keyboard->setState(PatternState());
    openCommands();
    SettingsBlock s;

    mark();
    ASSERT_TRUE(commands.readKeyMap(s));
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 88 00 00 00 00 00 00 00", "+0 get"}));
    EXPECT_EQ(waits(), "");

    mark();
    ASSERT_TRUE(commands.readKeyEnableMask(s));
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 89 00 00 00 00 00 00 00", "+0 get"}));

    mark();
    ASSERT_TRUE(commands.readDeviceMacro(4, s));
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 8A 00 04 00 00 00 00 00", "+0 get"}));
    EXPECT_EQ(waits(), "");

    mark();
    ASSERT_TRUE(commands.readDiyTable(1, s));
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 8B 00 01 00 00 00 00 00", "+5 get"}));
    EXPECT_EQ(waits(), "5 5 5 5");

    const VirtualKeyboardState k = keyboard->state();
    EXPECT_EQ(Hex(s.keyMap()), Hex(k.keyMap()));
    EXPECT_EQ(Hex(s.keyEnableMask()), Hex(k.keyEnableMask()));
    EXPECT_EQ(Hex(s.deviceMacroRecord(4)), Hex(k.deviceMacroRecord(4)));
    EXPECT_EQ(Hex(s.diyTable(1)), Hex(k.diyTable(1)));
    EXPECT_EQ(Hex(s.deviceMacroRecord(0)), Hex(std::vector<std::uint8_t>(512, 0)));
}

TEST_P(TransfersTest, ReadAllSettingsRunsInItsOrder) {
    keyboard->setState(PatternState());
    openCommands();
    mark();

    ASSERT_TRUE(ReadAllSettings(commands, model));

    EXPECT_EQ(commandCodes(),
              (std::vector<std::string>{"86", "87", "80", "8D", "88", "89", "8A", "8A", "8A", "8A",
                                        "8A", "8B", "8B", "8B", "8B", "8B"}));
    EXPECT_EQ(waits(),
              "10 5 10 10 1 1 yield yield yield yield yield "
              "5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5");
    const VirtualKeyboardState k = PatternState();
    ExpectModelHoldsKeyboard(model.settings, k);
    EXPECT_EQ(model.settings.effectCode(), 13);
    EXPECT_EQ(model.settings.speedLevel(), 3);
    EXPECT_EQ(model.settings.brightnessLevel(), 2);
    EXPECT_EQ(model.firmware, (FirmwareVersion{1, 2}));
    EXPECT_EQ(model.savedSettings, SettingsBlock{}) << "the saved copy is not touched";
}

TEST_P(TransfersTest, StartupReadLeavesTheLightingOut) {
    keyboard->setState(PatternState());
    openCommands();
    mark();

    ASSERT_TRUE(ReadStartupSettings(commands, model));

    const auto codes = commandCodes();
    ASSERT_EQ(codes.size(), 15u);
    EXPECT_EQ(codes.front(), "87");
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "86"), 0);
    EXPECT_EQ(model.settings.effectCode(), 0);
    ExpectModelHoldsKeyboard(model.settings, PatternState());
}

TEST_P(TransfersTest, AFailedReadLeavesTheModelUnchanged) {
    keyboard->setState(PatternState());
    openCommands();
    model.settings.keyMap()[0] = 0x99;
    const Model before = model;
    keyboard->unplugAfterHostReports(20);  // somewhere in the macro slots

    const LinkResult result = ReadAllSettings(commands, model);

    EXPECT_FALSE(result);
    EXPECT_TRUE(result.disconnected);
    EXPECT_EQ(model.settings, before.settings);
    EXPECT_EQ(model.firmware, before.firmware);
}

TEST_P(TransfersTest, AMissingDataReportFailsAfterTheBoundedWait) {
    keyboard->setState(PatternState());
    openCommands();
    const SettingsBlock before = model.settings;
    keyboard->dropNextDataReport();

    const LinkResult result = commands.readKeyMap(model.settings);

    EXPECT_FALSE(result);
    EXPECT_FALSE(result.disconnected);
    EXPECT_NE(result.error.find("ReadKeyMap: data report 7"), std::string::npos) << result.error;
    EXPECT_EQ(model.settings, before);

    // The next transfer is not confused by what the failed one left behind.
    ASSERT_TRUE(commands.readKeyMap(model.settings));
    EXPECT_EQ(Hex(model.settings.keyMap()), Hex(PatternState().keyMap()));
}

TEST_P(TransfersTest, LateDataReportsCountUpToTheBound) {
    keyboard->setState(PatternState());
    openCommands();

    keyboard->delayNextDataReports(std::chrono::milliseconds(150));
    ASSERT_TRUE(commands.readKeyEnableMask(model.settings));
    EXPECT_EQ(Hex(model.settings.keyEnableMask()), Hex(PatternState().keyEnableMask()));

    const SettingsBlock before = model.settings;
    keyboard->delayNextDataReports(std::chrono::milliseconds(1300));
    const LinkResult late = commands.readDiyTable(0, model.settings);
    EXPECT_FALSE(late);
    EXPECT_NE(late.error.find("data report 0"), std::string::npos) << late.error;
    EXPECT_EQ(model.settings, before);
}

// ApplySettings cases: one change to the fixture model, the command codes it must send.
struct ApplyCase {
    const char* name;
    std::function<void(SettingsBlock&)> edit;
    std::vector<std::string> codes;
    const char* waits;
};

TEST_P(TransfersTest, ApplySendsOnlyWhatChanged) {
    const ApplyCase cases[] = {
        {"win lock only", [](SettingsBlock& s) { s.setWinLock(1); }, {"03"}, "10"},
        {"one byte of DIY table 2",
         [](SettingsBlock& s) { s.diyTable(2)[77] ^= 0xFF; },
         {"0B"},
         "5 5 5 50"},
        {"device params only", [](SettingsBlock& s) { s.deviceParams()[2] = 9; }, {"0D"}, "20 50"},
        {"key map and macro slot 4",
         [](SettingsBlock& s) {
             s.keyMap()[100] ^= 1;
             s.deviceMacroRecord(4)[0] = 0x33;
         },
         {"08", "0A"},
         "50 60 50 1 yield yield 500"},
        {"speed level is a lighting change",
         [](SettingsBlock& s) { s.setSpeedLevel(static_cast<std::uint8_t>(s.speedLevel() + 1)); },
         {"06"},
         "10 50"},
    };
    openCommands();
    ASSERT_TRUE(ReadAllSettings(commands, model));
    model.takeSavedSettings();
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.edit(model.settings);
        clock.advance(std::chrono::seconds(1));
        mark();
        ASSERT_TRUE(ApplySettings(commands, model));
        EXPECT_EQ(commandCodes(), c.codes);
        EXPECT_EQ(waits(), c.waits);
        EXPECT_EQ(model.savedSettings, model.settings);
    }
    const auto codes = [&] {
        mark();
        EXPECT_TRUE(ApplySettings(commands, model));
        return commandCodes();
    };
    EXPECT_TRUE(codes().empty()) << "a second apply without changes sends nothing";
    EXPECT_EQ(keyboard->state().winLock(), 1);
    EXPECT_EQ(keyboard->state().deviceMacroRecord(4)[0], 0x33);
}

TEST_P(TransfersTest, AFullApplySendsEveryPartInOrderWithItsWaits) {
    openCommands();
    ASSERT_TRUE(ReadAllSettings(commands, model));
    model.takeSavedSettings();
    SettingsBlock& s = model.settings;
    s.setGameMode(1);
    s.keyMap()[3] = 0x77;
    s.setReportInterval(2);
    s.setResponseTime(5);
    s.keyEnableMask()[1] = 0x0F;
    for (std::size_t n = 0; n < 5; ++n) {
        s.diyTable(n)[n] = 0xFF;
        s.deviceMacroRecord(n)[n] = static_cast<std::uint8_t>(n + 1);
    }
    s.setEffectCode(51);
    s.deviceParams()[0] = 7;
    s.setWinLock(1);
    clock.advance(std::chrono::seconds(1));
    mark();

    ASSERT_TRUE(ApplySettings(commands, model));

    EXPECT_EQ(commandCodes(),
              (std::vector<std::string>{"07", "08", "01", "04", "09", "0B", "0B", "0B", "0B", "0B",
                                        "0A", "0A", "0A", "0A", "0A", "06", "0D", "03"}));
    EXPECT_EQ(waits(),
              "20 50 50 60 50 10 50 10 50 10 50 "
              "5 5 5 50 5 5 5 50 5 5 5 50 5 5 5 50 5 5 5 50 "
              "1 yield yield 500 1 yield yield 500 1 yield yield 500 1 yield yield 500 "
              "1 yield yield 500 10 50 20 50 10");
    long long total = 0;
    for (const auto& w : clock.waits()) {
        total += w.duration.count();
    }
    EXPECT_EQ(total, 3380);
    EXPECT_EQ(model.savedSettings, model.settings);

    // The keyboard now holds the model: a fresh read gives the same block.
    Model readBack;
    ASSERT_TRUE(ReadAllSettings(commands, readBack));
    ExpectModelHoldsKeyboard(readBack.settings, keyboard->state());
    ExpectModelHoldsKeyboard(model.settings, keyboard->state());
    EXPECT_EQ(Hex(readBack.settings.lighting()), Hex(model.settings.lighting()));
}

TEST_P(TransfersTest, AnUnplugDuringApplyKeepsTheSavedCopy) {
    openCommands();
    ASSERT_TRUE(ReadAllSettings(commands, model));
    model.takeSavedSettings();
    const SettingsBlock saved = model.savedSettings;
    model.settings.keyMap()[0] = 0x10;
    model.settings.deviceMacroRecord(1)[5] = 0x20;
    model.settings.setWinLock(1);
    keyboard->unplugAfterHostReports(12);  // in the macro's data reports

    const LinkResult result = ApplySettings(commands, model);

    EXPECT_FALSE(result);
    EXPECT_TRUE(result.disconnected);
    EXPECT_EQ(model.savedSettings, saved);
    EXPECT_EQ(keyboard->state().winLock(), 0);

    // Plugged in again, the next Save sends the whole difference once more.
    replug();
    commands.close();
    openCommands();
    mark();
    ASSERT_TRUE(ApplySettings(commands, model));
    EXPECT_EQ(commandCodes(), (std::vector<std::string>{"08", "0A", "03"}));
    EXPECT_EQ(model.savedSettings, model.settings);
    EXPECT_EQ(keyboard->state().keyMap()[0], 0x10);
    EXPECT_EQ(keyboard->state().deviceMacroRecord(1)[5], 0x20);
    EXPECT_EQ(keyboard->state().winLock(), 1);
}

}  // namespace
}  // namespace tavrin::test
