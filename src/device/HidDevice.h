#pragma once

// One open HID interface. Report forms follow hidapi: a feature report is 9 bytes with the report
// ID in byte 0 (a get-feature reply starts with it as well); a data report is written as 65 bytes
// (report ID 0, then 64 data bytes) and read as its data bytes without the ID.

#include <chrono>

#include "device/HidTypes.h"
#include "model/Bytes.h"

namespace tavrin {

class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual HidResult sendFeatureReport(ConstByteSpan report) = 0;
    // report[0] holds the report ID on entry; the reply, ID included, replaces it.
    virtual HidResult getFeatureReport(ByteSpan report) = 0;
    virtual HidResult write(ConstByteSpan report) = 0;
    // Waits at most `timeout` for one input report; Timeout when none came.
    virtual HidResult read(ByteSpan buffer, std::chrono::milliseconds timeout) = 0;
};

}  // namespace tavrin
