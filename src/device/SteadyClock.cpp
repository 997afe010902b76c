#include "device/SteadyClock.h"

#include <thread>

namespace tavrin {

Clock::TimePoint SteadyClock::now() const {
    return std::chrono::steady_clock::now();
}

void SteadyClock::sleep(std::chrono::milliseconds duration) {
    // sleep_for may wake early on some systems; sleeping to a deadline keeps the protocol's
    // minimum.
    const TimePoint until = now() + duration;
    while (now() < until) {
        std::this_thread::sleep_until(until);
    }
}

void SteadyClock::yield() {
    std::this_thread::yield();
}

}  // namespace tavrin
