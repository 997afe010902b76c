#pragma once

// How every surface names launch actions to the user, in the interface language: the windows'
// questions and notices, the D-Bus errors and tavrinctl's messages say the same.

#include <QString>
#include <cstdint>
#include <vector>

#include "model/LaunchActions.h"

namespace tavrin {

// "Play Sound", "Startup", "Open File" or "Open Folder".
QString LaunchKindName(std::uint8_t kind);

// One line per action, each ending in a line feed: two spaces, the key, the kind in brackets
// and the path, with a note when the path is not a full path or nothing is there (such a path
// is never run).
QString LaunchActionLines(const std::vector<CheckedLaunchAction>& actions);

// Why a key's launch action did not run: which key, which path, and why. Empty when it ran or
// the key has none.
QString LaunchNotRunText(const LaunchResult& result);

}  // namespace tavrin
