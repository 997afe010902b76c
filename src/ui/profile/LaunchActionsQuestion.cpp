#include "ui/profile/LaunchActionsQuestion.h"

#include <QCoreApplication>

#include "model/Prompts.h"
#include "service/LaunchActionTexts.h"

namespace tavrin {

std::optional<LaunchChoice> AskAboutLaunchActions(Prompts& prompts,
                                                  const std::vector<CheckedLaunchAction>& actions,
                                                  const std::u16string& caption) {
    const QString text =
        QCoreApplication::translate("tavrin::LaunchActionsQuestion",
                                    "This profile makes keys open these programs, files or "
                                    "folders:\n") +
        LaunchActionLines(actions) +
        QCoreApplication::translate("tavrin::LaunchActionsQuestion",
                                    "\nKeep them, or take the profile without them? Without them "
                                    "those keys get their own meaning back.");
    const std::vector<std::u16string> answers = {
        QCoreApplication::translate("tavrin::LaunchActionsQuestion", "Keep them").toStdU16String(),
        QCoreApplication::translate("tavrin::LaunchActionsQuestion", "Without them")
            .toStdU16String(),
        QCoreApplication::translate("tavrin::LaunchActionsQuestion", "Cancel").toStdU16String(),
    };
    switch (prompts.choose(text.toStdU16String(), caption, answers)) {
        case 0:
            return LaunchChoice::Keep;
        case 1:
            return LaunchChoice::Drop;
        default:
            return std::nullopt;
    }
}

}  // namespace tavrin
