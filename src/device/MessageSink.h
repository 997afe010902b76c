#pragma once

// How a worker reaches the main window.

#include <cstdint>

namespace tavrin {

class MessageSink {
public:
    virtual ~MessageSink() = default;

    // Synchronous: returns once the window has handled the message, with the handler's result.
    virtual std::intptr_t send(std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
    // Queued: returns at once.
    virtual void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

    // The window's thread is about to wait for a worker to end. A worker blocked in send() must
    // then return without delivery, or the two would wait for each other. resumeSends() ends this.
    virtual void abandonSends() {}
    virtual void resumeSends() {}
};

}  // namespace tavrin
