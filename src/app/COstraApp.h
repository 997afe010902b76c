#pragma once

// The application: start-up in its defined order, the keyboard link and its workers, hot-plug,
// the notification-area icon, the window messages, and shutdown.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/AppOptions.h"
#include "device/HidBackend.h"
#include "device/HotplugEvent.h"
#include "device/LinkResult.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"

class QAction;
class QSocketNotifier;

namespace tavrin {

class CKeyMap;
class CMacroRecordDlg;
class Clock;
class COstraDlg;
class CConfigureDlg;
class FileChooser;
class Prompts;
class QtKeyHook;
class Shell;
class SkinLookup;
class SteadyMacroClock;
enum class Region : std::uint8_t;
class CrossThreadMessageSink;
class KeyboardConnection;
class QtFileChooser;
class QtPrompts;
class QtSettingsStore;
class SteadyClock;
class TrayIcon;
class VirtualHidLinkWatcher;
class VirtualKeyboard;
class UdevMonitor;

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
};

class COstraApp : public QObject {
    Q_OBJECT

public:
    explicit COstraApp(AppOptions options, AppOverrides overrides = {});
    ~COstraApp() override;

    // The main window's initialisation. False with `error` when the program cannot run.
    bool start(QString& error);

    COstraDlg& window() { return *window_; }
    TrayIcon* tray() { return tray_.get(); }
    Model& model() { return *model_; }
    KeyboardConnection& connection() { return *connection_; }
    const ProgramPaths& paths() const { return paths_; }
    VirtualKeyboard* simulatedKeyboard() { return simulated_.get(); }
    bool trayAvailable() const { return trayAvailable_; }

    // A double click on the icon, or a second start: the window, or the no-keyboard balloon.
    void showMainWindow();
    // The messages of the workers and of the window to itself.
    std::intptr_t handleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    // What the last balloon said (for the tests and for desktops without a notification area).
    const QString& lastBalloon() const { return lastBalloon_; }

    // The profile manager: shown modally with the main window's screen rectangle; true when it
    // closed with OK (the model then holds the loaded profile). Without one the Profile button
    // does nothing.
    using ProfileDialog = std::function<bool(const QRect& mainWindowRect)>;
    void setProfileDialog(ProfileDialog dialog) { profileDialog_ = std::move(dialog); }

    // The start-up read has ended (WM_SETTINGS_LOADED from the keyboard): Save and the other
    // commands that take the whole model answer from then on.
    bool settingsLoaded() const { return settingsLoaded_; }

    // The firmware updater beside the program, and starting it (a message when it is missing).
    std::filesystem::path updaterPath() const;
    void startUpdater();
    void openHomePage();

    // Commands of the main window's regions: Profile, Macro Management, Return, Cancel, Save.
    void runCommand(Region region);

signals:
    void quitRequested();

private:
    void createBackend();
    void startHotplug();
    void onHotplug(const HotplugEvent& event);
    void createTray();
    void refreshAfterLoad(std::intptr_t lParam);
    void showNoKeyboard(std::uintptr_t wParam);
    void wireCommands();
    void save();
    void finishSave(const LinkResult& result);
    void factoryReset();
    void finishFactoryReset(const LinkResult& result);
    void cancel();
    void profile();
    void macroManager();
    void openKeyAssignment();
    void checkFirmware();
    Clock& clock();
    Prompts& prompts();
    Shell& shell();
    FileChooser& fileChooser();
    // The hook, the skins and the choosers the dialogs share, made on first use.
    void ensureDialogServices();
    std::u16string text(const char16_t* chinese, const char16_t* english) const;
    // The keyboard is there but refuses this user: how to get access. Once until it opens,
    // unless the user asks (`again`).
    void showAccessDenied(bool again);

    AppOptions options_;
    AppOverrides overrides_;
    bool trayAvailable_ = true;
    std::unique_ptr<Model> model_;
    ProgramPaths paths_;
    std::unique_ptr<QtSettingsStore> settings_;
    std::unique_ptr<QtPrompts> prompts_;
    std::unique_ptr<SteadyClock> clock_;
    std::unique_ptr<VirtualKeyboard> simulated_;
    std::unique_ptr<HidBackend> backend_;
    std::unique_ptr<CrossThreadMessageSink> sink_;
    std::unique_ptr<KeyboardConnection> connection_;
    std::unique_ptr<COstraDlg> window_;
    std::unique_ptr<TrayIcon> tray_;
    QAction* aboutAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    std::unique_ptr<VirtualHidLinkWatcher> linkWatcher_;
    std::unique_ptr<UdevMonitor> monitor_;
    QSocketNotifier* hotplugNotifier_ = nullptr;
    QTimer linkPoll_;
    QString lastBalloon_;
    bool started_ = false;
    bool showPending_ = false;

    // The window's commands.
    bool settingsLoaded_ = false;
    ProfileDialog profileDialog_;
    std::unique_ptr<Shell> qtShell_;
    std::unique_ptr<QtKeyHook> keyHook_;
    std::unique_ptr<QtFileChooser> chooser_;
    std::unique_ptr<SteadyMacroClock> macroClock_;
    std::unique_ptr<SkinLookup> dialogSkins_;
    std::unique_ptr<CKeyMap> keyMapDialog_;
    std::unique_ptr<CMacroRecordDlg> macroDialog_;
    std::unique_ptr<CConfigureDlg> profileDialogWindow_;
    bool accessNoticeShown_ = false;
};

}  // namespace tavrin
