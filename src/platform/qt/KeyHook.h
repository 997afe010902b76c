#pragma once

// The keyboard hook: while installed it delivers every key the user types to one window as
// WM_HOOK_KEY (wParam the Windows virtual-key code, lParam bit 31 set for a release), and those
// keys do not reach the window's controls.
//   mode 0: one message per keystroke, its press; auto-repeat dropped.
//   mode 1: every press and release; a held key repeats as presses.

#include "device/MessageTarget.h"

namespace tavrin {

// A target that captures only at times, such as a capture field while it is set to take keys:
// while it does not, the keys of its window reach its controls as usual.
class KeyCaptureGate {
public:
    virtual ~KeyCaptureGate() = default;
    virtual bool capturesKeys() const = 0;
};

class KeyHook {
public:
    virtual ~KeyHook() = default;
    // False when the hook cannot be installed. Installing again replaces window and mode.
    virtual bool installhook(MessageTarget* window, int mode) = 0;
    virtual void removehook() = 0;
};

}  // namespace tavrin
