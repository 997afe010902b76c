#pragma once

// The desktop's locale for messages, as the C library would choose it: LC_ALL, then LC_MESSAGES,
// then LANG; the first that is set and not empty. Empty when none is.

#include <string>

namespace tavrin {

std::string DesktopLocaleName();

}  // namespace tavrin
