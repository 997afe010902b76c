#pragma once

#include <string_view>

#include "device/HidBackend.h"
#include "model/Model.h"

namespace tavrin {

// Looks for the keyboard's interface whose marker contains `marker` (case-sensitive), among
// interfaces of vendor 0x04D9 and product 0xA2A0 or 0xA247. On success the interface's path goes
// into model.devicePath and model.layoutVariant becomes 1 (for either product); otherwise the
// model keeps both values. Returns whether an interface was found.
bool FindKeyboardPath(HidBackend& backend, std::string_view marker, Model& model);

// Whether the IDs are the keyboard's.
bool IsKeyboardId(std::uint16_t vendorId, std::uint16_t productId);

}  // namespace tavrin
