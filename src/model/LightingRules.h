#pragma once

// The lighting panel's rules on the model, shared by every surface that changes the lighting.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/SettingsBlock.h"

namespace tavrin {

// Picks entry `listIndex` of the effect list: the effect code, and the colour that goes with it
// (Static leaves colour 8 for 1, Wave always takes colour 8). The rows past the 18 effects are
// the table's padding and give Static; an index past the table changes nothing and is false.
bool ChooseEffect(SettingsBlock& settings, std::size_t listIndex);

// The effect list's names in row order; empty past the 18 effects.
std::u16string_view EffectName(std::size_t row, bool chinese);
// The name drawn in the effect box: the first row whose code is `effectCode`; none for codes the
// list does not know.
std::optional<std::u16string_view> EffectNameForCode(std::uint8_t effectCode, bool chinese);
// The first row whose code is `effectCode`.
std::optional<std::size_t> EffectRowForCode(std::uint8_t effectCode);

}  // namespace tavrin
