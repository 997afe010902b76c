// Every command of the feature-report set: its exact report, its waits and its conversions,
// against both ways of reaching the virtual keyboard.

#include <gtest/gtest.h>

#include <functional>

#include "model/KeyTables.h"
#include "support/KeyboardLinkFixture.h"

namespace tavrin::test {
namespace {

using CommandSetTest = KeyboardLinkFixture;
INSTANTIATE_TEST_SUITE_P(Backends, CommandSetTest,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

struct WriteCase {
    const char* name;
    std::function<void(SettingsBlock&)> edit;
    std::function<LinkResult(KeyboardCommands&, const SettingsBlock&)> send;
    const char* report;
    const char* waits;
};

TEST_P(CommandSetTest, WriteCommandsSendTheirReportAndWait) {
    const WriteCase cases[] = {
        {"lighting wave",
         [](SettingsBlock& s) {
             s.setEffectCode(2);
             s.setSpeedLevel(1);
             s.setBrightnessLevel(4);
             s.setColourIndex(8);
             s.setDirectionCode(3);
         },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeLighting(s); },
         "00 06 00 02 03 FF 08 03 00", "10"},
        {"lighting with a brightness level past 4 sends 150",
         [](SettingsBlock& s) {
             s.setEffectCode(13);
             s.setSpeedLevel(0);
             s.setBrightnessLevel(7);
             s.setColourIndex(1);
         },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeLighting(s); },
         "00 06 00 0D 04 96 01 00 00", "10"},
        {"win lock sits in byte 2", [](SettingsBlock& s) { s.setWinLock(1); },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeWinLock(s); },
         "00 03 01 00 00 00 00 00 00", "10"},
        {"win lock sends bit 0 only", [](SettingsBlock& s) { s.setWinLock(0xFE); },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeWinLock(s); },
         "00 03 00 00 00 00 00 00 00", "10"},
        {"game mode on", [](SettingsBlock&) {},
         [](KeyboardCommands& c, const SettingsBlock&) { return c.writeGameMode(1); },
         "00 07 00 01 00 00 00 00 00", "20"},
        {"report interval", [](SettingsBlock& s) { s.setReportInterval(3); },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeReportInterval(s); },
         "00 01 00 03 00 00 00 00 00", "10"},
        {"response time", [](SettingsBlock& s) { s.setResponseTime(7); },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeResponseTime(s); },
         "00 04 00 07 00 00 00 00 00", "10"},
        {"device params",
         [](SettingsBlock& s) {
             const std::uint8_t params[] = {0x11, 0x22, 0x33, 0x44};
             std::copy(std::begin(params), std::end(params), s.deviceParams().begin());
         },
         [](KeyboardCommands& c, const SettingsBlock& s) { return c.writeDeviceParams(s); },
         "00 0D 00 11 22 33 44 00 00", "20"},
    };
    openCommands();
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsBlock settings;
        c.edit(settings);
        mark();
        // Keep each case clear of the previous one's required pause.
        clock.advance(std::chrono::seconds(1));
        const Clock::TimePoint start = clock.now();
        ASSERT_TRUE(c.send(commands, settings));
        const auto reports = keyboard->hostReports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(Hex(reports[0].bytes), c.report);
        EXPECT_EQ(reports[0].time, start);
        EXPECT_EQ(waits(), c.waits);
    }
    const VirtualKeyboardState state = keyboard->state();
    EXPECT_EQ(state.deviceParams()[3], 0x44);
    EXPECT_EQ(state.responseTime(), 7);
    EXPECT_EQ(state.reportInterval(), 3);
    EXPECT_EQ(state.gameMode(), 1);
    EXPECT_EQ(state.lighting()[2], 150);
}

TEST_P(CommandSetTest, FactoryResetSendsResetThenGameModeTwice) {
    VirtualKeyboardState changed;
    changed.keyMap()[0] = 0x55;
    changed.keyEnableMask()[0] = 0;
    changed.lighting()[0] = 9;
    keyboard->setState(changed);
    openCommands();
    mark();

    ASSERT_TRUE(commands.factoryReset());

    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 0C FF 00 00 00 00 00 00",
                                                 "+300 set 00 07 00 01 00 00 00 00 00",
                                                 "+620 set 00 07 00 01 00 00 00 00 00"}));
    EXPECT_EQ(waits(), "300 20 300 20 300");
    VirtualKeyboardState expected;
    expected.gameMode() = 1;
    EXPECT_EQ(keyboard->state(), expected);
}

struct LightingReadCase {
    std::array<std::uint8_t, 5> device;
    std::array<std::uint8_t, 5> levels;  // effect, speed, brightness, colour, direction
};

TEST_P(CommandSetTest, ReadLightingConvertsTheReply) {
    const LightingReadCase cases[] = {
        {{13, 0, 150, 5, 1}, {13, 4, 3, 5, 1}},  // Scatter
        {{2, 4, 255, 8, 3}, {2, 0, 4, 8, 3}},
        {{51, 2, 200, 1, 0}, {51, 2, 3, 1, 0}},  // an unknown brightness reads as level 3
        {{0, 9, 0, 1, 0}, {0, 0, 0, 1, 0}},      // a speed past 4 reads as the slowest level
    };
    openCommands();
    for (const LightingReadCase& c : cases) {
        SCOPED_TRACE(Hex(c.device));
        VirtualKeyboardState state;
        std::copy(c.device.begin(), c.device.end(), state.lighting().begin());
        keyboard->setState(state);
        mark();
        clock.advance(std::chrono::seconds(1));
        SettingsBlock settings;
        ASSERT_TRUE(commands.readLighting(settings));
        EXPECT_EQ(Hex(settings.lighting()), Hex(c.levels));
        EXPECT_EQ(trace(),
                  (std::vector<std::string>{"+1000 set 00 86 00 00 00 00 00 00 00", "+1010 get"}));
        EXPECT_EQ(waits(), "10");
    }
}

TEST_P(CommandSetTest, ReadCommandsWaitBetweenSetAndGet) {
    VirtualKeyboardState state;
    state.gameMode() = 1;
    state.deviceParams()[0] = 0xAB;
    state.deviceParams()[3] = 0xCD;
    keyboard->setState(state);
    openCommands();

    mark();
    FirmwareVersion firmware;
    ASSERT_TRUE(commands.readFirmwareInfo(firmware));
    EXPECT_EQ(firmware, (FirmwareVersion{1, 2}));
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 80 00 00 00 00 00 00 00", "+10 get"}));
    EXPECT_EQ(waits(), "10 10");

    mark();
    SettingsBlock settings;
    ASSERT_TRUE(commands.readGameMode(settings));
    EXPECT_EQ(settings.gameMode(), 1);
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 87 00 00 00 00 00 00 00", "+5 get"}));
    EXPECT_EQ(waits(), "5");

    mark();
    ASSERT_TRUE(commands.readDeviceParams(settings));
    EXPECT_EQ(Hex(settings.deviceParams()), "AB 00 00 CD");
    EXPECT_EQ(trace(), (std::vector<std::string>{"+0 set 00 8D 00 00 00 00 00 00 00", "+1 get"}));
    EXPECT_EQ(waits(), "1 1");
}

TEST_P(CommandSetTest, EveryCommandFailsOnAClosedHandle) {
    SettingsBlock settings;
    FirmwareVersion firmware;
    const LinkResult results[] = {
        commands.readFirmwareInfo(firmware), commands.readLighting(settings),
        commands.writeGameMode(1),           commands.factoryReset(),
        commands.readKeyMap(settings),       commands.writeDiyTable(0, settings),
    };
    for (const LinkResult& r : results) {
        EXPECT_FALSE(r);
        EXPECT_NE(r.error.find("not connected"), std::string::npos) << r.error;
    }
    EXPECT_TRUE(keyboard->hostReports().empty());
    EXPECT_EQ(waits(), "");
}

TEST_P(CommandSetTest, AReplyThatFailsLeavesTheModelAlone) {
    openCommands();
    SettingsBlock settings;
    settings.setEffectCode(5);
    settings.setGameMode(1);
    const SettingsBlock before = settings;
    keyboard->unplugAfterHostReports(1);  // the set is taken, the get finds the keyboard gone

    const LinkResult lighting = commands.readLighting(settings);
    EXPECT_FALSE(lighting);
    EXPECT_TRUE(lighting.disconnected);
    EXPECT_FALSE(commands.readGameMode(settings));
    EXPECT_EQ(settings, before);
}

}  // namespace
}  // namespace tavrin::test
