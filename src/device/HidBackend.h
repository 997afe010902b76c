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
    // After open() failed: whether the interface is there but this user may not open it (its
    // node's permissions), as opposed to one that is gone or broken. A user can mend that one.
    virtual bool accessDenied(const std::string& path) {
        (void)path;
        return false;
    }
};

}  // namespace tavrin
