#include "sim/VirtualKeyboardBackend.h"

#include "sim/VirtualKeyboardDevice.h"

namespace tavrin {

std::vector<HidInterfaceInfo> VirtualKeyboardBackend::enumerate() {
    std::vector<HidInterfaceInfo> interfaces;
    if (!keyboard_.plugged()) {
        return interfaces;
    }
    const auto& markers = VirtualKeyboard::Markers();
    for (std::size_t i = 0; i < markers.size(); ++i) {
        interfaces.push_back({kPathPrefix + std::to_string(i), keyboard_.vendorId(),
                              keyboard_.productId(), markers[i]});
    }
    return interfaces;
}

std::unique_ptr<HidDevice> VirtualKeyboardBackend::open(const std::string& path,
                                                        std::string& error) {
    const std::string prefix = kPathPrefix;
    if (path.size() != prefix.size() + 1 || path.compare(0, prefix.size(), prefix) != 0) {
        error = "not a virtual keyboard path: " + path;
        return nullptr;
    }
    const int index = path.back() - '0';
    auto port = keyboard_.open(index);
    if (!port) {
        error =
            "the virtual keyboard is unplugged or has no interface " + path.substr(prefix.size());
        return nullptr;
    }
    return std::make_unique<VirtualKeyboardDevice>(keyboard_, std::move(port));
}

}  // namespace tavrin
