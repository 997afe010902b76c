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
#include "device/KeyboardRead.h"
#include "device/WindowMessages.h"
#include "model/KeyTables.h"
#include "support/KeyboardLinkFixture.h"
#include "support/LinkDriver.h"
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

// The keyboard link as the keyboard service drives it: the test thread is the window's thread,
// which queues work and never waits on the keyboard; every wait runs on the command worker.
class ConnectionThreads : public KeyboardLinkFixture {
protected:
    void SetUp() override {
        KeyboardLinkFixture::SetUp();
        writeVersionFile(1, 4);
        driver = std::make_unique<LinkDriver>(*backend, clock, sink, dir.path());
    }
    void TearDown() override {
        driver.reset();
        KeyboardLinkFixture::TearDown();
    }

    void writeVersionFile(int major, int minor) {
        std::ofstream out(dir / "VER.bin", std::ios::binary | std::ios::trunc);
        out << "Ver  " << major << '.' << minor << "\n";
    }
    void start() {
        driver->start(model);
        ASSERT_EQ(driver->told(), (std::vector<std::string>{"link c1 e1 d0", "read ok"}));
        model.takeSavedCopies();
    }
    KeyboardConnection& connection() { return driver->connection(); }
    // The window's thread never sleeps.
    std::string myWaits() const { return clock.waitsOf(std::this_thread::get_id()); }
    std::string workerWaits() const { return clock.waitsOf(driver->workerThread()); }

    static HotplugEvent Removal(std::optional<std::uint16_t> vid = 0x04D9,
                                std::optional<std::uint16_t> pid = 0xA2A0) {
        return {HotplugEvent::Kind::Removal, vid, pid};
    }
    static HotplugEvent Arrival(std::optional<std::uint16_t> vid = 0x04D9,
                                std::optional<std::uint16_t> pid = 0xA2A0) {
        return {HotplugEvent::Kind::Arrival, vid, pid};
    }

    RecordingMessageSink sink;
    std::unique_ptr<LinkDriver> driver;
};
INSTANTIATE_TEST_SUITE_P(Backends, ConnectionThreads,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

TEST_P(ConnectionThreads, StartUpOpensBothInterfacesAndReadsEverythingButTheLighting) {
    VirtualKeyboardState state;
    state.keyMap()[5] = 0x66;
    state.diyTable(4)[127] = 0xFF;
    state.lighting()[0] = 13;
    keyboard->setState(state);
    mark();
    start();
    EXPECT_TRUE(connection().keyEventThreadRunning());
    EXPECT_EQ(driver->status().shippedFirmware, (FirmwareVersion{1, 4}));
    EXPECT_EQ(model.layoutVariant, 1);
    EXPECT_EQ(model.firmware, (FirmwareVersion{1, 2}));
    EXPECT_EQ(keyboard->openPorts(VirtualKeyboard::kCommandInterface), 1u);
    EXPECT_EQ(keyboard->openPorts(VirtualKeyboard::kEventInterface), 1u);
    const auto codes = commandCodes();
    EXPECT_EQ(codes.size(), 15u);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "86"), 0) << "no lighting at start-up";
    EXPECT_EQ(model.settings.keyMap()[5], 0x66);
    EXPECT_EQ(model.settings.diyTable(4)[127], 0xFF);
    EXPECT_EQ(model.settings.effectCode(), 0);
    EXPECT_EQ(myWaits(), "");

    clock.clearWaits();
    driver.reset();  // shutdown: 500 ms for the event worker, then the handles
    EXPECT_EQ(myWaits(), "500");
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kCommandInterface, 0), 0u);
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 0), 0u);
}

TEST_P(ConnectionThreads, WithoutKeyEventsOnlyTheCommandSideOpensAndStoppingDoesNotWait) {
    connection().setKeyEvents(false);
    mark();
    driver->start(model);
    ASSERT_EQ(driver->told(), (std::vector<std::string>{"link c1 e0 d0", "read ok"}));
    EXPECT_FALSE(connection().keyEventThreadRunning());
    EXPECT_EQ(keyboard->openPorts(VirtualKeyboard::kCommandInterface), 1u);
    EXPECT_EQ(keyboard->openPorts(VirtualKeyboard::kEventInterface), 0u);
    EXPECT_EQ(commandCodes().size(), 15u) << "the same start-up read";
    EXPECT_TRUE(driver->status().commandOpen);

    clock.clearWaits();
    driver.reset();
    EXPECT_EQ(myWaits(), "") << "no event worker to wait for";
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kCommandInterface, 0), 0u);
}

TEST_P(ConnectionThreads, AFailedStartUpReadChangesNothingAndClosesTheCommandSide) {
    model.settings.keyMap()[0] = 0x29;
    model.takeSavedCopies();
    const Model before = model;
    keyboard->unplugAfterHostReports(4);
    driver->start(model);
    EXPECT_EQ(driver->told(),
              (std::vector<std::string>{"link c1 e1 d0", "link c0 e1 d0", "read failed"}));
    EXPECT_EQ(model.settings, before.settings);
    EXPECT_EQ(model.savedSettings, before.savedSettings);
    EXPECT_EQ(model.firmware, FirmwareVersion{}) << "no firmware from a read that failed";
}

TEST_P(ConnectionThreads, AnEditMadeDuringTheReadSurvivesIt) {
    VirtualKeyboardState state;
    state.keyMap()[5] = 0x66;
    state.gameMode() = 1;
    keyboard->setState(state);
    model.settings.setGameMode(1);  // as the keymap file said
    model.takeSavedCopies();
    // The read goes on while the window edits the game mode and the lighting.
    connection().start(model.settings);
    model.settings.setGameMode(0);
    model.settings.setEffectCode(2);
    ASSERT_TRUE(driver->waitIdle());
    for (const KeyboardRead& read : driver->takeReads()) {
        TakeRead(model, read);
    }
    EXPECT_EQ(model.settings.gameMode(), 0) << "the user's edit";
    EXPECT_EQ(model.settings.effectCode(), 2) << "not read at start-up";
    EXPECT_EQ(model.settings.keyMap()[5], 0x66) << "the keyboard's, where nothing was edited";
    EXPECT_EQ(model.savedSettings.gameMode(), 1) << "the keyboard's";
    EXPECT_TRUE(PartDiffers(model.settings, model.savedSettings, SettingsPart::GameMode))
        << "the next Save sends the edit";
}

TEST_P(ConnectionThreads, AKeyboardAbsentAtStartIsPickedUpOnArrival) {
    keyboard->unplug();
    driver->start(model);
    EXPECT_EQ(driver->told(), (std::vector<std::string>{"link c0 e0 d0"}));
    EXPECT_EQ(model.layoutVariant, 0);
    EXPECT_FALSE(driver->status().openError.empty());

    // Plugged in later: the arrival opens and reads it, and the window hears of it twice.
    replug();
    driver->clearTold();
    clock.clearWaits();
    driver->deviceChanged(Arrival(), model);
    EXPECT_EQ(driver->told(), (std::vector<std::string>{"link c1 e0 d0", "read ok", "link c1 e1 d0",
                                                        "event opened"}));
    EXPECT_TRUE(connection().keyEventThreadRunning());
    EXPECT_EQ(model.layoutVariant, 1);
    EXPECT_EQ(workerWaits().substr(0, 5), "2000 ");
    EXPECT_EQ(myWaits(), "");
}

TEST_P(ConnectionThreads, FiveUnplugCyclesReadTheVersionFileEachTimeAndLeaveOneWorker) {
    start();
    for (int cycle = 1; cycle <= 5; ++cycle) {
        SCOPED_TRACE(cycle);
        keyboard->unplug();
        clock.clearWaits();
        driver->clearTold();
        driver->deviceChanged(Removal(), model);
        EXPECT_EQ(workerWaits(), "500 200");
        EXPECT_EQ(driver->told(), (std::vector<std::string>{"link c0 e0 d0"}));
        EXPECT_FALSE(connection().keyEventThreadRunning());

        writeVersionFile(2, cycle);
        replug();
        clock.clearWaits();
        mark();
        driver->clearTold();
        driver->deviceChanged(Arrival(), model);
        EXPECT_EQ(driver->status().shippedFirmware,
                  (FirmwareVersion{2, static_cast<std::uint8_t>(cycle)}));
        EXPECT_EQ(driver->told(), (std::vector<std::string>{"link c1 e0 d0", "read ok",
                                                            "link c1 e1 d0", "event opened"}));
        // 2000 ms, the firmware, the whole read, the DIY tables once more.
        const std::string diy = "5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5 5";
        EXPECT_EQ(workerWaits(),
                  "2000 10 10 10 5 10 10 1 1 yield yield yield yield yield " + diy + " " + diy);
        const auto codes = commandCodes();
        ASSERT_EQ(codes.size(), 22u);
        EXPECT_EQ(codes[0], "80");
        EXPECT_EQ(codes[1], "86");
    }
    EXPECT_EQ(myWaits(), "");
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 1), 1u);
    EXPECT_TRUE(connection().keyEventThreadRunning());

    // One worker: one press, one message.
    VirtualKeyboardState state = keyboard->state();
    GiveLaunchEntry(state, 0x41);
    keyboard->setState(state);
    const std::size_t before = sink.count(WM_KEYBOARD_EVENT);
    keyboard->press(0x41);
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_EVENT, before + 1));
    driver.reset();
    EXPECT_EQ(sink.count(WM_KEYBOARD_EVENT), before + 1);
}

TEST_P(ConnectionThreads, ChangesThatPileUpAreHandledTogetherRemovalFirst) {
    start();
    keyboard->unplug();
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_LOST));  // the old handles are known dead
    replug();
    clock.clearWaits();
    driver->clearTold();
    // Unplug and plug again, twice, before the worker looked at any of it.
    connection().deviceChanged(Removal(), model.settings);
    connection().deviceChanged(Arrival(), model.settings);
    connection().deviceChanged(Removal(), model.settings);
    connection().deviceChanged(Arrival(), model.settings);
    ASSERT_TRUE(driver->waitIdle());
    const auto told = driver->told();
    EXPECT_EQ(std::count(told.begin(), told.end(), "read ok"), 1) << "one re-read";
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), "event opened");
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 1), 1u);
    EXPECT_TRUE(connection().keyEventThreadRunning());
}

TEST_P(ConnectionThreads, OtherDevicesComingAndGoingLeaveTheKeyboardAlone) {
    start();
    mark();
    driver->clearTold();
    driver->deviceChanged(Removal(0x046D, 0xC52B), model);  // a mouse receiver
    driver->deviceChanged(Removal(std::nullopt, std::nullopt),
                          model);                           // unnamed, keyboard still here
    driver->deviceChanged(Arrival(0x0781, 0x5581), model);  // a USB stick
    driver->deviceChanged(Arrival(), model);                // while connected: nothing to do

    EXPECT_TRUE(connection().keyEventThreadRunning());
    EXPECT_EQ(waits(), "");
    EXPECT_TRUE(keyboard->hostReports().empty());
    EXPECT_EQ(driver->told(), std::vector<std::string>{});
}

TEST_P(ConnectionThreads, AKeyboardThatCameBackBeforeItsRemovalWasHandledIsReopened) {
    start();
    keyboard->unplug();
    ASSERT_TRUE(sink.waitFor(WM_KEYBOARD_LOST));
    replug();
    // The removal finds the keyboard listed again, but the worker saw its handle die.
    driver->deviceChanged(Removal(), model);
    EXPECT_FALSE(driver->status().commandOpen);
    driver->deviceChanged(Arrival(), model);
    EXPECT_TRUE(driver->status().commandOpen);
    EXPECT_TRUE(driver->status().eventOpen);
    EXPECT_EQ(settledOpenPorts(VirtualKeyboard::kEventInterface, 1), 1u);
}

TEST_P(ConnectionThreads, AnUnplugDuringSaveReportsFailureAndKeepsTheSavedCopy) {
    start();
    const SettingsBlock saved = model.savedSettings;
    model.settings.keyMap()[0] ^= 0xFF;
    model.settings.setWinLock(1);
    keyboard->unplugAfterHostReports(4);
    const LinkResult result = driver->apply(model);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.disconnected);
    EXPECT_EQ(model.savedSettings, saved);
}

TEST_P(ConnectionThreads, SaveAndFactoryResetRunOnTheCommandWorker) {
    start();
    model.settings.setWinLock(1);
    mark();
    ASSERT_TRUE(driver->apply(model));
    EXPECT_EQ(commandCodes(), (std::vector<std::string>{"03"}));
    EXPECT_EQ(model.savedSettings, model.settings);

    VirtualKeyboardState state = keyboard->state();
    state.keyMap()[0] = 0x99;
    keyboard->setState(state);
    clock.advance(std::chrono::seconds(1));
    mark();
    const KeyboardRead reset = driver->factoryReset(model);
    ASSERT_TRUE(reset.result) << reset.result.error;
    const auto codes = commandCodes();
    ASSERT_EQ(codes.size(), 3u + 16u + 1u);
    EXPECT_EQ((std::vector<std::string>(codes.begin(), codes.begin() + 4)),
              (std::vector<std::string>{"0C", "07", "07", "86"}));
    EXPECT_EQ(codes.back(), "89");
    EXPECT_EQ(Hex(model.settings.keyMap()), Hex(DefaultKeyMap));
    EXPECT_EQ(model.settings.gameMode(), 1);
    EXPECT_EQ(model.settings.winLock(), 1) << "the window, not the link, decides what else resets";
    EXPECT_EQ(myWaits(), "");
}

TEST_P(ConnectionThreads, WithoutAKeyboardSaveAndResetFailAndSendNothing) {
    keyboard->unplug();
    driver->start(model);
    model.settings.setWinLock(1);
    mark();
    EXPECT_FALSE(driver->apply(model));
    EXPECT_FALSE(driver->factoryReset(model).result);
    EXPECT_TRUE(keyboard->hostReports().empty());
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
        LinkDriver busy(*backend, clock, windowSink, dir.path());
        busy.start(model);
        keyboard->press(0x41);
        // Wait (bounded) until the event worker is stuck handing over its message.
        for (int i = 0; i < 5000; ++i) {
            std::lock_guard lock(queueMutex);
            if (!queued.empty()) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        busy.connection().shutdown();  // must not wait for the window forever
        EXPECT_FALSE(busy.connection().keyEventThreadRunning());
    }
    std::lock_guard lock(queueMutex);
    EXPECT_EQ(queued.size(), 1u);
}

}  // namespace
}  // namespace tavrin::test
