#pragma once

// A MessageSink that records every message. send() runs an optional reaction on the sender's
// thread (the test stands in for the window) and returns its result.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "device/MessageSink.h"

namespace tavrin::test {

class RecordingMessageSink final : public MessageSink {
public:
    struct Message {
        std::uint32_t message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        bool posted = false;

        bool operator==(const Message&) const = default;
    };
    using Reaction = std::function<std::intptr_t(const Message&)>;

    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    void setReaction(Reaction reaction);
    std::vector<Message> messages() const;
    std::size_t count(std::uint32_t message) const;
    // Waits (at most `limit`, a safety net for a broken test, not a timing) until `message` has
    // arrived `times` times.
    bool waitFor(std::uint32_t message, std::size_t times = 1,
                 std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

private:
    void record(const Message& m);

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<Message> messages_;
    Reaction reaction_;
};

}  // namespace tavrin::test
