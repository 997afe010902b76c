#pragma once

// Switches the keyboard's profile by the rules, from what the sources report: the focused
// application (X11 or a compositor's script over D-Bus) and the running executables. A wish
// that lasts less than the debounce switches nothing, a switch never interrupts a Save (the
// last wish wins), and unsaved edits in the window are never overwritten: while they exist the
// switch waits.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include "automation/ProfileRules.h"

namespace tavrin {

class KeyboardScripting;
class KeyboardService;
class SettingsStore;

class ProfileSwitcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kDebounceMs = 500;
    static constexpr int kRetryMs = 1000;  // while busy or waiting for unsaved edits

    ProfileSwitcher(KeyboardService& service, KeyboardScripting& scripting, SettingsStore& settings,
                    QString rulesPath, QObject* parent = nullptr);

    // Reads the rules and watches their file from now on.
    void start();

    const ProfileRules& rules() const { return rules_; }
    // The profile the rules want now, before the debounce.
    QString wanted() const;

public slots:
    void setFocused(const tavrin::ActiveApplication& focused);
    void setRunning(const QList<QString>& running);
    // Reads the rules file again (the file watcher calls it).
    void reloadRules();

signals:
    // The rules changed; whether a "while running" rule exists (the process scan runs only then).
    void rulesChanged(bool runningRules);
    void rulesFailed(const QString& error);
    // A switch to `profile` waits: the window has unsaved edits. Empty: nothing waits any more.
    void waitingForUnsavedEdits(const QString& profile);
    void switched(const QString& profile);
    void switchFailed(const QString& message);

private:
    void reconsider();
    void switchNow();
    QString currentProfile() const;
    void setWaiting(const QString& profile);

    KeyboardService& service_;
    KeyboardScripting& scripting_;
    SettingsStore& settings_;
    QString rulesPath_;
    ProfileRules rules_;
    QString rulesError_;
    ActiveApplication focused_;
    QList<QString> running_;
    QTimer debounce_;
    QTimer retry_;
    QFileSystemWatcher watcher_;
    bool inFlight_ = false;
    QString waitingFor_;  // the profile a wait was announced for
    QString failed_;      // the profile whose switch failed, until the rules change
};

}  // namespace tavrin
