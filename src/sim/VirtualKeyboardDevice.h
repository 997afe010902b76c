#pragma once

// An open interface of the in-process virtual keyboard.

#include <memory>

#include "device/HidDevice.h"
#include "sim/VirtualKeyboard.h"

namespace tavrin {

class VirtualKeyboardDevice final : public HidDevice {
public:
    VirtualKeyboardDevice(VirtualKeyboard& keyboard, std::shared_ptr<VirtualKeyboard::Port> port);
    ~VirtualKeyboardDevice() override;

    HidResult sendFeatureReport(ConstByteSpan report) override;
    HidResult getFeatureReport(ByteSpan report) override;
    HidResult write(ConstByteSpan report) override;
    HidResult read(ByteSpan buffer, std::chrono::milliseconds timeout) override;

private:
    VirtualKeyboard& keyboard_;
    std::shared_ptr<VirtualKeyboard::Port> port_;
};

}  // namespace tavrin
