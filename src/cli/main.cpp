// tavrinctl: the keyboard from a shell or a script. When the program runs it owns the keyboard,
// and tavrinctl asks it over D-Bus; otherwise tavrinctl opens the keyboard itself, does the one
// thing, waits until the keyboard has taken it, and ends.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QEventLoop>
#include <QLockFile>
#include <QTimer>
#include <QTranslator>
#include <array>
#include <csignal>
#include <cstdio>
#include <memory>
#include <utility>

#include "automation/ProfileRules.h"
#include "cli/CliOutput.h"
#include "cli/CliRequest.h"
#include "dbus/DBusFacade.h"
#include "device/SteadyClock.h"
#include "model/Model.h"
#include "model/ProfileFolder.h"
#include "platform/hidraw/HidrawBackend.h"
#include "platform/qt/DesktopLocale.h"
#include "platform/qt/QtSettingsStore.h"
#include "service/InterfaceLanguage.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"
#include "service/RunPaths.h"
#include "sim/VirtualHidLinkBackend.h"

namespace tavrin {
namespace {

// A Save of every part, or a factory reset, takes seconds; nothing takes minutes.
constexpr int kCallTimeoutMs = 120000;
// The keyboard's start-up read: far longer than it ever takes, so only a hang ends it.
constexpr int kSettleTimeoutMs = 30000;

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void Complain(const QString& text) {
    std::fprintf(stderr, "tavrinctl: %s\n", text.toUtf8().constData());
}

// A failed call's message, and what the user can do about it where tavrinctl has a way.
void ComplainAbout(const QString& errorName, const QString& message) {
    Complain(message);
    if (KeyboardScripting::errorFromName(errorName) == ScriptError::LaunchActions) {
        Complain(QCoreApplication::translate(
            "tavrin::tavrinctl",
            "Give --allow-launch to keep them, or --drop-launch to take the profile without "
            "them."));
    }
}

// ---- The running program, over the session bus -------------------------------------------------

class BusCaller {
public:
    explicit BusCaller(QDBusConnection bus) : bus_(std::move(bus)) {}

    // The reply's first value; nullopt after printing the error.
    std::optional<QVariant> call(const QString& method, const QVariantList& args, int& exitCode) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QLatin1String(kBusName), QLatin1String(kObjectPath),
                                           QLatin1String(kScriptInterface), method);
        message.setArguments(args);
        const QDBusMessage reply = bus_.call(message, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            ComplainAbout(reply.errorName(), reply.errorMessage());
            exitCode = ExitCodeFor(reply.errorName());
            return std::nullopt;
        }
        return reply.arguments().value(0);
    }

    std::optional<QVariantMap> properties(int& exitCode) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QLatin1String(kBusName), QLatin1String(kObjectPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
        message.setArguments({QLatin1String(kScriptInterface)});
        const QDBusReply<QVariantMap> reply = bus_.call(message, QDBus::Block, kCallTimeoutMs);
        if (!reply.isValid()) {
            Complain(reply.error().message());
            exitCode = 1;
            return std::nullopt;
        }
        return reply.value();
    }

private:
    QDBusConnection bus_;
};

int RunOverBus(QDBusConnection bus, const CliRequest& request) {
    BusCaller caller(std::move(bus));
    int exitCode = 0;
    if (request.show == CliShow::Status) {
        const auto p = caller.properties(exitCode);
        if (p) {
            Print(StatusText(*p, QStringLiteral("program"), request.json));
        }
        return exitCode;
    }
    const auto value = caller.call(request.method, request.args, exitCode);
    if (!value) {
        return exitCode;
    }
    QStringList macros;
    if (request.show == CliShow::MacroList) {
        for (qsizetype i = 0; i < value->toStringList().size(); ++i) {
            const auto document =
                caller.call(QStringLiteral("GetMacro"), {static_cast<int>(i + 1)}, exitCode);
            if (!document) {
                return exitCode;
            }
            macros << document->toString();
        }
    }
    Print(ResultText(request, *value, macros));
    return 0;
}

// ---- No program: the keyboard itself -----------------------------------------------------------

// While tavrinctl writes the keyboard, Ctrl-C or a terminal closing waits for the end of it:
// a transfer cut in the middle would leave the keyboard half-written.
class WriteGuard {
public:
    WriteGuard() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            saved_[i] = std::signal(kSignals[i], SIG_IGN);
        }
    }
    ~WriteGuard() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            std::signal(kSignals[i], saved_[i]);
        }
    }
    WriteGuard(const WriteGuard&) = delete;
    WriteGuard& operator=(const WriteGuard&) = delete;

private:
#ifdef SIGHUP
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
#else
    static constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};
#endif
    std::array<void (*)(int), kSignals.size()> saved_{};
};

class InProcess {
public:
    InProcess(const CliRequest& request, SettingsStore& settings, QString language)
        : request_(request), settings_(settings), language_(std::move(language)) {}

    int run() {
        const ProgramPaths paths = ResolveRunPaths(request_.dataDir);
        std::error_code ec;
        std::filesystem::create_directories(paths.dataDir / "Configure", ec);

        // Two of these at once would both write the keyboard.
        QLockFile lock(QDir(QString::fromStdString(paths.dataDir.string()))
                           .absoluteFilePath(QStringLiteral(".tavrinctl.lock")));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
            Complain(QCoreApplication::translate(
                "tavrin::tavrinctl",
                "Another tavrinctl is using the keyboard. Try again in a moment."));
            return 5;
        }

        if (request_.virtualDevice) {
            backend_ =
                std::make_unique<VirtualHidLinkBackend>(request_.virtualDevice->toStdString());
        } else {
            backend_ = std::make_unique<HidrawBackend>();
        }
        service_ = std::make_unique<KeyboardService>(paths, *backend_, clock_);
        SetModelLanguage(service_->model(), language_);
        // Key events are the running program's business; tavrinctl ends after one command.
        service_->setKeyEvents(false);
        // The local files, as the program reads them at start-up; one that cannot be read is
        // named and left as it is.
        const auto loaded = [&](const char* what, const LoadResult& result) {
            if (result.outcome == LoadOutcome::Unreadable ||
                result.outcome == LoadOutcome::CreateFailed) {
                Complain(QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                      QString::fromStdString(result.error)));
            }
        };
        loaded("MacroDefine.bin", service_->loadMacroFile());
        loaded("keymap.bin", service_->loadKeymapFile());
        service_->model().takeSavedCopies();
        KeyboardScripting scripting(*service_, settings_);

        const bool keyboard =
            request_.show == CliShow::Status || KeyboardScripting::needsKeyboard(request_.method);
        if (keyboard && !settle()) {
            Complain(QCoreApplication::translate("tavrin::tavrinctl",
                                                 "The keyboard did not finish its start-up read."));
            return 1;
        }
        if (request_.show == CliShow::Status) {
            Print(StatusText(scripting.properties(), QStringLiteral("keyboard"), request_.json));
            return 0;
        }

        const WriteGuard guard;
        int exitCode = call(scripting, request_.method, request_.args, true);
        if (exitCode == 0 && request_.show == CliShow::MacroList) {
            QStringList macros;
            for (qsizetype i = 0; exitCode == 0 && i < value_.toStringList().size(); ++i) {
                const QVariant names = value_;
                exitCode =
                    call(scripting, QStringLiteral("GetMacro"), {static_cast<int>(i + 1)}, false);
                macros << value_.toString();
                value_ = names;
            }
            if (exitCode == 0) {
                Print(ResultText(request_, value_, macros));
            }
        } else if (exitCode == 0) {
            Print(ResultText(request_, value_, {}));
        }
        // The link ends here: a Save that was queued finishes, then the handles close.
        service_->shutdown();
        return exitCode;
    }

private:
    // Opens the keyboard and waits until its start-up read has ended, or no keyboard was found.
    bool settle() {
        QEventLoop loop;
        const auto check = [&] {
            if (service_->startupSettled() &&
                service_->state() != KeyboardService::State::Reading) {
                loop.quit();
            }
        };
        QObject::connect(service_.get(), &KeyboardService::stateChanged, &loop, check);
        QObject::connect(service_.get(), &KeyboardService::linkStatusChanged, &loop, check);
        QObject::connect(service_.get(), &KeyboardService::settingsLoaded, &loop, check);
        QObject::connect(service_.get(), &KeyboardService::readFailed, &loop, check);
        bool timedOut = false;
        QTimer::singleShot(kSettleTimeoutMs, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        service_->connectKeyboard();
        check();
        if (!service_->startupSettled() || service_->state() == KeyboardService::State::Reading) {
            loop.exec();
        }
        return !timedOut;
    }

    int call(KeyboardScripting& scripting, const QString& method, const QVariantList& args,
             bool report) {
        QEventLoop loop;
        std::optional<ScriptReply> answer;
        scripting.call(method, args, [&](const ScriptReply& reply) {
            answer = reply;
            loop.quit();
        });
        if (!answer) {
            loop.exec();
        }
        if (!answer->ok()) {
            if (report) {
                ComplainAbout(KeyboardScripting::errorName(answer->error), answer->message);
            }
            return ExitCodeFor(KeyboardScripting::errorName(answer->error));
        }
        value_ = answer->value;
        return 0;
    }

    const CliRequest& request_;
    SettingsStore& settings_;
    QString language_;
    SteadyClock clock_;
    std::unique_ptr<HidBackend> backend_;
    std::unique_ptr<KeyboardService> service_;
    QVariant value_;
};

// ---- Automatic profiles: their file
// ---------------------------------------------------------------

int RunAuto(const CliRequest& request) {
    const QString path = ProfileRulesPath();
    const RulesLoad load = LoadProfileRules(path);
    if (!load.rules) {
        // The file is the user's: named, and kept as it is.
        Complain(load.error);
        return 1;
    }
    ProfileRules rules = *load.rules;
    const QString& m = request.method;
    if (m == QStringLiteral("AutoList")) {
        Print(RulesText(rules, request.json));
        return 0;
    }
    if (m == QStringLiteral("AutoEnable")) {
        rules.enabled = request.args[0].toBool();
    } else if (m == QStringLiteral("AutoAdd") || m == QStringLiteral("AutoDefault")) {
        const QString profile = request.args[0].toString();
        if (!profile.isEmpty() && !IsSafeProfileName(profile.toStdU16String())) {
            Complain(
                QCoreApplication::translate("tavrin::tavrinctl", "\"%1\" cannot be a profile name.")
                    .arg(profile));
            return 2;
        }
        if (m == QStringLiteral("AutoDefault")) {
            rules.defaultProfile = profile;
        } else {
            ProfileRule rule;
            rule.profile = profile;
            rule.match = request.args[1].toString() == QStringLiteral("process")
                             ? ProfileRule::Match::Process
                             : ProfileRule::Match::WindowClass;
            rule.pattern = request.args[2].toString();
            rule.kind = request.args[3].toString() == QStringLiteral("running")
                            ? ProfileRule::Kind::WhileRunning
                            : ProfileRule::Kind::WhileFocused;
            if (rule.pattern.isEmpty()) {
                Complain(QCoreApplication::translate("tavrin::tavrinctl",
                                                     "The name to match is empty."));
                return 2;
            }
            rules.rules.append(rule);
        }
    } else if (m == QStringLiteral("AutoRemove")) {
        const int n = request.args[0].toInt();
        if (n < 1 || n > rules.rules.size()) {
            Complain(QCoreApplication::translate("tavrin::tavrinctl",
                                                 "There is no rule %1; there are %2.")
                         .arg(n)
                         .arg(rules.rules.size()));
            return 2;
        }
        rules.rules.removeAt(n - 1);
    }
    if (QString error; !SaveProfileRules(path, rules, error)) {
        Complain(error);
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
    using namespace tavrin;
    QCoreApplication app(argc, argv);
    // The program's settings: the same language and current profile.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin Game Keyboard"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Gaming Keyboard"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));

    QtSettingsStore settings;
    // The program's language, by the program's rule, and its translation for every message.
    const QString language = ChooseLanguage(settings, DesktopLocaleName(), TranslationNames());
    const InstalledTranslation translation = InstallTranslation(language);
    if (translation.failed) {
        Complain(QStringLiteral("the %1 translation did not load").arg(language));
    }

    QString error;
    const auto request = ParseCli(QCoreApplication::arguments().mid(1), error);
    if (!request) {
        Complain(error.trimmed());
        return 2;
    }
    if (request->show == CliShow::Help) {
        Print(request->help);
        return 0;
    }
    if (request->show == CliShow::Version) {
        Print(QStringLiteral("tavrinctl %1\n").arg(QStringLiteral(TAVRIN_VERSION)));
        return 0;
    }

    if (request->show == CliShow::Auto) {
        return RunAuto(*request);
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()->isServiceRegistered(QLatin1String(kBusName))) {
        if (request->virtualDevice || request->dataDir) {
            Complain(QCoreApplication::translate(
                "tavrin::tavrinctl",
                "The program runs and keeps its own keyboard and files; --virtual-device and "
                "--data-dir are not used."));
        }
        return RunOverBus(bus, *request);
    }
    if (request->noSave) {
        Complain(QCoreApplication::translate(
            "tavrin::tavrinctl",
            "--no-save stages edits in the running program, and it does not run. Start "
            "tavrin-gaming-keyboard, or leave --no-save out."));
        return 2;
    }
    InProcess local(*request, settings, language);
    return local.run();
}
