#pragma once

// The time base of the macro recorder: a steady count of milliseconds, with fractions. The
// recorder measures the delay between two keystrokes as the difference of two readings.

namespace tavrin {

class MacroClock {
public:
    virtual ~MacroClock() = default;
    virtual double nowMilliseconds() = 0;
};

}  // namespace tavrin
