#pragma once

// The system's HID devices (or a stand-in for them). Enumerate, open and closing a device (its
// destructor) run on one thread only: hidapi is not thread-safe across them.

#include <memory>
#include <string>
#include <vector>

#include "device/HidDevice.h"
#include "device/HidTypes.h"

namespace tavrin {

class HidBackend {
public:
    virtual ~HidBackend() = default;

    virtual std::vector<HidInterfaceInfo> enumerate() = 0;
    // Null when the interface cannot be opened; `error` then says why.
    virtual std::unique_ptr<HidDevice> open(const std::string& path, std::string& error) = 0;
};

}  // namespace tavrin
