#pragma once

// Which keys the keyboard picture marks as changed from the factory state.

#include "model/Model.h"

namespace tavrin {

// Recomputes keyChangedFlags for positions 0..107 from the KeyMap, the AssignmentTable and the
// KeyEnableMask; the Fn key (100) is never marked. Positions 108..112 are left as they are.
void ChangedKeyRule(Model& model);

// Whether position `position` (0..107) differs from its factory state by the rule above.
bool KeyDiffersFromFactory(const Model& model, std::size_t position);

}  // namespace tavrin
