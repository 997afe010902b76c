#include "sim/VirtualHidLinkDevice.h"

#include <unistd.h>

#include <algorithm>

namespace tavrin {

using namespace link;
using RealClock = std::chrono::steady_clock;

std::unique_ptr<VirtualHidLinkDevice> VirtualHidLinkDevice::Connect(const std::string& socketPath,
                                                                    std::uint8_t iface,
                                                                    std::string& error) {
    const int fd = ConnectTo(socketPath, error);
    if (fd < 0) {
        return nullptr;
    }
    std::unique_ptr<VirtualHidLinkDevice> device(new VirtualHidLinkDevice(fd, iface));
    Frame answer;
    const HidResult result = device->exchange(Frame{kOpen, iface, {}}, answer);
    if (!result.ok()) {
        error = "open interface " + std::to_string(iface) + ": " + result.error;
        return nullptr;
    }
    if (answer.op != kStatus || answer.payload.size() != 4 || ReadLe32(answer.payload, 0) != 0) {
        error = "the virtual keyboard has no interface " + std::to_string(iface);
        return nullptr;
    }
    return device;
}

VirtualHidLinkDevice::~VirtualHidLinkDevice() {
    ::close(fd_);
}

HidResult VirtualHidLinkDevice::nextFrame(Frame& frame, std::chrono::milliseconds timeout) {
    const auto deadline = RealClock::now() + timeout;
    for (;;) {
        bool bad = false;
        if (auto taken = TakeFrame(buffer_, bad)) {
            frame = std::move(*taken);
            if (frame.op == kInput) {
                input_.push_back(frame.payload);
            }
            return HidResult::Done(frame.payload.size());
        }
        if (bad) {
            gone_ = true;
            return HidResult::Error("malformed frame from the virtual keyboard");
        }
        if (gone_) {
            return HidResult::Gone();
        }
        const auto left = std::max(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - RealClock::now()),
            std::chrono::milliseconds(0));
        const IoStatus status = ReceiveSome(fd_, buffer_, left);
        if (status == IoStatus::Closed) {
            gone_ = true;
            return HidResult::Gone();
        }
        if (status == IoStatus::Error) {
            gone_ = true;
            return HidResult::Error("virtual HID link receive failed");
        }
        if (status == IoStatus::Timeout) {
            return HidResult::TimedOut();
        }
    }
}

HidResult VirtualHidLinkDevice::exchange(const Frame& request, Frame& answer) {
    if (gone_) {
        return HidResult::Gone();
    }
    const IoStatus sent = SendAll(fd_, Encode(request));
    if (sent != IoStatus::Ok) {
        gone_ = true;
        return sent == IoStatus::Closed ? HidResult::Gone()
                                        : HidResult::Error("virtual HID link send failed");
    }
    const auto deadline = RealClock::now() + kAnswerTimeout;
    for (;;) {
        const auto left = std::max(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - RealClock::now()),
            std::chrono::milliseconds(0));
        Frame frame;
        HidResult result = nextFrame(frame, left);
        if (result.status == HidStatus::Timeout) {
            return HidResult::Error("no answer from the virtual keyboard within 1000 ms");
        }
        if (!result.ok()) {
            return result;
        }
        if (frame.op == kStatus || frame.op == kFeature) {
            answer = std::move(frame);
            return HidResult::Done(answer.payload.size());
        }
    }
}

HidResult VirtualHidLinkDevice::statusResult(const Frame& answer) const {
    if (answer.op != kStatus || answer.payload.size() != 4) {
        return HidResult::Error("unexpected answer from the virtual keyboard");
    }
    const std::int32_t value = ReadLe32(answer.payload, 0);
    if (value < 0) {
        return HidResult::Error("refused by the virtual keyboard");
    }
    return HidResult::Done(static_cast<std::size_t>(value));
}

HidResult VirtualHidLinkDevice::sendFeatureReport(ConstByteSpan report) {
    Frame answer;
    const HidResult result =
        exchange(Frame{kSetFeature, iface_, {report.begin(), report.end()}}, answer);
    return result.ok() ? statusResult(answer) : result;
}

HidResult VirtualHidLinkDevice::getFeatureReport(ByteSpan report) {
    Frame answer;
    const HidResult result =
        exchange(Frame{kGetFeature, iface_, {report.begin(), report.end()}}, answer);
    if (!result.ok()) {
        return result;
    }
    if (answer.op != kFeature) {
        return statusResult(answer).ok() ? HidResult::Error("no feature reply")
                                         : statusResult(answer);
    }
    const std::size_t n = std::min(answer.payload.size(), report.size());
    std::copy_n(answer.payload.begin(), n, report.begin());
    return HidResult::Done(n);
}

HidResult VirtualHidLinkDevice::write(ConstByteSpan report) {
    Frame answer;
    const HidResult result =
        exchange(Frame{kWrite, iface_, {report.begin(), report.end()}}, answer);
    return result.ok() ? statusResult(answer) : result;
}

HidResult VirtualHidLinkDevice::read(ByteSpan buffer, std::chrono::milliseconds timeout) {
    const auto deadline = RealClock::now() + timeout;
    while (input_.empty()) {
        const auto left = std::max(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - RealClock::now()),
            std::chrono::milliseconds(0));
        Frame frame;
        const HidResult result = nextFrame(frame, left);
        if (!result.ok()) {
            return result;
        }
    }
    const std::vector<std::uint8_t> report = std::move(input_.front());
    input_.pop_front();
    const std::size_t n = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), n, buffer.begin());
    return HidResult::Done(n);
}

}  // namespace tavrin
