#include "model/SettingsBlock.h"

#include <algorithm>

namespace tavrin {

KeyMapEntry SettingsBlock::keyMapEntry(std::size_t index) const {
    KeyMapEntry entry{};
    if (index < kKeyMapEntryCount) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(kKeyMapOffset + 4 * index), 4,
                    entry.begin());
    }
    return entry;
}

void SettingsBlock::setKeyMapEntry(std::size_t index, const KeyMapEntry& entry) {
    if (index < kKeyMapEntryCount) {
        std::copy(entry.begin(), entry.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(kKeyMapOffset + 4 * index));
    }
}

bool SettingsBlock::isKeyEnabled(std::uint16_t matrixCode) const {
    const std::size_t byte = matrixCode >> 3;
    if (byte >= kKeyEnableMaskSize) {
        return false;
    }
    return (bytes[kKeyEnableMaskOffset + byte] >> (matrixCode & 7)) & 1;
}

void SettingsBlock::setKeyEnabled(std::uint16_t matrixCode, bool enabled) {
    const std::size_t byte = matrixCode >> 3;
    if (byte >= kKeyEnableMaskSize) {
        return;
    }
    const auto bit = static_cast<std::uint8_t>(1u << (matrixCode & 7));
    std::uint8_t& target = bytes[kKeyEnableMaskOffset + byte];
    target = enabled ? static_cast<std::uint8_t>(target | bit)
                     : static_cast<std::uint8_t>(target & ~bit);
}

// Levels outside 0..4 (a foreign file) are sent as the nearest level instead of wrapping around.
std::uint8_t SpeedToDevice(std::uint8_t level) {
    return static_cast<std::uint8_t>(4 - std::min<std::uint8_t>(level, 4));
}

std::uint8_t SpeedFromDevice(std::uint8_t deviceValue) {
    return static_cast<std::uint8_t>(4 - std::min<std::uint8_t>(deviceValue, 4));
}

std::uint8_t BrightnessToDevice(std::uint8_t level) {
    switch (level) {
        case 0:
            return 0;
        case 1:
            return 50;
        case 2:
            return 100;
        case 3:
            return 150;
        case 4:
            return 255;
        default:
            return 150;
    }
}

std::uint8_t BrightnessFromDevice(std::uint8_t deviceValue) {
    switch (deviceValue) {
        case 0:
            return 0;
        case 50:
            return 1;
        case 100:
            return 2;
        case 150:
            return 3;
        case 255:
            return 4;
        default:
            return 3;
    }
}

ByteRange RangeOf(SettingsPart part) {
    using S = SettingsBlock;
    switch (part) {
        case SettingsPart::GameMode:
            return {S::kGameModeOffset, 1};
        case SettingsPart::ReportInterval:
            return {S::kReportIntervalOffset, 1};
        case SettingsPart::ResponseTime:
            return {S::kResponseTimeOffset, 1};
        case SettingsPart::DeviceMacro0:
        case SettingsPart::DeviceMacro1:
        case SettingsPart::DeviceMacro2:
        case SettingsPart::DeviceMacro3:
        case SettingsPart::DeviceMacro4: {
            const auto slot = static_cast<std::size_t>(
                static_cast<int>(part) - static_cast<int>(SettingsPart::DeviceMacro0));
            return {S::kDeviceMacroOffset + S::kDeviceMacroSize * slot, S::kDeviceMacroSize};
        }
        case SettingsPart::KeyMap:
            return {S::kKeyMapOffset, S::kKeyMapSize};
        case SettingsPart::KeyEnableMask:
            return {S::kKeyEnableMaskOffset, S::kKeyEnableMaskSize};
        case SettingsPart::WinLock:
            return {S::kWinLockOffset, 1};
        case SettingsPart::DeviceParams:
            return {S::kDeviceParamsOffset, S::kDeviceParamsSize};
        case SettingsPart::DiyTable0:
        case SettingsPart::DiyTable1:
        case SettingsPart::DiyTable2:
        case SettingsPart::DiyTable3:
        case SettingsPart::DiyTable4: {
            const auto n = static_cast<std::size_t>(static_cast<int>(part) -
                                                    static_cast<int>(SettingsPart::DiyTable0));
            return {S::kDiyTableOffset + S::kDiyTableSize * n, S::kDiyTableSize};
        }
        case SettingsPart::Lighting:
            return {S::kLightingOffset, S::kLightingSize};
    }
    return {0, 0};
}

bool PartDiffers(const SettingsBlock& live, const SettingsBlock& saved, SettingsPart part) {
    const ByteRange r = RangeOf(part);
    const auto begin = static_cast<std::ptrdiff_t>(r.offset);
    const auto end = static_cast<std::ptrdiff_t>(r.offset + r.size);
    return !std::equal(live.bytes.begin() + begin, live.bytes.begin() + end,
                       saved.bytes.begin() + begin);
}

std::vector<SettingsPart> ChangedParts(const SettingsBlock& live, const SettingsBlock& saved) {
    std::vector<SettingsPart> changed;
    for (SettingsPart part : kAllSettingsParts) {
        if (PartDiffers(live, saved, part)) {
            changed.push_back(part);
        }
    }
    return changed;
}

}  // namespace tavrin
