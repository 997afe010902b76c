#pragma once

// A macro's two event arrays, codeEvents and keyEvents, edited together: every change made to one
// is made to the other, so event i of both is always the same action. This is the macro manager's
// pair of edit buffers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/MacroStore.h"

namespace tavrin {

class MacroSequence {
public:
    std::array<std::uint8_t, kMacroEventsSize> codeEvents{};  // key byte = HID usage
    std::array<std::uint8_t, kMacroEventsSize> keyEvents{};   // key byte = virtual-key code

    static MacroSequence Of(ConstMacroRecord record);
    static MacroSequence Of(MacroRecord record) {
        return Of(
            ConstMacroRecord(std::span<const std::uint8_t, MacroRecord::kSize>(record.bytes())));
    }
    // Writes both arrays into the record; its name, loop count and delay flag stay.
    void storeInto(MacroRecord record) const;

    std::size_t eventCount() const { return EventCount(keyEvents); }
    std::optional<std::size_t> firstFreeEvent() const { return FirstFreeEvent(keyEvents); }
    std::vector<EventLine> lines() const { return EventLines(keyEvents); }
    std::optional<std::size_t> lineToEvent(std::size_t line) const {
        return LineToEvent(keyEvents, line);
    }
    MacroEvent keyEvent(std::size_t index) const { return EventAt(keyEvents, index); }
    MacroEvent codeEvent(std::size_t index) const { return EventAt(codeEvents, index); }

    // Inserts the key `vk` (a virtual-key code, or 0xF0..0xF2 for a mouse button) at `index`:
    // its virtual-key code into keyEvents, its HID usage into codeEvents. The events from `index`
    // on move up by one. A full sequence (127 events) is refused and left as it is, so no event is
    // pushed out; an index past the end appends. True when the event was inserted.
    bool insert(std::size_t index, std::uint8_t vk, std::uint8_t direction,
                std::uint16_t delay = kNoDelay);
    // Removes the event at `index`; the events after it move down and the last place becomes
    // zero. An index past the end changes nothing.
    void remove(std::size_t index);
    // Sets the delay of the event at `index` in both arrays; past the end nothing changes.
    void setDelay(std::size_t index, std::uint16_t delay);
    // "Insert Delay": the event gets 50 ms and the first event's delay goes back to 1.
    void insertDelay(std::size_t index);

    bool operator==(const MacroSequence&) const = default;
};

}  // namespace tavrin
