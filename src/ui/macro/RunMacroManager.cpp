#include "ui/macro/RunMacroManager.h"

#include "model/MacroStore.h"
#include "model/Model.h"
#include "ui/macro/CMacroRecordDlg.h"

namespace tavrin {

MacroManagerOutcome CommitMacroManager(Model& model, const std::filesystem::path& programDir) {
    MacroManagerOutcome outcome;
    outcome.accepted = true;
    BuildDeviceMacros(model.macros, model.settings);
    outcome.keymap = WriteKeymapFromModel(programDir, model);
    outcome.macros = WriteMacroFile(programDir, model.macros);
    return outcome;
}

MacroManagerOutcome RunMacroManager(CMacroRecordDlg& dialog, Model& model,
                                    const std::filesystem::path& programDir) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return CommitMacroManager(model, programDir);
}

}  // namespace tavrin
