#pragma once

// The look of the rules windows: plain widgets in the program's dark graphite with its one cyan
// accent, so that they sit beside the skinned windows without pretending to be skinned.

#include <QString>

namespace tavrin {

QString RulesStyleSheet();

}  // namespace tavrin
