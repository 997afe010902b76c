#include "model/Utf16Text.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(Utf16TextTest, RoundTripsEveryPlane) {
    const std::u16string text = u"Profile_1 配置 \U0001F3AE";
    EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(text)), text);
    EXPECT_EQ(Utf16FromPath(PathFromUtf16(text)), text);
}

TEST(Utf16TextTest, WhatCannotBeEncodedBecomesAReplacement) {
    struct Case {
        std::u16string utf16;
        std::u8string utf8;
    };
    for (const Case& c : {Case{std::u16string(1, char16_t(0xD800)) + u"a", u8"\uFFFDa"},
                          Case{u"a" + std::u16string(1, char16_t(0xDC00)), u8"a\uFFFD"}}) {
        EXPECT_TRUE(Utf8FromUtf16(c.utf16) == c.utf8);  // gtest here cannot print u8 strings
    }
    // File names on Linux are bytes: invalid UTF-8 never throws.
    const std::u8string bytes = {char8_t(0x66), char8_t(0xFF), char8_t(0xC3), char8_t(0x28),
                                 char8_t(0xED), char8_t(0xA0), char8_t(0x80)};
    const std::u16string decoded = Utf16FromUtf8(bytes);
    EXPECT_EQ(decoded.front(), u'f');
    EXPECT_EQ(decoded.find_first_not_of(u"f\uFFFD("), std::u16string::npos);
    EXPECT_EQ(Utf16FromPath(std::filesystem::path(std::string("x\xFF.bin"))), u"x\uFFFD.bin");
}

}  // namespace
}  // namespace tavrin
