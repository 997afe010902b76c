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

    // What the shell is asked to open: the file in its folder, or the folder alone.
    std::filesystem::path joined() const;

    bool operator==(const LaunchTarget&) const = default;
};

// Splits a stored path at its last separator into folder and file. Both '/' and '\\' separate,
// so a path written on Windows splits as well. Without a separator the folder is the whole path
// and the file is empty. A folder that would be empty or a bare drive ("C:") keeps its separator,
// so "/song.mp3" opens in "/" and not in the current folder.
LaunchTarget SplitLaunchPath(std::u16string_view path);

// The name by which the user knows the key of a launch action: the key at its position ("F12"),
// or, for a record without a key, the key whose event code runs it.
std::u16string LaunchKeyName(const LaunchAction& action);

// A launch action with what is at its path on this computer now.
struct CheckedLaunchAction {
    LaunchAction action;
    std::u16string key;     // LaunchKeyName
    bool absolute = false;  // a full path; nothing else is ever run
    bool exists = false;    // something is there now

    bool operator==(const CheckedLaunchAction&) const = default;
};

std::vector<CheckedLaunchAction> CheckLaunchActions(const std::vector<LaunchAction>& actions);

enum class LaunchOutcome {
    NoAction,     // no launch action has this event code
    Started,      // the shell took it
    NotAbsolute,  // not a full path (or none): it would depend on the program's own folder
    Missing,      // nothing is at the path any more
    Failed,       // the shell could not open it
};

struct [[nodiscard]] LaunchResult {
    LaunchOutcome outcome = LaunchOutcome::NoAction;
    std::size_t position = 0;
    std::u16string key;   // LaunchKeyName
    std::u16string path;  // as the record holds it

    explicit operator bool() const { return outcome == LaunchOutcome::Started; }
    // A key with an action that did not run: the user is told which key and which path.
    bool refused() const {
        return outcome != LaunchOutcome::NoAction && outcome != LaunchOutcome::Started;
    }
};

// WM_KEYBOARD_EVENT: the low byte of the event code finds the key's record, whose path is handed
// to the shell, which opens a document and starts a program directly (never through a command
// line). A path that is not absolute, or where nothing is any more, is not handed on.
LaunchResult RunLaunchAction(const AssignmentTable& assignments, std::uint32_t eventCode,
                             Shell& shell);

}  // namespace tavrin
