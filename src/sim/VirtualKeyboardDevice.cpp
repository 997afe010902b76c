#include "sim/VirtualKeyboardDevice.h"

namespace tavrin {

VirtualKeyboardDevice::VirtualKeyboardDevice(VirtualKeyboard& keyboard,
                                             std::shared_ptr<VirtualKeyboard::Port> port)
    : keyboard_(keyboard), port_(std::move(port)) {}

VirtualKeyboardDevice::~VirtualKeyboardDevice() {
    keyboard_.close(port_);
}

HidResult VirtualKeyboardDevice::sendFeatureReport(ConstByteSpan report) {
    return keyboard_.setFeature(*port_, report);
}

HidResult VirtualKeyboardDevice::getFeatureReport(ByteSpan report) {
    return keyboard_.getFeature(*port_, report);
}

HidResult VirtualKeyboardDevice::write(ConstByteSpan report) {
    return keyboard_.write(*port_, report);
}

HidResult VirtualKeyboardDevice::read(ByteSpan buffer, std::chrono::milliseconds timeout) {
    return keyboard_.read(*port_, buffer, timeout);
}

}  // namespace tavrin
