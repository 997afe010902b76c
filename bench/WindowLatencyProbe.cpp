// How long the window's thread stays deaf: a 1 ms timer on the window's event loop records the
// longest gap between its ticks while the program starts, loses and regains the keyboard, saves
// every part, restores the factory settings and loads a profile. The keyboard is
// tavrin-virtual-keyboard in its own process, started here with a fresh state and data folder.
// A gap is time in which the window could not have answered a click or repainted.
//
// Usage: tavrin_latency_probe [--virtual-keyboard PATH]
// Prints one line per phase and ends with 0; 1 when a phase did not finish or went wrong.
// Start-up runs from start() to 500 ms after the start-up read; removal from "unplug" until the
// command interface is closed; arrival from "plug" until both interfaces are open again and the
// re-read and the lighting reads are in the model (the program's own 2000 ms settle included);
// Save and the factory reset until their result is reported; a profile load from the command to
// the profile being taken into the model, 50 ms after the profile manager's OK.
//
// The probe waits for each phase from its own timer, never by sleeping or by a nested event
// loop, so the gaps it reports are the program's own.

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/COstraApp.h"
#include "device/LinkResult.h"
#include "model/Model.h"
#include "model/ProfileFile.h"
#include "model/Prompts.h"
#include "model/Shell.h"
#include "service/KeyboardService.h"
#include "ui/main/MainLayout.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// ---------------------------------------------------------------------------------------------
// The application as the probe drives it. These are all the calls the probe makes into the
// program; porting it to another application interface means changing this section only.
namespace probe_app {

using App = tavrin::COstraApp;
using State = tavrin::KeyboardService::State;

struct Services {
    tavrin::Prompts* prompts;  // every message box, answered at once
    tavrin::Shell* shell;      // programs and files the program would open
};

// What the keyboard service has told since the probe last cleared this. Filled by its signals on
// the window's thread; the phases only read it from their timer.
struct Reports {
    int fromKeyboard = 0;  // settingsLoaded(true): a read of the keyboard is in the model
    int fromProfile = 0;   // settingsLoaded(false): a profile is in the model
    std::vector<std::string> readFailures;
    std::optional<tavrin::LinkResult> save;
    std::optional<tavrin::LinkResult> reset;
    bool sawReading = false;  // the state was Reading at some point
};

std::unique_ptr<App> Make(const QString& socket, const fs::path& dataDir, const fs::path& configDir,
                          const fs::path& skinRoot, Services services) {
    tavrin::AppOptions options;
    options.virtualDevice = socket;
    options.dataDir = QString::fromStdString(dataDir.string());
    tavrin::AppOverrides overrides;
    overrides.configFolder = configDir;
    overrides.showSplash = false;
    overrides.skinRoot = skinRoot;
    overrides.prompts = services.prompts;
    overrides.shell = services.shell;
    return std::make_unique<App>(options, std::move(overrides));
}

bool Start(App& app, QString& error) {
    return app.start(error);
}
// From now on the service's reports reach `reports`. Called once, right after Start: every result
// of the keyboard comes back to the window's thread queued, so none has been missed.
void Listen(App& app, Reports& reports) {
    using tavrin::KeyboardService;
    KeyboardService& service = app.service();
    QObject::connect(&service, &KeyboardService::settingsLoaded, &service,
                     [&reports](bool fromKeyboard) {
                         ++(fromKeyboard ? reports.fromKeyboard : reports.fromProfile);
                     });
    QObject::connect(&service, &KeyboardService::readFailed, &service,
                     [&reports](const tavrin::LinkResult& result) {
                         reports.readFailures.push_back(result.error);
                     });
    QObject::connect(&service, &KeyboardService::saveFinished, &service,
                     [&reports](const tavrin::LinkResult& result) { reports.save = result; });
    QObject::connect(&service, &KeyboardService::factoryResetFinished, &service,
                     [&reports](const tavrin::LinkResult& result) { reports.reset = result; });
    QObject::connect(&service, &KeyboardService::stateChanged, &service, [&reports](State state) {
        reports.sawReading = reports.sawReading || state == State::Reading;
    });
}
// The start-up read has ended (well or not), or no keyboard was there.
bool StartupSettled(App& app) {
    return app.service().startupSettled();
}
State StateOf(App& app) {
    return app.service().state();
}
// Both interfaces open and nothing read, saved or reset now.
bool KeyboardReady(App& app) {
    const tavrin::LinkStatus& link = app.service().link();
    return link.commandOpen && link.eventOpen && StateOf(app) == State::Ready;
}
bool CommandInterfaceOpen(App& app) {
    return app.service().link().commandOpen;
}
bool EventInterfaceOpen(App& app) {
    return app.service().link().eventOpen;
}
tavrin::Model& ModelOf(App& app) {
    return app.service().model();
}
// The commands as the window's buttons give them.
void Save(App& app) {
    app.runCommand(tavrin::Region::Save);
}
void FactoryReset(App& app) {
    app.runCommand(tavrin::Region::Return);
}
void LoadProfile(App& app) {
    app.runCommand(tavrin::Region::Profile);
}
// What the profile manager does when the user picks a profile and closes it with OK.
void SetProfileDialog(App& app, std::function<bool()> dialog) {
    app.setProfileDialog([dialog = std::move(dialog)](const QRect&) { return dialog(); });
}

}  // namespace probe_app
// ---------------------------------------------------------------------------------------------

// Answers every message box with OK and keeps what it was asked.
class AnsweringPrompts final : public tavrin::Prompts {
public:
    tavrin::PromptAnswer show(const std::u16string& text, const std::u16string&,
                              tavrin::PromptButtons) override {
        shown.push_back(QString::fromStdU16String(text).toStdString());
        return tavrin::PromptAnswer::Ok;
    }
    // The answer that changes nothing.
    std::size_t choose(const std::u16string& text, const std::u16string&,
                       const std::vector<std::u16string>& answers) override {
        shown.push_back(QString::fromStdU16String(text).toStdString());
        return answers.empty() ? 0 : answers.size() - 1;
    }
    std::vector<std::string> shown;
};

// Opens nothing: a probe run must not start programs on the desktop.
class QuietShell final : public tavrin::Shell {
public:
    bool open(const fs::path&, const fs::path&) override { return false; }
    bool startProgram(const fs::path&, const std::vector<std::string>&) override { return false; }
};

// Every part of the configuration made to differ from what the keyboard holds.
void ChangeEveryPart(tavrin::Model& model) {
    using tavrin::SettingsBlock;
    SettingsBlock& s = model.settings;
    s.setGameMode(s.gameMode() ? 0 : 1);
    s.setReportInterval(static_cast<std::uint8_t>((s.reportInterval() + 1) % 4));
    s.setResponseTime(static_cast<std::uint8_t>(s.responseTime() % 10 + 1));
    // F1 sends what F2 sends.
    s.setKeyMapEntry(tavrin::KeyMapIndexOf(1), s.keyMapEntry(tavrin::KeyMapIndexOf(2)));
    const std::uint16_t escape = tavrin::MatrixCodeOf(0);
    s.setKeyEnabled(escape, !s.isKeyEnabled(escape));
    for (std::size_t n = 0; n < SettingsBlock::kDiyTableCount; ++n) {
        for (std::size_t key = 0; key < 10; ++key) {
            s.diyTable(n)[tavrin::LedIndexOf(key + n)] ^= 0xFF;
        }
    }
    for (std::size_t slot = 0; slot < SettingsBlock::kDeviceMacroCount; ++slot) {
        auto record = s.deviceMacroRecord(slot);
        for (std::size_t i = 0; i < 24; ++i) {
            record[i] ^= static_cast<std::uint8_t>(0x10 + i);
        }
    }
    s.setEffectCode(s.effectCode() == 2 ? 3 : 2);
    s.setBrightnessLevel(static_cast<std::uint8_t>((s.brightnessLevel() + 2) % 5));
    s.deviceParams()[0] ^= 0x01;
    s.setWinLock(s.winLock() ? 0 : 1);
}

class LatencyProbe {
public:
    explicit LatencyProbe(QString keyboardProgram) : keyboardProgram_(std::move(keyboardProgram)) {
        tick_.setTimerType(Qt::PreciseTimer);
        tick_.setInterval(1);
        QObject::connect(&tick_, &QTimer::timeout, [this] { onTick(); });
        definePhases();
    }

    void run() {
        if (!dir_.isValid()) {
            std::fprintf(stderr, "tavrin_latency_probe: no temporary folder\n");
            QCoreApplication::exit(1);
            return;
        }
        std::error_code ec;
        fs::create_directories(path("data"), ec);
        fs::create_directories(path("config"), ec);
        if (ec) {
            std::fprintf(stderr, "tavrin_latency_probe: %s\n", ec.message().c_str());
            QCoreApplication::exit(1);
            return;
        }
        QObject::connect(&keyboard_, &QProcess::readyReadStandardOutput, [this] {
            while (keyboard_.canReadLine()) {
                const QByteArray line = keyboard_.readLine().trimmed();
                listening_ = listening_ || line.startsWith("listening on");
            }
        });
        QObject::connect(&keyboard_, &QProcess::readyReadStandardError,
                         [this] { keyboardErrors_ += keyboard_.readAllStandardError(); });
        QObject::connect(&keyboard_, &QProcess::errorOccurred, [this](QProcess::ProcessError) {
            if (!finishing_) {
                fail("the virtual keyboard: " + keyboard_.errorString().toStdString());
            }
        });
        QObject::connect(&keyboard_, &QProcess::finished, [this] {
            if (!finishing_) {
                fail("the virtual keyboard ended early");
            } else {
                reportKeyboardAndExit();
            }
        });
        keyboard_.start(
            keyboardProgram_,
            {QStringLiteral("--socket"), socket(), QStringLiteral("--state"),
             QString::fromStdString(path("keyboard.state").string()), QStringLiteral("--strict")});
        clock_.start();
        tick_.start();
    }

private:
    struct Phase {
        const char* name;
        std::function<void()> prepare;               // before the phase's clock starts
        std::function<void()> begin;                 // measured
        std::function<bool()> done;                  // polled at every tick
        std::function<std::string()> whatWentWrong;  // after done; empty when all is well
        std::chrono::milliseconds settle{0};         // measured on after done
        std::chrono::milliseconds limit{30s};
        // Message boxes the phase asks; any other is a failure the program reported.
        std::size_t prompts = 0;
    };

    fs::path path(const char* name) const { return fs::path(dir_.path().toStdString()) / name; }
    QString socket() const { return QString::fromStdString(path("kb.sock").string()); }
    probe_app::App& app() { return *app_; }

    void say(const char* line) {
        keyboard_.write(line);
        keyboard_.write("\n");
    }

    // Why the service's reads failed during this phase; empty when none did.
    std::string readFailures(const char* what) const {
        std::string out;
        for (const std::string& error : reports_.readFailures) {
            out += (out.empty() ? std::string(what) + ": " : std::string("; ")) + error;
        }
        return out;
    }

    // Why a command's result says it failed; empty when it arrived and succeeded.
    static std::string failure(const char* what, const std::optional<tavrin::LinkResult>& result) {
        if (!result) {
            return std::string(what) + ": no result";
        }
        return result->ok ? std::string() : std::string(what) + " failed: " + result->error;
    }

    void definePhases() {
        phases_.push_back({
            "start-up",
            [this] {
                app_ = probe_app::Make(socket(), path("data"), path("config"),
                                       fs::path(TAVRIN_BENCH_PROGRAM_DIR), {&prompts_, &shell_});
            },
            [this] {
                QString error;
                if (!probe_app::Start(app(), error)) {
                    startError_ = "start failed: " + error.toStdString();
                    return;
                }
                probe_app::Listen(app(), reports_);
            },
            [this] { return !startError_.empty() || probe_app::StartupSettled(app()); },
            [this] {
                if (!startError_.empty()) {
                    return startError_;
                }
                std::string problem = readFailures("the start-up read failed");
                if (problem.empty() && !probe_app::KeyboardReady(app())) {
                    problem = "the keyboard is not ready after start-up";
                }
                return problem;
            },
            500ms,
        });
        phases_.push_back({
            "removal",
            {},
            [this] { say("unplug"); },
            [this] { return !probe_app::CommandInterfaceOpen(app()); },
            [this] {
                return probe_app::EventInterfaceOpen(app())
                           ? std::string("the event interface is still open")
                           : std::string();
            },
        });
        phases_.push_back({
            "arrival",
            {},
            [this] { say("plug"); },
            // Open is not enough: the re-read and both lighting reads must be in the model.
            [this] {
                return !reports_.readFailures.empty() ||
                       (reports_.sawReading && reports_.fromKeyboard > 0 &&
                        probe_app::KeyboardReady(app()));
            },
            [this] { return readFailures("the re-read failed"); },
        });
        phases_.push_back({
            "save",
            [this] {
                tavrin::Model& model = probe_app::ModelOf(app());
                ChangeEveryPart(model);
                const auto changed = tavrin::ChangedParts(model.settings, model.savedSettings);
                if (changed.size() != tavrin::kAllSettingsParts.size()) {
                    setupProblem_ = std::to_string(changed.size()) + " of " +
                                    std::to_string(tavrin::kAllSettingsParts.size()) +
                                    " parts changed";
                }
            },
            [this] {
                probe_app::Save(app());
                if (probe_app::StateOf(app()) != probe_app::State::Saving) {
                    notStarted_ = "the Save did not start";
                }
            },
            [this] { return reports_.save.has_value(); },
            [this] {
                std::string problem = failure("the Save", reports_.save);
                const tavrin::Model& model = probe_app::ModelOf(app());
                if (problem.empty() &&
                    !tavrin::ChangedParts(model.settings, model.savedSettings).empty()) {
                    problem = "parts are still unsaved";
                }
                return problem;
            },
        });
        phases_.push_back({
            "factory-reset",
            {},
            [this] {
                probe_app::FactoryReset(app());
                if (probe_app::StateOf(app()) != probe_app::State::Resetting) {
                    notStarted_ = "the factory reset did not start";
                }
            },
            [this] { return reports_.reset.has_value(); },
            [this] { return failure("the factory reset", reports_.reset); },
            0ms,
            30s,
            1,  // "Confirm to return Factory Setting?"
        });
        phases_.push_back({
            "profile-load",
            [this] {
                tavrin::Model lit = probe_app::ModelOf(app());
                lit.settings.setEffectCode(lit.settings.effectCode() == 2 ? 3 : 2);
                lit.settings.setBrightnessLevel(
                    static_cast<std::uint8_t>((lit.settings.brightnessLevel() + 2) % 5));
                const auto lighting = lit.settings.lighting();
                profileLighting_.assign(lighting.begin(), lighting.end());
                const fs::path file = path("data") / "Configure" / "Lit.bin";
                if (const auto written = tavrin::ProfileFile::FromModel(lit).write(file);
                    !written) {
                    setupProblem_ = "the profile was not written: " + written.error;
                }
                probe_app::SetProfileDialog(app(), [this, file] {
                    profileShown_ = true;
                    profileApplied_ = tavrin::ApplyProfile(file, probe_app::ModelOf(app()));
                    return profileApplied_;
                });
            },
            [this] {
                probe_app::LoadProfile(app());
                if (!profileShown_) {
                    notStarted_ = "the profile manager was not shown";
                } else if (!profileApplied_) {
                    notStarted_ = "the profile could not be read";
                }
            },
            // The profile manager's OK hands the profile on 50 ms later.
            [this] { return reports_.fromProfile > 0; },
            [this] {
                const auto now = probe_app::ModelOf(app()).settings.lighting();
                if (!std::equal(now.begin(), now.end(), profileLighting_.begin(),
                                profileLighting_.end())) {
                    return std::string("the model does not hold the profile's lighting");
                }
                return std::string();
            },
        });
    }

    void onTick() {
        const qint64 now = clock_.nsecsElapsed();
        if (measuring_) {
            worstGap_ = std::max(worstGap_, now - lastTick_);
            ++ticks_;
        }
        lastTick_ = now;
        if (finishing_) {
            return;
        }
        if (current_ < 0) {
            if (listening_) {
                beginPhase(0);
            } else if (now > std::chrono::nanoseconds(10s).count()) {
                fail("the virtual keyboard never listened");
            }
            return;
        }
        const Phase& phase = phases_[static_cast<std::size_t>(current_)];
        if (doneAt_ < 0 && (!notStarted_.empty() || phase.done())) {
            doneAt_ = now;
        }
        if (doneAt_ >= 0 && now - doneAt_ >= std::chrono::nanoseconds(phase.settle).count()) {
            endPhase(now, true);
        } else if (now - phaseStart_ > std::chrono::nanoseconds(phase.limit).count()) {
            endPhase(now, false);
        }
    }

    void beginPhase(int index) {
        current_ = index;
        const Phase& phase = phases_[static_cast<std::size_t>(index)];
        setupProblem_.clear();
        notStarted_.clear();
        reports_ = {};
        promptsBefore_ = prompts_.shown.size();
        if (phase.prepare) {
            phase.prepare();
        }
        doneAt_ = -1;
        worstGap_ = 0;
        ticks_ = 0;
        phaseStart_ = clock_.nsecsElapsed();
        lastTick_ = phaseStart_;
        measuring_ = true;
        phase.begin();
    }

    void endPhase(qint64 now, bool finished) {
        measuring_ = false;
        const Phase& phase = phases_[static_cast<std::size_t>(current_)];
        std::printf("%-14s wall %9.1f ms   worst gap %8.1f ms   ticks %6ld%s\n", phase.name,
                    static_cast<double>(now - phaseStart_) / 1e6,
                    static_cast<double>(worstGap_) / 1e6, ticks_,
                    finished ? "" : "   (did not finish)");
        std::fflush(stdout);
        std::string problem = setupProblem_;
        if (finished && phase.whatWentWrong) {
            const std::string after = notStarted_.empty() ? phase.whatWentWrong() : notStarted_;
            problem += (problem.empty() || after.empty() ? "" : "; ") + after;
        }
        const std::size_t asked = prompts_.shown.size() - promptsBefore_;
        if (asked != phase.prompts) {
            for (std::size_t i = promptsBefore_; i < prompts_.shown.size(); ++i) {
                std::fprintf(stderr, "tavrin_latency_probe: %s: prompt: %s\n", phase.name,
                             prompts_.shown[i].c_str());
            }
            problem += (problem.empty() ? "" : "; ") + std::to_string(asked) + " prompts, not " +
                       std::to_string(phase.prompts);
        }
        if (!finished) {
            fail(std::string(phase.name) + " did not finish within " +
                 std::to_string(phase.limit.count()) + " ms");
            return;
        }
        if (!startError_.empty()) {
            fail(startError_);  // nothing to measure without the program
            return;
        }
        if (!problem.empty()) {
            std::fprintf(stderr, "tavrin_latency_probe: %s: %s\n", phase.name, problem.c_str());
            exitCode_ = 1;
        }
        if (current_ + 1 < static_cast<int>(phases_.size())) {
            beginPhase(current_ + 1);
        } else {
            finish();
        }
    }

    void fail(const std::string& why) {
        std::fprintf(stderr, "tavrin_latency_probe: %s\n", why.c_str());
        exitCode_ = 1;
        finish();
    }

    // The program first, while the keyboard still answers; then the keyboard.
    void finish() {
        if (finishing_) {
            return;
        }
        finishing_ = true;
        tick_.stop();
        app_.reset();
        if (keyboard_.state() == QProcess::NotRunning) {
            reportKeyboardAndExit();
            return;
        }
        say("quit");
        keyboard_.closeWriteChannel();
        QTimer::singleShot(5000, [this] {
            if (keyboard_.state() != QProcess::NotRunning) {
                std::fprintf(stderr, "tavrin_latency_probe: the virtual keyboard did not quit\n");
                keyboard_.kill();
            }
        });
    }

    void reportKeyboardAndExit() {
        keyboardErrors_ += keyboard_.readAllStandardError();
        for (const QByteArray& line : keyboardErrors_.split('\n')) {
            if (!line.isEmpty()) {
                std::fprintf(stderr, "tavrin-virtual-keyboard: %s\n", line.constData());
            }
        }
        QCoreApplication::exit(exitCode_);
    }

    QString keyboardProgram_;
    QTemporaryDir dir_;
    QProcess keyboard_;
    QByteArray keyboardErrors_;
    bool listening_ = false;
    AnsweringPrompts prompts_;
    QuietShell shell_;
    std::unique_ptr<probe_app::App> app_;

    std::vector<Phase> phases_;
    int current_ = -1;
    std::string startError_;
    std::string setupProblem_;
    std::string notStarted_;  // the phase's command was refused: its result will never come
    probe_app::Reports reports_;
    std::size_t promptsBefore_ = 0;
    std::vector<std::uint8_t> profileLighting_;
    bool profileShown_ = false;
    bool profileApplied_ = false;

    QTimer tick_;
    QElapsedTimer clock_;
    bool measuring_ = false;
    qint64 phaseStart_ = 0;
    qint64 lastTick_ = 0;
    qint64 doneAt_ = -1;
    qint64 worstGap_ = 0;
    long ticks_ = 0;
    bool finishing_ = false;
    int exitCode_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QString keyboardProgram = QStringLiteral(TAVRIN_VIRTUAL_KEYBOARD);
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--virtual-keyboard") && i + 1 < arguments.size()) {
            keyboardProgram = arguments[++i];
        } else {
            std::fprintf(stderr, "usage: tavrin_latency_probe [--virtual-keyboard PATH]\n");
            return 2;
        }
    }
    LatencyProbe probe(keyboardProgram);
    QTimer::singleShot(0, [&probe] { probe.run(); });
    return QApplication::exec();
}
