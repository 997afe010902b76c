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
#include "model/RecordTable.h"

namespace tavrin {

// A view of one 772-byte record.
template <typename B>
class AssignmentRecordView : public RecordView<B, 772> {
public:
    static constexpr std::size_t kOwnVkOffset = 0;
    static constexpr std::size_t kKindOffset = 1;
    static constexpr std::size_t kKeysOffset = 2;  // kinds 0, 1: captured keys; others: 4-byte code
    static constexpr std::size_t kKeysSize = 255;
    static constexpr std::size_t kCodeOffset = kKeysOffset;
    static constexpr std::size_t kCodeSize = 4;
    static constexpr std::size_t kKeyCountOffset = 257;
    static constexpr std::size_t kLaunchPathOffset = 260;  // UTF-16, NUL-terminated
    static constexpr std::size_t kLaunchPathSize = 512;
    static constexpr std::size_t kLaunchPathMaxChars = 255;

    using Base = RecordView<B, 772>;
    using Base::Base;
    using Base::kSize;
    using Base::kWritable;

    static_assert(kLaunchPathOffset + kLaunchPathSize == kSize);
    static_assert(kKeysOffset + kKeysSize == kKeyCountOffset);

    std::uint8_t ownVk() const { return bytes_[kOwnVkOffset]; }
    std::uint8_t kind() const { return bytes_[kKindOffset]; }
    std::span<B, kKeysSize> keys() const {
        return bytes_.template subspan<kKeysOffset, kKeysSize>();
    }
    std::uint8_t keyCount() const { return bytes_[kKeyCountOffset]; }
    // Bytes 2..5: the code of macro, function and launch kinds.
    std::array<std::uint8_t, kCodeSize> code() const {
        std::array<std::uint8_t, kCodeSize> code{};
        std::ranges::copy(bytes_.template subspan<kCodeOffset, kCodeSize>(), code.begin());
        return code;
    }
    std::u16string launchPath() const {
        return ReadUtf16Field(bytes_.template subspan<kLaunchPathOffset, kLaunchPathSize>());
    }

    void setOwnVk(std::uint8_t v) const requires kWritable { bytes_[kOwnVkOffset] = v; }
    void setKind(std::uint8_t v) const requires kWritable { bytes_[kKindOffset] = v; }
    void setKeyCount(std::uint8_t v) const requires kWritable { bytes_[kKeyCountOffset] = v; }
    void setCode(const std::array<std::uint8_t, kCodeSize>& code) const requires kWritable {
        std::ranges::copy(code, bytes_.begin() + kCodeOffset);
    }
    // Paths longer than 255 characters are cut; callers refuse them before they get here.
    void setLaunchPath(std::u16string_view path) const requires kWritable {
        WriteUtf16Field(bytes_.template subspan<kLaunchPathOffset, kLaunchPathSize>(), path);
    }

private:
    using Base::bytes_;
};

// One record per KeyPosition.
using AssignmentTable = RecordTable<AssignmentRecordView, 255>;
using AssignmentRecord = AssignmentTable::Record;
using ConstAssignmentRecord = AssignmentTable::ConstRecord;
static_assert(AssignmentTable::kSize == 196860);

}  // namespace tavrin
