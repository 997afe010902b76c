#pragma once

// A device arrival or removal from the platform's hot-plug source. The IDs are those of the USB
// device the interface belongs to when the platform could tell them.

#include <cstdint>
#include <optional>

namespace tavrin {

struct HotplugEvent {
    enum class Kind { Arrival, Removal };

    Kind kind = Kind::Arrival;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
};

}  // namespace tavrin
