#pragma once

// The main window's commands that need the keyboard service or a dialog (Save, Return, Cancel,
// Profile, Macro Management, a key's assignment, the updater and the home page), and what the
// window does when the service reports: a loaded configuration, the end of a Save or a reset, a
// read that failed, a file that could not be written, a key event. Every outcome ends in a
// message or a deliberate, commented decision.

#include <QObject>
#include <QRect>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "device/LinkResult.h"
#include "model/LocalFiles.h"
#include "service/KeyboardService.h"
#include "ui/main/MainLayout.h"

class QWidget;

namespace tavrin {

class CConfigureDlg;
class CKeyMap;
class CMacroRecordDlg;
class COstraDlg;
class FileChooser;
class Prompts;
class QtKeyHook;
class SettingsStore;
class Shell;
class SkinLookup;
class SteadyMacroClock;

class AppCommands : public QObject {
    Q_OBJECT

public:
    AppCommands(KeyboardService& service, COstraDlg& window, SettingsStore& settings,
                Prompts& prompts, Shell& shell, FileChooser* chooser, QObject* parent = nullptr);
    ~AppCommands() override;

    using ProfileDialog = std::function<bool(const QRect& mainWindowRect)>;
    void setProfileDialog(ProfileDialog dialog) { profileDialog_ = std::move(dialog); }
    // The profile manager's "Edit rules...": opens the rules window over the given parent.
    using EditRules = std::function<void(QWidget* parent)>;
    void setEditRules(EditRules editRules) { editRules_ = std::move(editRules); }

    void runCommand(Region region);
    void save();
    void factoryReset();
    void cancel();
    void profile();
    void macroManager();
    void openKeyAssignment();

    std::filesystem::path updaterPath() const;
    void startUpdater();
    void openHomePage();
    void onKeyboardEvent(std::uint8_t code);
    // A file that could not be read or created: which one and why.
    void reportLoad(const char* what, const LoadResult& result);

signals:
    // The keyboard refuses this user: the icon's notice says how to get access.
    void accessDeniedAsked();
    // A key's launch action did not run: the text says which key, which path and why. The icon
    // shows it, as the user is most likely in another program.
    void launchNotRun(const QString& text);

private:
    void onSettingsLoaded(bool fromKeyboard);
    void onSaveFinished(const LinkResult& result);
    void onResetFinished(const LinkResult& result);
    void onReadFailed(const LinkResult& result);
    void onStateChanged(KeyboardService::State state);
    void offerFirmwareUpdate();
    // Tells the user why an operation that needs the keyboard did not start.
    void explain(Availability why, const std::u16string& caption);
    void reportWrite(const WriteResult& result);
    void ensureDialogServices();
    FileChooser& fileChooser();

    KeyboardService& service_;
    COstraDlg& window_;
    SettingsStore& settings_;
    Prompts& prompts_;
    Shell& shell_;
    FileChooser* chooser_;
    ProfileDialog profileDialog_;
    EditRules editRules_;
    std::unique_ptr<QtKeyHook> keyHook_;
    std::unique_ptr<FileChooser> ownChooser_;
    std::unique_ptr<SteadyMacroClock> macroClock_;
    std::unique_ptr<SkinLookup> dialogSkins_;
    // The dialogs are the window's children, so that the window system keeps them over it (on
    // Wayland it places them there); they go before the window does.
    std::unique_ptr<CKeyMap> keyMapDialog_;
    std::unique_ptr<CMacroRecordDlg> macroDialog_;
    std::unique_ptr<CConfigureDlg> profileDialogWindow_;
    bool windowSave_ = false;   // the running Save was started here
    bool windowReset_ = false;  // the running reset was started here
};

}  // namespace tavrin
