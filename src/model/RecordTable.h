#pragma once

// A byte image made of `Count` records of one size, read and written through record views.
// `View<std::uint8_t>` is the writable view of one record and `View<const std::uint8_t>` the
// read-only one; a view derives from RecordView.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "model/Bytes.h"

namespace tavrin {

// The bytes of one record of `Size` bytes. `B` is std::uint8_t for a writable view, const
// std::uint8_t for a read-only one; a view's setters require kWritable.
template <typename B, std::size_t Size>
class RecordView {
public:
    static constexpr std::size_t kSize = Size;
    static constexpr bool kWritable = !std::is_const_v<B>;

    explicit RecordView(std::span<B, Size> bytes) : bytes_(bytes) {}

    std::span<B, Size> bytes() const { return bytes_; }

protected:
    std::span<B, Size> bytes_;
};

template <template <typename> class View, std::size_t Count>
class RecordTable {
public:
    using Record = View<std::uint8_t>;
    using ConstRecord = View<const std::uint8_t>;

    static constexpr std::size_t kRecordCount = Count;
    static constexpr std::size_t kSize = kRecordCount * Record::kSize;

    std::array<std::uint8_t, kSize> bytes{};

    Record record(std::size_t index) {
        return Record(FieldSpan<Record::kSize>(bytes, Record::kSize * index));
    }
    ConstRecord record(std::size_t index) const {
        return ConstRecord(FieldSpan<Record::kSize>(bytes, Record::kSize * index));
    }

    void clear() { bytes.fill(0); }

    bool operator==(const RecordTable&) const = default;
};

}  // namespace tavrin
