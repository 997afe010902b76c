#pragma once

// The skin's one accent colour, cyan: the pictures' highlights (tools/skin draws them with it) and
// the windows' focus ring.

#include <QRgb>

namespace tavrin {

inline constexpr QRgb kSkinAccent = 0xff1ed2ff;

}  // namespace tavrin
