#pragma once

// A message target that remembers every message it is sent.

#include <cstdint>
#include <vector>

#include "device/MessageTarget.h"

namespace tavrin::test {

class RecordingTarget : public MessageTarget {
public:
    struct Message {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool operator==(const Message&) const = default;
    };

    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override {
        messages.push_back({message, wParam, lParam});
        return 0;
    }

    std::vector<Message> messages;
};

}  // namespace tavrin::test
