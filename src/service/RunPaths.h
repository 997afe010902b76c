#pragma once

// Where a run keeps and finds its files, from the executable's place, --data-dir and the
// environment. The program and tavrinctl, installed side by side, resolve the same folders.

#include <QString>
#include <optional>

#include "model/ProgramDirectory.h"

namespace tavrin {

ProgramPaths ResolveRunPaths(const std::optional<QString>& dataDir);

}  // namespace tavrin
