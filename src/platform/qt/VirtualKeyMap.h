#pragma once

// Qt key events to Windows virtual-key codes, the codes the whole model speaks. The table is the
// one place that knows the mapping; only NativeSideKey depends on the window system.

#include <cstdint>
#include <optional>

#include <Qt>

class QKeyEvent;

namespace tavrin {

// The code of a key: `qtKey` is QKeyEvent::key(), `keypad` whether the keypad modifier is set,
// `nativeVirtualKey` QKeyEvent::nativeVirtualKey(), which alone tells the left and right Shift,
// Ctrl, Alt and Windows keys apart. nullopt for keys without a code. On Linux it is the keysym
// that xkbcommon gives for the key, on X11 and on Wayland alike: Qt's xcb and wayland platforms
// both pass it (and the XKB key code, evdev + 8, as the native scan code).
std::optional<std::uint8_t> VirtualKeyFor(int qtKey, bool keypad, std::uint32_t nativeVirtualKey);

std::optional<std::uint8_t> VirtualKeyOf(const QKeyEvent& event);

}  // namespace tavrin
