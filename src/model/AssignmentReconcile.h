#pragma once

// After the KeyMap has been read from the keyboard, the PC-side records that it contradicts are
// given up: the keyboard is what the keys really do.

#include <cstddef>

#include "model/Model.h"

namespace tavrin {

// True when record `position` still describes what the KeyMap entry of its key holds.
// Records without an assignment (a key of count 0) always agree.
bool AssignmentAgreesWithKeyMap(const Model& model, std::size_t position);

// Resets to its default (kind 0, no keys, ownVk kept) every record 0..107 that disagrees.
// Returns how many were reset.
std::size_t ReconcileAssignments(Model& model);

}  // namespace tavrin
