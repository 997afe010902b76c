#include "ui/macro/SteadyMacroClock.h"

#include <chrono>

namespace tavrin {

double SteadyMacroClock::nowMilliseconds() {
    using Milliseconds = std::chrono::duration<double, std::milli>;
    return std::chrono::duration_cast<Milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace tavrin
