#include "device/SettingsReaderThread.h"

#include "device/SettingsTransfers.h"
#include "device/WindowMessages.h"

namespace tavrin {

SettingsReaderThread::SettingsReaderThread(KeyboardCommands& commands, Model& model,
                                           MessageSink& sink)
    : commands_(commands), model_(model), sink_(sink) {}

SettingsReaderThread::~SettingsReaderThread() {
    join();
}

void SettingsReaderThread::start() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable() || done_) {
        return;
    }
    thread_ = std::thread([this] { run(); });
}

bool SettingsReaderThread::started() const {
    std::lock_guard lock(mutex_);
    return thread_.joinable() || done_;
}

void SettingsReaderThread::run() {
    LinkResult result;
    {
        // The saved copy is taken under the same lock, so a Save cannot slip in between.
        auto guard = commands_.lock();
        result = ReadStartupSettings(commands_, model_);
        if (result) {
            model_.takeSavedSettings();
        }
    }
    {
        std::lock_guard lock(mutex_);
        result_ = result;
    }
    sink_.send(WM_SETTINGS_LOADED, 0, kLoadedFromKeyboard);
    std::lock_guard lock(mutex_);
    done_ = true;
    doneChanged_.notify_all();
}

void SettingsReaderThread::waitUntilDone() {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
        return;
    }
    doneChanged_.wait(lock, [this] { return done_; });
}

void SettingsReaderThread::join() {
    std::thread thread;
    {
        std::lock_guard lock(mutex_);
        thread = std::move(thread_);
    }
    if (thread.joinable()) {
        thread.join();
    }
}

LinkResult SettingsReaderThread::result() const {
    std::lock_guard lock(mutex_);
    return result_;
}

}  // namespace tavrin
