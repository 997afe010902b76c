#include "device/FindKeyboardPath.h"

#include "device/KeyboardProtocol.h"

namespace tavrin {

bool IsKeyboardId(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == protocol::kVendorId &&
           (productId == protocol::kProductId104 || productId == protocol::kProductIdAlt);
}

bool FindKeyboardPath(HidBackend& backend, std::string_view marker, Model& model) {
    for (const HidInterfaceInfo& info : backend.enumerate()) {
        if (IsKeyboardId(info.vendorId, info.productId) &&
            info.marker.find(marker) != std::string::npos) {
            model.layoutVariant = 1;
            model.devicePath = info.path;
            return true;
        }
    }
    return false;
}

}  // namespace tavrin
