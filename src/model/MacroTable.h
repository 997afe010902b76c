#pragma once

// The macro store: five 1536-byte records, the image of "MacroDefine.bin". The event arrays start
// at odd offsets, so every field is read and written byte by byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>

#include "model/Bytes.h"
#include "model/RecordTable.h"

namespace tavrin {

struct MacroEvent {
    static constexpr std::size_t kSize = 4;
    static constexpr std::uint8_t kPress = 0x00;
    static constexpr std::uint8_t kRelease = 0x80;
    static constexpr std::uint16_t kNoDelay = 1;

    std::uint8_t key = 0;        // HID usage in codeEvents, virtual-key code in keyEvents
    std::uint8_t direction = 0;  // kPress or kRelease
    std::uint16_t delay = 0;     // milliseconds before the event; 1 = none

    bool isTerminator() const { return key == 0 && direction == 0 && delay == 0; }
    bool operator==(const MacroEvent&) const = default;

    static MacroEvent Decode(ConstByteSpan b) { return {b[0], b[1], ReadLe16(b, 2)}; }
    void encode(ByteSpan b) const {
        b[0] = key;
        b[1] = direction;
        WriteLe16(b, 2, delay);
    }
};

template <typename B>
class MacroRecordView : public RecordView<B, 1536> {
public:
    using Base = RecordView<B, 1536>;
    using Base::Base;
    using Base::kSize;
    using Base::kWritable;

    static constexpr std::size_t kNameOffset = 0;
    static constexpr std::size_t kNameSize = 512;
    static constexpr std::size_t kNameMaxChars = 255;
    static constexpr std::size_t kLoopCountOffset = 512;
    static constexpr std::size_t kDelayFlagOffset = 516;
    static constexpr std::size_t kCodeEventsOffset = 517;
    static constexpr std::size_t kKeyEventsOffset = 1025;
    static constexpr std::size_t kEventCount = 127;
    static constexpr std::size_t kEventsSize = kEventCount * MacroEvent::kSize;
    static_assert(kCodeEventsOffset + kEventsSize == kKeyEventsOffset);
    static_assert(kKeyEventsOffset + kEventsSize + 3 == kSize);

    std::u16string name() const {
        return ReadUtf16Field(bytes_.template subspan<kNameOffset, kNameSize>());
    }
    bool isFree() const { return bytes_[0] == 0 && bytes_[1] == 0; }
    std::int32_t loopCount() const { return ReadLe32(bytes_, kLoopCountOffset); }
    bool delayFlag() const { return (bytes_[kDelayFlagOffset] & 1) != 0; }
    MacroEvent codeEvent(std::size_t i) const { return event(kCodeEventsOffset, i); }
    MacroEvent keyEvent(std::size_t i) const { return event(kKeyEventsOffset, i); }

    // Names longer than 255 characters are cut to 255.
    void setName(std::u16string_view name) const requires kWritable {
        WriteUtf16Field(bytes_.template subspan<kNameOffset, kNameSize>(), name);
    }
    void setLoopCount(std::int32_t v) const requires kWritable {
        WriteLe32(bytes_, kLoopCountOffset, v);
    }
    void setDelayFlag(bool on) const requires kWritable { bytes_[kDelayFlagOffset] = on ? 1 : 0; }
    void setCodeEvent(std::size_t i, const MacroEvent& e) const requires kWritable {
        e.encode(bytes_.subspan(kCodeEventsOffset + MacroEvent::kSize * i, MacroEvent::kSize));
    }
    void setKeyEvent(std::size_t i, const MacroEvent& e) const requires kWritable {
        e.encode(bytes_.subspan(kKeyEventsOffset + MacroEvent::kSize * i, MacroEvent::kSize));
    }

private:
    using Base::bytes_;

    MacroEvent event(std::size_t base, std::size_t i) const {
        return MacroEvent::Decode(bytes_.subspan(base + MacroEvent::kSize * i, MacroEvent::kSize));
    }
};

// Five macro slots.
using MacroTable = RecordTable<MacroRecordView, 5>;
using MacroRecord = MacroTable::Record;
using ConstMacroRecord = MacroTable::ConstRecord;
static_assert(MacroTable::kSize == 7680);

}  // namespace tavrin
