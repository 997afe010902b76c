#pragma once

// The keyboard link as the application sees it. Every piece of device work runs on one command
// worker: discovery, opening and closing, the start-up read, the arrival and removal sequences
// with their waits, Save, factory reset and the lighting read. The caller's thread (the window's)
// only queues work and never waits; results come back as values through a KeyboardListener or a
// done callback, both called on the command worker. The model is never touched here: reads fill
// private copies, and the caller decides on its own thread what becomes of them.
//
// KeyEventThread keeps its defined contract: WM_KEYBOARD_EVENT and WM_KEYBOARD_LOST through the
// MessageSink, each send waiting for the window's handler.

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "device/Clock.h"
#include "device/HidBackend.h"
#include "device/HotplugEvent.h"
#include "device/KeyEventThread.h"
#include "device/KeyboardCommands.h"
#include "device/KeyboardRead.h"
#include "device/LinkResult.h"
#include "device/MessageSink.h"
#include "model/Model.h"

namespace tavrin {

// What the link holds after an open, a close or a failed open.
struct LinkStatus {
    bool commandOpen = false;
    bool eventOpen = false;
    // The keyboard is there but refuses this user: tell them how to get access, not that there is
    // no keyboard. Cleared when the keyboard leaves or opens.
    bool accessDenied = false;
    std::string openError;            // why the last open failed, for the log and the message
    std::uint8_t layoutVariant = 0;   // 1 once discovery found the keyboard
    std::string devicePath;           // the interface last found
    FirmwareVersion shippedFirmware;  // from the version file read when the command side opened

    bool operator==(const LinkStatus&) const = default;
};

// Told on the command worker, in the order things happen on the wire.
class KeyboardListener {
public:
    virtual ~KeyboardListener() = default;
    // After every change of the handles, and after an open that failed.
    virtual void linkChanged(const LinkStatus& status) = 0;
    // The keyboard's configuration has been read (start-up or arrival), or the read failed.
    virtual void settingsRead(const KeyboardRead& read) = 0;
    // An arrival opened the event interface: the second "settings loaded" of an arrival.
    virtual void eventInterfaceOpened() = 0;
};

class KeyboardConnection {
public:
    using Done = std::function<void(const LinkResult&)>;
    using ReadDone = std::function<void(const KeyboardRead&)>;
    // The firmware shipped beside the updater for a layout (the version file, wherever it is).
    using ShippedFirmware = std::function<FirmwareVersion(std::uint8_t layoutVariant)>;

    KeyboardConnection(HidBackend& backend, Clock& clock, MessageSink& sink,
                       KeyboardListener& listener, ShippedFirmware shippedFirmware);
    ~KeyboardConnection();  // shutdown()

    // Before start(): whether the event interface is opened and watched. A program that does one
    // thing and ends (tavrinctl) has no use for the keyboard's key events, nor for the wait that
    // stopping their worker takes.
    void setKeyEvents(bool on) { keyEvents_ = on; }
    KeyboardConnection(const KeyboardConnection&) = delete;
    KeyboardConnection& operator=(const KeyboardConnection&) = delete;

    // Start-up: the command interface (version file, then the start-up read, which leaves out the
    // lighting), then the event interface and its worker. `base` is the settings the read fills;
    // the parts it does not read stay as given.
    void start(const SettingsBlock& base);

    // Arrival: unless both interfaces are open, wait 2000 ms, re-open and re-read the command
    // interface (version file, firmware, whole configuration, DIY tables again), then the event
    // interface (one KeyEventThread). Removal: only when the keyboard's own interfaces are gone:
    // stop flag, 500 ms, the worker has left its read, both handles closed, 200 ms. Events naming
    // another device are ignored. Changes that pile up while the worker is busy are handled
    // together: a removal first, then an arrival.
    void deviceChanged(const HotplugEvent& event, const SettingsBlock& base);

    // Save: sends what differs between `settings` and `saved`, in the keyboard's order with its
    // waits. `done` gets the result; on success the keyboard holds `settings`.
    void applySettings(const SettingsBlock& settings, const SettingsBlock& saved, Done done);
    // FactoryReset, ReadAllSettings, then KeyEnableMask bytes 0..17 set and read back, into a copy
    // of `base`.
    void factoryReset(const SettingsBlock& base, ReadDone done);
    // ReadLighting into a copy of `base`.
    void readLighting(const SettingsBlock& base, ReadDone done);

    // Queued work runs to its end (a Save is never cut short); device changes not yet started are
    // dropped. Then the event worker stops (500 ms) and both handles close. Called once the
    // window no longer runs its event loop: a send of the event worker blocked on it is released.
    void shutdown();

    // Whether the command worker has nothing queued or running.
    bool idle();
    // Whether a KeyEventThread runs.
    bool keyEventThreadRunning();

private:
    struct Job {
        std::function<void()> work;
        bool deviceChange = false;
    };

    void queue(std::function<void()> work, bool deviceChange = false);
    void runJobs();

    // Everything below runs on the command worker only.
    bool openCommandInterface();
    bool openEventInterface();
    std::unique_ptr<HidDevice> openFoundInterface();
    void startupJob(const SettingsBlock& base);
    // Reads the keyboard into a copy of `base` and tells the listener; a failed read closes the
    // command side.
    void readConfiguration(KeyboardRead::Origin origin, const SettingsBlock& base);
    void deviceChangeJob();
    void removalSequence();
    void arrivalSequence(const SettingsBlock& base);
    bool keyboardStillPresent();
    void stopEventWorker();
    void closeAll();
    void report();
    LinkStatus statusNow() const;

    HidBackend& backend_;
    Clock& clock_;
    MessageSink& sink_;
    KeyboardListener& listener_;
    ShippedFirmware shippedFirmware_;

    // The command worker's own state.
    KeyboardCommands commands_;
    std::string commandPath_;
    std::unique_ptr<HidDevice> eventDevice_;
    std::string eventPath_;
    std::unique_ptr<KeyEventThread> eventThread_;
    LinkStatus status_;
    Model scratch_;  // discovery writes its path and layout here, never into the window's model

    std::mutex jobsMutex_;
    std::condition_variable jobsChanged_;
    std::deque<Job> jobs_;
    bool running_ = false;  // a job is being run
    bool eventWorkerAlive_ = false;
    bool closing_ = false;
    // Device changes seen since the pending device-change job was queued.
    bool removalPending_ = false;
    bool arrivalPending_ = false;
    SettingsBlock arrivalBase_;
    std::thread worker_;
    bool shutDown_ = false;
    bool keyEvents_ = true;
};

}  // namespace tavrin
