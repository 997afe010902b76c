#include "app/AccessDeniedNotice.h"

#include <QCoreApplication>

namespace tavrin {

namespace fs = std::filesystem;

fs::path FindUdevRule(const std::vector<fs::path>& roots, const fs::path& fallbackRoot) {
    for (const fs::path& root : roots) {
        std::error_code ec;
        const fs::path rule = root / "udev" / kUdevRuleName;
        if (fs::is_regular_file(rule, ec)) {
            return rule;
        }
    }
    return fallbackRoot / "udev" / kUdevRuleName;
}

QString UdevRuleInstallCommand(const fs::path& rule) {
    // Single quotes keep a path with spaces whole; a quote inside one is closed and escaped.
    QString path = QString::fromStdString(rule.string());
    path.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QStringLiteral(
               "sudo install -m 644 '%1' /etc/udev/rules.d/ && sudo udevadm control --reload && "
               "sudo udevadm trigger --subsystem-match=hidraw")
        .arg(path);
}

AccessDeniedNotice MakeAccessDeniedNotice(const fs::path& rule) {
    return {QCoreApplication::translate("tavrin::AccessDeniedNotice", "Keyboard Access"),
            QCoreApplication::translate(
                "tavrin::AccessDeniedNotice",
                "The Gaming Keyboard is connected, but this user may not open it. Run this "
                "command in a terminal to install its access rule:\n\n") +
                UdevRuleInstallCommand(rule)};
}

}  // namespace tavrin
