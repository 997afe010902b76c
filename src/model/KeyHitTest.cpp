#include "model/KeyHitTest.h"

namespace tavrin {

std::optional<std::size_t> HitKeyRect(const std::array<KeyRect, kPositionCount>& rects, int x,
                                      int y) {
    for (std::size_t position = 0; position < rects.size(); ++position) {
        const KeyRect& r = rects[position];
        if (r.isEmpty()) {
            continue;
        }
        const bool inside = r.left + kKeyboardOriginX <= x && x <= r.right + kKeyboardOriginX &&
                            r.top + kKeyboardOriginY <= y && y <= r.bottom + kKeyboardOriginY;
        if (inside) {
            return position;
        }
    }
    return std::nullopt;
}

}  // namespace tavrin
