#pragma once

// The key assignment dialog's texts for captured keys.

#include <QString>
#include <cstdint>
#include <span>

namespace tavrin {

// The KeyCodeTable name of a virtual-key code, its trailing space included.
QString KeyName(std::uint8_t vk);

// The names of the non-zero codes joined by "+ ": "LCtrl + A ".
QString CombinationText(std::span<const std::uint8_t> keys);

}  // namespace tavrin
