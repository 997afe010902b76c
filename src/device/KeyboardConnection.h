#pragma once

// The keyboard as the main window sees it: discovery and opening of both interfaces, the two
// workers, the command worker for the long sequences (Save, factory reset), and the hot-plug
// handling. Every public function is called on the window's thread; the window hands its
// MessageSink over and is told through it (WM_SETTINGS_LOADED, WM_KEYBOARD_EVENT,
// WM_KEYBOARD_LOST).
//
// What the window must keep to:
// - The model belongs to a worker while it fills it: from openAtStartup() until WM_SETTINGS_LOADED
//   (0, 0) arrives, and from applySettings()/factoryReset() until their result is in, the window
//   reads and edits neither `settings` nor `savedSettings`.
// - Never wait on a job's future on the window's thread (a worker may be handing it a message);
//   take the result in the done callback and post it over.
// - The sink, the backend, the clock and the model outlive this object; the sink's send() must
//   honour abandonSends() (CrossThreadMessageSink does).

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "device/Clock.h"
#include "device/HidBackend.h"
#include "device/HotplugEvent.h"
#include "device/KeyEventThread.h"
#include "device/KeyboardCommands.h"
#include "device/LinkResult.h"
#include "device/MessageSink.h"
#include "device/SettingsReaderThread.h"
#include "model/Model.h"

namespace tavrin {

class KeyboardConnection {
public:
    using Done = std::function<void(const LinkResult&)>;

    struct StartupResult {
        bool commandOpened = false;
        bool eventOpened = false;
        // The keyboard is there but refused this user: tell them how to get access, not that
        // there is no keyboard.
        bool accessDenied = false;
        bool complete() const { return commandOpened && eventOpened; }  // else hide the window
    };

    KeyboardConnection(Model& model, HidBackend& backend, Clock& clock, MessageSink& sink,
                       std::filesystem::path programDir);
    ~KeyboardConnection();  // shutdown()
    KeyboardConnection(const KeyboardConnection&) = delete;
    KeyboardConnection& operator=(const KeyboardConnection&) = delete;

    // Command interface first: on success the version file is read and the start-up reader
    // starts; then the event interface and its worker.
    StartupResult openAtStartup();

    // An interface that refuses this user is tried again for up to 1000 ms: a node that has
    // just appeared may not have its permissions from udev yet. Once one interface stays
    // refused, the other is tried once only.
    //
    // Arrival: unless both interfaces are open, wait 2000 ms, re-open and re-read the command
    // interface (version file, firmware, whole configuration, DIY tables again, the slider hook,
    // WM_SETTINGS_LOADED), then the event interface (one KeyEventThread, WM_SETTINGS_LOADED).
    // Removal: only when the keyboard's own interfaces are gone: stop flag, 500 ms, the worker
    // has left its read, both handles closed, 200 ms. Events naming another device are ignored.
    void handleDeviceChange(const HotplugEvent& event);

    // Stop flag, 500 ms, workers ended, both handles closed. Queued jobs run to their end first.
    void shutdown();

    // Runs on the window's thread after an arrival's re-read, before WM_SETTINGS_LOADED: the
    // place to set the speed, brightness and report-rate sliders from the model.
    void setSliderRefresh(std::function<void()> hook) { sliderRefresh_ = std::move(hook); }

    // Save and Return on the command worker, under the command lock, after the start-up read and
    // after every job queued before. The model must not be edited until the job is done; `done`
    // is called on the worker thread (post to the window from there), and the future holds the
    // same result.
    std::future<LinkResult> applySettings(Done done = {});
    // FactoryReset, ReadAllSettings, then KeyEnableMask bytes 0..17 set and read back.
    std::future<LinkResult> factoryReset(Done done = {});

    // For the window's own short commands (ReadLighting when WM_SETTINGS_LOADED says 0).
    KeyboardCommands& commands() { return commands_; }
    SettingsReaderThread& settingsReader() { return reader_; }

    bool commandOpen() const { return commands_.isOpen(); }
    bool eventOpen() const { return eventDevice_ != nullptr; }
    bool keyEventThreadRunning() const { return eventThread_ && eventThread_->running(); }
    // The firmware shipped beside the updater, from the version file last read.
    FirmwareVersion shippedFirmware() const { return shippedFirmware_; }
    // Outcome of the last re-read at an arrival.
    const LinkResult& lastReadResult() const { return lastRead_; }
    // Why the last open failed, for the window's message.
    const std::string& lastOpenError() const { return lastOpenError_; }
    // Whether the last start-up or arrival found the keyboard but was refused access to it (until
    // the keyboard leaves).
    bool lastOpenDenied() const { return lastOpenDenied_; }

private:
    bool openCommandInterface();
    bool openEventInterface();
    std::unique_ptr<HidDevice> openFoundInterface();
    void reopenCommandInterface();
    void reopenEventInterface();
    bool keyboardStillPresent();
    void stopEventWorker();
    void closeAll();
    std::future<LinkResult> queueJob(std::function<LinkResult()> job, Done done);
    void runJobs();

    Model& model_;
    HidBackend& backend_;
    Clock& clock_;
    MessageSink& sink_;
    std::filesystem::path programDir_;

    KeyboardCommands commands_;
    std::string commandPath_;
    std::unique_ptr<HidDevice> eventDevice_;
    std::string eventPath_;
    std::unique_ptr<KeyEventThread> eventThread_;
    SettingsReaderThread reader_;
    FirmwareVersion shippedFirmware_;
    LinkResult lastRead_;
    std::string lastOpenError_;
    bool lastOpenDenied_ = false;
    std::function<void()> sliderRefresh_;

    struct Job {
        std::function<LinkResult()> work;
        Done done;
        std::promise<LinkResult> promise;
    };
    std::mutex jobsMutex_;
    std::condition_variable jobsChanged_;
    std::deque<Job> jobs_;
    bool jobsClosing_ = false;
    std::thread jobThread_;
    bool shutDown_ = false;
};

}  // namespace tavrin
