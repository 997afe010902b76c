#pragma once

// Turns the key assignment dialog's choice (Model::pending) into the selected key's
// AssignmentRecord and KeyMap entry, and writes "keymap.bin". Nothing is sent to the keyboard
// here; the changed KeyMap, KeyEnableMask and device macros go out with the next Save.

#include <filesystem>

#include "model/LocalFiles.h"
#include "model/Model.h"

namespace tavrin {

// The KeyMap entry of a single key: its HID usage, except for the four keys whose usage is a
// consumer usage (Media, Play/Pause, Volume Up, Volume Down), which get the consumer encoding.
KeyMapEntry SingleKeyEntry(std::uint8_t vk);

// "Default" without the dialog: the key's record is cleared, its KeyMap entry becomes the HID usage
// of the record's ownVk and the key is enabled. A position without a KeyMap entry (108 and above)
// only has its record cleared. Nothing is written.
void RestoreKeyDefault(Model& model, std::size_t position);

// Applies model.pending to the key model.selectedKey and writes "keymap.bin" in `programDir`.
// Returns the write's result. Keys without a KeyMap entry (no key selected, positions 108 and
// above) change nothing and write nothing. A launch path longer than 255 characters is refused
// with an error and changes nothing, because a cut path would open another file.
WriteResult ApplyKeyAssignment(Model& model, const std::filesystem::path& programDir);

// What the main window does when the dialog closed with OK: clears the key's changed flag,
// applies the assignment, sets or clears the key's KeyEnableMask bit by keyEnabledResult (a
// disabled key is marked as changed) and writes "keymap.bin" again. Returns the first failed
// write, else the last write's result. A refused launch path changes nothing at all.
WriteResult CommitKeyAssignment(Model& model, const std::filesystem::path& programDir);

}  // namespace tavrin
