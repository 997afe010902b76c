#pragma once

#include "device/Clock.h"

namespace tavrin {

class SteadyClock final : public Clock {
public:
    TimePoint now() const override;
    void sleep(std::chrono::milliseconds duration) override;
    void yield() override;
};

}  // namespace tavrin
