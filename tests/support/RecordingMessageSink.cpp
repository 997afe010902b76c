#include "support/RecordingMessageSink.h"

#include <algorithm>

namespace tavrin::test {

void RecordingMessageSink::record(const Message& m) {
    std::lock_guard lock(mutex_);
    messages_.push_back(m);
    arrived_.notify_all();
}

std::intptr_t RecordingMessageSink::send(std::uint32_t message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    const Message m{message, wParam, lParam, false};
    Reaction reaction;
    {
        std::lock_guard lock(mutex_);
        reaction = reaction_;
    }
    // The handler runs before the message counts as delivered, as SendMessage would have it.
    const std::intptr_t result = reaction ? reaction(m) : 0;
    record(m);
    return result;
}

void RecordingMessageSink::post(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    record({message, wParam, lParam, true});
}

void RecordingMessageSink::setReaction(Reaction reaction) {
    std::lock_guard lock(mutex_);
    reaction_ = std::move(reaction);
}

std::vector<RecordingMessageSink::Message> RecordingMessageSink::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::size_t RecordingMessageSink::count(std::uint32_t message) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(messages_.begin(), messages_.end(),
                      [&](const Message& m) { return m.message == message; }));
}

bool RecordingMessageSink::waitFor(std::uint32_t message, std::size_t times,
                                   std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] {
        return static_cast<std::size_t>(
                   std::count_if(messages_.begin(), messages_.end(),
                                 [&](const Message& m) { return m.message == message; })) >= times;
    });
}

}  // namespace tavrin::test
