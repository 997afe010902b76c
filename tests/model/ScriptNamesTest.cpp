// The names a script or the command line uses for effects, keys, functions, directions and report
// rates: what the windows show, in any letter case, and nothing that could mean two things.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/KeyTables.h"
#include "model/ScriptNames.h"

namespace tavrin {
namespace {

struct NameCase {
    std::u16string text;
    std::optional<int> expected;
};

std::string Show(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

TEST(ScriptNames, EffectsByNameInEitherLanguageOrByRow) {
    const NameCase cases[] = {
        {u"Static", 0},     {u"wave", 2},       {u"WAVE", 2},  {u"波浪", 2},
        {u"horse race", 8}, {u"Instant-on", 6}, {u"diy1", 13}, {u"DIY5", 17},
        {u"0", 0},          {u"17", 17},        {u"18", {}},   {u"-1", {}},
        {u"Wave ", {}},     {u"", {}},          {u"Rain", {}}, {u"2.0", {}},
    };
    for (const NameCase& c : cases) {
        const auto row = FindEffect(c.text);
        EXPECT_EQ(row ? std::optional<int>(static_cast<int>(*row)) : std::nullopt, c.expected)
            << Show(c.text);
    }
}

TEST(ScriptNames, KeysToSendByTheDialogsNamesWithThePadsDuplicatesMarked) {
    const NameCase cases[] = {
        {u"A", 65},          {u"a", 65},           {u"LCtrl", 162},     {u"rshift", 161},
        {u"F12", 123},       {u"Enter", 13},       {u"Enter-num", 108}, {u"--num", 109},
        {u"-", 189},         {u"/-num", 111},      {u".", 190},         {u"1-num", 97},
        {u"Volume UP", 175}, {u"Play/Pause", 179}, {u"MsLB", 0xF0},     {u"Space", 32},
        {u"", {}},           {u" ", {}},           {u"Ctrl", {}},       {u"Enter ", {}},
    };
    for (const NameCase& c : cases) {
        const auto vk = FindKeyCode(c.text);
        EXPECT_EQ(vk ? std::optional<int>(*vk) : std::nullopt, c.expected) << Show(c.text);
    }
    // Every named code is found again by its own name.
    for (int vk = 0; vk < 256; ++vk) {
        const std::u16string name = KeyCodeName(static_cast<std::uint8_t>(vk));
        if (!name.empty()) {
            EXPECT_EQ(FindKeyCode(name), std::optional<std::uint8_t>(vk)) << Show(name);
        }
    }
}

TEST(ScriptNames, KeysOfTheKeyboardByCodeNameOrByACaptionNoOtherKeyShows) {
    const NameCase cases[] = {
        {u"Esc", 0},    {u"Caps", 62},   {u"caps lock", 62}, {u"Fn", 100},       {u"App", 101},
        {u"Apps", 101}, {u"LShift", 78}, {u"RShift", 89},    {u"Enter-num", 94}, {u"Enter", 74},
        {u"Prnt", 13},  {u"Prscr", 13},  {u"~", 20},         {u"`", 20},         {u"Media", 17},
        {u"Shift", {}}, {u"Alt", {}},    {u"Ent", {}},       {u"MsLB", {}},
    };
    for (const NameCase& c : cases) {
        const auto p = FindKeyPosition(c.text);
        EXPECT_EQ(p ? std::optional<int>(*p) : std::nullopt, c.expected) << Show(c.text);
    }
    // Every key with a matrix place has one name that leads back to it.
    for (std::uint8_t p = 0; p < kMatrixPositionCount; ++p) {
        if (!KeyCaptionTable[p].empty() || DefaultVkTable[p] != 0) {
            EXPECT_EQ(FindKeyPosition(KeyPositionName(p)), std::optional<std::uint8_t>(p))
                << "position " << int(p);
        }
    }
    EXPECT_TRUE(KeyOnLayout(94, 1));
    EXPECT_FALSE(KeyOnLayout(94, 0)) << "the 87-key keyboard has no numeric pad";
    EXPECT_FALSE(KeyOnLayout(108, 1));
}

TEST(ScriptNames, FunctionsDirectionsAndReportRates) {
    ASSERT_NE(FindFunction(u"vol+"), nullptr);
    EXPECT_EQ(FindFunction(u"vol+")->english, u"Vol+");
    EXPECT_EQ(FindFunction(u"音量+"), FindFunction(u"Vol+"));
    EXPECT_EQ(FindFunction(u"select all")->chinese, u"全选");
    EXPECT_EQ(FindFunction(u"Media"), nullptr);
    EXPECT_EQ(FindFunction(u""), nullptr);

    const NameCase directions[] = {{u"up", 3},   {u"Down", 2}, {u"RIGHT", 1},
                                   {u"left", 0}, {u"T", {}},   {u"3", {}}};
    for (const NameCase& c : directions) {
        const auto code = FindDirection(c.text);
        EXPECT_EQ(code ? std::optional<int>(*code) : std::nullopt, c.expected) << Show(c.text);
    }
    EXPECT_EQ(DirectionName(3), u"up");
    EXPECT_EQ(DirectionName(4), u"");

    const NameCase rates[] = {
        {u"0", 0},     {u"3", 3},        {u"125", 0},  {u"1000", 3}, {u"500Hz", 2},
        {u"250hz", 1}, {u"4", {}},       {u"100", {}}, {u"3Hz", {}}, {u"Hz", {}},
        {u"", {}},     {u"1000 Hz", {}}, {u"+1", {}},
    };
    for (const NameCase& c : rates) {
        const auto p = FindReportPosition(c.text);
        EXPECT_EQ(p ? std::optional<int>(*p) : std::nullopt, c.expected) << Show(c.text);
    }
}

}  // namespace
}  // namespace tavrin
