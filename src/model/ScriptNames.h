#pragma once

// The names by which a script or the command line refers to effects, keys, functions, directions
// and report rates: the texts the windows show, matched without regard to the case of ASCII
// letters. Numbers are plain decimal digits.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/FunctionCatalogue.h"

namespace tavrin {

// An effect list row: its name in either language, or its row number 0..17.
std::optional<std::size_t> FindEffect(std::u16string_view text);

// A key to send, by the name the key assignment dialog shows for it ("A", "LCtrl", "F5"). The
// numeric pad's keys whose names the main keys share are "Enter-num", "--num", ".-num" and
// "/-num".
std::optional<std::uint8_t> FindKeyCode(std::u16string_view name);
// The name FindKeyCode takes for `vk`; empty for codes without a name.
std::u16string KeyCodeName(std::uint8_t vk);

// A key of the keyboard (position 0..107): the name of the code it sends by default, or its
// caption in the main window where no other key has the same caption ("Caps Lock", "Fn").
std::optional<std::uint8_t> FindKeyPosition(std::u16string_view name);
std::u16string KeyPositionName(std::uint8_t position);
// Whether the layout (1 = 104 keys, else 87) has the key.
bool KeyOnLayout(std::uint8_t position, std::uint8_t layoutVariant);

// A function of the catalogue by its label in either language.
const CatalogueFunction* FindFunction(std::u16string_view label);

// Wave directions: "up" 3, "down" 2, "right" 1, "left" 0.
std::optional<std::uint8_t> FindDirection(std::u16string_view name);
std::u16string_view DirectionName(std::uint8_t code);

// The report-rate slider's positions and the rates their labels show.
inline constexpr std::array<int, 4> kReportRatesHz = {125, 250, 500, 1000};
// A position "0".."3", or a labelled rate with or without "Hz" ("500", "500Hz").
std::optional<std::uint8_t> FindReportPosition(std::u16string_view text);

// A non-negative decimal number of at most nine digits, nothing else.
std::optional<int> ParseDecimal(std::u16string_view text);
// Equal but for the case of ASCII letters.
bool SameName(std::u16string_view a, std::u16string_view b);

}  // namespace tavrin
