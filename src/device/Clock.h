#pragma once

// Time as the keyboard link sees it: the protocol's waits go through a Clock so that tests can
// replace real sleeping with a clock that only records.

#include <chrono>

namespace tavrin {

class Clock {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;

    virtual TimePoint now() const = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    // Gives the processor to another thread (the protocol's "wait of 0").
    virtual void yield() = 0;
};

}  // namespace tavrin
