#pragma once

#include <array>
#include <optional>

#include "model/KeyTables.h"

namespace tavrin {

// Finds the key under the window point (x, y): positions are tried from 0 upwards and the first
// rectangle that holds the point wins (edges inclusive, offset by the picture's origin). All-zero
// rectangles are never hit. Views with keys that cannot be picked decide about the position found.
std::optional<std::size_t> HitKeyRect(const std::array<KeyRect, kPositionCount>& rects, int x,
                                      int y);

}  // namespace tavrin
