#pragma once

// What the virtual keyboard remembers, as one byte image: the form of its state file. Lighting
// values are kept in the keyboard's own encoding (speed 4 - level, brightness 0..255).

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "model/KeyboardFields.h"

namespace tavrin {

class VirtualKeyboardState : public KeyboardFields<VirtualKeyboardState> {
public:
    static constexpr std::size_t kMagicOffset = 0;  // "TVKS"
    static constexpr std::size_t kFormatOffset = 4;
    static constexpr std::size_t kLightingOffset =
        5;  // effect, speed, brightness, colour, direction
    static constexpr std::size_t kLightingSize = 5;
    static constexpr std::size_t kGameModeOffset = 10;
    static constexpr std::size_t kWinLockOffset = 11;
    static constexpr std::size_t kResponseTimeOffset = 12;
    static constexpr std::size_t kReportIntervalOffset = 13;
    static constexpr std::size_t kDeviceParamsOffset = 14;
    static constexpr std::size_t kDeviceParamsSize = 4;
    static constexpr std::size_t kKeyMapOffset = 18;
    static constexpr std::size_t kKeyMapSize = 512;
    static constexpr std::size_t kKeyEnableMaskOffset = 530;
    static constexpr std::size_t kKeyEnableMaskSize = 24;
    static constexpr std::size_t kDeviceMacroOffset = 554;
    static constexpr std::size_t kDeviceMacroSize = 512;
    static constexpr std::size_t kDeviceMacroCount = 5;
    static constexpr std::size_t kDiyTableOffset = 3114;
    static constexpr std::size_t kDiyTableSize = 128;
    static constexpr std::size_t kDiyTableCount = 5;
    static constexpr std::size_t kSize = 3754;
    static constexpr std::uint8_t kFormat = 1;

    static_assert(kKeyMapOffset + kKeyMapSize == kKeyEnableMaskOffset);
    static_assert(kKeyEnableMaskOffset + kKeyEnableMaskSize == kDeviceMacroOffset);
    static_assert(kDeviceMacroOffset + kDeviceMacroCount * kDeviceMacroSize == kDiyTableOffset);
    static_assert(kDiyTableOffset + kDiyTableCount * kDiyTableSize == kSize);

    // Factory state: factory key map, every key enabled, lighting and settings at their defaults.
    VirtualKeyboardState();

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t& gameMode() { return bytes[kGameModeOffset]; }
    std::uint8_t& winLock() { return bytes[kWinLockOffset]; }
    std::uint8_t& responseTime() { return bytes[kResponseTimeOffset]; }
    std::uint8_t& reportInterval() { return bytes[kReportIntervalOffset]; }
    std::uint8_t gameMode() const { return bytes[kGameModeOffset]; }
    std::uint8_t winLock() const { return bytes[kWinLockOffset]; }
    std::uint8_t responseTime() const { return bytes[kResponseTimeOffset]; }
    std::uint8_t reportInterval() const { return bytes[kReportIntervalOffset]; }

    // Loads a state file; false (and the state untouched) when it is missing, short or foreign.
    bool load(const std::filesystem::path& path, std::string& error);
    bool save(const std::filesystem::path& path, std::string& error) const;

    bool operator==(const VirtualKeyboardState&) const = default;
};

}  // namespace tavrin
