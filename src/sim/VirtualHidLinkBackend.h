#pragma once

// The HID devices of a virtual keyboard served at a Unix socket (--virtual-device PATH). An
// interface's path is the socket path, '#', and the interface index.

#include <string>

#include "device/HidBackend.h"

namespace tavrin {

class VirtualHidLinkBackend final : public HidBackend {
public:
    explicit VirtualHidLinkBackend(std::string socketPath) : socketPath_(std::move(socketPath)) {}

    std::vector<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path, std::string& error) override;

    const std::string& socketPath() const { return socketPath_; }

private:
    std::string socketPath_;
};

}  // namespace tavrin
