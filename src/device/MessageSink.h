#pragma once

// How a worker reaches the main window.

#include <cstdint>
#include <thread>

namespace tavrin {

class MessageSink {
public:
    virtual ~MessageSink() = default;

    // Synchronous: returns once the window has handled the message, with the handler's result.
    virtual std::intptr_t send(std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
    // Queued: returns at once.
    virtual void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

    // The window's thread is about to wait for the worker `sender` to end. That worker's send()
    // must then return without delivery, or the two would wait for each other; every other
    // sender's messages still arrive. resumeSendsFrom() ends this.
    virtual void abandonSendsFrom(std::thread::id sender) { (void)sender; }
    virtual void resumeSendsFrom(std::thread::id sender) { (void)sender; }
};

}  // namespace tavrin
