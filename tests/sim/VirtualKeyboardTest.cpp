// The virtual keyboard's own behaviour: strict mode, the state file, key presses.

#include <gtest/gtest.h>

#include "model/KeyTables.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardWatcher.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace tavrin::test {
namespace {

// These tests look at what the keyboard recorded or holds, not at its answer to each report.
template <typename Result>
void Ignore(const Result&) {}

using std::chrono::milliseconds;

std::vector<std::uint8_t> Command(std::uint8_t code, std::uint8_t b2 = 0, std::uint8_t b3 = 0,
                                  std::uint8_t b4 = 0) {
    return {0, code, b2, b3, b4, 0, 0, 0, 0};
}
std::vector<std::uint8_t> Data(std::uint8_t fill = 0) {
    std::vector<std::uint8_t> r(65, fill);
    r[0] = 0;
    return r;
}

class StrictKeyboard : public ::testing::Test {
protected:
    StrictKeyboard() : keyboard(clock, Strict()) {}
    static VirtualKeyboardOptions Strict() {
        VirtualKeyboardOptions o;
        o.strict = true;
        return o;
    }
    std::shared_ptr<VirtualKeyboard::Port> port = nullptr;
    void SetUp() override { port = keyboard.open(VirtualKeyboard::kCommandInterface); }

    ManualClock clock;
    VirtualKeyboard keyboard;
};

struct MannersCase {
    const char* name;
    std::function<void(VirtualKeyboard&, VirtualKeyboard::Port&, ManualClock&)> host;
    const char* breach;  // nullptr: none expected
};

TEST_F(StrictKeyboard, RecordsEveryBreachOfManners) {
    const MannersCase cases[] = {
        {"a data report nobody announced",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock&) {
             Ignore(k.write(p, Data()));
         },
         "data report not announced"},
        {"too few data reports before the next command",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock& c) {
             Ignore(k.setFeature(p, Command(0x0B, 0, 1, 2)));
             c.sleep(milliseconds(5));
             Ignore(k.write(p, Data()));
             c.sleep(milliseconds(100));
             Ignore(k.setFeature(p, Command(0x03, 1)));
         },
         "1 of 2 data reports announced by 0x0B are missing"},
        {"a wrong count in the announcement",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock&) {
             Ignore(k.setFeature(p, Command(0x08, 0, 0, 7)));
         },
         "announces 7 data reports, 8 expected"},
        {"data too soon after the key-map command",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock& c) {
             Ignore(k.setFeature(p, Command(0x08, 0, 0, 8)));
             c.sleep(milliseconds(49));
             Ignore(k.write(p, Data()));
         },
         "too early after command 0x08"},
        {"the next command too soon after a macro slot",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock& c) {
             Ignore(k.setFeature(p, Command(0x0A, 0, 2, 8)));
             c.sleep(milliseconds(1));
             for (int i = 0; i < 8; ++i) {
                 Ignore(k.write(p, Data()));
             }
             c.sleep(milliseconds(400));
             Ignore(k.setFeature(p, Command(0x06)));
         },
         "too early after data report 8 of 0x0A"},
        {"a reply fetched too soon",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock& c) {
             Ignore(k.setFeature(p, Command(0x80)));
             c.sleep(milliseconds(9));
             std::vector<std::uint8_t> reply(9);
             Ignore(k.getFeature(p, reply));
         },
         "reply fetch for 0x80 came"},
        {"a reply fetched without asking",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock&) {
             std::vector<std::uint8_t> reply(9);
             Ignore(k.getFeature(p, reply));
         },
         "reply fetched without a read command"},
        {"an unknown command",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock&) {
             Ignore(k.setFeature(p, Command(0x55)));
         },
         "unknown command 0x55"},
        {"a polite key-map write",
         [](VirtualKeyboard& k, VirtualKeyboard::Port& p, ManualClock& c) {
             Ignore(k.setFeature(p, Command(0x08, 0, 0, 8)));
             c.sleep(milliseconds(50));
             for (int i = 0; i < 8; ++i) {
                 Ignore(k.write(p, Data(static_cast<std::uint8_t>(i))));
             }
             c.sleep(milliseconds(110));
             Ignore(k.setFeature(p, Command(0x03, 1)));
         },
         nullptr},
    };
    for (const MannersCase& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock caseClock;
        VirtualKeyboard k(caseClock, Strict());
        auto p = k.open(VirtualKeyboard::kCommandInterface);
        c.host(k, *p, caseClock);
        const auto breaches = k.breaches();
        if (!c.breach) {
            EXPECT_TRUE(breaches.empty()) << breaches.front();
            continue;
        }
        ASSERT_EQ(breaches.size(), 1u);
        EXPECT_NE(breaches[0].find(c.breach), std::string::npos) << breaches[0];
    }
}

TEST_F(StrictKeyboard, BreachesReachTheListener) {
    std::vector<std::string> heard;
    keyboard.setBreachListener([&](const std::string& text) { heard.push_back(text); });
    Ignore(keyboard.write(*port, Data()));
    EXPECT_EQ(heard, keyboard.breaches());
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(StrictKeyboard, FactoryResetRestoresTheFactoryState) {
    VirtualKeyboardState state;
    std::fill(state.keyMap().begin(), state.keyMap().end(), std::uint8_t{0x11});
    std::fill(state.keyEnableMask().begin(), state.keyEnableMask().end(), std::uint8_t{0});
    state.lighting()[0] = 51;
    state.diyTable(0)[0] = 0xFF;
    keyboard.setState(state);

    Ignore(keyboard.setFeature(*port, Command(0x0C, 0xFF)));

    const VirtualKeyboardState reset = keyboard.state();
    EXPECT_EQ(reset, VirtualKeyboardState());
    EXPECT_TRUE(std::equal(reset.keyMap().begin(), reset.keyMap().end(), DefaultKeyMap.begin()));
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        const std::uint16_t code = MatrixCodeOf(p);
        EXPECT_TRUE((reset.keyEnableMask()[code >> 3] >> (code & 7)) & 1) << "position " << p;
    }
}

TEST_F(StrictKeyboard, OnlyLaunchKeysSendEvents) {
    auto events = keyboard.open(VirtualKeyboard::kEventInterface);
    VirtualKeyboardState state;
    // 'A' (0x41) gets a launch entry; 'B' keeps its plain one.
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (DefaultVkTable[p] == 0x41) {
            const std::size_t at = 4 * KeyMapIndexOf(p);
            state.keyMap()[at] = 0x41;
            state.keyMap()[at + 3] = 0x0C;
        }
    }
    keyboard.setState(state);
    keyboard.press(0x42);
    keyboard.press(0x41);

    std::array<std::uint8_t, 8> buffer{};
    const HidResult first = keyboard.read(*events, buffer, milliseconds(0));
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.bytes, 4u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[3], 0x41);
    EXPECT_EQ(keyboard.read(*events, buffer, milliseconds(0)).status, HidStatus::Timeout);
}

TEST_F(StrictKeyboard, APortFromBeforeAnUnplugStaysDead) {
    keyboard.unplug();
    EXPECT_EQ(keyboard.open(VirtualKeyboard::kCommandInterface), nullptr);
    keyboard.plug();
    std::array<std::uint8_t, 9> reply{};
    EXPECT_EQ(keyboard.getFeature(*port, reply).status, HidStatus::Disconnected);
    EXPECT_NE(keyboard.open(VirtualKeyboard::kCommandInterface), nullptr);
}

TEST(VirtualKeyboardStateFile, RemembersTheConfigurationAcrossRuns) {
    TempDir dir;
    ManualClock clock;
    VirtualKeyboardOptions options;
    options.stateFile = dir / "keyboard.state";
    {
        VirtualKeyboard first(clock, options);
        auto port = first.open(VirtualKeyboard::kCommandInterface);
        Ignore(first.setFeature(*port, Command(0x07, 0, 1)));
        Ignore(first.setFeature(*port, Command(0x0B, 0, 3, 2)));
        Ignore(first.write(*port, Data(0xFF)));
        Ignore(first.write(*port, Data(0x0F)));
        EXPECT_EQ(first.stateFileError(), "");
    }
    VirtualKeyboard second(clock, options);
    EXPECT_EQ(second.stateFileError(), "");
    const VirtualKeyboardState state = second.state();
    EXPECT_EQ(state.gameMode(), 1);
    EXPECT_EQ(state.diyTable(3)[0], 0xFF);
    EXPECT_EQ(state.diyTable(3)[127], 0x0F);
}

TEST(VirtualKeyboardStateFile, AStartingGameModeOverridesTheFileOnly) {
    TempDir dir;
    ManualClock clock;
    VirtualKeyboardOptions options;
    options.stateFile = dir / "keyboard.state";
    {
        VirtualKeyboard first(clock, options);
        auto port = first.open(VirtualKeyboard::kCommandInterface);
        Ignore(first.setFeature(*port, Command(0x07, 0, 1)));
        Ignore(first.setFeature(*port, Command(0x0B, 0, 3, 2)));
        Ignore(first.write(*port, Data(0xFF)));
        Ignore(first.write(*port, Data(0x0F)));
    }
    options.gameMode = 0;
    VirtualKeyboard second(clock, options);
    const VirtualKeyboardState state = second.state();
    EXPECT_EQ(state.gameMode(), 0);
    EXPECT_EQ(state.diyTable(3)[0], 0xFF) << "the rest comes from the file";

    // It answers ReadGameMode with it as well.
    auto port = second.open(VirtualKeyboard::kCommandInterface);
    Ignore(second.setFeature(*port, Command(0x87)));
    std::array<std::uint8_t, 9> reply{};
    ASSERT_TRUE(second.getFeature(*port, reply).ok());
    EXPECT_EQ(reply[3], 0);
}

TEST(VirtualKeyboardStateFile, ABrokenFileStartsFromTheFactoryState) {
    TempDir dir;
    ManualClock clock;
    VirtualKeyboardOptions options;
    options.stateFile = dir / "keyboard.state";
    WriteWholeFile(options.stateFile, std::vector<std::uint8_t>(100, 0x33));

    VirtualKeyboard keyboard(clock, options);

    EXPECT_NE(keyboard.stateFileError().find("3754 expected"), std::string::npos)
        << keyboard.stateFileError();
    EXPECT_EQ(keyboard.state(), VirtualKeyboardState());
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

TEST(VirtualKeyboardWatcher, TurnsPlugAndUnplugIntoEvents) {
    ManualClock clock;
    VirtualKeyboard keyboard(clock);
    VirtualKeyboardWatcher watcher(keyboard);
    using Kind = HotplugEvent::Kind;
    auto kinds = [&] {
        std::vector<Kind> k;
        for (const HotplugEvent& e : watcher.poll()) {
            EXPECT_EQ(e.vendorId, 0x04D9);
            k.push_back(e.kind);
        }
        return k;
    };
    EXPECT_TRUE(kinds().empty());
    keyboard.unplug();
    EXPECT_EQ(kinds(), std::vector<Kind>{Kind::Removal});
    EXPECT_TRUE(kinds().empty());
    keyboard.plug();
    EXPECT_EQ(kinds(), std::vector<Kind>{Kind::Arrival});
    keyboard.unplug();
    keyboard.plug();
    EXPECT_EQ(kinds(), (std::vector<Kind>{Kind::Removal, Kind::Arrival}));
}

}  // namespace
}  // namespace tavrin::test
