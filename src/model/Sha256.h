#pragma once

// SHA-256 (FIPS 180-4) over a byte string, for fingerprints that must stay the same on every
// build and platform: what the program remembers in its settings is compared with it later.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tavrin {

std::array<std::uint8_t, 32> Sha256(std::span<const std::uint8_t> bytes);
// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace tavrin
