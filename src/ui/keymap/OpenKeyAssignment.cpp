#include "ui/keymap/OpenKeyAssignment.h"

#include "model/KeyAssignment.h"
#include "model/KeyTables.h"
#include "ui/keymap/CKeyMap.h"

namespace tavrin {

KeyAssignmentOutcome OpenKeyAssignment(CKeyMap& dialog, Model& model,
                                       const std::filesystem::path& programDir) {
    KeyAssignmentOutcome outcome;
    const std::size_t key = model.selectedKey;
    if (key >= kMatrixPositionCount) {
        return outcome;
    }
    outcome.reload = LoadKeymapFile(programDir, model, /*assignmentsOnly*/ true);
    dialog.setSelectedKeyVk(DefaultVkTable[key]);
    if (dialog.runModal() != QDialog::Accepted) {
        outcome.status = KeyAssignmentOutcome::Status::Cancelled;
        return outcome;
    }
    outcome.status = KeyAssignmentOutcome::Status::Committed;
    outcome.write = CommitKeyAssignment(model, programDir);
    return outcome;
}

}  // namespace tavrin
