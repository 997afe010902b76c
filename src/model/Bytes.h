#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tavrin {

using ByteSpan = std::span<std::uint8_t>;
using ConstByteSpan = std::span<const std::uint8_t>;

inline std::uint16_t ReadLe16(ConstByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline void WriteLe16(ByteSpan bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline std::int32_t ReadLe32(ConstByteSpan bytes, std::size_t offset) {
    const std::uint32_t v = static_cast<std::uint32_t>(bytes[offset]) |
                            (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
                            (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
                            (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
    return static_cast<std::int32_t>(v);
}

inline void WriteLe32(ByteSpan bytes, std::size_t offset, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
    }
}

// The `N` bytes from `offset` of a byte image, as a fixed-size span: writable from a writable
// image, read-only from a const one.
template <std::size_t N, std::size_t M>
std::span<std::uint8_t, N> FieldSpan(std::array<std::uint8_t, M>& bytes, std::size_t offset) {
    return std::span<std::uint8_t, M>(bytes).subspan(offset).template first<N>();
}
template <std::size_t N, std::size_t M>
std::span<const std::uint8_t, N> FieldSpan(const std::array<std::uint8_t, M>& bytes,
                                           std::size_t offset) {
    return std::span<const std::uint8_t, M>(bytes).subspan(offset).template first<N>();
}

// A UTF-16 field of `field.size() / 2` units. Reading stops at the first NUL or at the end of the
// field, so a field without a terminator is cut at its size instead of overrunning.
inline std::u16string ReadUtf16Field(ConstByteSpan field) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < field.size(); i += 2) {
        const auto unit = static_cast<char16_t>(field[i] | (field[i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

// Writes `text` NUL-terminated and zero-pads the rest of the field. Text that would not leave room
// for the terminator is cut to `field.size() / 2 - 1` units.
inline void WriteUtf16Field(ByteSpan field, std::u16string_view text) {
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    const std::size_t units = field.size() / 2;
    if (units == 0) {
        return;
    }
    const std::size_t n = std::min(text.size(), units - 1);
    for (std::size_t i = 0; i < n; ++i) {
        field[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
        field[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
}

}  // namespace tavrin
