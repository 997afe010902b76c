#include "model/MacroSequence.h"

#include <algorithm>

#include "model/KeyCodeTable.h"

namespace tavrin {

namespace {

void InsertInto(std::array<std::uint8_t, kMacroEventsSize>& events, std::size_t index,
                const MacroEvent& event) {
    const auto at = events.begin() + static_cast<std::ptrdiff_t>(MacroEvent::kSize * index);
    std::copy_backward(at, events.end() - MacroEvent::kSize, events.end());
    SetEventAt(events, index, event);
}

void RemoveFrom(std::array<std::uint8_t, kMacroEventsSize>& events, std::size_t index) {
    const auto at = events.begin() + static_cast<std::ptrdiff_t>(MacroEvent::kSize * index);
    std::copy(at + MacroEvent::kSize, events.end(), at);
    std::fill(events.end() - MacroEvent::kSize, events.end(), std::uint8_t{0});
}

}  // namespace

MacroSequence MacroSequence::Of(ConstMacroRecord record) {
    MacroSequence sequence;
    const MacroEventsView code = CodeEventsOf(record);
    const MacroEventsView key = KeyEventsOf(record);
    std::copy(code.begin(), code.end(), sequence.codeEvents.begin());
    std::copy(key.begin(), key.end(), sequence.keyEvents.begin());
    return sequence;
}

void MacroSequence::storeInto(MacroRecord record) const {
    std::copy(codeEvents.begin(), codeEvents.end(), CodeEventsOf(record).begin());
    std::copy(keyEvents.begin(), keyEvents.end(), KeyEventsOf(record).begin());
}

bool MacroSequence::insert(std::size_t index, std::uint8_t vk, std::uint8_t direction,
                           std::uint16_t delay) {
    const std::size_t count = eventCount();
    if (count == kMacroEventCount) {
        return false;
    }
    // Inserting past the terminator would hide the event behind it.
    index = std::min(index, count);
    InsertInto(keyEvents, index, {vk, direction, delay});
    InsertInto(codeEvents, index, {HidUsage(vk), direction, delay});
    return true;
}

void MacroSequence::remove(std::size_t index) {
    if (index >= eventCount()) {
        return;
    }
    RemoveFrom(keyEvents, index);
    RemoveFrom(codeEvents, index);
}

void MacroSequence::setDelay(std::size_t index, std::uint16_t delay) {
    // A delay on the terminator would turn it into an event.
    if (index >= eventCount()) {
        return;
    }
    for (auto* events : {&keyEvents, &codeEvents}) {
        MacroEvent e = EventAt(*events, index);
        e.delay = delay;
        SetEventAt(*events, index, e);
    }
}

void MacroSequence::insertDelay(std::size_t index) {
    setDelay(index, kInsertedDelay);
    setDelay(0, kNoDelay);
}

}  // namespace tavrin
