#pragma once

// The system's own window messages and their fixed numbers.

#include <cstdint>

namespace tavrin {

inline constexpr std::uint32_t WM_SHOW_NO_KEYBOARD = 0x406;
inline constexpr std::uint32_t WM_HOOK_KEY = 0x6F3;  // from the key hook
inline constexpr std::uint32_t WM_LIST_EDIT_BEGIN = 0x6F4;
inline constexpr std::uint32_t WM_LIST_EDIT_END = 0x6F5;
inline constexpr std::uint32_t WM_KEYBOARD_EVENT = 0x778;  // wParam event code
inline constexpr std::uint32_t WM_SLIDER_MOVED = 0x779;    // wParam slider control id
inline constexpr std::uint32_t WM_KEYBOARD_LOST = 0x784;
inline constexpr std::uint32_t WM_LIST_EDITOR_CLOSE = 0x8841;

// wParam of WM_SHOW_NO_KEYBOARD that asks for the balloon.
inline constexpr std::uintptr_t kShowNoKeyboardBalloon = 15;

}  // namespace tavrin
