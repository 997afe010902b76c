#pragma once

// The recorder's clock on std::chrono::steady_clock, which never jumps with the wall clock.

#include "ui/macro/MacroClock.h"

namespace tavrin {

class SteadyMacroClock : public MacroClock {
public:
    double nowMilliseconds() override;
};

}  // namespace tavrin
