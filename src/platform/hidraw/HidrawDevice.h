#pragma once

// One hidraw node opened through hidapi.

#include <string>

#include "device/HidDevice.h"

struct hid_device_;

namespace tavrin {

class HidrawDevice final : public HidDevice {
public:
    // `eventsOnly`: the event interface's node also carries the keyboard's other input reports;
    // only 4-byte reports with ID 4 are let through.
    HidrawDevice(hid_device_* device, bool eventsOnly);
    ~HidrawDevice() override;
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    HidResult sendFeatureReport(ConstByteSpan report) override;
    HidResult getFeatureReport(ByteSpan report) override;
    HidResult write(ConstByteSpan report) override;
    HidResult read(ByteSpan buffer, std::chrono::milliseconds timeout) override;

private:
    HidResult failure(const char* what) const;

    hid_device_* device_;
    bool eventsOnly_;
};

// Whether an input report is one of the keyboard's event reports [4, kind, 0, code].
bool IsEventReport(ConstByteSpan report);

}  // namespace tavrin
