#pragma once

// The macro manager's debug trace, off unless QT_LOGGING_RULES asks for "tavrin.macro.debug".

#include <QLoggingCategory>

namespace tavrin {

Q_DECLARE_LOGGING_CATEGORY(lcMacro)

}  // namespace tavrin
