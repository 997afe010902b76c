#include "model/ChangedKeyRule.h"

#include "model/KeyMapEntryType.h"

namespace tavrin {

namespace {

constexpr std::size_t kFnPosition = 100;

}  // namespace

bool KeyDiffersFromFactory(const Model& model, std::size_t position) {
    const std::size_t index = KeyMapIndexOf(position);
    const auto keyMap = model.settings.keyMap();
    const std::uint8_t* entry = keyMap.data() + 4 * index;
    const std::uint8_t* factory = DefaultKeyMap.data() + 4 * index;
    const ConstAssignmentRecord record = model.assignments.record(position);

    bool changed = false;
    if (entry[kKeyMapEntryTypeByte] == EntryTypeByte(KeyMapEntryType::Macro)) {
        changed = true;
    } else if (entry[0] != factory[0]) {
        changed = true;
    } else if (record.kind() != 0) {
        changed = true;
    } else if (record.keys()[0] != record.ownVk() && record.keyCount() == 1) {
        changed = true;
    }
    // A disabled key counts as changed whatever it was given.
    if (!model.settings.isKeyEnabled(MatrixCodeOf(position))) {
        changed = true;
    }
    return changed;
}

void ChangedKeyRule(Model& model) {
    for (std::size_t i = 0; i < kMatrixPositionCount; ++i) {
        model.keyChangedFlags[i] = KeyDiffersFromFactory(model, i) ? 1 : 0;
    }
    model.keyChangedFlags[kFnPosition] = 0;
}

}  // namespace tavrin
