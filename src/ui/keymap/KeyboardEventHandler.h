#pragma once

// WM_KEYBOARD_EVENT: the keyboard reported a key whose entry makes it open something.

#include <cstdint>

#include "model/AssignmentTable.h"
#include "model/LaunchActions.h"
#include "model/Shell.h"

namespace tavrin {

// Opens the path of the launch action whose key has event code `code` through `shell` and
// returns at once; codes without a launch action are ignored. The result says whether the shell
// was asked, or why not (a path that is not absolute or no longer exists is never run).
LaunchResult HandleKeyboardEvent(const AssignmentTable& assignments, std::uint8_t code,
                                 Shell& shell);

}  // namespace tavrin
