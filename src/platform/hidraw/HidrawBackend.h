#pragma once

// The system's HID devices through hidapi on hidraw. Each node's marker is built from its USB
// interface number and its report descriptor (sysfs), so that discovery can match "mi_03" and
// "ol04" as it would against an interface path elsewhere.

#include <map>
#include <string>

#include "device/HidBackend.h"

namespace tavrin {

class HidrawBackend final : public HidBackend {
public:
    HidrawBackend();
    ~HidrawBackend() override;
    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    bool ok() const { return initError_.empty(); }
    const std::string& initError() const { return initError_; }

    std::vector<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path, std::string& error) override;
    // The node exists but its mode and ACL give this user no read and write access.
    bool accessDenied(const std::string& path) override;

private:
    std::string initError_;
    std::map<std::string, std::string> markers_;  // path -> marker, from the last enumeration
};

}  // namespace tavrin
