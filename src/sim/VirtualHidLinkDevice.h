#pragma once

// One interface of a virtual keyboard reached over the virtual HID link: one connection, opened
// with OPEN, then one request at a time. INPUT frames that arrive in between are queued for read.

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "device/HidDevice.h"
#include "sim/VirtualHidLinkWire.h"

namespace tavrin {

class VirtualHidLinkDevice final : public HidDevice {
public:
    // How long a request may wait for its answer.
    static constexpr std::chrono::milliseconds kAnswerTimeout{1000};

    static std::unique_ptr<VirtualHidLinkDevice> Connect(const std::string& socketPath,
                                                         std::uint8_t iface, std::string& error);
    ~VirtualHidLinkDevice() override;

    HidResult sendFeatureReport(ConstByteSpan report) override;
    HidResult getFeatureReport(ByteSpan report) override;
    HidResult write(ConstByteSpan report) override;
    HidResult read(ByteSpan buffer, std::chrono::milliseconds timeout) override;

private:
    VirtualHidLinkDevice(int fd, std::uint8_t iface) : fd_(fd), iface_(iface) {}

    // Sends `request` and waits for its answer (STATUS or FEATURE), queueing INPUT meanwhile.
    HidResult exchange(const link::Frame& request, link::Frame& answer);
    // Waits up to `timeout` for one frame; INPUT frames are queued and also returned.
    HidResult nextFrame(link::Frame& frame, std::chrono::milliseconds timeout);
    HidResult statusResult(const link::Frame& answer) const;

    int fd_;
    std::uint8_t iface_;
    bool gone_ = false;
    std::vector<std::uint8_t> buffer_;
    std::deque<std::vector<std::uint8_t>> input_;
};

}  // namespace tavrin
