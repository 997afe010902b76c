#pragma once

#include <array>
#include <cstdint>

#include "ui/main/MainLayout.h"

namespace tavrin {

// The main window's own state, shared by its layout, keyboard view, panels and commands.
struct MainWindowState {
    PanelState panel;
    bool effectListOpen = false;
    bool responseListOpen = false;
    bool helpOpen = false;
    bool diyView = false;
    std::array<std::uint8_t, 255> hoverFlags{};
    bool mouseDown = false;
    std::uint8_t lastHoverRegion = kNoRegion;
    std::uint8_t lastHoverKey = 255;
    std::uint8_t effectListRow = kNoRow;
    std::uint8_t responseListRow = kNoRow;

    bool hovered(Region r) const { return hoverFlags[static_cast<std::size_t>(r)] != 0; }
    bool listOpen() const { return effectListOpen || responseListOpen; }
};

}  // namespace tavrin
