#pragma once

// The files the program keeps in its program directory: "keymap.bin", "MacroDefine.bin" and the
// firmware version files shipped beside the updater.

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "model/Bytes.h"
#include "model/Model.h"

namespace tavrin {

inline constexpr const char* kKeymapFileName = "keymap.bin";
inline constexpr const char* kMacroFileName = "MacroDefine.bin";
inline constexpr const char* kVersionFileName104 = "VER.bin";
inline constexpr const char* kVersionFileName87 = "VER87.bin";
inline constexpr std::size_t kKeymapFileSize = SettingsBlock::kSize + AssignmentTable::kSize;
static_assert(kKeymapFileSize == 201424);

// Not [[nodiscard]] yet: callers outside the core still drop it.
struct [[nodiscard]] WriteResult {
    bool ok = true;
    std::string error;  // what failed, with the path; empty on success

    explicit operator bool() const { return ok; }
};

// What is in the place of a file. Anything there that cannot be read whole (no permission, a
// folder, a FIFO or device, a dangling link, a read error, fewer bytes than its size) is
// Unreadable, and is never replaced: it may hold the user's only copy of their settings.
enum class FileState {
    Missing,     // nothing at all by that name
    Readable,    // a regular file (or a link to one) that can be read whole
    Unreadable,  // something is there that cannot be read
};

struct [[nodiscard]] FileCheck {
    FileState state = FileState::Missing;
    std::string reason;  // why it cannot be read ("Permission denied"); empty otherwise
};

// Reads the whole file to find out. Never blocks: a FIFO or device is never opened.
FileCheck CheckFile(const std::filesystem::path& path);

// Writes the parts one after the other into a temporary file in the same folder and renames it
// over `path`, so the old file stays whole when anything fails. Refused when something that
// cannot be read is in that place (CheckFile): a file that was not read is not replaced.
WriteResult WriteFileAtomically(const std::filesystem::path& path,
                                std::initializer_list<ConstByteSpan> parts);

// The same, but only where nothing is in that place: an entry that appears in the meantime is not
// replaced either.
[[nodiscard]] WriteResult CreateFileAtomically(const std::filesystem::path& path,
                                               std::initializer_list<ConstByteSpan> parts);

struct [[nodiscard]] ReadResult {
    FileState state = FileState::Missing;
    std::size_t bytesRead = 0;
    std::string error;  // with the path and the reason, unless Readable

    bool opened() const { return state == FileState::Readable; }
};

// Reads at most target.size() bytes from the start of the file; bytes past what the file holds
// keep their previous values. A file shorter than the target is Readable; one that yields fewer
// bytes than its size said is not. Unless Readable, `target` may hold part of the file.
ReadResult ReadFileInto(const std::filesystem::path& path, ByteSpan target);

enum class LoadOutcome {
    Loaded,        // the file existed and was read (possibly short)
    Created,       // it did not exist and was created
    CreateFailed,  // it did not exist and could not be created; the images keep their values
    Unreadable,    // something is there that cannot be read; left as it is, the images keep
                   // their values
};

// Not [[nodiscard]] yet: callers outside the core still drop it.
struct [[nodiscard]] LoadResult {
    LoadOutcome outcome = LoadOutcome::Loaded;
    std::string error;  // with the path and the reason, unless Loaded or Created
};

// Clears the MacroTable, then reads "MacroDefine.bin", or creates it with 7680 zero bytes when
// nothing is there. When something unreadable is there the MacroTable keeps its values.
LoadResult LoadMacroFile(const std::filesystem::path& programDir, MacroTable& macros);
WriteResult WriteMacroFile(const std::filesystem::path& programDir, const MacroTable& macros);

// Reads "keymap.bin" into the model (only the AssignmentTable when `assignmentsOnly`), then sets
// the default virtual-key code of positions 0..112. A missing file is created from the current
// SettingsBlock and an all-zero AssignmentTable; an unreadable one is left alone, and so are the
// images.
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
const char* VersionFileName(std::uint8_t layoutVariant);
std::filesystem::path VersionFilePath(const std::filesystem::path& programDir,
                                      std::uint8_t layoutVariant);
FirmwareVersion ReadVersionFile(const std::filesystem::path& programDir,
                                std::uint8_t layoutVariant);
// The version file found first in `dirs` (ProgramPaths::shippedDirs, FindShippedFile).
FirmwareVersion ReadVersionFile(const std::vector<std::filesystem::path>& dirs,
                                std::uint8_t layoutVariant);

// True when the shipped firmware is newer than the keyboard's.
inline bool UpdateAvailable(const FirmwareVersion& shipped, const FirmwareVersion& keyboard) {
    return shipped > keyboard;
}

}  // namespace tavrin
