#include "app/COstraApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <utility>

#include "app/AppCommands.h"
#include "app/HotplugSource.h"
#include "app/TrayController.h"
#include "automation/ActiveApplicationSources.h"
#include "automation/ProfileRules.h"
#include "automation/ProfileSwitcher.h"
#include "dbus/DBusFacade.h"
#include "device/SteadyClock.h"
#include "device/WindowMessages.h"
#include "model/ProfileFolder.h"
#include "model/Prompts.h"
#include "platform/hidraw/HidrawBackend.h"
#include "platform/qt/DesktopLocale.h"
#include "platform/qt/QtPrompts.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/TrayIcon.h"
#include "service/InterfaceLanguage.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"
#include "service/RunPaths.h"
#include "sim/VirtualHidLinkBackend.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "ui/controls/CSplashScreen.h"
#include "ui/main/COstraDlg.h"
#include "ui/profile/LaunchActionsQuestion.h"
#include "ui/rules/ProfileRulesDialog.h"

namespace tavrin {

namespace fs = std::filesystem;

COstraApp::COstraApp(AppOptions options, AppOverrides overrides)
    : options_(std::move(options)), overrides_(std::move(overrides)) {}

COstraApp::~COstraApp() {
    delete rulesWindow_.data();  // a window of its own when the icon's menu opened it
    // The switcher and its sources, the bus, the icon, hot-plug registration, then the workers
    // and the handles.
    focus_.reset();
    processes_.reset();
    switcher_.reset();
    bus_.reset();
    scripting_.reset();
    tray_.reset();
    hotplug_.reset();
    if (service_) {
        service_->shutdown();
    }
    commands_.reset();
    window_.reset();
    service_.reset();
}

Clock& COstraApp::clock() {
    if (overrides_.clock) {
        return *overrides_.clock;
    }
    if (!clock_) {
        clock_ = std::make_unique<SteadyClock>();
    }
    return *clock_;
}

TrayIcon* COstraApp::tray() {
    return tray_ ? tray_->icon() : nullptr;
}

Model& COstraApp::model() {
    return service_->model();
}

Prompts& COstraApp::prompts() {
    return overrides_.prompts ? *overrides_.prompts : *prompts_;
}

void COstraApp::applyProfile(const QString& name) {
    applyProfileWith(name, QStringLiteral("refuse"));
}

void COstraApp::applyProfileWith(const QString& name, const QString& launch) {
    if (!scripting_) {
        return;  // still starting: the menu is not there yet
    }
    // As the profile manager's OK followed by Save, through the same code as a script.
    scripting_->call(
        QStringLiteral("ApplyProfileWithLaunch"), {name, launch, true},
        [this, name](const ScriptReply& reply) {
            if (reply.ok()) {
                return;
            }
            if (reply.error == ScriptError::LaunchActions) {
                // The user chose this profile here, so the user is asked, as the profile
                // manager asks.
                const auto choice = AskAboutLaunchActions(prompts(), reply.launchActions,
                                                          tr("Profile").toStdU16String());
                if (choice) {
                    applyProfileWith(name, *choice == LaunchChoice::Keep ? QStringLiteral("keep")
                                                                         : QStringLiteral("drop"));
                }
                return;
            }
            std::fprintf(stderr, "tavrin-gaming-keyboard: profile %s: %s\n", qPrintable(name),
                         qPrintable(reply.message));
            const QString text = tr("The profile %1 was not applied:\n%2").arg(name, reply.message);
            static_cast<void>(prompts().show(text.toStdU16String(), tr("Profile").toStdU16String(),
                                             PromptButtons::Ok));  // OK is the only answer
        });
}

ProfileRulesDialog* COstraApp::rulesWindow() const {
    return rulesWindow_.data();
}

void COstraApp::editRules(QWidget* parent) {
    if (rulesWindow_) {
        rulesWindow_->raise();
        rulesWindow_->activateWindow();
        return;
    }
    ProfileFolder folder(paths_.dataDir);
    folder.refresh();
    QStringList profiles;
    for (const ProfileEntry& entry : folder.entries()) {
        profiles << QString::fromStdU16String(entry.name);
    }
    auto* dialog = new ProfileRulesDialog(profiles, ProfileRulesPath(), overrides_.prompts, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // One change at a time: neither the profile manager nor a second rules window meanwhile.
    dialog->setWindowModality(Qt::ApplicationModal);
    rulesWindow_ = dialog;
    dialog->show();
}

const QString& COstraApp::lastBalloon() const {
    return tray_->lastBalloon();
}

bool COstraApp::settingsLoaded() const {
    return service_ && service_->startupSettled();
}

void COstraApp::setProfileDialog(ProfileDialog dialog) {
    commands_->setProfileDialog(std::move(dialog));
}

fs::path COstraApp::updaterPath() const {
    return commands_->updaterPath();
}

void COstraApp::runCommand(Region region) {
    commands_->runCommand(region);
}

void COstraApp::showMainWindow() {
    if (!started_) {
        // A second start while this one is still starting: answer once start-up is done.
        showPending_ = true;
        return;
    }
    if (tray_) {
        tray_->showMainWindow();
    }
}

std::intptr_t COstraApp::handleMessage(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t) {
    switch (message) {
        case WM_SHOW_NO_KEYBOARD:
            tray_->showNoKeyboard(wParam);
            break;
        case WM_KEYBOARD_EVENT:
            commands_->onKeyboardEvent(static_cast<std::uint8_t>(wParam));
            break;
        case WM_KEYBOARD_LOST:
            window_->hide();
            break;
        default:
            break;
    }
    return 0;
}

void COstraApp::createBackend() {
    if (overrides_.backend) {
        backend_ = std::move(overrides_.backend);
    } else if (options_.simulate) {
        simulated_ = std::make_unique<VirtualKeyboard>(clock());
        backend_ = std::make_unique<VirtualKeyboardBackend>(*simulated_);
    } else if (options_.virtualDevice) {
        backend_ = std::make_unique<VirtualHidLinkBackend>(options_.virtualDevice->toStdString());
    } else {
        backend_ = std::make_unique<HidrawBackend>();
    }
}

bool COstraApp::start(QString& error) {
    trayAvailable_ = overrides_.trayAvailable.value_or(TrayIcon::available());
    settings_ = std::make_unique<QtSettingsStore>(overrides_.configFolder);
    paths_ = ResolveRunPaths(options_.dataDir);
    if (overrides_.skinRoot) {
        paths_.skinRoots.push_back(*overrides_.skinRoot);
    }

    // The per-user folder may not exist yet; profiles need their folder from the first start.
    std::error_code ec;
    fs::create_directories(paths_.dataDir / "Configure", ec);
    if (ec && !fs::is_directory(paths_.dataDir)) {
        error = QStringLiteral("Cannot create the folder %1: %2")
                    .arg(QString::fromStdString(paths_.dataDir.string()),
                         QString::fromStdString(ec.message()));
        return false;
    }

    createBackend();
    service_ = std::make_unique<KeyboardService>(paths_, *backend_, clock());
    Model& model = service_->model();
    // Where no installer stored the language, the desktop's locale chooses it.
    const std::string locale = overrides_.localeName.value_or(DesktopLocaleName());
    const QString language = ChooseLanguage(*settings_, locale, TranslationNames());
    SetModelLanguage(model, language);
    // Before the first window: every text is translated where it is made.
    InstalledTranslation installed = InstallTranslation(language);
    translator_ = std::move(installed.translator);
    if (installed.failed) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: the %s translation did not load\n",
                     qPrintable(language));
    }

    window_ = std::make_unique<COstraDlg>(model, paths_);
    window_->setMinimiseHides(trayAvailable_);
    prompts_ = std::make_unique<QtPrompts>(window_.get());
    Prompts& prompts = overrides_.prompts ? *overrides_.prompts : *prompts_;
    if (!overrides_.shell) {
        shell_ = std::make_unique<QtShell>();
    }
    Shell& shell = overrides_.shell ? *overrides_.shell : *shell_;
    commands_ = std::make_unique<AppCommands>(*service_, *window_, *settings_, prompts, shell,
                                              overrides_.chooser);
    connect(window_.get(), &COstraDlg::closeRequested, this, &COstraApp::quitRequested);
    model.keyChangedFlags.fill(0);
    model.selectedKey = kNoKey;

    std::vector<fs::path> ruleRoots = paths_.skinRoots;
    if (ruleRoots.empty()) {
        ruleRoots.push_back(paths_.dataDir);
    }
    tray_ = std::make_unique<TrayController>(*service_, *window_, *settings_, prompts,
                                             trayAvailable_, ruleRoots, locale);
    connect(tray_.get(), &TrayController::exitRequested, this, &COstraApp::quitRequested);
    connect(tray_.get(), &TrayController::profileChosen, this, &COstraApp::applyProfile);
    // Over the window while it shows, so that the window system places it there; a window of
    // its own while only the icon is there.
    connect(tray_.get(), &TrayController::editRulesRequested, this,
            [this] { editRules(window_->isVisible() ? window_.get() : nullptr); });
    commands_->setEditRules([this](QWidget* parent) { editRules(parent); });
    connect(commands_.get(), &AppCommands::accessDeniedAsked, tray_.get(),
            [this] { tray_->showAccessDenied(true); });
    connect(commands_.get(), &AppCommands::launchNotRun, tray_.get(), &TrayController::showNotice);

    const HotplugSource::Kind hotplugKind =
        (options_.simulate || overrides_.backend) ? HotplugSource::Kind::None
        : options_.virtualDevice                  ? HotplugSource::Kind::VirtualLink
                                                  : HotplugSource::Kind::Udev;
    hotplug_ = std::make_unique<HotplugSource>(
        hotplugKind,
        options_.virtualDevice ? options_.virtualDevice->toStdString() : std::string());
    connect(hotplug_.get(), &HotplugSource::deviceChanged, service_.get(),
            &KeyboardService::deviceChanged);
    if (std::string why; !hotplug_->start(why)) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", why.c_str());
        static_cast<void>(prompts.show(u"Cannot register for Wdm2 class device notification", u"",
                                       PromptButtons::Ok));  // OK is the only answer
    }

    // A start at login shows nothing but the icon, not even the splash.
    if (overrides_.showSplash && !options_.minimized) {
        SkinLookup skins(paths_.skinRoots);
        CSplashScreen splash;
        splash.setPicturePath(CSplashScreen::PicturePath(skins, model.skinFolder()));
        splash.exec();
    }

    // Scripts reach the same service over the session bus. Without a bus the program runs on;
    // tavrinctl then finds no program and says so.
    scripting_ = std::make_unique<KeyboardScripting>(*service_, *settings_);
    bus_ = std::make_unique<DBusFacade>(*service_, *scripting_);
    if (overrides_.publishOnBus) {
        if (QString why; !bus_->publish(QDBusConnection::sessionBus(), why)) {
            std::fprintf(stderr, "tavrin-gaming-keyboard: D-Bus: %s\n", qPrintable(why));
        }
    }

    if (overrides_.automaticProfiles) {
        startAutomaticProfiles();
    }

    const LoadResult macros = service_->loadMacroFile();
    commands_->reportLoad("MacroDefine.bin", macros);
    const LoadResult keymap = service_->loadKeymapFile();
    commands_->reportLoad("keymap.bin", keymap);
    model.takeSavedCopies();
    window_->setSliderPositions();

    // The keyboard opens on the service's worker; the window shows once it is there.
    connect(service_.get(), &KeyboardService::linkStatusChanged, this, &COstraApp::onFirstLink);
    service_->connectKeyboard();
    if (trayAvailable_) {
        tray_->create();
    } else if (options_.minimized) {
        // Without a notification area the task bar is the way back: the window starts iconified,
        // and stays so when the keyboard comes.
        window_->showMinimized();
    }
    return true;
}

void COstraApp::startAutomaticProfiles() {
    // The same file as the icon's menu, the rules window and tavrinctl.
    switcher_ =
        std::make_unique<ProfileSwitcher>(*service_, *scripting_, *settings_, ProfileRulesPath());
    processes_ = std::make_unique<ProcessScanner>();
    connect(switcher_.get(), &ProfileSwitcher::rulesChanged, processes_.get(),
            &ProcessScanner::setActive);
    connect(processes_.get(), &ProcessScanner::runningChanged, switcher_.get(),
            &ProfileSwitcher::setRunning);
    connect(bus_.get(), &DBusFacade::activeApplicationReported, switcher_.get(),
            [this](const QString& exe, const QString& windowClass) {
                switcher_->setFocused({exe, windowClass, windowClass});
            });
    connect(switcher_.get(), &ProfileSwitcher::waitingForUnsavedEdits, this,
            [this](const QString& profile) {
                window_->setNotice(
                    profile.isEmpty()
                        ? QString()
                        : tr("Profile %1 waits: save or cancel your changes first.").arg(profile));
            });
    connect(switcher_.get(), &ProfileSwitcher::switched, this, [](const QString& profile) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: automatic profiles: switched to %s\n",
                     qPrintable(profile));
    });
    connect(switcher_.get(), &ProfileSwitcher::switchFailed, this, [this](const QString& why) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: automatic profiles: %s\n", qPrintable(why));
        // Said once per profile: a profile that waits for the user's choice about its launch
        // actions, or any other that could not be switched to, is not left unexplained.
        tray_->showNotice(tr("Automatic profiles did not switch:\n%1").arg(why));
    });
    connect(switcher_.get(), &ProfileSwitcher::rulesFailed, this, [](const QString& why) {
        // The file is the user's: it is named and kept, and the rules read before stay.
        std::fprintf(stderr, "tavrin-gaming-keyboard: automatic profiles: %s\n", qPrintable(why));
    });

    // The sources that can work in this session; the others are left off, and the log says so.
    switch (DetectSession()) {
        case SessionKind::X11: {
            focus_ = std::make_unique<X11FocusSource>();
            connect(focus_.get(), &X11FocusSource::focusChanged, switcher_.get(),
                    &ProfileSwitcher::setFocused);
            if (QString why; !focus_->start(why)) {
                focus_.reset();
                std::fprintf(stderr,
                             "tavrin-gaming-keyboard: automatic profiles: the focused window is "
                             "not watched: %s\n",
                             qPrintable(why));
            }
            break;
        }
        case SessionKind::Wayland:
            std::fprintf(stderr,
                         "tavrin-gaming-keyboard: automatic profiles: a Wayland session: the "
                         "focused window comes from the compositor's script over D-Bus "
                         "(SetActiveApplication); X11 focus watching is off\n");
            break;
        case SessionKind::None:
            std::fprintf(stderr,
                         "tavrin-gaming-keyboard: automatic profiles: no desktop session: only "
                         "running processes and D-Bus switch profiles\n");
            break;
    }
    switcher_->start();
}

void COstraApp::onFirstLink() {
    disconnect(service_.get(), &KeyboardService::linkStatusChanged, this, &COstraApp::onFirstLink);
    const LinkStatus& link = service_->link();
    const bool keyboard = link.commandOpen && link.eventOpen;
    // Started minimised: the icon alone, or the iconified window that start() showed, and no
    // notice of a keyboard that is not plugged in yet.
    if (!options_.minimized && (keyboard || !trayAvailable_)) {
        // Without a notification area the window is the only way in. The icon's controller may
        // have shown it already.
        if (!window_->isVisible()) {
            window_->show();
            window_->paintAll();
        }
        if (!keyboard && !link.accessDenied) {
            tray_->showNoKeyboard(kShowNoKeyboardBalloon);
        }
    }
    if (link.accessDenied) {
        tray_->showAccessDenied(false);
    }
    started_ = true;
    if (showPending_) {
        showPending_ = false;
        showMainWindow();
    }
}

}  // namespace tavrin
