#include "platform/hidraw/HidrawDevice.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <array>

#include "device/KeyboardProtocol.h"

namespace tavrin {

namespace {

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    }
    return out;
}

}  // namespace

bool IsEventReport(ConstByteSpan report) {
    return report.size() == protocol::kEventReportSize && report[0] == protocol::kEventReportId;
}

HidrawDevice::HidrawDevice(hid_device_* device, bool eventsOnly)
    : device_(device), eventsOnly_(eventsOnly) {}

HidrawDevice::~HidrawDevice() {
    hid_close(device_);
}

HidResult HidrawDevice::failure(const char* what) const {
    const std::string text = Narrow(hid_error(device_));
    // hidapi says "device disconnected" (or passes ENODEV on) when the node has gone away.
    if (text.find("disconnected") != std::string::npos ||
        text.find("No such device") != std::string::npos) {
        return {HidStatus::Disconnected, 0, std::string(what) + ": " + text};
    }
    return HidResult::Error(std::string(what) + ": " + (text.empty() ? "failed" : text));
}

HidResult HidrawDevice::sendFeatureReport(ConstByteSpan report) {
    const int n = hid_send_feature_report(device_, report.data(), report.size());
    return n < 0 ? failure("send feature report") : HidResult::Done(static_cast<std::size_t>(n));
}

HidResult HidrawDevice::getFeatureReport(ByteSpan report) {
    const int n = hid_get_feature_report(device_, report.data(), report.size());
    return n < 0 ? failure("get feature report") : HidResult::Done(static_cast<std::size_t>(n));
}

HidResult HidrawDevice::write(ConstByteSpan report) {
    const int n = hid_write(device_, report.data(), report.size());
    return n < 0 ? failure("write") : HidResult::Done(static_cast<std::size_t>(n));
}

HidResult HidrawDevice::read(ByteSpan buffer, std::chrono::milliseconds timeout) {
    using Steady = std::chrono::steady_clock;
    const auto deadline = Steady::now() + timeout;
    std::array<std::uint8_t, 256> report{};
    for (;;) {
        const auto left = std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now())
                   .count());
        const int n =
            hid_read_timeout(device_, report.data(), report.size(), static_cast<int>(left));
        if (n < 0) {
            return failure("read");
        }
        if (n == 0) {
            return HidResult::TimedOut();
        }
        const ConstByteSpan got(report.data(), static_cast<std::size_t>(n));
        if (eventsOnly_ && !IsEventReport(got)) {
            continue;  // another report of the same node; dropped before it reaches the worker
        }
        const std::size_t copied = std::min(got.size(), buffer.size());
        std::copy_n(got.begin(), copied, buffer.begin());
        return HidResult::Done(copied);
    }
}

}  // namespace tavrin
