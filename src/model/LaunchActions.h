#pragma once

// Launch actions: keys whose KeyMap entry makes the keyboard report them, so that the computer
// opens the path stored in the key's AssignmentRecord.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/AssignmentTable.h"
#include "model/Shell.h"

namespace tavrin {

struct LaunchAction {
    std::size_t position = 0;  // the record's index
    std::uint8_t kind = 0;     // 4 Play Sound, 5 Startup, 6 Open File, 7 Open Folder
    std::uint8_t ownVk = 0;    // the event code that runs it
    std::u16string path;

    bool operator==(const LaunchAction&) const = default;
};

// Every record 0..254 of kind 4 to 7, in record order.
std::vector<LaunchAction> LaunchActionsOf(const AssignmentTable& assignments);

// The first record 0..254 of kind 4 to 7 whose ownVk is `eventCode`.
std::optional<std::size_t> FindLaunchRecord(const AssignmentTable& assignments,
                                            std::uint8_t eventCode);

struct LaunchTarget {
    std::filesystem::path directory;
    std::filesystem::path file;  // empty when the path has no separator

    bool operator==(const LaunchTarget&) const = default;
};

// Splits a stored path at its last separator into folder and file. Both '/' and '\\' separate,
// so a path written on Windows splits as well. Without a separator the folder is the whole path
// and the file is empty. A folder that would be empty or a bare drive ("C:") keeps its separator,
// so "/song.mp3" opens in "/" and not in the current folder.
LaunchTarget SplitLaunchPath(std::u16string_view path);

// WM_KEYBOARD_EVENT: the low byte of the event code finds the key's record, whose path is handed to
// the shell. True when a record was found and the shell was asked; no match, or a record without a
// path, does nothing.
bool RunLaunchAction(const AssignmentTable& assignments, std::uint32_t eventCode, Shell& shell);

}  // namespace tavrin
