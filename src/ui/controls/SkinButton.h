#pragma once

// One image button of a skinned dialog: its rectangle and its three pictures.

#include <cstdint>
#include <string>

namespace tavrin {

// Client coordinates of the dialog; both edges belong to the rectangle when hit-testing.
struct SkinRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool contains(std::int32_t x, std::int32_t y) const {
        return left <= x && x <= right && top <= y && y <= bottom;
    }
    bool operator==(const SkinRect&) const = default;
};

struct SkinButton {
    SkinRect rectangle;
    std::u16string normalPicture;
    std::u16string highlightedPicture;  // while the pointer is over it, or while it is on
    std::u16string pressedPicture;
    std::int32_t state = 0;  // the dialog's own use
};

}  // namespace tavrin
