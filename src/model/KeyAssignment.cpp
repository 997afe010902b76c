#include "model/KeyAssignment.h"

#include <algorithm>
#include <string>

#include "model/FunctionCatalogue.h"
#include "model/KeyCodeTable.h"
#include "model/KeyMapEntryType.h"
#include "model/MacroStore.h"

namespace tavrin {

namespace {

constexpr std::uint8_t kEntryKeys = EntryTypeByte(KeyMapEntryType::Keys);
constexpr std::uint8_t kEntryConsumer = EntryTypeByte(KeyMapEntryType::Consumer);
constexpr std::uint8_t kEntryMacro = EntryTypeByte(KeyMapEntryType::Macro);
constexpr std::uint8_t kEntryKeyEvent = EntryTypeByte(KeyMapEntryType::KeyEvent);
// Bytes 2..5 of a launch record; the keyboard never sees them.
constexpr std::array<std::uint8_t, 4> kLaunchCode = {0x03, 0x00, 0x23, 0x02};

bool HasKeyMapEntry(std::size_t position) {
    return position < kMatrixPositionCount;
}

void ClearRecord(AssignmentRecord record) {
    record.setKind(KindByte(AssignmentKind::SingleKey));
    record.setKeyCount(0);
    std::ranges::fill(record.keys(), std::uint8_t{0});
}

KeyMapEntry OwnKeyEntry(AssignmentRecord record) {
    return {HidUsage(record.ownVk()), 0, 0, kEntryKeys};
}

void CopyPendingKeys(AssignmentRecord record, const PendingAssignment& pending) {
    std::ranges::copy(pending.pendingKeys, record.keys().begin());
}

// A launch path that a record cannot hold is refused: a cut path would open another file.
WriteResult RefuseOverlongPath(const PendingAssignment& pending) {
    const bool launch = IsLaunchKind(pending.pendingKind) &&
                        pending.pendingKeyCount != PendingAssignment::kDefaultKeyCount;
    if (launch && pending.pendingLaunchPath.size() > AssignmentRecord::kLaunchPathMaxChars) {
        return {false, "the path to open has " + std::to_string(pending.pendingLaunchPath.size()) +
                           " characters; a key holds at most " +
                           std::to_string(AssignmentRecord::kLaunchPathMaxChars)};
    }
    return {};
}

}  // namespace

KeyMapEntry SingleKeyEntry(std::uint8_t vk) {
    const std::uint8_t usage = HidUsage(vk);
    switch (usage) {
        case 0x83:  // Media
            return {0x01, 0x83, 0x00, kEntryConsumer};
        case 0xCD:  // Play/Pause
        case 0xE9:  // Volume Up
        case 0xEA:  // Volume Down
            return {0x00, usage, 0x00, kEntryConsumer};
        default:
            return {usage, 0, 0, kEntryKeys};
    }
}

void RestoreKeyDefault(Model& model, std::size_t position) {
    if (position >= AssignmentTable::kRecordCount) {
        return;
    }
    const AssignmentRecord record = model.assignments.record(position);
    ClearRecord(record);
    if (HasKeyMapEntry(position)) {
        model.settings.setKeyMapEntry(KeyMapIndexOf(position), OwnKeyEntry(record));
        model.settings.setKeyEnabled(MatrixCodeOf(position), true);
    }
}

WriteResult ApplyKeyAssignment(Model& model, const std::filesystem::path& programDir) {
    const std::size_t p = model.selectedKey;
    if (!HasKeyMapEntry(p)) {
        return {};
    }
    PendingAssignment& pending = model.pending;
    const AssignmentRecord record = model.assignments.record(p);
    const std::size_t entryIndex = KeyMapIndexOf(p);
    auto& changed = model.keyChangedFlags[p];

    if (pending.pendingKeyCount == PendingAssignment::kDefaultKeyCount) {
        RestoreKeyDefault(model, p);
        pending.keyEnabledResult = 1;
        return WriteKeymapFromModel(programDir, model);
    }

    const std::uint8_t kind = pending.pendingKind;
    switch (static_cast<AssignmentKind>(kind)) {
        case AssignmentKind::SingleKey: {
            record.setKind(kind);
            record.setKeyCount(static_cast<std::uint8_t>(pending.pendingKeyCount));
            CopyPendingKeys(record, pending);
            if (pending.pendingKeyCount == 1) {
                const std::uint8_t vk = pending.pendingKeys[0];
                if (vk == DefaultVkTable[p]) {
                    ClearRecord(record);  // the key was given its own meaning back
                    changed = 0;
                } else {
                    changed = 1;
                }
                model.settings.setKeyMapEntry(entryIndex, SingleKeyEntry(vk));
            }
            break;
        }
        case AssignmentKind::KeyCombination: {
            record.setKind(kind);
            record.setKeyCount(static_cast<std::uint8_t>(pending.pendingKeyCount));
            CopyPendingKeys(record, pending);
            model.settings.setKeyMapEntry(
                entryIndex, {HidUsage(pending.pendingKeys[0]), HidUsage(pending.pendingKeys[1]),
                             HidUsage(pending.pendingKeys[2]), kEntryKeys});
            if (pending.pendingKeyCount > 1) {
                changed = 1;
            }
            break;
        }
        case AssignmentKind::Macro: {
            const auto slot = static_cast<std::uint8_t>(pending.pendingMacro);
            record.setKind(kind);
            record.setCode({slot, 0x00, 0x00, kEntryMacro});
            // Only a real slot reaches the keyboard; -1 (none) leaves the entry alone.
            if (pending.pendingMacro >= 0 &&
                pending.pendingMacro < static_cast<std::int32_t>(MacroTable::kRecordCount)) {
                model.settings.setKeyMapEntry(entryIndex, {slot, 0x00, 0x00, kEntryMacro});
                changed = 1;
                BuildDeviceMacros(model.macros, model.settings);
            }
            break;
        }
        case AssignmentKind::Function: {
            changed = 1;
            record.setKind(kind);
            if (const CatalogueFunction* f =
                    FindFunctionByLabel(pending.pendingFunctionLabel, model.languageId)) {
                model.settings.setKeyMapEntry(entryIndex, f->code);
                record.setCode(f->code);
            }
            break;
        }
        case AssignmentKind::PlaySound:
        case AssignmentKind::Startup:
        case AssignmentKind::OpenFile:
        case AssignmentKind::OpenFolder: {
            if (const WriteResult refused = RefuseOverlongPath(pending); !refused) {
                return refused;
            }
            changed = 1;
            // The keyboard reports the key by the code it had before the record changes.
            model.settings.setKeyMapEntry(entryIndex, {record.ownVk(), 0x00, 0x00, kEntryKeyEvent});
            record.setKind(kind);
            record.setOwnVk(DefaultVkTable[p]);
            record.setCode(kLaunchCode);
            record.setLaunchPath(pending.pendingLaunchPath);
            break;
        }
        case AssignmentKind::RestoreDefault: {
            ClearRecord(record);
            model.settings.setKeyMapEntry(entryIndex, OwnKeyEntry(record));
            break;
        }
        default:
            break;
    }
    return WriteKeymapFromModel(programDir, model);
}

WriteResult CommitKeyAssignment(Model& model, const std::filesystem::path& programDir) {
    const std::size_t p = model.selectedKey;
    if (!HasKeyMapEntry(p)) {
        return {};
    }
    if (const WriteResult refused = RefuseOverlongPath(model.pending); !refused) {
        return refused;  // nothing changes, the enable mask included
    }
    model.keyChangedFlags[p] = 0;
    WriteResult first = ApplyKeyAssignment(model, programDir);
    if (model.pending.keyEnabledResult == 1) {
        model.settings.setKeyEnabled(MatrixCodeOf(p), true);
    } else {
        model.settings.setKeyEnabled(MatrixCodeOf(p), false);
        model.keyChangedFlags[p] = 1;
    }
    WriteResult second = WriteKeymapFromModel(programDir, model);
    return first ? second : first;
}

}  // namespace tavrin
