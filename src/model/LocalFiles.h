#pragma once

// The files the program keeps in its program directory: "keymap.bin", "MacroDefine.bin" and the
// firmware version files shipped beside the updater.

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>

#include "model/Bytes.h"
#include "model/Model.h"

namespace tavrin {

inline constexpr const char* kKeymapFileName = "keymap.bin";
inline constexpr const char* kMacroFileName = "MacroDefine.bin";
inline constexpr const char* kVersionFileName104 = "VER.bin";
inline constexpr const char* kVersionFileName87 = "VER87.bin";
inline constexpr std::size_t kKeymapFileSize = SettingsBlock::kSize + AssignmentTable::kSize;
static_assert(kKeymapFileSize == 201424);

struct WriteResult {
    bool ok = true;
    std::string error;  // what failed, with the path; empty on success

    explicit operator bool() const { return ok; }
};

// Writes the parts one after the other into a temporary file in the same folder and renames it
// over `path`, so the old file stays whole when anything fails.
WriteResult WriteFileAtomically(const std::filesystem::path& path,
                                std::initializer_list<ConstByteSpan> parts);

struct ReadResult {
    bool opened = false;
    std::size_t bytesRead = 0;
};

// Reads at most target.size() bytes from the start of the file; bytes past what the file holds
// keep their previous values.
ReadResult ReadFileInto(const std::filesystem::path& path, ByteSpan target);

enum class LoadOutcome {
    Loaded,        // the file existed and was read (possibly short)
    Created,       // it did not exist and was created
    CreateFailed,  // it did not exist and could not be created; the images keep their values
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::Loaded;
    std::string error;
};

// Clears the MacroTable, then reads "MacroDefine.bin" or creates it with 7680 zero bytes.
LoadResult LoadMacroFile(const std::filesystem::path& programDir, MacroTable& macros);
WriteResult WriteMacroFile(const std::filesystem::path& programDir, const MacroTable& macros);

// Reads "keymap.bin" into the model (only the AssignmentTable when `assignmentsOnly`), then sets
// the default virtual-key code of positions 0..112. A missing file is created from the current
// SettingsBlock and an all-zero AssignmentTable.
LoadResult LoadKeymapFile(const std::filesystem::path& programDir, Model& model,
                          bool assignmentsOnly);

// "keymap.bin" whole: SettingsBlock then AssignmentTable.
WriteResult WriteKeymapFile(const std::filesystem::path& programDir, const SettingsBlock& settings,
                            const AssignmentTable& assignments);
inline WriteResult WriteKeymapFromModel(const std::filesystem::path& programDir,
                                        const Model& model) {
    return WriteKeymapFile(programDir, model.settings, model.assignments);
}
inline WriteResult WriteKeymapFromSaved(const std::filesystem::path& programDir,
                                        const Model& model) {
    return WriteKeymapFile(programDir, model.savedSettings, model.savedAssignments);
}

// The firmware shipped beside the updater: "VER.bin" for the 104-key layout, "VER87.bin" for the
// 87-key one; digits at bytes 5 and 7. 0.0 when the file cannot be read.
std::filesystem::path VersionFilePath(const std::filesystem::path& programDir,
                                      std::uint8_t layoutVariant);
FirmwareVersion ReadVersionFile(const std::filesystem::path& programDir,
                                std::uint8_t layoutVariant);

// True when the shipped firmware is newer than the keyboard's.
inline bool UpdateAvailable(const FirmwareVersion& shipped, const FirmwareVersion& keyboard) {
    return shipped > keyboard;
}

}  // namespace tavrin
