#pragma once

// A window that takes the system's window messages, delivered synchronously on the
// user-interface thread (the controls tell the main window about their changes this way).

#include <cstdint>

namespace tavrin {

class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual std::intptr_t send(std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
};

}  // namespace tavrin
