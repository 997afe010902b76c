#pragma once

// The 4564-byte image of the keyboard's configuration, stored whole in "keymap.bin" and in
// profiles. Reserved bytes are kept as read so that a file round-trips unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/KeyTables.h"
#include "model/KeyboardFields.h"

namespace tavrin {

class SettingsBlock : public KeyboardFields<SettingsBlock> {
public:
    static constexpr std::size_t kSize = 4564;

    // Offsets of the fields; everything not named here is reserved.
    static constexpr std::size_t kReportIntervalOffset = 11;  // report-rate slider position 0..3
    static constexpr std::size_t kKeyMapOffset = 792;         // 128 entries of 4 bytes
    static constexpr std::size_t kKeyMapSize = 512;
    static constexpr std::size_t kDeviceMacroOffset = 1304;  // five slots of 512 bytes
    static constexpr std::size_t kDeviceMacroSize = 512;
    static constexpr std::size_t kDeviceMacroCount = 5;
    static constexpr std::size_t kResponseTimeOffset = 3865;  // 1..10, steps of 2 ms
    static constexpr std::size_t kLightingOffset = 3866;      // the five LightingSettings bytes
    static constexpr std::size_t kLightingSize = 5;
    static constexpr std::size_t kEffectCodeOffset = 3866;
    static constexpr std::size_t kSpeedLevelOffset = 3867;
    static constexpr std::size_t kBrightnessLevelOffset = 3868;
    static constexpr std::size_t kColourIndexOffset = 3869;
    static constexpr std::size_t kDirectionCodeOffset = 3870;
    static constexpr std::size_t kGameModeOffset = 3892;
    static constexpr std::size_t kKeyEnableMaskOffset = 3893;
    static constexpr std::size_t kKeyEnableMaskSize = 24;
    static constexpr std::size_t kWinLockOffset = 3917;
    static constexpr std::size_t kDiyTableOffset = 3918;  // five tables of 128 bytes
    static constexpr std::size_t kDiyTableSize = 128;
    static constexpr std::size_t kDiyTableCount = 5;
    static constexpr std::size_t kDeviceParamsOffset = 4558;
    static constexpr std::size_t kDeviceParamsSize = 4;

    static_assert(kKeyMapOffset + kKeyMapSize == kDeviceMacroOffset);
    static_assert(kDeviceMacroOffset + kDeviceMacroCount * kDeviceMacroSize == 3864);
    static_assert(kKeyEnableMaskOffset + kKeyEnableMaskSize == kWinLockOffset);
    static_assert(kDiyTableOffset + kDiyTableCount * kDiyTableSize == kDeviceParamsOffset);
    static_assert(kDeviceParamsOffset + kDeviceParamsSize + 2 == kSize);

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t reportInterval() const { return bytes[kReportIntervalOffset]; }
    void setReportInterval(std::uint8_t v) { bytes[kReportIntervalOffset] = v; }
    std::uint8_t responseTime() const { return bytes[kResponseTimeOffset]; }
    void setResponseTime(std::uint8_t v) { bytes[kResponseTimeOffset] = v; }
    std::uint8_t effectCode() const { return bytes[kEffectCodeOffset]; }
    void setEffectCode(std::uint8_t v) { bytes[kEffectCodeOffset] = v; }
    std::uint8_t speedLevel() const { return bytes[kSpeedLevelOffset]; }
    void setSpeedLevel(std::uint8_t v) { bytes[kSpeedLevelOffset] = v; }
    std::uint8_t brightnessLevel() const { return bytes[kBrightnessLevelOffset]; }
    void setBrightnessLevel(std::uint8_t v) { bytes[kBrightnessLevelOffset] = v; }
    std::uint8_t colourIndex() const { return bytes[kColourIndexOffset]; }
    void setColourIndex(std::uint8_t v) { bytes[kColourIndexOffset] = v; }
    std::uint8_t directionCode() const { return bytes[kDirectionCodeOffset]; }
    void setDirectionCode(std::uint8_t v) { bytes[kDirectionCodeOffset] = v; }
    std::uint8_t gameMode() const { return bytes[kGameModeOffset]; }
    void setGameMode(std::uint8_t v) { bytes[kGameModeOffset] = v; }
    std::uint8_t winLock() const { return bytes[kWinLockOffset]; }
    void setWinLock(std::uint8_t v) { bytes[kWinLockOffset] = v; }

    KeyMapEntry keyMapEntry(std::size_t index) const;
    void setKeyMapEntry(std::size_t index, const KeyMapEntry& entry);

    // KeyEnableMask: bit (code & 7) of byte (code >> 3); 1 = active. Codes past the mask read as
    // disabled and are never written.
    bool isKeyEnabled(std::uint16_t matrixCode) const;
    void setKeyEnabled(std::uint16_t matrixCode, bool enabled);

    bool operator==(const SettingsBlock&) const = default;
};

// Device encodings of the lighting levels. The model keeps levels 0..4.
std::uint8_t SpeedToDevice(std::uint8_t level);
std::uint8_t SpeedFromDevice(std::uint8_t deviceValue);
std::uint8_t BrightnessToDevice(std::uint8_t level);
std::uint8_t BrightnessFromDevice(std::uint8_t deviceValue);

// The parts of the block that travel to the keyboard separately; the change test compares each
// one with the same bytes of the saved copy.
enum class SettingsPart {
    GameMode,
    ReportInterval,
    ResponseTime,
    DeviceMacro0,
    DeviceMacro1,
    DeviceMacro2,
    DeviceMacro3,
    DeviceMacro4,
    KeyMap,
    KeyEnableMask,
    WinLock,
    DeviceParams,
    DiyTable0,
    DiyTable1,
    DiyTable2,
    DiyTable3,
    DiyTable4,
    Lighting,
};

inline constexpr std::array<SettingsPart, 18> kAllSettingsParts = {
    SettingsPart::GameMode,      SettingsPart::ReportInterval, SettingsPart::ResponseTime,
    SettingsPart::DeviceMacro0,  SettingsPart::DeviceMacro1,   SettingsPart::DeviceMacro2,
    SettingsPart::DeviceMacro3,  SettingsPart::DeviceMacro4,   SettingsPart::KeyMap,
    SettingsPart::KeyEnableMask, SettingsPart::WinLock,        SettingsPart::DeviceParams,
    SettingsPart::DiyTable0,     SettingsPart::DiyTable1,      SettingsPart::DiyTable2,
    SettingsPart::DiyTable3,     SettingsPart::DiyTable4,      SettingsPart::Lighting,
};

inline constexpr SettingsPart DeviceMacroPart(std::size_t slot) {
    return static_cast<SettingsPart>(static_cast<int>(SettingsPart::DeviceMacro0) +
                                     static_cast<int>(slot));
}
inline constexpr SettingsPart DiyTablePart(std::size_t n) {
    return static_cast<SettingsPart>(static_cast<int>(SettingsPart::DiyTable0) +
                                     static_cast<int>(n));
}

struct ByteRange {
    std::size_t offset;
    std::size_t size;
};

ByteRange RangeOf(SettingsPart part);

// True when any byte of `part` differs between the live block and its saved copy.
bool PartDiffers(const SettingsBlock& live, const SettingsBlock& saved, SettingsPart part);

// Every part that differs, in the order of kAllSettingsParts.
std::vector<SettingsPart> ChangedParts(const SettingsBlock& live, const SettingsBlock& saved);

}  // namespace tavrin
