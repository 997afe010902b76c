#pragma once

// The key assignment dialog's ten image buttons and their hit test.

#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/controls/SkinButton.h"

namespace tavrin {

class KeyMapButtons {
public:
    static constexpr std::size_t kCount = 10;
    static constexpr std::uint8_t kClose = 0;
    static constexpr std::uint8_t kFirstTab = 1;  // tabs 0..3 are buttons 1..4
    static constexpr std::uint8_t kTabBand = 5;
    static constexpr std::uint8_t kDisableTick = 6;  // state 0 key enabled, 1 key disabled
    static constexpr std::uint8_t kDefault = 7;
    static constexpr std::uint8_t kCancel = 8;
    static constexpr std::uint8_t kSave = 9;
    static constexpr std::uint8_t kNone = 255;
    static constexpr std::int32_t kTickSlack = 5;  // the small tick box takes clicks around it

    KeyMapButtons() { rebuild(); }

    // Back to the static table: rectangles, pictures, every state 0.
    void rebuild();

    // The tick box with its widened rectangle first, then the buttons in order, edges
    // included; kNone when no button holds the point.
    std::uint8_t hitTest(std::int32_t x, std::int32_t y) const;

    SkinButton& operator[](std::size_t index) { return buttons_.at(index); }
    const SkinButton& operator[](std::size_t index) const { return buttons_.at(index); }

private:
    std::array<SkinButton, kCount> buttons_{};
};

}  // namespace tavrin
