#include "model/AssignmentReconcile.h"

#include <algorithm>

#include "model/AssignmentKind.h"
#include "model/KeyAssignment.h"
#include "model/KeyCodeTable.h"
#include "model/KeyMapEntryType.h"
#include "model/KeyTables.h"

namespace tavrin {

bool AssignmentAgreesWithKeyMap(const Model& model, std::size_t position) {
    if (position >= kMatrixPositionCount) {
        return true;
    }
    const ConstAssignmentRecord r = model.assignments.record(position);
    const KeyMapEntry entry = model.settings.keyMapEntry(KeyMapIndexOf(position));
    const auto keys = r.keys();
    switch (static_cast<AssignmentKind>(r.kind())) {
        case AssignmentKind::SingleKey:
            if (r.keyCount() == 0) {
                return true;
            }
            // Only a count of exactly 1 ever wrote the entry.
            return r.keyCount() != 1 || entry == SingleKeyEntry(keys[0]);
        case AssignmentKind::KeyCombination:
            return entry == KeyMapEntry{HidUsage(keys[0]), HidUsage(keys[1]), HidUsage(keys[2]), 0};
        case AssignmentKind::Macro:
            return entry[kKeyMapEntryTypeByte] == EntryTypeByte(KeyMapEntryType::Macro);
        case AssignmentKind::Function:
            return entry == r.code();
        case AssignmentKind::PlaySound:
        case AssignmentKind::Startup:
        case AssignmentKind::OpenFile:
        case AssignmentKind::OpenFolder:
            return entry == KeyMapEntry{r.ownVk(), 0, 0, EntryTypeByte(KeyMapEntryType::KeyEvent)};
        default:
            return true;
    }
}

std::size_t ReconcileAssignments(Model& model) {
    std::size_t reset = 0;
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (AssignmentAgreesWithKeyMap(model, p)) {
            continue;
        }
        const AssignmentRecord r = model.assignments.record(p);
        r.setKind(0);
        r.setKeyCount(0);
        std::fill(r.keys().begin(), r.keys().end(), std::uint8_t{0});
        ++reset;
    }
    return reset;
}

}  // namespace tavrin
