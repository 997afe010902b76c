#include "sim/VirtualKeyboardWatcher.h"

namespace tavrin {

VirtualKeyboardWatcher::VirtualKeyboardWatcher(const VirtualKeyboard& keyboard)
    : keyboard_(keyboard), plugged_(keyboard.plugged()), generation_(keyboard.plugGeneration()) {}

std::vector<HotplugEvent> VirtualKeyboardWatcher::poll() {
    std::vector<HotplugEvent> events;
    const unsigned generation = keyboard_.plugGeneration();
    const bool plugged = keyboard_.plugged();
    const HotplugEvent removal{HotplugEvent::Kind::Removal, keyboard_.vendorId(),
                               keyboard_.productId()};
    const HotplugEvent arrival{HotplugEvent::Kind::Arrival, keyboard_.vendorId(),
                               keyboard_.productId()};
    if (generation != generation_ && plugged_) {
        events.push_back(removal);  // it went away since the last look
        plugged_ = false;
    }
    if (plugged && !plugged_) {
        events.push_back(arrival);
    }
    plugged_ = plugged;
    generation_ = generation;
    return events;
}

}  // namespace tavrin
