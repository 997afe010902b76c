#pragma once

// Virtual-key code -> HID usage and display name. The names are shown as they stand, trailing
// spaces included.

#include <array>
#include <cstdint>
#include <string_view>

namespace tavrin {

struct KeyCodeRecord {
    std::uint8_t virtualKey = 0;  // equal to the record's index
    std::uint8_t usage = 0;       // HID usage sent for this key, 0 = none
    std::u16string_view name;
};

using KeyCodeTable = std::array<KeyCodeRecord, 256>;

// Mouse functions use codes 240..249 that are no Windows keys; the keyboard knows them as usages.
inline constexpr std::uint8_t kMouseLeftButton = 0xF0;
inline constexpr std::uint8_t kMouseRightButton = 0xF1;
inline constexpr std::uint8_t kMouseMiddleButton = 0xF2;

constexpr KeyCodeTable BuildKeyCodeTable() {
    KeyCodeTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].virtualKey = static_cast<std::uint8_t>(i);
    }
    const auto set = [&table](int vk, int usage, std::u16string_view name) {
        table[static_cast<std::size_t>(vk)].usage = static_cast<std::uint8_t>(usage);
        table[static_cast<std::size_t>(vk)].name = name;
    };
    set(8, 42, u"Back ");
    set(9, 43, u"Tab ");
    set(13, 40, u"Enter ");
    set(19, 72, u"Pause ");
    set(20, 57, u"Caps ");
    set(27, 41, u"Esc ");
    set(32, 44, u"Space ");
    set(33, 75, u"PgUp ");
    set(34, 78, u"PgDn ");
    set(35, 77, u"End ");
    set(36, 74, u"Home ");
    set(37, 80, u"Left ");
    set(38, 82, u"Up ");
    set(39, 79, u"Right ");
    set(40, 81, u"Down ");
    set(44, 70, u"Prscr ");
    set(45, 73, u"Inst ");
    set(46, 76, u"Del ");
    set(48, 39, u"0");
    constexpr std::u16string_view digits[] = {u"1 ", u"2 ", u"3 ", u"4 ", u"5 ",
                                              u"6 ", u"7 ", u"8 ", u"9 "};
    for (int d = 0; d < 9; ++d) {
        set(49 + d, 30 + d, digits[d]);
    }
    constexpr std::u16string_view letters[] = {
        u"A ", u"B ", u"C ", u"D ", u"E ", u"F ", u"G ", u"H ", u"I ", u"J ", u"K ", u"L ", u"M ",
        u"N ", u"O ", u"P ", u"Q ", u"R ", u"S ", u"T ", u"U ", u"V ", u"W ", u"X ", u"Y ", u"Z "};
    for (int l = 0; l < 26; ++l) {
        set(65 + l, 4 + l, letters[l]);
    }
    set(91, 227, u"LWin ");
    set(92, 231, u"RWin ");
    set(93, 101, u"Apps ");
    set(96, 98, u"0-num ");
    constexpr std::u16string_view pad[] = {u"1-num ", u"2-num ", u"3-num ", u"4-num ", u"5-num ",
                                           u"6-num ", u"7-num ", u"8-num ", u"9-num "};
    for (int d = 0; d < 9; ++d) {
        set(97 + d, 89 + d, pad[d]);
    }
    set(106, 85, u"* ");
    set(107, 87, u"+ ");
    set(108, 88, u"Enter ");
    set(109, 86, u"- ");
    set(110, 99, u". ");
    set(111, 84, u"/ ");
    constexpr std::u16string_view functionKeys[] = {u"F1 ", u"F2 ",  u"F3 ",  u"F4 ",
                                                    u"F5 ", u"F6 ",  u"F7 ",  u"F8 ",
                                                    u"F9 ", u"F10 ", u"F11 ", u"F12 "};
    for (int f = 0; f < 12; ++f) {
        set(112 + f, 58 + f, functionKeys[f]);
    }
    set(144, 83, u"Num ");
    set(145, 71, u"Scrol ");
    set(160, 225, u"LShift ");
    set(161, 229, u"RShift ");
    set(162, 224, u"LCtrl ");
    set(163, 228, u"RCtrl ");
    set(164, 226, u"LAlt ");
    set(165, 230, u"RAlt ");
    set(174, 234, u"Volume DOWN ");
    set(175, 233, u"Volume UP ");
    set(179, 205, u"Play/Pause");
    set(181, 131, u"Media ");
    set(186, 51, u"; ");
    set(187, 46, u"= ");
    set(188, 54, u", ");
    set(189, 45, u"- ");
    set(190, 55, u". ");
    set(191, 56, u"/ ");
    set(192, 53, u"` ");
    set(219, 47, u"[ ");
    set(220, 50, u"\\ ");
    set(221, 48, u"] ");
    set(222, 52, u"' ");
    set(240, 240, u"MsLB");
    set(241, 241, u"MsRB");
    set(242, 242, u"MsMB");
    set(243, 243, u"");
    set(244, 244, u"");
    set(245, 245, u"Mouse Pointer Right");
    set(246, 246, u"Mouse Pointer Up");
    set(247, 247, u"Mouse pointer Down");
    set(248, 248, u"Mouse Wheel Up");
    set(249, 249, u"Mouse Wheel Down");
    return table;
}

// The one table, built at compile time and read-only for the whole run.
inline constexpr KeyCodeTable kKeyCodeTable = BuildKeyCodeTable();

// HID usage byte of virtual-key code `vk` (0 for keys without one).
constexpr std::uint8_t HidUsage(std::uint8_t vk) {
    return kKeyCodeTable[vk].usage;
}

}  // namespace tavrin
