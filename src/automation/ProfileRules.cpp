#include "automation/ProfileRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace tavrin {

namespace {

const QString kFormat = QStringLiteral("tavrin-gaming-keyboard-profile-rules");

QString MatchName(ProfileRule::Match match) {
    return match == ProfileRule::Match::Process ? QStringLiteral("process")
                                                : QStringLiteral("window-class");
}

QString KindName(ProfileRule::Kind kind) {
    return kind == ProfileRule::Kind::WhileFocused ? QStringLiteral("focused")
                                                   : QStringLiteral("running");
}

bool Matches(const ProfileRule& rule, const ActiveApplication& focused,
             const QList<QString>& running) {
    if (rule.pattern.isEmpty()) {
        return false;
    }
    if (rule.kind == ProfileRule::Kind::WhileRunning) {
        // A running process has no window class; such a rule matches by its executable.
        return rule.match == ProfileRule::Match::Process && running.contains(rule.pattern);
    }
    if (rule.match == ProfileRule::Match::Process) {
        return focused.exe == rule.pattern;
    }
    return focused.instance.compare(rule.pattern, Qt::CaseInsensitive) == 0 ||
           focused.windowClass.compare(rule.pattern, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool ProfileRules::hasRunningRule() const {
    for (const ProfileRule& r : rules) {
        if (r.kind == ProfileRule::Kind::WhileRunning) {
            return true;
        }
    }
    return false;
}

QString WantedProfile(const ProfileRules& rules, const ActiveApplication& focused,
                      const QList<QString>& running) {
    for (const ProfileRule& rule : rules.rules) {
        if (Matches(rule, focused, running)) {
            return rule.profile;
        }
    }
    return rules.defaultProfile;
}

QString ProfileRulesPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/tavrin-gaming-keyboard/profile-rules.json");
}

RulesLoad LoadProfileRules(const QString& path) {
    RulesLoad load;
    QFile file(path);
    if (!file.exists() && !QFileInfo(path).isSymLink()) {
        load.rules = ProfileRules{};  // nothing written yet: no rules, switching on
        return load;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        load.error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return load;
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        load.error = QStringLiteral("%1 is not a rules file: %2")
                         .arg(path, parse.error != QJsonParseError::NoError
                                        ? parse.errorString()
                                        : QStringLiteral("not a JSON object"));
        return load;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat) {
        load.error =
            QStringLiteral("%1 is not a rules file: \"format\" is not \"%2\"").arg(path, kFormat);
        return load;
    }
    if (root.value(QStringLiteral("version")).toInt() != ProfileRules::kVersion) {
        load.error = QStringLiteral("%1 has version %2; this program reads version %3")
                         .arg(path, root.value(QStringLiteral("version")).toVariant().toString())
                         .arg(ProfileRules::kVersion);
        return load;
    }
    ProfileRules rules;
    rules.enabled = root.value(QStringLiteral("enabled")).toBool(true);
    rules.defaultProfile = root.value(QStringLiteral("default_profile")).toString();
    const QJsonArray list = root.value(QStringLiteral("rules")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject o = list.at(i).toObject();
        ProfileRule rule;
        const QString match = o.value(QStringLiteral("match")).toString();
        const QString kind = o.value(QStringLiteral("while")).toString();
        rule.pattern = o.value(QStringLiteral("pattern")).toString();
        rule.profile = o.value(QStringLiteral("profile")).toString();
        const bool matchKnown = match == MatchName(ProfileRule::Match::Process) ||
                                match == MatchName(ProfileRule::Match::WindowClass);
        const bool kindKnown = kind == KindName(ProfileRule::Kind::WhileFocused) ||
                               kind == KindName(ProfileRule::Kind::WhileRunning);
        if (!matchKnown || !kindKnown || rule.pattern.isEmpty() || rule.profile.isEmpty()) {
            load.error = QStringLiteral(
                             "%1: rule %2 needs \"match\" (process or window-class), "
                             "\"pattern\", \"while\" (focused or running) and "
                             "\"profile\"")
                             .arg(path)
                             .arg(i + 1);
            return load;
        }
        rule.match = match == MatchName(ProfileRule::Match::Process)
                         ? ProfileRule::Match::Process
                         : ProfileRule::Match::WindowClass;
        rule.kind = kind == KindName(ProfileRule::Kind::WhileFocused)
                        ? ProfileRule::Kind::WhileFocused
                        : ProfileRule::Kind::WhileRunning;
        rules.rules.append(rule);
    }
    load.rules = rules;
    return load;
}

bool SaveProfileRules(const QString& path, const ProfileRules& rules, QString& error) {
    // A file that is there but cannot be read stays as it is.
    if (const RulesLoad existing = LoadProfileRules(path);
        !existing.rules && QFileInfo::exists(path)) {
        error = existing.error + QStringLiteral("; it is kept as it is");
        return false;
    }
    QJsonArray list;
    for (const ProfileRule& r : rules.rules) {
        list.append(QJsonObject{{QStringLiteral("match"), MatchName(r.match)},
                                {QStringLiteral("pattern"), r.pattern},
                                {QStringLiteral("while"), KindName(r.kind)},
                                {QStringLiteral("profile"), r.profile}});
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), ProfileRules::kVersion},
                           {QStringLiteral("enabled"), rules.enabled},
                           {QStringLiteral("default_profile"), rules.defaultProfile},
                           {QStringLiteral("rules"), list}};
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("cannot make the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace tavrin
