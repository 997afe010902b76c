#pragma once

// A small scanner over HID report descriptor items: which report IDs carry input reports, and the
// interface marker that discovery matches ("mi_03", "mi_02&col04").

#include <cstdint>
#include <set>
#include <string>

#include "model/Bytes.h"

namespace tavrin {

class ReportDescriptorScanner {
public:
    struct Result {
        std::set<std::uint8_t> inputReportIds;  // 0 stands for inputs declared before any ID
        bool truncated = false;                 // the descriptor ends inside an item
    };

    static Result Scan(ConstByteSpan descriptor);

    // "mi_NN" of the USB interface number, then "&col04" when the descriptor declares an input
    // report with ID 4. Without an interface number (not USB) only the second part remains.
    static std::string InterfaceMarker(int interfaceNumber, ConstByteSpan descriptor);
};

}  // namespace tavrin
