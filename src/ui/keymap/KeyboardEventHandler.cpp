#include "ui/keymap/KeyboardEventHandler.h"

namespace tavrin {

LaunchResult HandleKeyboardEvent(const AssignmentTable& assignments, std::uint8_t code,
                                 Shell& shell) {
    return RunLaunchAction(assignments, code, shell);
}

}  // namespace tavrin
