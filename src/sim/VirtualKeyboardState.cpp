#include "sim/VirtualKeyboardState.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "model/KeyTables.h"
#include "model/LocalFiles.h"

namespace tavrin {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'T', 'V', 'K', 'S'};
// Factory lighting in the keyboard's encoding: effect 0, speed level 2, full brightness, colour 1.
constexpr std::array<std::uint8_t, 5> kFactoryLighting = {0, 2, 255, 1, 0};
constexpr std::array<std::uint8_t, 4> kFactoryDeviceParams = {1, 0, 0, 0};
constexpr std::uint8_t kFactoryResponseTime = 1;

}  // namespace

VirtualKeyboardState::VirtualKeyboardState() {
    std::copy(kMagic.begin(), kMagic.end(), bytes.begin() + kMagicOffset);
    bytes[kFormatOffset] = kFormat;
    std::copy(kFactoryLighting.begin(), kFactoryLighting.end(), lighting().begin());
    std::copy(kFactoryDeviceParams.begin(), kFactoryDeviceParams.end(), deviceParams().begin());
    std::copy(DefaultKeyMap.begin(), DefaultKeyMap.end(), keyMap().begin());
    // Matrix codes reach 176 (mask byte 22): every bit is set, so every key is enabled.
    std::fill(keyEnableMask().begin(), keyEnableMask().end(), std::uint8_t{0xFF});
    responseTime() = kFactoryResponseTime;
}

bool VirtualKeyboardState::load(const std::filesystem::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path.string();
        return false;
    }
    std::vector<char> data(kSize + 1);
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got != kSize) {
        error = path.string() + ": " + std::to_string(got) + " bytes, " + std::to_string(kSize) +
                " expected";
        return false;
    }
    if (!std::equal(kMagic.begin(), kMagic.end(), data.begin(),
                    [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }) ||
        static_cast<std::uint8_t>(data[kFormatOffset]) != kFormat) {
        error = path.string() + ": not a virtual keyboard state file";
        return false;
    }
    std::transform(data.begin(), data.begin() + kSize, bytes.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return true;
}

bool VirtualKeyboardState::save(const std::filesystem::path& path, std::string& error) const {
    const WriteResult written = WriteFileAtomically(path, {ConstByteSpan(bytes)});
    if (!written) {
        error = written.error;
    }
    return written.ok;
}

}  // namespace tavrin
