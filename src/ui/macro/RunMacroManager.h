#pragma once

// The main window's Macro Management button: the macro manager shown modally, and after OK the
// device macro records rebuilt and both files written.

#include <filesystem>

#include "model/LocalFiles.h"

namespace tavrin {

class CMacroRecordDlg;
struct Model;

struct [[nodiscard]] MacroManagerOutcome {
    bool accepted = false;  // the user left with OK
    WriteResult keymap;     // "keymap.bin"; untouched (ok) when not accepted
    WriteResult macros;     // "MacroDefine.bin"; untouched (ok) when not accepted

    bool filesWritten() const { return keymap.ok && macros.ok; }
};

// After OK: BuildDeviceMacros into the model's SettingsBlock, then "keymap.bin" (SettingsBlock
// and AssignmentTable of the model) and "MacroDefine.bin". Both writes are tried; each reports
// its own failure.
MacroManagerOutcome CommitMacroManager(Model& model, const std::filesystem::path& programDir);

// Shows the one dialog modally; on OK commits as above. Cancel changes nothing. `model` must be
// the model the dialog was built on.
MacroManagerOutcome RunMacroManager(CMacroRecordDlg& dialog, Model& model,
                                    const std::filesystem::path& programDir);

}  // namespace tavrin
