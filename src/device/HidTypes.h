#pragma once

// What every HID backend reports: the interfaces it sees and the outcome of each call.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavrin {

struct HidInterfaceInfo {
    std::string path;  // opaque to the core; handed back to HidBackend::open
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string marker;  // matched against "mi_03" and "ol04"
};

enum class HidStatus {
    Ok,
    Timeout,       // a read that got nothing within its time-out
    Disconnected,  // the device is gone
    Failed,        // any other error
};

struct [[nodiscard]] HidResult {
    HidStatus status = HidStatus::Ok;
    std::size_t bytes = 0;  // bytes taken or delivered when status is Ok
    std::string error;      // what went wrong, for the caller's message

    static HidResult Done(std::size_t n) { return {HidStatus::Ok, n, {}}; }
    static HidResult TimedOut() { return {HidStatus::Timeout, 0, "no report within the time-out"}; }
    static HidResult Gone() { return {HidStatus::Disconnected, 0, "device disconnected"}; }
    static HidResult Error(std::string text) { return {HidStatus::Failed, 0, std::move(text)}; }

    bool ok() const { return status == HidStatus::Ok; }
};

}  // namespace tavrin
