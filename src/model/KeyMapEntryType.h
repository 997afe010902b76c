#pragma once

// Byte 3 of a KeyMap entry: what the keyboard does with the key. These are the types the
// computer writes; the factory key map holds others, which are the keyboard's business.

#include <cstddef>
#include <cstdint>

namespace tavrin {

inline constexpr std::size_t kKeyMapEntryTypeByte = 3;

enum class KeyMapEntryType : std::uint8_t {
    Keys = 0x00,      // bytes 0..2: up to three HID keyboard usages, pressed together
    Consumer = 0x03,  // bytes 0, 1: high and low byte of a consumer-page usage
    Macro = 0x04,     // byte 0: the DeviceMacroRecord slot the keyboard plays
    KeyEvent = 0x0C,  // byte 0: the event code the keyboard reports to the computer
};

inline constexpr std::uint8_t EntryTypeByte(KeyMapEntryType type) {
    return static_cast<std::uint8_t>(type);
}

}  // namespace tavrin
