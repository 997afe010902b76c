#pragma once

// The application: start-up in its defined order and the wiring of the keyboard service, the main
// window, the commands, the icon and hot-plug. Each of those is a class of its own; this one only
// makes them and connects them.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTranslator>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/AppOptions.h"
#include "device/HidBackend.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"

class QWidget;

namespace tavrin {

class AppCommands;
class Clock;
class COstraDlg;
class DBusFacade;
class ProcessScanner;
class ProfileSwitcher;
class X11FocusSource;
class FileChooser;
class HotplugSource;
class KeyboardScripting;
class KeyboardService;
class ProfileRulesDialog;
class Prompts;
class QtPrompts;
class QtSettingsStore;
class Shell;
class SteadyClock;
class TrayController;
class TrayIcon;
class VirtualKeyboard;
enum class Region : std::uint8_t;

struct AppOverrides {
    std::unique_ptr<HidBackend> backend;                // tests: the devices to find
    std::optional<std::filesystem::path> configFolder;  // tests: private settings
    std::optional<bool> trayAvailable;                  // tests: with or without a tray
    bool showSplash = true;
    std::optional<std::filesystem::path> skinRoot;  // tests: where the skins were drawn
    Clock* clock = nullptr;                         // tests: the clock of the keyboard link
    Prompts* prompts = nullptr;                     // tests: message boxes answered by script
    Shell* shell = nullptr;                         // tests: what the shell was asked to start
    FileChooser* chooser = nullptr;                 // tests: file choosers answered by script
    bool publishOnBus = true;                       // the D-Bus interface on the session bus
    bool automaticProfiles = true;                  // the switcher and its sources
    std::optional<std::string> localeName;          // tests: the desktop's locale
};

class COstraApp : public QObject {
    Q_OBJECT

public:
    explicit COstraApp(AppOptions options, AppOverrides overrides = {});
    ~COstraApp() override;

    // The main window's initialisation. False with `error` when the program cannot run.
    bool start(QString& error);

    COstraDlg& window() { return *window_; }
    TrayIcon* tray();
    TrayController& trayController() { return *tray_; }
    KeyboardService& service() { return *service_; }
    Model& model();
    const ProgramPaths& paths() const { return paths_; }
    VirtualKeyboard* simulatedKeyboard() { return simulated_.get(); }
    bool trayAvailable() const { return trayAvailable_; }
    AppCommands& commands() { return *commands_; }

    // A double click on the icon, or a second start: the window, or the no-keyboard balloon.
    void showMainWindow();
    // The window messages that still travel as messages: WM_SHOW_NO_KEYBOARD,
    // WM_KEYBOARD_EVENT and WM_KEYBOARD_LOST.
    std::intptr_t handleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // What the last balloon said (for the tests and for desktops without a notification area).
    const QString& lastBalloon() const;

    // The profile manager: shown modally with the main window's screen rectangle; true when it
    // closed with OK (the model then holds the loaded profile).
    using ProfileDialog = std::function<bool(const QRect& mainWindowRect)>;
    void setProfileDialog(ProfileDialog dialog);

    // The start-up read has ended, or no keyboard was there to read.
    bool settingsLoaded() const;

    std::filesystem::path updaterPath() const;
    void runCommand(Region region);

    // The rules of automatic profiles, over `parent` (none: a window of its own). Blocks the other
    // windows while open; a second request raises it.
    void editRules(QWidget* parent);
    ProfileRulesDialog* rulesWindow() const;
    // A profile of the icon's menu: applied and sent to the keyboard; a failure is told.
    void applyProfile(const QString& name);

signals:
    void quitRequested();

private:
    // ApplyProfileWithLaunch with `launch` ("refuse" first; the user's answer after a question).
    void applyProfileWith(const QString& name, const QString& launch);
    void createBackend();
    void onFirstLink();
    void startAutomaticProfiles();
    Clock& clock();
    Prompts& prompts();

    AppOptions options_;
    AppOverrides overrides_;
    bool trayAvailable_ = true;
    ProgramPaths paths_;
    std::unique_ptr<QtSettingsStore> settings_;
    std::unique_ptr<QTranslator> translator_;  // the windows' language; none for English
    std::unique_ptr<SteadyClock> clock_;
    std::unique_ptr<VirtualKeyboard> simulated_;
    std::unique_ptr<HidBackend> backend_;
    std::unique_ptr<KeyboardService> service_;
    std::unique_ptr<COstraDlg> window_;
    std::unique_ptr<QtPrompts> prompts_;
    std::unique_ptr<Shell> shell_;
    bool started_ = false;
    bool showPending_ = false;
    std::unique_ptr<AppCommands> commands_;
    std::unique_ptr<TrayController> tray_;
    std::unique_ptr<HotplugSource> hotplug_;
    std::unique_ptr<KeyboardScripting> scripting_;
    std::unique_ptr<DBusFacade> bus_;
    std::unique_ptr<ProfileSwitcher> switcher_;
    std::unique_ptr<ProcessScanner> processes_;
    std::unique_ptr<X11FocusSource> focus_;
    QPointer<ProfileRulesDialog> rulesWindow_;
};

}  // namespace tavrin
