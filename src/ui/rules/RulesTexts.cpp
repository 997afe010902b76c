#include "ui/rules/RulesTexts.h"

namespace tavrin {

QString RulesTexts::matchName(ProfileRule::Match match) {
    return match == ProfileRule::Match::Process ? tr("Process name") : tr("Window class");
}

QString RulesTexts::kindName(ProfileRule::Kind kind) {
    return kind == ProfileRule::Kind::WhileFocused ? tr("while focused") : tr("while running");
}

QString RulesTexts::missingProfile(const QString& name) {
    return tr("%1 (missing)").arg(name);
}

QString RulesTexts::noDefaultProfile() {
    return tr("None: leave the keyboard as it is");
}

}  // namespace tavrin
