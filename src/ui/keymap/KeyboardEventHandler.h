#pragma once

// WM_KEYBOARD_EVENT: the keyboard reported a key whose entry makes it open something.

#include <cstdint>

#include "model/AssignmentTable.h"
#include "model/Shell.h"

namespace tavrin {

// Opens the path of the launch action whose key has event code `code` through `shell` and
// returns at once; codes without a launch action are ignored. True when the shell was asked.
bool HandleKeyboardEvent(const AssignmentTable& assignments, std::uint8_t code, Shell& shell);

}  // namespace tavrin
