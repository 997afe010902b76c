#pragma once

// The one-shot start-up read: everything but the lighting, then the saved copy of the settings,
// then WM_SETTINGS_LOADED (0, 0) to the window. The window reads the lighting when told.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "device/KeyboardCommands.h"
#include "device/LinkResult.h"
#include "device/MessageSink.h"
#include "model/Model.h"

namespace tavrin {

class SettingsReaderThread {
public:
    SettingsReaderThread(KeyboardCommands& commands, Model& model, MessageSink& sink);
    ~SettingsReaderThread();
    SettingsReaderThread(const SettingsReaderThread&) = delete;
    SettingsReaderThread& operator=(const SettingsReaderThread&) = delete;

    // Starts the read once; later calls do nothing.
    void start();
    bool started() const;
    // Blocks until the read and the message are over (at once when never started).
    void waitUntilDone();
    void join();
    // The outcome of the read, valid once done. When it failed the model and its saved copy are
    // as they were, so a later Save sends the whole difference to the keyboard.
    LinkResult result() const;

private:
    void run();

    KeyboardCommands& commands_;
    Model& model_;
    MessageSink& sink_;
    mutable std::mutex mutex_;
    std::condition_variable doneChanged_;
    bool done_ = false;
    LinkResult result_;
    std::thread thread_;
};

}  // namespace tavrin
