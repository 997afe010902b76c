// The whole keyboard link against tavrin-virtual-keyboard as its own process, in strict mode,
// on the real clock: discovery, the start-up read, an apply of several parts, an event key,
// hot-plug through the link, and reading back what was written, also after a restart.

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <thread>

#include "ChildProcess.h"
#include "device/KeyboardConnection.h"
#include "device/KeyboardRead.h"
#include "device/SteadyClock.h"
#include "device/WindowMessages.h"
#include "model/KeyTables.h"
#include "sim/VirtualHidLinkBackend.h"
#include "sim/VirtualHidLinkWatcher.h"
#include "sim/VirtualHidLinkWire.h"
#include "support/LinkDriver.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace tavrin::test {
namespace {

using namespace std::chrono_literals;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(dir / "VER.bin", std::ios::binary) << "Ver  1.4\n"; }

    std::unique_ptr<ChildProcess> startKeyboard() {
        auto child = std::make_unique<ChildProcess>(std::vector<std::string>{
            TAVRIN_VIRTUAL_KEYBOARD, "--socket", socket, "--state",
            (dir / "keyboard.state").string(), "--firmware", "1.3", "--product-id", "0xA247",
            "--strict", "--log", (dir / "frames.log").string()});
        EXPECT_TRUE(child->started());
        const auto line = child->readLine(10s);
        EXPECT_EQ(line.value_or("(nothing)"), "listening on " + socket);
        return child;
    }

    // Opens the keyboard as the window does at start-up, then reads the lighting as its
    // WM_SETTINGS_LOADED handler does.
    void connect(LinkDriver& driver, Model& m) {
        driver.start(m);
        ASSERT_EQ(driver.told(), (std::vector<std::string>{"link c1 e1 d0", "read ok"}))
            << driver.status().openError;
        std::promise<KeyboardRead> lighting;
        driver.connection().readLighting(m.settings,
                                         [&](const KeyboardRead& r) { lighting.set_value(r); });
        const KeyboardRead read = lighting.get_future().get();
        ASSERT_TRUE(read.result) << read.result.error;
        TakeRead(m, read);
    }

    static void ExpectSameKeyboardParts(const SettingsBlock& a, const SettingsBlock& b) {
        for (SettingsPart part : kAllSettingsParts) {
            // The keyboard never reports these three; they live in the model and its files.
            if (part == SettingsPart::ReportInterval || part == SettingsPart::ResponseTime ||
                part == SettingsPart::WinLock) {
                continue;
            }
            EXPECT_FALSE(PartDiffers(a, b, part)) << "part " << static_cast<int>(part);
        }
    }

    TempDir dir;
    std::string socket = (dir / "kb.sock").string();
    SteadyClock clock;
};

TEST_F(EndToEnd, WritesThroughTheLinkAndReadsBackExactlyTheSameBytes) {
    auto keyboard = startKeyboard();
    VirtualHidLinkBackend backend(socket);
    SettingsBlock written;
    {
        Model model;
        RecordingMessageSink sink;
        LinkDriver driver(backend, clock, sink, dir.path());
        connect(driver, model);
        EXPECT_EQ(model.layoutVariant, 1);
        EXPECT_EQ(model.firmware, (FirmwareVersion{1, 3}));
        EXPECT_EQ(driver.status().shippedFirmware, (FirmwareVersion{1, 4}));
        EXPECT_TRUE(std::equal(DefaultKeyMap.begin(), DefaultKeyMap.end(),
                               model.settings.keyMap().begin()));

        // Lighting, one key-map entry (the A key becomes a launch key), one DIY table and one
        // macro record.
        SettingsBlock& s = model.settings;
        s.setEffectCode(51);
        s.setSpeedLevel(3);
        s.setBrightnessLevel(2);
        s.setColourIndex(4);
        s.setDirectionCode(1);
        std::size_t keyA = 0;
        for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
            if (DefaultVkTable[p] == 0x41) {
                keyA = KeyMapIndexOf(p);
            }
        }
        s.setKeyMapEntry(keyA, {0x41, 0x00, 0x00, 0x0C});
        s.diyTable(1)[10] = 0xFF;
        s.diyTable(1)[100] = 0xFF;
        for (std::size_t i = 0; i < 24; ++i) {
            s.deviceMacroRecord(2)[i] = static_cast<std::uint8_t>(0x10 + i);
        }
        const LinkResult applied = driver.apply(model);
        ASSERT_TRUE(applied) << applied.error;
        EXPECT_EQ(model.savedSettings, model.settings);
        written = model.settings;

        keyboard->writeLine("press 65");
        ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_EVENT));
        EXPECT_EQ(sink.messages().back().wParam, 0x41u);

        // Hot-plug through the link: the watcher sees the keyboard go and come back.
        VirtualHidLinkWatcher watcher(socket);
        ASSERT_EQ(watcher.poll().size(), 1u);  // the keyboard is there
        keyboard->writeLine("unplug");
        std::vector<HotplugEvent> events;
        for (int i = 0; i < 5000 && events.empty(); ++i) {
            std::this_thread::sleep_for(1ms);
            events = watcher.poll();
        }
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, HotplugEvent::Kind::Removal);
        driver.deviceChanged(events[0], model);
        EXPECT_FALSE(driver.status().commandOpen);
        EXPECT_FALSE(driver.status().eventOpen);
        keyboard->writeLine("plug");
        events.clear();
        for (int i = 0; i < 5000 && events.empty(); ++i) {
            std::this_thread::sleep_for(1ms);
            events = watcher.poll();
        }
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, HotplugEvent::Kind::Arrival);
        model.settings = SettingsBlock{};
        model.savedSettings = SettingsBlock{};
        driver.clearTold();
        driver.deviceChanged(events[0], model);
        EXPECT_TRUE(driver.status().commandOpen);
        EXPECT_TRUE(driver.status().eventOpen);
        EXPECT_EQ(driver.told(), (std::vector<std::string>{"link c1 e0 d0", "read ok",
                                                           "link c1 e1 d0", "event opened"}));
        ExpectSameKeyboardParts(model.settings, written);
        driver.connection().shutdown();
    }

    // Connect again from scratch and read everything back.
    {
        Model again;
        RecordingMessageSink sink;
        LinkDriver driver(backend, clock, sink, dir.path());
        connect(driver, again);
        ExpectSameKeyboardParts(again.settings, written);
        EXPECT_EQ(link::HexBytes(again.settings.lighting()), "33 03 02 04 01");
    }

    keyboard->writeLine("quit");
    EXPECT_EQ(keyboard->wait(), 0);
    const std::string errors = keyboard->errorOutput();
    EXPECT_EQ(errors.find("breach"), std::string::npos) << errors;

    // The frame log has one line per frame: time, interface, direction, bytes.
    std::ifstream log(dir / "frames.log");
    std::string line;
    std::size_t lines = 0;
    bool sawApply = false;
    while (std::getline(log, line)) {
        ++lines;
        sawApply = sawApply || line.find(" 2 < 10 02 09 00 00 0A 00 02 08") != std::string::npos;
    }
    EXPECT_GT(lines, 100u);
    EXPECT_TRUE(sawApply) << "the macro slot 2 command is in the log";

    // The state file keeps the configuration across a restart of the keyboard.
    auto restarted = startKeyboard();
    Model fresh;
    RecordingMessageSink sink;
    {
        LinkDriver driver(backend, clock, sink, dir.path());
        connect(driver, fresh);
    }
    ExpectSameKeyboardParts(fresh.settings, written);
    restarted->writeLine("quit");
    EXPECT_EQ(restarted->wait(), 0);
    EXPECT_EQ(restarted->errorOutput().find("breach"), std::string::npos)
        << restarted->errorOutput();
}

}  // namespace
}  // namespace tavrin::test
