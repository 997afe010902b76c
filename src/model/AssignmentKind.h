#pragma once

// What an AssignmentRecord holds, and what the key assignment dialog hands over.

#include <cstdint>

namespace tavrin {

// AssignmentKind values of AssignmentRecord::kind and of PendingKind.
enum class AssignmentKind : std::uint8_t {
    SingleKey = 0,  // also "no assignment" with keyCount 0
    KeyCombination = 1,
    Macro = 2,
    Function = 3,
    PlaySound = 4,
    Startup = 5,
    OpenFile = 6,
    OpenFolder = 7,
    RestoreDefault = 8,  // produced by the dialog, never stored
    Nothing = 255,       // nothing chosen (the launch tab before a chooser succeeded)
};

inline constexpr std::uint8_t KindByte(AssignmentKind kind) {
    return static_cast<std::uint8_t>(kind);
}

// Kinds 4 to 7: the key opens something on the computer.
inline constexpr bool IsLaunchKind(std::uint8_t kind) {
    return kind >= KindByte(AssignmentKind::PlaySound) &&
           kind <= KindByte(AssignmentKind::OpenFolder);
}

}  // namespace tavrin
