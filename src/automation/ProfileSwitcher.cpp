#include "automation/ProfileSwitcher.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include "model/ProfileFolder.h"
#include "model/SettingsStore.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"

namespace tavrin {

ProfileSwitcher::ProfileSwitcher(KeyboardService& service, KeyboardScripting& scripting,
                                 SettingsStore& settings, QString rulesPath, QObject* parent)
    : QObject(parent),
      service_(service),
      scripting_(scripting),
      settings_(settings),
      rulesPath_(std::move(rulesPath)) {
    debounce_.setSingleShot(true);
    debounce_.setInterval(kDebounceMs);
    connect(&debounce_, &QTimer::timeout, this, &ProfileSwitcher::switchNow);
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &ProfileSwitcher::switchNow);
    // The folder too: an editor that saves by replacing the file drops the file's watch.
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ProfileSwitcher::reloadRules);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ProfileSwitcher::reloadRules);
    // A keyboard that arrives gets the profile the rules want.
    connect(&service_, &KeyboardService::settingsLoaded, this, [this](bool fromKeyboard) {
        if (fromKeyboard) {
            reconsider();
        }
    });
}

void ProfileSwitcher::start() {
    QDir().mkpath(QFileInfo(rulesPath_).absolutePath());
    watcher_.addPath(QFileInfo(rulesPath_).absolutePath());
    reloadRules();
}

void ProfileSwitcher::reloadRules() {
    if (QFileInfo::exists(rulesPath_) && !watcher_.files().contains(rulesPath_)) {
        watcher_.addPath(rulesPath_);
    }
    const RulesLoad load = LoadProfileRules(rulesPath_);
    if (!load.rules) {
        if (load.error != rulesError_) {
            rulesError_ = load.error;
            emit rulesFailed(rulesError_);
        }
        return;
    }
    rulesError_.clear();
    if (*load.rules == rules_) {
        return;
    }
    rules_ = *load.rules;
    failed_.clear();
    emit rulesChanged(rules_.hasRunningRule());
    reconsider();
}

QString ProfileSwitcher::wanted() const {
    return rules_.enabled ? WantedProfile(rules_, focused_, running_) : QString();
}

void ProfileSwitcher::setFocused(const ActiveApplication& focused) {
    if (focused == focused_) {
        return;
    }
    focused_ = focused;
    reconsider();
}

void ProfileSwitcher::setRunning(const QList<QString>& running) {
    running_ = running;
    reconsider();
}

void ProfileSwitcher::reconsider() {
    // Every change starts the wait again: only a wish that lasts switches.
    debounce_.start();
}

void ProfileSwitcher::setWaiting(const QString& profile) {
    if (waitingFor_ != profile) {
        waitingFor_ = profile;
        emit waitingForUnsavedEdits(profile);
    }
}

QString ProfileSwitcher::currentProfile() const {
    return QString::fromStdU16String(
        ProfileNameOf(ReadCurrentProfile(settings_, std::u16string())));
}

void ProfileSwitcher::switchNow() {
    retry_.stop();
    const QString profile = wanted();
    const QString current = currentProfile();
    if (failed_ == current) {
        failed_.clear();  // the user took it meanwhile (a choice about its launch actions, say)
    }
    if (profile.isEmpty() || profile == current || profile == failed_) {
        setWaiting({});
        return;  // nothing to do, "leave the keyboard as it is", or told once already
    }
    if (inFlight_) {
        return;  // the switch that runs ends with a look at the rules again
    }
    const Model& model = service_.model();
    if (model.settings != model.savedSettings || model.assignments != model.savedAssignments) {
        setWaiting(profile);
        retry_.start();
        return;
    }
    setWaiting({});
    switch (service_.availability()) {
        case Availability::Started:
            break;
        case Availability::Busy:
            retry_.start();  // a Save, a reset, a read or a dialog: after it, the last wish wins
            return;
        case Availability::NoKeyboard:
        case Availability::AccessDenied:
            return;  // the keyboard's arrival looks again
    }
    inFlight_ = true;
    scripting_.call(QStringLiteral("ApplyProfile"), {profile, true},
                    [this, profile](const ScriptReply& reply) {
                        inFlight_ = false;
                        if (reply.ok()) {
                            emit switched(profile);
                        } else if (reply.error == ScriptError::Busy) {
                            retry_.start();
                            return;
                        } else if (reply.error == ScriptError::LaunchActions) {
                            // Nobody is asked in the middle of a game: the profile waits until
                            // the user has chosen once, where a question can be answered.
                            failed_ = profile;
                            emit switchFailed(
                                tr("The profile %1 makes keys open programs, files or folders "
                                   "that were not accepted. Choose it once in the profile manager "
                                   "or the icon's menu to keep them or leave them out.")
                                    .arg(profile));
                        } else {
                            failed_ = profile;  // said once; a change of the rules tries again
                            emit switchFailed(reply.message);
                        }
                        if (wanted() != profile) {
                            reconsider();
                        }
                    });
}

}  // namespace tavrin
