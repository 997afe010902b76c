#pragma once

// Everything a script may do with the keyboard, by name and with checked values: the methods and
// properties of the D-Bus interface, served to the bus by the program and called directly by
// tavrinctl when the program does not run. Every call goes through the keyboard service with the
// rules of a click, and a call that fails changes nothing.

#include <QObject>
#include <QString>
#include <QVariant>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "model/LaunchActions.h"
#include "model/LaunchActionsReview.h"
#include "service/KeyboardService.h"

namespace tavrin {

class ProfileFolder;
class SettingsStore;
struct ProfileResult;

// Why a call failed; each is a D-Bus error of the interface.
enum class ScriptError {
    None,
    NoKeyboard,
    AccessDenied,
    Busy,
    InvalidValue,     // an unknown name or a value out of range
    FileNotReadable,  // a file to import or apply could not be read
    Failed,           // the keyboard did not take it, or a file could not be written
    // A profile brings launch actions the user has not accepted, and no choice was given.
    LaunchActions,
};

struct [[nodiscard]] ScriptReply {
    ScriptReply() = default;
    ScriptReply(ScriptError error_, QString message_, QVariant value_ = {},
                std::vector<CheckedLaunchAction> launchActions_ = {})
        : error(error_),
          message(std::move(message_)),
          value(std::move(value_)),
          launchActions(std::move(launchActions_)) {}

    ScriptError error = ScriptError::None;
    QString message;  // in the interface language; empty on success
    QVariant value;   // what the method returns, if anything
    // With LaunchActions: the ones that need a choice, for a caller that can ask the user.
    std::vector<CheckedLaunchAction> launchActions;

    bool ok() const { return error == ScriptError::None; }
};

inline constexpr const char* kScriptInterface = "org.tavrin.GamingKeyboard1";

class KeyboardScripting : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const ScriptReply&)>;

    KeyboardScripting(KeyboardService& service, SettingsStore& settings, QObject* parent = nullptr);

    // Runs a method of the interface with its arguments as D-Bus gives them (QString, int, bool,
    // QStringList). `done` is called once: at once, or when the keyboard has taken the change.
    void call(const QString& method, const QVariantList& args, Done done);

    // The interface's properties, by name.
    QVariantMap properties() const;

    // Whether the method needs the keyboard; the others work on files only.
    static bool needsKeyboard(const QString& method);
    // Whether the method exists.
    static bool knows(const QString& method);
    // "org.tavrin.GamingKeyboard1.Error.Busy" and back.
    static QString errorName(ScriptError error);
    static ScriptError errorFromName(const QString& name);

private:
    struct Method;
    static const Method* find(const QString& name);

    // The methods; each checks everything before it changes anything.
    void setLighting(const QVariantList& a, Done done);
    void setGameMode(const QVariantList& a, Done done);
    void setWinLock(const QVariantList& a, Done done);
    void setResponseTime(const QVariantList& a, Done done);
    void setReportRate(const QVariantList& a, Done done);
    void assignKey(const QVariantList& a, Done done);
    void setDiyKeys(const QVariantList& a, Done done);
    void listMacros(const QVariantList& a, Done done);
    void getMacro(const QVariantList& a, Done done);
    void deleteMacro(const QVariantList& a, Done done);
    void importMacro(const QVariantList& a, Done done);
    void exportMacro(const QVariantList& a, Done done);
    void save(const QVariantList& a, Done done);
    void cancel(const QVariantList& a, Done done);
    void factoryReset(const QVariantList& a, Done done);
    void listProfiles(const QVariantList& a, Done done);
    void applyProfile(const QVariantList& a, Done done);
    void applyProfileWithLaunch(const QVariantList& a, Done done);
    void newProfile(const QVariantList& a, Done done);
    void copyProfile(const QVariantList& a, Done done);
    void renameProfile(const QVariantList& a, Done done);
    void deleteProfile(const QVariantList& a, Done done);
    void importProfile(const QVariantList& a, Done done);
    void importProfileWithLaunch(const QVariantList& a, Done done);
    void exportProfile(const QVariantList& a, Done done);

    // Why a change cannot be made now (and sent, with `send`); nothing when it can.
    std::optional<ScriptReply> refusal(bool send) const;
    // After a change: done at once, or a Save whose end answers.
    void finish(bool send, Done done, QVariant value = {});
    void onSaveFinished(const LinkResult& result);
    void onResetFinished(const LinkResult& result);
    ScriptReply unavailable(Availability why) const;
    ScriptReply invalid(const QString& message) const;
    ScriptReply error(ScriptError kind, const QString& message) const;
    ScriptReply cannotWrite(const WriteResult& result) const;
    ScriptReply badProfileName(const QString& name) const;
    // A profile operation that failed; `message`, translated, takes the error as %1.
    ScriptReply profileFailed(const ProfileResult& result, const QString& message) const;
    // Lists the profile folder and finds `name`; an answer when it is no listed profile.
    std::optional<ScriptReply> openProfile(ProfileFolder& folder, const QString& name,
                                           std::optional<std::size_t>& line) const;
    // The steps of ApplyProfile and ImportProfile, with the choice for their launch actions.
    void applyProfileAs(const QString& name, LaunchChoice launch, bool send, Done done);
    void importProfileAs(const QString& path, QString name, LaunchChoice launch, Done done);
    // "keep", "drop" or "refuse"; anything else is answered through `done` as invalid.
    std::optional<LaunchChoice> launchChoice(const QString& text, const Done& done) const;
    // The profile `name` brings launch actions that need a choice.
    ScriptReply launchActionsRefused(const QString& name,
                                     std::vector<CheckedLaunchAction> actions) const;
    // A used macro slot from its number 1..5.
    std::optional<std::size_t> macroSlot(const QVariant& number) const;

    KeyboardService& service_;
    SettingsStore& settings_;
    struct Waiter {
        Done done;
        QVariant value;
    };
    std::deque<Waiter> saveWaiters_;
    std::deque<Done> resetWaiters_;
};

}  // namespace tavrin
