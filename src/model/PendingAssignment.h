#pragma once

// What the key assignment dialog chose for the selected key, waiting for ApplyKeyAssignment. The
// dialog resets it when it opens; it lives in the Model for the whole run.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/AssignmentKind.h"
#include "model/AssignmentTable.h"

namespace tavrin {

struct PendingAssignment {
    static constexpr std::int32_t kDefaultKeyCount = 255;  // PendingKeyCount after "Default"
    static constexpr std::int32_t kNoMacro = -1;
    static constexpr std::size_t kLaunchPathMaxChars = AssignmentRecord::kLaunchPathMaxChars;

    std::uint8_t pendingKind = KindByte(AssignmentKind::Nothing);
    std::array<std::uint8_t, AssignmentRecord::kKeysSize> pendingKeys{};  // virtual-key codes
    std::int32_t pendingKeyCount = 0;
    std::int32_t pendingMacro = kNoMacro;  // slot 0..4
    std::u16string pendingFunctionLabel;   // in the interface language
    std::u16string pendingLaunchPath;      // at most 255 characters fit a record
    std::uint8_t keyEnabledResult = 1;     // 1 = the key stays enabled, 0 = disable it
};

}  // namespace tavrin
