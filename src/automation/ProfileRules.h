#pragma once

// Automatic profiles: which profile of the "Configure" folder an application wants, kept in a
// versioned JSON file in the user's configuration folder. A file that cannot be read or
// understood is reported and left as it is; it is never overwritten.

#include <QList>
#include <QMetaType>
#include <QString>
#include <optional>

namespace tavrin {

struct ProfileRule {
    enum class Match { Process, WindowClass };
    enum class Kind { WhileFocused, WhileRunning };

    Match match = Match::Process;
    // Process: an executable's name, from /proc/PID/comm or the file name of /proc/PID/exe.
    // WindowClass: an X11 WM_CLASS, its instance or its class.
    QString pattern;
    Kind kind = Kind::WhileFocused;
    QString profile;  // a profile's name as the profile list shows it

    bool operator==(const ProfileRule&) const = default;
};

struct ProfileRules {
    static constexpr int kVersion = 1;

    bool enabled = true;       // automatic switching as a whole
    QString defaultProfile;    // when no rule matches; empty: leave the keyboard as it is
    QList<ProfileRule> rules;  // in order: the first that matches wins

    bool operator==(const ProfileRules&) const = default;
    bool hasRunningRule() const;
};

// What is in front and what runs, as the sources report it.
struct ActiveApplication {
    QString exe;          // executable name; empty when unknown
    QString instance;     // WM_CLASS instance; empty when unknown
    QString windowClass;  // WM_CLASS class; empty when unknown

    bool operator==(const ActiveApplication&) const = default;
};

// The profile the rules want for this focus and these running executables: the first rule that
// matches, else the default; empty when none applies. Names compare exactly, as the system
// gives them; window classes without regard to case.
QString WantedProfile(const ProfileRules& rules, const ActiveApplication& focused,
                      const QList<QString>& running);

// $XDG_CONFIG_HOME/tavrin-gaming-keyboard/profile-rules.json (~/.config when unset).
QString ProfileRulesPath();

struct [[nodiscard]] RulesLoad {
    std::optional<ProfileRules> rules;  // set when the file was read, or is missing (defaults)
    QString error;                      // why it could not be read; the file is kept
};

RulesLoad LoadProfileRules(const QString& path);
// Written whole through a temporary file and a rename. Refused (with `error`) when the file there
// cannot be read: a broken file is the user's, and is kept.
bool SaveProfileRules(const QString& path, const ProfileRules& rules, QString& error);

}  // namespace tavrin

// Reported in signals, also queued ones.
Q_DECLARE_METATYPE(tavrin::ActiveApplication)
