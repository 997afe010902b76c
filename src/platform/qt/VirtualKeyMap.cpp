#include "platform/qt/VirtualKeyMap.h"

#include <QKeyEvent>
#include <array>

namespace tavrin {

namespace {

struct KeyCode {
    int qtKey;
    std::uint8_t vk;
};

// Keys whose Qt key alone gives the code. Punctuation follows the US layout; shifted symbols
// name the key they are typed on.
constexpr std::array kMainKeys = std::to_array<KeyCode>({
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_ParenRight, 48},
    {Qt::Key_Exclam, 49},
    {Qt::Key_At, 50},
    {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},
    {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55},
    {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    {Qt::Key_VolumeMute, 173},
    {Qt::Key_VolumeDown, 174},
    {Qt::Key_VolumeUp, 175},
    {Qt::Key_MediaNext, 176},
    {Qt::Key_MediaPrevious, 177},
    {Qt::Key_MediaStop, 178},
    {Qt::Key_MediaPlay, 179},
    {Qt::Key_MediaTogglePlayPause, 179},
    {Qt::Key_MediaPause, 179},
    {Qt::Key_LaunchMedia, 181},
});

// Keys of the numeric pad (the keypad modifier set). Without Num Lock the pad sends the
// navigation keys, which keep their own codes.
constexpr std::array kPadKeys = std::to_array<KeyCode>({
    {Qt::Key_0, 96},
    {Qt::Key_1, 97},
    {Qt::Key_2, 98},
    {Qt::Key_3, 99},
    {Qt::Key_4, 100},
    {Qt::Key_5, 101},
    {Qt::Key_6, 102},
    {Qt::Key_7, 103},
    {Qt::Key_8, 104},
    {Qt::Key_9, 105},
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Enter, 108},
    {Qt::Key_Return, 108},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Comma, 110},
    {Qt::Key_Slash, 111},
});

struct SidedKey {
    int qtKey;
    std::uint32_t rightNative;  // the native key of the right-hand one
    std::uint8_t leftVk;
    std::uint8_t rightVk;
};

// X11 keysyms Shift_R, Control_R, Alt_R, Super_R. On Windows the native virtual key is the code
// itself and this step becomes a look at VK_RSHIFT and friends.
constexpr std::uint32_t kShiftR = 0xFFE2;
constexpr std::uint32_t kControlR = 0xFFE4;
constexpr std::uint32_t kAltR = 0xFFEA;
constexpr std::uint32_t kSuperR = 0xFFEC;
constexpr std::uint32_t kIsoLevel3Shift = 0xFE03;  // AltGr

constexpr std::array kSidedKeys = std::to_array<SidedKey>({
    {Qt::Key_Shift, kShiftR, 160, 161},
    {Qt::Key_Control, kControlR, 162, 163},
    {Qt::Key_Alt, kAltR, 164, 165},
    {Qt::Key_Meta, kSuperR, 91, 92},
    {Qt::Key_Super_L, kSuperR, 91, 92},
    {Qt::Key_Super_R, kSuperR, 92, 92},
});

std::optional<std::uint8_t> Find(const auto& table, int qtKey) {
    for (const KeyCode& entry : table) {
        if (entry.qtKey == qtKey) {
            return entry.vk;
        }
    }
    return std::nullopt;
}

// Left or right by the native key; a native key of another kind counts as the left one.
std::optional<std::uint8_t> NativeSideKey(int qtKey, std::uint32_t nativeVirtualKey) {
    if (qtKey == Qt::Key_AltGr) {
        return 165;
    }
    for (const SidedKey& entry : kSidedKeys) {
        if (entry.qtKey == qtKey) {
            const bool right = nativeVirtualKey == entry.rightNative ||
                               (qtKey == Qt::Key_Alt && nativeVirtualKey == kIsoLevel3Shift);
            return right ? entry.rightVk : entry.leftVk;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::uint8_t> VirtualKeyFor(int qtKey, bool keypad, std::uint32_t nativeVirtualKey) {
    if (keypad) {
        if (const auto vk = Find(kPadKeys, qtKey)) {
            return vk;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<std::uint8_t>(65 + (qtKey - Qt::Key_A));
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return static_cast<std::uint8_t>(48 + (qtKey - Qt::Key_0));
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return static_cast<std::uint8_t>(112 + (qtKey - Qt::Key_F1));
    }
    if (const auto vk = NativeSideKey(qtKey, nativeVirtualKey)) {
        return vk;
    }
    return Find(kMainKeys, qtKey);
}

std::optional<std::uint8_t> VirtualKeyOf(const QKeyEvent& event) {
    return VirtualKeyFor(event.key(), event.modifiers().testFlag(Qt::KeypadModifier),
                         event.nativeVirtualKey());
}

}  // namespace tavrin
