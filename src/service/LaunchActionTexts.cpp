#include "service/LaunchActionTexts.h"

#include <QCoreApplication>

namespace tavrin {

namespace {

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

}  // namespace

QString LaunchKindName(std::uint8_t kind) {
    switch (kind) {
        case 4:
            return QCoreApplication::translate("tavrin::LaunchActionTexts", "Play Sound");
        case 5:
            return QCoreApplication::translate("tavrin::LaunchActionTexts", "Startup");
        case 6:
            return QCoreApplication::translate("tavrin::LaunchActionTexts", "Open File");
        case 7:
            return QCoreApplication::translate("tavrin::LaunchActionTexts", "Open Folder");
        default:
            return QString::number(kind);
    }
}

QString LaunchActionLines(const std::vector<CheckedLaunchAction>& actions) {
    QString lines;
    for (const CheckedLaunchAction& a : actions) {
        QString note;
        if (!a.absolute) {
            note = QCoreApplication::translate("tavrin::LaunchActionTexts",
                                               " (not a full path: it is never opened)");
        } else if (!a.exists) {
            note = QCoreApplication::translate("tavrin::LaunchActionTexts", " (not found)");
        }
        lines += QStringLiteral("  %1 (%2): %3%4\n")
                     .arg(Q(a.key), LaunchKindName(a.action.kind), Q(a.action.path), note);
    }
    return lines;
}

QString LaunchNotRunText(const LaunchResult& result) {
    switch (result.outcome) {
        case LaunchOutcome::NoAction:
        case LaunchOutcome::Started:
            return {};
        case LaunchOutcome::NotAbsolute:
            return QCoreApplication::translate(
                       "tavrin::LaunchActionTexts",
                       "The key %1 did not open \"%2\": it is not a full path.")
                .arg(Q(result.key), Q(result.path));
        case LaunchOutcome::Missing:
            return QCoreApplication::translate(
                       "tavrin::LaunchActionTexts",
                       "The key %1 did not open \"%2\": nothing is there any more.")
                .arg(Q(result.key), Q(result.path));
        case LaunchOutcome::Failed:
            return QCoreApplication::translate("tavrin::LaunchActionTexts",
                                               "The key %1 could not open \"%2\".")
                .arg(Q(result.key), Q(result.path));
    }
    return {};
}

}  // namespace tavrin
