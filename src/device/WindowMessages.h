#pragma once

// The system's own window messages and their fixed numbers.

#include <cstdint>

namespace tavrin {

inline constexpr std::uint32_t WM_TRAY_NOTIFY = 0x405;       // wParam icon id, lParam mouse message
inline constexpr std::uint32_t WM_SHOW_NO_KEYBOARD = 0x406;  // wParam 15 shows the balloon
inline constexpr std::uint32_t WM_HOOK_KEY = 0x6F3;          // from the key hook
inline constexpr std::uint32_t WM_LIST_EDIT_BEGIN = 0x6F4;
inline constexpr std::uint32_t WM_LIST_EDIT_END = 0x6F5;
inline constexpr std::uint32_t WM_KEYBOARD_EVENT = 0x778;   // wParam event code
inline constexpr std::uint32_t WM_SLIDER_MOVED = 0x779;     // wParam slider control id
inline constexpr std::uint32_t WM_SETTINGS_LOADED = 0x77B;  // lParam 0 read from keyboard, 1 local
inline constexpr std::uint32_t WM_KEYBOARD_LOST = 0x784;
inline constexpr std::uint32_t WM_LIST_EDITOR_CLOSE = 0x8841;

// wParam of WM_SHOW_NO_KEYBOARD that asks for the balloon.
inline constexpr std::uintptr_t kShowNoKeyboardBalloon = 15;
// lParam values of WM_SETTINGS_LOADED.
inline constexpr std::intptr_t kLoadedFromKeyboard = 0;
inline constexpr std::intptr_t kLoadedLocally = 1;

}  // namespace tavrin
