#pragma once

// Hot-plug for the in-process virtual keyboard (--simulate): poll() from a timer turns its plug
// and unplug into arrival and removal events, an unplug followed at once by a plug into both.

#include <vector>

#include "device/HotplugEvent.h"
#include "sim/VirtualKeyboard.h"

namespace tavrin {

class VirtualKeyboardWatcher {
public:
    // The keyboard as it is now counts as already seen.
    explicit VirtualKeyboardWatcher(const VirtualKeyboard& keyboard);

    std::vector<HotplugEvent> poll();

private:
    const VirtualKeyboard& keyboard_;
    bool plugged_;
    unsigned generation_;
};

}  // namespace tavrin
