#pragma once

// What the user is told when the keyboard is plugged in but its nodes refuse them: the one
// command that installs the access rule shipped with the program and makes udev apply it.

#include <QString>
#include <filesystem>
#include <vector>

namespace tavrin {

inline constexpr const char* kUdevRuleName = "70-tavrin-gaming-keyboard.rules";

// The shipped rule, "udev/<rule>" below the first root that has it; else where an installation
// below `fallbackRoot` keeps it.
std::filesystem::path FindUdevRule(const std::vector<std::filesystem::path>& roots,
                                   const std::filesystem::path& fallbackRoot);

// A single shell line: copies the rule into /etc/udev/rules.d, reloads the rules and replays
// the devices' events so the plugged-in keyboard gets its permissions.
QString UdevRuleInstallCommand(const std::filesystem::path& rule);

struct AccessDeniedNotice {
    QString title;
    QString text;
};
// In the language of the installed translation.
AccessDeniedNotice MakeAccessDeniedNotice(const std::filesystem::path& rule);

}  // namespace tavrin
