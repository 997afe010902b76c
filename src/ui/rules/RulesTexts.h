#pragma once

// The rules windows' words in both interface languages.

#include <QString>

#include "automation/ProfileRules.h"

namespace tavrin {

class RulesTexts {
public:
    explicit RulesTexts(bool chinese) : chinese_(chinese) {}

    bool chinese() const { return chinese_; }
    // The text in the interface language.
    QString operator()(const char16_t* english, const char16_t* chinese) const {
        return QString::fromUtf16(chinese_ ? chinese : english);
    }

    QString matchName(ProfileRule::Match match) const;
    QString kindName(ProfileRule::Kind kind) const;
    // A profile that the rules name but the folder no longer holds.
    QString missingProfile(const QString& name) const;
    QString noDefaultProfile() const;

private:
    bool chinese_;
};

}  // namespace tavrin
