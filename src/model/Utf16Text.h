#pragma once

// UTF-16 text from files and settings, and the paths built from it. Text read from a file may hold
// any units, lone surrogates included, and a file name on Linux may be any bytes: neither may throw
// on the way, so every conversion here replaces what it cannot encode with U+FFFD.

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin {

std::u8string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::u8string_view text);

std::filesystem::path PathFromUtf16(std::u16string_view text);
std::u16string Utf16FromPath(const std::filesystem::path& path);

}  // namespace tavrin
