#include "ui/macro/MacroLog.h"

namespace tavrin {

Q_LOGGING_CATEGORY(lcMacro, "tavrin.macro", QtInfoMsg)

}  // namespace tavrin
