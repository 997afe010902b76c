#pragma once

// The tables that the settings image and the virtual keyboard's state both hold, each at the
// offsets its image names. `Image` derives from KeyboardFields<Image> and has a public byte array
// `bytes` and the constants kLightingOffset, kLightingSize, kKeyMapOffset, kKeyMapSize,
// kKeyEnableMaskOffset, kKeyEnableMaskSize, kDeviceMacroOffset, kDeviceMacroSize,
// kDiyTableOffset, kDiyTableSize, kDeviceParamsOffset and kDeviceParamsSize.

#include <cstddef>

#include "model/Bytes.h"

namespace tavrin {

template <typename Image>
class KeyboardFields {
public:
    // The five lighting bytes: effect, speed, brightness, colour, direction.
    auto lighting() { return field<Image::kLightingSize>(Image::kLightingOffset); }
    auto lighting() const { return field<Image::kLightingSize>(Image::kLightingOffset); }
    // 128 key-map entries of 4 bytes.
    auto keyMap() { return field<Image::kKeyMapSize>(Image::kKeyMapOffset); }
    auto keyMap() const { return field<Image::kKeyMapSize>(Image::kKeyMapOffset); }
    auto keyEnableMask() { return field<Image::kKeyEnableMaskSize>(Image::kKeyEnableMaskOffset); }
    auto keyEnableMask() const {
        return field<Image::kKeyEnableMaskSize>(Image::kKeyEnableMaskOffset);
    }
    auto deviceMacroRecord(std::size_t slot) {
        return field<Image::kDeviceMacroSize>(Image::kDeviceMacroOffset +
                                              Image::kDeviceMacroSize * slot);
    }
    auto deviceMacroRecord(std::size_t slot) const {
        return field<Image::kDeviceMacroSize>(Image::kDeviceMacroOffset +
                                              Image::kDeviceMacroSize * slot);
    }
    auto diyTable(std::size_t n) {
        return field<Image::kDiyTableSize>(Image::kDiyTableOffset + Image::kDiyTableSize * n);
    }
    auto diyTable(std::size_t n) const {
        return field<Image::kDiyTableSize>(Image::kDiyTableOffset + Image::kDiyTableSize * n);
    }
    auto deviceParams() { return field<Image::kDeviceParamsSize>(Image::kDeviceParamsOffset); }
    auto deviceParams() const {
        return field<Image::kDeviceParamsSize>(Image::kDeviceParamsOffset);
    }

    bool operator==(const KeyboardFields&) const = default;

private:
    template <std::size_t N>
    auto field(std::size_t offset) {
        return FieldSpan<N>(static_cast<Image&>(*this).bytes, offset);
    }
    template <std::size_t N>
    auto field(std::size_t offset) const {
        return FieldSpan<N>(static_cast<const Image&>(*this).bytes, offset);
    }
};

}  // namespace tavrin
