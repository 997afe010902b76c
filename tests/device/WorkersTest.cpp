// The two workers and the hot-plug handling. Suites named "...Threads" also run under
// ThreadSanitizer.

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>

#include "device/CrossThreadMessageSink.h"
#include "device/FindKeyboardPath.h"
#include "device/KeyEventThread.h"
#include "device/KeyboardConnection.h"
#include "device/SettingsReaderThread.h"
#include "device/WindowMessages.h"
#include "model/KeyTables.h"
#include "support/KeyboardLinkFixture.h"
#include "support/RecordingMessageSink.h"

namespace tavrin::test {
namespace {

using Message = RecordingMessageSink::Message;

// The key-map entry of the key whose own code is `vk` becomes a launch entry (type 0x0C).
void GiveLaunchEntry(VirtualKeyboardState& state, std::uint8_t vk) {
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (DefaultVkTable[p] == vk) {
            const std::size_t at = 4 * KeyMapIndexOf(p);
            state.keyMap()[at] = vk;
            state.keyMap()[at + 1] = 0;
            state.keyMap()[at + 2] = 0;
            state.keyMap()[at + 3] = 0x0C;
            return;
        }
    }
    FAIL() << "no key with code " << int(vk);
}

// Records the time-out of every read, so a test can see how often the worker looks at its flag.
class ReadTimeoutRecorder final : public HidDevice {
public:
    explicit ReadTimeoutRecorder(std::unique_ptr<HidDevice> inner) : inner_(std::move(inner)) {}
    HidResult sendFeatureReport(ConstByteSpan r) override { return inner_->sendFeatureReport(r); }
    HidResult getFeatureReport(ByteSpan r) override { return inner_->getFeatureReport(r); }
    HidResult write(ConstByteSpan r) override { return inner_->write(r); }
    HidResult read(ByteSpan buffer, std::chrono::milliseconds timeout) override {
        {
            std::lock_guard lock(mutex_);
            timeouts_.push_back(timeout);
            changed_.notify_all();
        }
        return inner_->read(buffer, timeout);
    }
    void waitForReads(std::size_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return timeouts_.size() >= n; });
    }
    std::vector<std::chrono::milliseconds> timeouts() {
        std::lock_guard lock(mutex_);
        return timeouts_;
    }

private:
    std::unique_ptr<HidDevice> inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::chrono::milliseconds> timeouts_;
};

class EventThreads : public KeyboardLinkFixture {
protected:
    std::unique_ptr<HidDevice> openEvents() {
        Model m;
        EXPECT_TRUE(FindKeyboardPath(*backend, "ol04", m));
        EXPECT_EQ(m.devicePath.back(), '1');
        std::string error;
        auto device = backend->open(m.devicePath, error);
        EXPECT_TRUE(device) << error;
        return device;
    }

    RecordingMessageSink sink;
};
INSTANTIATE_TEST_SUITE_P(Backends, EventThreads,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

TEST_P(EventThreads, EventReportsBecomeKeyboardEvents) {
    VirtualKeyboardState state;
    GiveLaunchEntry(state, 0x42);
    keyboard->setState(state);
    auto device = openEvents();
    ASSERT_TRUE(device);
    KeyEventThread worker(*device, sink, clock);
    worker.start();

    keyboard->sendInput(VirtualKeyboard::kEventInterface, {0x04, 0x04, 0x00, 0x41});  // kind 4
    keyboard->sendInput(VirtualKeyboard::kEventInterface, {0x04, 0x01, 0x00, 0x41});
    keyboard->sendInput(VirtualKeyboard::kEventInterface, {0x04, 0x01, 0x00});  // too short
    keyboard->press(0x43);  // a plain key: the keyboard reports nothing
    keyboard->press(0x42);  // the launch key
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_EVENT, 2));
    worker.requestStop();
    worker.join();

    EXPECT_EQ(sink.messages(), (std::vector<Message>{{WM_KEYBOARD_EVENT, 0x41, 0, false},
                                                     {WM_KEYBOARD_EVENT, 0x42, 0, false}}));
    EXPECT_FALSE(worker.running());
}

TEST_P(EventThreads, NoReadOutlastsThePollInterval) {
    auto recorder = std::make_unique<ReadTimeoutRecorder>(openEvents());
    ReadTimeoutRecorder& reads = *recorder;
    KeyEventThread worker(reads, sink, clock);
    worker.start();
    reads.waitForReads(2);
    worker.requestStop();
    worker.join();

    EXPECT_FALSE(worker.running());
    for (const auto timeout : reads.timeouts()) {
        EXPECT_EQ(timeout, std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_P(EventThreads, AGoneDeviceSendsKeyboardLost) {
    auto device = openEvents();
    KeyEventThread worker(*device, sink, clock);
    sink.setReaction([&](const Message& m) {
        if (m.message == WM_KEYBOARD_LOST) {
            worker.requestStop();
        }
        return std::intptr_t{0};
    });
    worker.start();
    keyboard->unplug();
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_LOST));
    worker.join();

    EXPECT_TRUE(worker.sawDisconnect());
    EXPECT_EQ(sink.messages().front(), (Message{WM_KEYBOARD_LOST, 0, 0, false}));
    // Paced like a read that waited, then the 10 ms on the way out.
    const auto waits = Describe(clock.waits());
    EXPECT_EQ(waits.substr(waits.size() - 6), "200 10") << waits;
}

class SettingsReaderThreads : public KeyboardLinkFixture {
protected:
    RecordingMessageSink sink;
};
INSTANTIATE_TEST_SUITE_P(Backends, SettingsReaderThreads,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

TEST_P(SettingsReaderThreads, ReadsTakesTheSavedCopyThenTellsTheWindow) {
    VirtualKeyboardState state;
    state.keyMap()[5] = 0x66;
    state.diyTable(4)[127] = 0xFF;
    state.lighting()[0] = 13;
    keyboard->setState(state);
    openCommands();
    bool savedBeforeMessage = false;
    sink.setReaction([&](const Message&) {
        savedBeforeMessage = model.savedSettings == model.settings;
        return std::intptr_t{0};
    });
    SettingsReaderThread reader(commands, model, sink);

    reader.start();
    reader.start();  // once only
    ASSERT_TRUE(sink.waitFor(WM_SETTINGS_LOADED));
    reader.join();

    EXPECT_TRUE(reader.result());
    EXPECT_TRUE(savedBeforeMessage);
    EXPECT_EQ(sink.messages(), (std::vector<Message>{{WM_SETTINGS_LOADED, 0, 0, false}}));
    const auto codes = commandCodes();
    EXPECT_EQ(codes.size(), 15u);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "86"), 0) << "no lighting at start-up";
    EXPECT_EQ(model.settings.keyMap()[5], 0x66);
    EXPECT_EQ(model.settings.diyTable(4)[127], 0xFF);
    EXPECT_EQ(model.settings.effectCode(), 0);
}

TEST_P(SettingsReaderThreads, AFailedReadStillTellsTheWindowButTakesNoCopy) {
    openCommands();
    keyboard->unplugAfterHostReports(4);
    SettingsReaderThread reader(commands, model, sink);

    reader.start();
    ASSERT_TRUE(sink.waitFor(WM_SETTINGS_LOADED));
    reader.join();

    EXPECT_FALSE(reader.result());
    EXPECT_EQ(model.savedSettings, SettingsBlock{});
    EXPECT_EQ(model.settings, SettingsBlock{});
}

// The main window's side of KeyboardConnection: the test thread is the window's thread.
class ConnectionThreads : public KeyboardLinkFixture {
protected:
    void SetUp() override {
        KeyboardLinkFixture::SetUp();
        writeVersionFile(1, 4);
        connection = std::make_unique<KeyboardConnection>(model, *backend, clock, sink, dir.path());
        connection->setSliderRefresh([this] { ++sliderRefreshes; });
    }
    void TearDown() override {
        connection.reset();
        KeyboardLinkFixture::TearDown();
    }

    void writeVersionFile(int major, int minor) {
        std::ofstream out(dir / "VER.bin", std::ios::binary | std::ios::trunc);
        out << "Ver  " << major << '.' << minor << "\n";
    }
    void start() {
        const auto opened = connection->openAtStartup();
        ASSERT_TRUE(opened.complete());
        ASSERT_TRUE(sink.waitFor(WM_SETTINGS_LOADED));
        connection->settingsReader().join();
    }
    std::string myWaits() const { return clock.waitsOf(std::this_thread::get_id()); }

    static HotplugEvent Removal(std::optional<std::uint16_t> vid = 0x04D9,
                                std::optional<std::uint16_t> pid = 0xA2A0) {
        return {HotplugEvent::Kind::Removal, vid, pid};
    }
    static HotplugEvent Arrival(std::optional<std::uint16_t> vid = 0x04D9,
                                std::optional<std::uint16_t> pid = 0xA2A0) {
        return {HotplugEvent::Kind::Arrival, vid, pid};
    }

    RecordingMessageSink sink;
    std::unique_ptr<KeyboardConnection> connection;
    int sliderRefreshes = 0;
};
INSTANTIATE_TEST_SUITE_P(Backends, ConnectionThreads,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

TEST_P(ConnectionThreads, StartUpOpensBothInterfacesAndStartsTheWorkers) {
    start();
    EXPECT_TRUE(connection->commandOpen());
    EXPECT_TRUE(connection->eventOpen());
    EXPECT_TRUE(connection->keyEventThreadRunning());
    EXPECT_EQ(connection->shippedFirmware(), (FirmwareVersion{1, 4}));
    EXPECT_EQ(model.layoutVariant, 1);
    EXPECT_EQ(model.firmware, (FirmwareVersion{1, 2}));
    EXPECT_EQ(keyboard->openPorts(VirtualKeyboard::kCommandInterface), 1u);
    EXPECT_EQ(keyboard->openPorts(VirtualKeyboard::kEventInterface), 1u);
    EXPECT_EQ(model.savedSettings, model.settings);

    clock.clearWaits();
    connection->shutdown();
    EXPECT_EQ(myWaits(), "500");
    EXPECT_FALSE(connection->keyEventThreadRunning());
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kCommandInterface, 0), 0u);
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 0), 0u);
}

TEST_P(ConnectionThreads, AKeyboardAbsentAtStartIsPickedUpOnArrival) {
    keyboard->unplug();
    const auto opened = connection->openAtStartup();
    EXPECT_FALSE(opened.commandOpened);
    EXPECT_FALSE(opened.eventOpened);
    EXPECT_EQ(model.layoutVariant, 0);
    EXPECT_FALSE(connection->lastOpenError().empty());
    EXPECT_EQ(sink.count(WM_SETTINGS_LOADED), 0u);

    // Plugged in later: the arrival opens and reads it, and the window hears of it twice.
    replug();
    clock.clearWaits();
    connection->handleDeviceChange(Arrival());
    EXPECT_TRUE(connection->commandOpen());
    EXPECT_TRUE(connection->eventOpen());
    EXPECT_TRUE(connection->keyEventThreadRunning());
    EXPECT_EQ(model.layoutVariant, 1);
    EXPECT_EQ(myWaits().substr(0, 5), "2000 ");
    EXPECT_EQ(sink.count(WM_SETTINGS_LOADED), 2u);
    EXPECT_EQ(sliderRefreshes, 1);
    EXPECT_FALSE(connection->settingsReader().started())
        << "the start-up reader runs only at start";
}

TEST_P(ConnectionThreads, FiveUnplugCyclesReadTheVersionFileEachTimeAndLeaveOneWorker) {
    start();
    for (int cycle = 1; cycle <= 5; ++cycle) {
        SCOPED_TRACE(cycle);
        keyboard->unplug();
        clock.clearWaits();
        connection->handleDeviceChange(Removal());
        EXPECT_EQ(myWaits(), "500 200");
        EXPECT_FALSE(connection->commandOpen());
        EXPECT_FALSE(connection->eventOpen());
        EXPECT_FALSE(connection->keyEventThreadRunning());

        writeVersionFile(2, cycle);
        replug();
        clock.clearWaits();
        mark();
        connection->handleDeviceChange(Arrival());
        EXPECT_EQ(connection->shippedFirmware(),
                  (FirmwareVersion{2, static_cast<std::uint8_t>(cycle)}));
        EXPECT_TRUE(connection->lastReadResult()) << connection->lastReadResult().error;
        EXPECT_TRUE(connection->commandOpen());
        EXPECT_TRUE(connection->eventOpen());
        // 2000 ms, the firmware, the whole read, the DIY tables once more.
        const std::string diy = "5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5";
        EXPECT_EQ(myWaits(),
                  "2000 10 10 10 5 10 10 1 1 yield yield yield yield yield " + diy + " " + diy);
        const auto codes = commandCodes();
        ASSERT_EQ(codes.size(), 22u);
        EXPECT_EQ(codes[0], "80");
        EXPECT_EQ(codes[1], "86");
    }
    EXPECT_EQ(sliderRefreshes, 5);
    EXPECT_EQ(sink.count(WM_SETTINGS_LOADED), 1u + 2 * 5);
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 1), 1u);
    EXPECT_TRUE(connection->keyEventThreadRunning());

    // One worker: one press, one message.
    VirtualKeyboardState state = keyboard->state();
    GiveLaunchEntry(state, 0x41);
    keyboard->setState(state);
    const std::size_t before = sink.count(WM_KEYBOARD_EVENT);
    keyboard->press(0x41);
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_EVENT, before + 1));
    connection->shutdown();
    EXPECT_EQ(sink.count(WM_KEYBOARD_EVENT), before + 1);
}

TEST_P(ConnectionThreads, OtherDevicesComingAndGoingLeaveTheKeyboardAlone) {
    start();
    mark();
    connection->handleDeviceChange(Removal(0x046D, 0xC52B));  // a mouse receiver
    connection->handleDeviceChange(
        Removal(std::nullopt, std::nullopt));                 // unnamed, keyboard still here
    connection->handleDeviceChange(Arrival(0x0781, 0x5581));  // a USB stick
    connection->handleDeviceChange(Arrival());                // while connected: nothing to do

    EXPECT_TRUE(connection->commandOpen());
    EXPECT_TRUE(connection->eventOpen());
    EXPECT_TRUE(connection->keyEventThreadRunning());
    EXPECT_EQ(myWaits(), "");
    EXPECT_TRUE(keyboard->hostReports().empty());
    EXPECT_EQ(sink.count(WM_SETTINGS_LOADED), 1u);
}

TEST_P(ConnectionThreads, AKeyboardThatCameBackBeforeItsRemovalWasHandledIsReopened) {
    start();
    keyboard->unplug();
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_LOST));
    replug();
    // The removal finds the keyboard listed again, but the worker saw its handle die.
    connection->handleDeviceChange(Removal());
    EXPECT_FALSE(connection->commandOpen());
    connection->handleDeviceChange(Arrival());
    EXPECT_TRUE(connection->commandOpen());
    EXPECT_TRUE(connection->eventOpen());
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 1), 1u);
}

TEST_P(ConnectionThreads, AnUnplugDuringSaveReportsFailureAndKeepsTheSavedCopy) {
    start();
    const SettingsBlock saved = model.savedSettings;
    model.settings.keyMap()[0] ^= 0xFF;
    model.settings.setWinLock(1);
    keyboard->unplugAfterHostReports(4);
    LinkResult seen;
    auto future = connection->applySettings([&](const LinkResult& r) { seen = r; });

    const LinkResult result = future.get();
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.disconnected);
    EXPECT_FALSE(seen);
    EXPECT_EQ(model.savedSettings, saved);
}

TEST_P(ConnectionThreads, SaveAndFactoryResetRunOnTheCommandWorker) {
    start();
    model.settings.setWinLock(1);
    mark();
    ASSERT_TRUE(connection->applySettings().get());
    EXPECT_EQ(commandCodes(), (std::vector<std::string>{"03"}));
    EXPECT_EQ(model.savedSettings, model.settings);

    VirtualKeyboardState state = keyboard->state();
    state.keyMap()[0] = 0x99;
    keyboard->setState(state);
    clock.advance(std::chrono::seconds(1));
    mark();
    const LinkResult reset = connection->factoryReset().get();
    ASSERT_TRUE(reset) << reset.error;
    const auto codes = commandCodes();
    ASSERT_EQ(codes.size(), 3u + 16u + 1u);
    EXPECT_EQ((std::vector<std::string>(codes.begin(), codes.begin() + 4)),
              (std::vector<std::string>{"0C", "07", "07", "86"}));
    EXPECT_EQ(codes.back(), "89");
    EXPECT_EQ(Hex(model.settings.keyMap()), Hex(DefaultKeyMap));
    EXPECT_EQ(model.settings.gameMode(), 1);
    EXPECT_EQ(model.settings.winLock(), 1) << "the window, not the link, decides what else resets";
}

TEST_P(ConnectionThreads, ShutdownEndsAWorkerBlockedOnTheWindow) {
    // A window whose thread is busy: queued calls pile up and never run.
    std::mutex queueMutex;
    std::deque<std::function<void()>> queued;
    CrossThreadMessageSink windowSink(
        [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{0}; },
        [&](std::function<void()> task) {
            std::lock_guard lock(queueMutex);
            queued.push_back(std::move(task));
        });
    VirtualKeyboardState state;
    GiveLaunchEntry(state, 0x41);
    keyboard->setState(state);
    {
        KeyboardConnection busy(model, *backend, clock, windowSink, dir.path());
        ASSERT_TRUE(busy.openAtStartup().complete());
        keyboard->press(0x41);
        // Wait (bounded) until the event worker is stuck handing over its message.
        for (int i = 0; i < 5000; ++i) {
            std::lock_guard lock(queueMutex);
            if (queued.size() >= 2) {  // WM_SETTINGS_LOADED from the reader, the key event
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        busy.shutdown();  // must not wait for the window forever
        EXPECT_FALSE(busy.keyEventThreadRunning());
    }
    std::lock_guard lock(queueMutex);
    EXPECT_EQ(queued.size(), 2u);
}

}  // namespace
}  // namespace tavrin::test
