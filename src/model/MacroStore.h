#pragma once

// Rules of the macro store: the device form of the macros, the lines that show a sequence, and
// the event walks used by the recorder and the macro manager. A sequence ends at its first
// all-zero event or after 127 events; no walk reads further.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/MacroTable.h"
#include "model/SettingsBlock.h"

namespace tavrin {

inline constexpr std::size_t kMacroEventCount = MacroRecord::kEventCount;
inline constexpr std::size_t kMacroEventsSize = MacroRecord::kEventsSize;

// One of the two 508-byte event arrays of a macro (codeEvents or keyEvents).
using MacroEventsView = std::span<const std::uint8_t, kMacroEventsSize>;
using MacroEventsSpan = std::span<std::uint8_t, kMacroEventsSize>;

inline MacroEventsView CodeEventsOf(ConstMacroRecord record) {
    return record.bytes().subspan<MacroRecord::kCodeEventsOffset, kMacroEventsSize>();
}
inline MacroEventsView KeyEventsOf(ConstMacroRecord record) {
    return record.bytes().subspan<MacroRecord::kKeyEventsOffset, kMacroEventsSize>();
}
inline MacroEventsSpan CodeEventsOf(MacroRecord record) {
    return record.bytes().subspan<MacroRecord::kCodeEventsOffset, kMacroEventsSize>();
}
inline MacroEventsSpan KeyEventsOf(MacroRecord record) {
    return record.bytes().subspan<MacroRecord::kKeyEventsOffset, kMacroEventsSize>();
}

inline MacroEvent EventAt(MacroEventsView events, std::size_t index) {
    return MacroEvent::Decode(events.subspan(MacroEvent::kSize * index, MacroEvent::kSize));
}
inline void SetEventAt(MacroEventsSpan events, std::size_t index, const MacroEvent& event) {
    event.encode(events.subspan(MacroEvent::kSize * index, MacroEvent::kSize));
}

// Delays, in milliseconds before an event. 1 means none and is never shown.
inline constexpr std::uint16_t kNoDelay = MacroEvent::kNoDelay;
inline constexpr std::uint16_t kMaxDelay = 60000;
inline constexpr std::uint16_t kMinTypedDelay = 2;
inline constexpr std::uint16_t kInsertedDelay = 50;  // "Insert Delay"

// A measured delay as it is recorded: 0..60000, longer ones are stored as 60000.
std::uint16_t RecordedDelay(std::uint64_t milliseconds);
// A delay typed into a delay line: 2..60000.
std::uint16_t TypedDelay(std::int64_t value);

// Writes the DeviceMacroRecord of every used slot from slot 0 on into the SettingsBlock: the low
// 16 bits of loopCount, two zero bytes, the 508 bytes of codeEvents. Nothing is written when slot
// 0 has no name; records above the last used slot keep their bytes.
void BuildDeviceMacros(const MacroTable& macros, SettingsBlock& settings);

// The number of used slots: named slots from slot 0 on.
std::size_t UsedMacroSlots(const MacroTable& macros);

// Deletes the macro in `slot` as the macro manager does: the later slots move down one place and
// the last used slot is cleared, so the used slots stay contiguous. Returns the number of used
// slots before the deletion.
std::size_t DeleteMacroSlot(MacroTable& macros, std::size_t slot);

// Index of the first all-zero event, which is the number of events; nullopt when all 127 are
// used.
std::optional<std::size_t> FirstFreeEvent(MacroEventsView events);
std::size_t EventCount(MacroEventsView events);

// One line of a sequence as the user sees it.
struct EventLine {
    std::u16string text;    // "250 ms", or the key's name followed by " dn" or " up"
    std::size_t event = 0;  // index of the event that owns the line
    bool delayLine = false;

    bool operator==(const EventLine&) const = default;
};

// The lines of a sequence, walked over keyEvents: a release shows its delay line unless the delay
// is 1, a press too unless it is the first event; then the key line.
std::vector<EventLine> EventLines(MacroEventsView keyEvents);

// The event that owns line `line`, counted from 1; nullopt for a line that does not exist.
std::optional<std::size_t> LineToEvent(MacroEventsView keyEvents, std::size_t line);

}  // namespace tavrin
