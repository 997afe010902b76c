#pragma once

// The question a window asks before it takes a profile that makes keys open programs, files or
// folders the user has not accepted: keep them, take the profile without them, or cancel.

#include <optional>
#include <string>
#include <vector>

#include "model/LaunchActions.h"
#include "model/LaunchActionsReview.h"

namespace tavrin {

class Prompts;

// Lists `actions` (key, kind, path) and asks. Keep or Drop; nullopt when the user cancelled.
std::optional<LaunchChoice> AskAboutLaunchActions(Prompts& prompts,
                                                  const std::vector<CheckedLaunchAction>& actions,
                                                  const std::u16string& caption);

}  // namespace tavrin
