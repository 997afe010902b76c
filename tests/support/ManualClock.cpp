#include "support/ManualClock.h"

#include <thread>

namespace tavrin::test {

Clock::TimePoint ManualClock::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void ManualClock::sleep(std::chrono::milliseconds duration) {
    std::function<void(std::chrono::milliseconds)> hook;
    {
        std::lock_guard lock(mutex_);
        now_ += duration;
        waits_.push_back({false, duration, std::this_thread::get_id()});
        hook = onSleep_;
    }
    if (hook) {
        hook(duration);
    }
    // Let other threads run, as a real sleep would.
    std::this_thread::yield();
}

void ManualClock::yield() {
    {
        std::lock_guard lock(mutex_);
        waits_.push_back({true, std::chrono::milliseconds(0), std::this_thread::get_id()});
    }
    std::this_thread::yield();
}

void ManualClock::advance(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    now_ += duration;
}

std::vector<ManualClock::Wait> ManualClock::waits() const {
    std::lock_guard lock(mutex_);
    return waits_;
}

std::string ManualClock::waitsOf(std::thread::id thread) const {
    std::vector<Wait> mine;
    for (const Wait& wait : waits()) {
        if (wait.thread == thread) {
            mine.push_back(wait);
        }
    }
    return Describe(mine);
}

void ManualClock::clearWaits() {
    std::lock_guard lock(mutex_);
    waits_.clear();
}

long long ManualClock::elapsedMs() const {
    std::lock_guard lock(mutex_);
    return std::chrono::duration_cast<std::chrono::milliseconds>(now_ -
                                                                 TimePoint(std::chrono::hours(1)))
        .count();
}

void ManualClock::setOnSleep(std::function<void(std::chrono::milliseconds)> hook) {
    std::lock_guard lock(mutex_);
    onSleep_ = std::move(hook);
}

std::string Describe(const std::vector<ManualClock::Wait>& waits) {
    std::string text;
    for (const auto& wait : waits) {
        if (!text.empty()) {
            text += ' ';
        }
        text += wait.yield ? "yield" : std::to_string(wait.duration.count());
    }
    return text;
}

}  // namespace tavrin::test
