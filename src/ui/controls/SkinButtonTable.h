#pragma once

// The main window's image buttons: room for 256, of which BuildSkinButtonTable fills the first
// 22; the rest stay empty.

#include <array>
#include <cstddef>

#include "ui/controls/SkinButton.h"

namespace tavrin {

inline constexpr std::size_t kSkinButtonCapacity = 256;
inline constexpr std::size_t kSkinButtonCount = 22;

class SkinButtonTable {
public:
    SkinButton& operator[](std::size_t index) { return buttons_.at(index); }
    const SkinButton& operator[](std::size_t index) const { return buttons_.at(index); }
    static constexpr std::size_t size() { return kSkinButtonCapacity; }

    void clear() { buttons_.fill(SkinButton{}); }

private:
    std::array<SkinButton, kSkinButtonCapacity> buttons_{};
};

// Clears the table and fills the 22 buttons with their rectangles and pictures, state 0.
void BuildSkinButtonTable(SkinButtonTable& table);

}  // namespace tavrin
