#include "platform/hidraw/ReportDescriptorScanner.h"

#include <cstdio>
#include <vector>

namespace tavrin {

namespace {

// Item prefix: bits 0..1 size code, bits 2..3 type, bits 4..7 tag.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kTagInput = 0x8;
constexpr int kTagReportId = 0x8;
constexpr int kTagPush = 0xA;
constexpr int kTagPop = 0xB;
constexpr std::uint8_t kEventReportId = 4;

}  // namespace

ReportDescriptorScanner::Result ReportDescriptorScanner::Scan(ConstByteSpan d) {
    Result result;
    std::uint8_t reportId = 0;
    std::vector<std::uint8_t> stack;
    std::size_t at = 0;
    while (at < d.size()) {
        const std::uint8_t prefix = d[at];
        if (prefix == kLongItemPrefix) {
            // Long item: prefix, data size, tag, data.
            if (at + 3 > d.size()) {
                result.truncated = true;
                break;
            }
            const std::size_t length = d[at + 1];
            if (at + 3 + length > d.size()) {
                result.truncated = true;
                break;
            }
            at += 3 + length;
            continue;
        }
        const std::size_t sizeCode = prefix & 0x3;
        const std::size_t size = sizeCode == 3 ? 4 : sizeCode;
        const int type = (prefix >> 2) & 0x3;
        const int tag = prefix >> 4;
        if (at + 1 + size > d.size()) {
            result.truncated = true;
            break;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= static_cast<std::uint32_t>(d[at + 1 + i]) << (8 * i);
        }
        if (type == kTypeGlobal) {
            if (tag == kTagReportId) {
                reportId = static_cast<std::uint8_t>(value);
            } else if (tag == kTagPush) {
                stack.push_back(reportId);
            } else if (tag == kTagPop && !stack.empty()) {
                reportId = stack.back();
                stack.pop_back();
            }
        } else if (type == kTypeMain && tag == kTagInput) {
            result.inputReportIds.insert(reportId);
        }
        at += 1 + size;
    }
    return result;
}

std::string ReportDescriptorScanner::InterfaceMarker(int interfaceNumber,
                                                     ConstByteSpan descriptor) {
    std::string marker;
    if (interfaceNumber >= 0) {
        char text[16];
        std::snprintf(text, sizeof text, "mi_%02d", interfaceNumber);
        marker = text;
    }
    if (Scan(descriptor).inputReportIds.count(kEventReportId) != 0) {
        marker += "&col04";
    }
    return marker;
}

}  // namespace tavrin
