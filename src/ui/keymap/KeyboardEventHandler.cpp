#include "ui/keymap/KeyboardEventHandler.h"

#include "model/LaunchActions.h"

namespace tavrin {

bool HandleKeyboardEvent(const AssignmentTable& assignments, std::uint8_t code, Shell& shell) {
    return RunLaunchAction(assignments, code, shell);
}

}  // namespace tavrin
