#pragma once

// The lighting panel's rules on the model, shared by every surface that changes the lighting.

#include <cstddef>

#include "model/SettingsBlock.h"

namespace tavrin {

// Picks entry `listIndex` of the effect list: the effect code, and the colour that goes with it
// (Static leaves colour 8 for 1, Wave always takes colour 8). The rows past the 18 effects are
// the table's padding and give Static; an index past the table changes nothing and is false.
bool ChooseEffect(SettingsBlock& settings, std::size_t listIndex);

}  // namespace tavrin
