#pragma once

// The names the rules windows share: how a rule matches, when it applies, a missing profile.

#include <QCoreApplication>
#include <QString>

#include "automation/ProfileRules.h"

namespace tavrin {

class RulesTexts {
    Q_DECLARE_TR_FUNCTIONS(tavrin::RulesTexts)

public:
    static QString matchName(ProfileRule::Match match);
    static QString kindName(ProfileRule::Kind kind);
    // A profile that the rules name but the folder no longer holds.
    static QString missingProfile(const QString& name);
    static QString noDefaultProfile();
};

}  // namespace tavrin
