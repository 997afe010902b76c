#pragma once

// A clock that never sleeps: sleep() moves its time on and records the wait, yield() records a
// yield. Safe to share between threads.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/Clock.h"

namespace tavrin::test {

class ManualClock final : public Clock {
public:
    struct Wait {
        bool yield = false;
        std::chrono::milliseconds duration{0};
        std::thread::id thread{};  // who waited
    };

    TimePoint now() const override;
    void sleep(std::chrono::milliseconds duration) override;
    void yield() override;

    void advance(std::chrono::milliseconds duration);
    std::vector<Wait> waits() const;
    // The waits of one thread, described as by Describe().
    std::string waitsOf(std::thread::id thread) const;
    void clearWaits();
    // Milliseconds since the clock was made.
    long long elapsedMs() const;

    // Runs after every sleep (outside the clock's lock), e.g. to act when a worker pauses.
    void setOnSleep(std::function<void(std::chrono::milliseconds)> hook);

private:
    mutable std::mutex mutex_;
    TimePoint now_ = TimePoint(std::chrono::hours(1));
    std::vector<Wait> waits_;
    std::function<void(std::chrono::milliseconds)> onSleep_;
};

// Shorthands for expected wait lists: Ms(50), Yield().
inline ManualClock::Wait Ms(long long ms) {
    return {false, std::chrono::milliseconds(ms)};
}
inline ManualClock::Wait Yield() {
    return {true, std::chrono::milliseconds(0)};
}
std::string Describe(const std::vector<ManualClock::Wait>& waits);

}  // namespace tavrin::test
