#pragma once

// What each key was given on the computer side: 255 records of 772 bytes, one per KeyPosition.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>

#include "model/Bytes.h"

namespace tavrin {

// A view of one 772-byte record. `B` is std::uint8_t for a writable view, const std::uint8_t for a
// read-only one.
template <typename B>
class AssignmentRecordView {
public:
    static constexpr std::size_t kSize = 772;
    static constexpr std::size_t kOwnVkOffset = 0;
    static constexpr std::size_t kKindOffset = 1;
    static constexpr std::size_t kKeysOffset = 2;  // kinds 0, 1: captured keys; others: 4-byte code
    static constexpr std::size_t kKeysSize = 255;
    static constexpr std::size_t kKeyCountOffset = 257;
    static constexpr std::size_t kLaunchPathOffset = 260;  // UTF-16, NUL-terminated
    static constexpr std::size_t kLaunchPathSize = 512;
    static constexpr std::size_t kLaunchPathMaxChars = 255;
    static_assert(kLaunchPathOffset + kLaunchPathSize == kSize);
    static_assert(kKeysOffset + kKeysSize == kKeyCountOffset);

    static constexpr bool kWritable = !std::is_const_v<B>;

    explicit AssignmentRecordView(std::span<B, kSize> bytes) : bytes_(bytes) {}

    std::span<B, kSize> bytes() const { return bytes_; }

    std::uint8_t ownVk() const { return bytes_[kOwnVkOffset]; }
    std::uint8_t kind() const { return bytes_[kKindOffset]; }
    std::span<B, kKeysSize> keys() const {
        return bytes_.template subspan<kKeysOffset, kKeysSize>();
    }
    std::uint8_t keyCount() const { return bytes_[kKeyCountOffset]; }
    // Bytes 2..5: the code of macro, function and launch kinds.
    std::array<std::uint8_t, 4> code() const {
        return {bytes_[2], bytes_[3], bytes_[4], bytes_[5]};
    }
    std::u16string launchPath() const {
        return ReadUtf16Field(bytes_.template subspan<kLaunchPathOffset, kLaunchPathSize>());
    }

    void setOwnVk(std::uint8_t v) const requires kWritable { bytes_[kOwnVkOffset] = v; }
    void setKind(std::uint8_t v) const requires kWritable { bytes_[kKindOffset] = v; }
    void setKeyCount(std::uint8_t v) const requires kWritable { bytes_[kKeyCountOffset] = v; }
    void setCode(const std::array<std::uint8_t, 4>& code) const requires kWritable {
        std::copy(code.begin(), code.end(), bytes_.begin() + 2);
    }
    // Paths longer than 255 characters are cut; callers refuse them before they get here.
    void setLaunchPath(std::u16string_view path) const requires kWritable {
        WriteUtf16Field(bytes_.template subspan<kLaunchPathOffset, kLaunchPathSize>(), path);
    }

private:
    std::span<B, kSize> bytes_;
};

using AssignmentRecord = AssignmentRecordView<std::uint8_t>;
using ConstAssignmentRecord = AssignmentRecordView<const std::uint8_t>;

class AssignmentTable {
public:
    static constexpr std::size_t kRecordCount = 255;
    static constexpr std::size_t kSize = kRecordCount * AssignmentRecord::kSize;
    static_assert(kSize == 196860);

    std::array<std::uint8_t, kSize> bytes{};

    AssignmentRecord record(std::size_t position) {
        return AssignmentRecord(std::span<std::uint8_t, AssignmentRecord::kSize>(
            bytes.data() + AssignmentRecord::kSize * position, AssignmentRecord::kSize));
    }
    ConstAssignmentRecord record(std::size_t position) const {
        return ConstAssignmentRecord(std::span<const std::uint8_t, AssignmentRecord::kSize>(
            bytes.data() + AssignmentRecord::kSize * position, AssignmentRecord::kSize));
    }

    void clear() { bytes.fill(0); }

    bool operator==(const AssignmentTable&) const = default;
};

}  // namespace tavrin
