#pragma once

// The window messages of the system, with their fixed numbers.

#include <cstdint>

namespace tavrin {

inline constexpr std::uint32_t WM_TRAY_NOTIFY = 0x405;
inline constexpr std::uint32_t WM_SHOW_NO_KEYBOARD = 0x406;
inline constexpr std::uint32_t WM_HOOK_KEY = 0x6F3;
inline constexpr std::uint32_t WM_LIST_EDIT_BEGIN = 0x6F4;
inline constexpr std::uint32_t WM_LIST_EDIT_END = 0x6F5;
inline constexpr std::uint32_t WM_KEYBOARD_EVENT = 0x778;
inline constexpr std::uint32_t WM_SLIDER_MOVED = 0x779;
inline constexpr std::uint32_t WM_SETTINGS_LOADED = 0x77B;
inline constexpr std::uint32_t WM_KEYBOARD_LOST = 0x784;
inline constexpr std::uint32_t WM_LIST_EDITOR_CLOSE = 0x8841;

}  // namespace tavrin
