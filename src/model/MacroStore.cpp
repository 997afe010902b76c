#include "model/MacroStore.h"

#include <algorithm>
#include <utility>

#include "model/KeyCodeTable.h"

namespace tavrin {

std::uint16_t RecordedDelay(std::uint64_t milliseconds) {
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(milliseconds, kMaxDelay));
}

std::uint16_t TypedDelay(std::int64_t value) {
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(value, kMinTypedDelay, kMaxDelay));
}

std::size_t UsedMacroSlots(const MacroTable& macros) {
    std::size_t used = 0;
    while (used < MacroTable::kRecordCount && !macros.record(used).isFree()) {
        ++used;
    }
    return used;
}

std::size_t DeleteMacroSlot(MacroTable& macros, std::size_t slot) {
    const std::size_t used = UsedMacroSlots(macros);
    for (std::size_t from = slot + 1; from < MacroTable::kRecordCount; ++from) {
        const ConstMacroRecord source = std::as_const(macros).record(from);
        std::ranges::copy(source.bytes(), macros.record(from - 1).bytes().begin());
    }
    const MacroRecord last = macros.record(used > 0 ? used - 1 : 0);
    std::ranges::fill(last.bytes(), std::uint8_t{0});
    return used;
}

void BuildDeviceMacros(const MacroTable& macros, SettingsBlock& settings) {
    for (std::size_t slot = 0; slot < MacroTable::kRecordCount; ++slot) {
        const ConstMacroRecord record = macros.record(slot);
        if (record.isFree()) {
            return;
        }
        const auto device = settings.deviceMacroRecord(slot);
        WriteLe16(device, 0, static_cast<std::uint16_t>(record.loopCount() & 0xFFFF));
        device[2] = 0;
        device[3] = 0;
        const MacroEventsView code = CodeEventsOf(record);
        std::copy(code.begin(), code.end(), device.begin() + 4);
    }
}

std::optional<std::size_t> FirstFreeEvent(MacroEventsView events) {
    for (std::size_t i = 0; i < kMacroEventCount; ++i) {
        if (EventAt(events, i).isTerminator()) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t EventCount(MacroEventsView events) {
    return FirstFreeEvent(events).value_or(kMacroEventCount);
}

std::vector<EventLine> EventLines(MacroEventsView keyEvents) {
    std::vector<EventLine> lines;
    const std::size_t count = EventCount(keyEvents);
    for (std::size_t i = 0; i < count; ++i) {
        const MacroEvent e = EventAt(keyEvents, i);
        const bool release = e.direction == MacroEvent::kRelease;
        // A press at the start never shows its delay; the recorder stores 0 there.
        if (e.delay != kNoDelay && (release || i > 0)) {
            const std::string digits = std::to_string(e.delay);
            lines.push_back({std::u16string(digits.begin(), digits.end()) + u" ms", i, true});
        }
        lines.push_back(
            {std::u16string(kKeyCodeTable[e.key].name) + (release ? u" up" : u" dn"), i, false});
    }
    return lines;
}

std::optional<std::size_t> LineToEvent(MacroEventsView keyEvents, std::size_t line) {
    if (line == 0) {
        return std::nullopt;
    }
    const std::vector<EventLine> lines = EventLines(keyEvents);
    if (line > lines.size()) {
        return std::nullopt;
    }
    return lines[line - 1].event;
}

}  // namespace tavrin
