#pragma once

// Listens on the event interface for the keyboard's 4-byte event reports [4, kind, 0, code] and
// forwards each one (kind 4 excepted) to the window as WM_KEYBOARD_EVENT. A read that finds the
// device gone sends WM_KEYBOARD_LOST. The stop flag is looked at after every read, and no read
// waits longer than 200 ms, so the worker leaves within about 200 ms of requestStop().

#include <atomic>
#include <thread>

#include "device/Clock.h"
#include "device/HidDevice.h"
#include "device/MessageSink.h"

namespace tavrin {

class KeyEventThread {
public:
    KeyEventThread(HidDevice& eventDevice, MessageSink& sink, Clock& clock);
    ~KeyEventThread();  // stops and joins
    KeyEventThread(const KeyEventThread&) = delete;
    KeyEventThread& operator=(const KeyEventThread&) = delete;

    void start();
    void requestStop() { stop_.store(true); }
    // Returns once the worker has left its loop (and so its last read).
    void join();
    bool running() const { return running_.load(); }
    // The worker's thread, for releasing its sends (MessageSink::abandonSendsFrom).
    std::thread::id threadId() const { return thread_.get_id(); }
    // Whether a read found the device gone: the handle is dead even if a device with the same
    // path is back.
    bool sawDisconnect() const { return sawDisconnect_.load(); }

private:
    void run();

    HidDevice& device_;
    MessageSink& sink_;
    Clock& clock_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> sawDisconnect_{false};
    std::thread thread_;
};

}  // namespace tavrin
