#pragma once

// The in-process virtual keyboard as the system's only HID device (--simulate, and the tests).

#include "device/HidBackend.h"
#include "sim/VirtualKeyboard.h"

namespace tavrin {

class VirtualKeyboardBackend final : public HidBackend {
public:
    static constexpr const char* kPathPrefix = "virtual-keyboard:";

    explicit VirtualKeyboardBackend(VirtualKeyboard& keyboard) : keyboard_(keyboard) {}

    std::vector<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path, std::string& error) override;

private:
    VirtualKeyboard& keyboard_;
};

}  // namespace tavrin
