#pragma once

// What the main window does when a key is clicked in the Keymap view: reload the assignments, run
// the key assignment dialog for the key, and on OK apply and store its choice.

#include <filesystem>
#include <optional>

#include "model/LocalFiles.h"
#include "model/Model.h"

namespace tavrin {

class CKeyMap;

struct [[nodiscard]] KeyAssignmentOutcome {
    enum class Status {
        NotAssignable,  // no key selected, or a key without a KeyMap entry: nothing shown
        Cancelled,      // the dialog closed without OK: nothing applied
        Committed,      // OK: applied; `write` tells whether "keymap.bin" was written
    };
    Status status = Status::NotAssignable;
    LoadResult reload;                 // the reload of "keymap.bin" before the dialog
    std::optional<WriteResult> write;  // set when committed
};

// For model.selectedKey: reloads the AssignmentTable from "keymap.bin" in `programDir` (the
// SettingsBlock stays), tells the dialog the key's factory code, runs it modally and, on OK,
// runs CommitKeyAssignment.
KeyAssignmentOutcome OpenKeyAssignment(CKeyMap& dialog, Model& model,
                                       const std::filesystem::path& programDir);

}  // namespace tavrin
