#include "app/AppCommands.h"

#include <QDesktopServices>
#include <QUrl>
#include <cstdio>
#include <utility>

#include "model/Prompts.h"
#include "model/Shell.h"
#include "model/Utf16Text.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtKeyHook.h"
#include "service/LaunchActionTexts.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/keymap/KeyboardEventHandler.h"
#include "ui/keymap/OpenKeyAssignment.h"
#include "ui/macro/CMacroRecordDlg.h"
#include "ui/macro/RunMacroManager.h"
#include "ui/macro/SteadyMacroClock.h"
#include "ui/main/COstraDlg.h"
#include "ui/profile/CConfigureDlg.h"
#include "ui/profile/RunProfileManager.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char* kUpdaterFileName = "Tavrin Gaming Keyboard_Update.exe";
#else
constexpr const char* kUpdaterFileName = "Tavrin Gaming Keyboard_Update";
#endif

std::u16string U16(const std::string& utf8) {
    return Utf16FromUtf8(std::u8string(utf8.begin(), utf8.end()));
}

// While a dialog works on the model, other surfaces are answered "busy".
class WindowHold {
public:
    explicit WindowHold(KeyboardService& service) : service_(service) {
        service_.holdForWindow(true);
    }
    ~WindowHold() { service_.holdForWindow(false); }
    WindowHold(const WindowHold&) = delete;
    WindowHold& operator=(const WindowHold&) = delete;

private:
    KeyboardService& service_;
};

}  // namespace

AppCommands::AppCommands(KeyboardService& service, COstraDlg& window, SettingsStore& settings,
                         Prompts& prompts, Shell& shell, FileChooser* chooser, QObject* parent)
    : QObject(parent),
      service_(service),
      window_(window),
      settings_(settings),
      prompts_(prompts),
      shell_(shell),
      chooser_(chooser) {
    connect(&window_, &COstraDlg::commandRequested, this, &AppCommands::runCommand);
    connect(&window_, &COstraDlg::homePageRequested, this, &AppCommands::openHomePage);
    connect(&window_, &COstraDlg::updaterRequested, this, &AppCommands::startUpdater);
    window_.setKeyAssignmentDialog([this] { openKeyAssignment(); });
    // Close has written "keymap.bin" from the saved copies; a failure is told before the end.
    connect(&window_, &COstraDlg::closeRequested, this,
            [this] { reportWrite(window_.lastWrite()); });

    connect(&service_, &KeyboardService::settingsLoaded, this, &AppCommands::onSettingsLoaded);
    connect(&service_, &KeyboardService::firmwareUpdateAvailable, this,
            &AppCommands::offerFirmwareUpdate);
    connect(&service_, &KeyboardService::saveFinished, this, &AppCommands::onSaveFinished);
    connect(&service_, &KeyboardService::factoryResetFinished, this, &AppCommands::onResetFinished);
    connect(&service_, &KeyboardService::readFailed, this, &AppCommands::onReadFailed);
    connect(&service_, &KeyboardService::fileWriteFailed, this, &AppCommands::reportWrite);
    connect(&service_, &KeyboardService::stateChanged, this, &AppCommands::onStateChanged);
    connect(&service_, &KeyboardService::keyboardEvent, this, &AppCommands::onKeyboardEvent);
    connect(&service_, &KeyboardService::keyboardLost, &window_, &QWidget::hide);
    // A change from another surface shows in the window at once.
    connect(&service_, &KeyboardService::modelChanged, this, [this] {
        window_.setSliderPositions();
        window_.applyModelRules();
        window_.paintAll();
    });
}

AppCommands::~AppCommands() = default;

void AppCommands::runCommand(Region region) {
    if (window_.busy()) {
        return;  // a Save or a reset runs; the window shows it and takes no input
    }
    if (!service_.startupSettled()) {
        // The start-up read still owns the model: say so rather than drop the click.
        explain(Availability::Busy, u"");
        return;
    }
    switch (region) {
        case Region::Save:
            save();
            break;
        case Region::Return:
            factoryReset();
            break;
        case Region::Cancel:
            cancel();
            break;
        case Region::Profile:
            profile();
            break;
        case Region::MacroManagement:
            macroManager();
            break;
        default:
            break;
    }
}

void AppCommands::explain(Availability why, const std::u16string& caption) {
    switch (why) {
        case Availability::Started:
            return;
        case Availability::AccessDenied:
            emit accessDeniedAsked();
            return;
        case Availability::NoKeyboard:
            prompts_.show(tr("No keyboard is connected. Connect the keyboard, then try again.")
                              .toStdU16String(),
                          caption, PromptButtons::Ok);
            return;
        case Availability::Busy:
            prompts_.show(tr("The keyboard is busy. Try again in a moment.").toStdU16String(),
                          caption, PromptButtons::Ok);
            return;
    }
}

void AppCommands::onStateChanged(KeyboardService::State state) {
    switch (state) {
        case KeyboardService::State::Saving:
            window_.setBusy(true, tr("Saving to the keyboard..."));
            break;
        case KeyboardService::State::Resetting:
            window_.setBusy(true, tr("Restoring the factory settings..."));
            break;
        default:
            if (window_.busy()) {
                // Before the one repaint that ends the busy look: the sliders and the rules of
                // the new model.
                window_.setSliderPositions();
                window_.applyModelRules();
            }
            window_.setBusy(false);
            break;
    }
}

void AppCommands::save() {
    // Without a keyboard the change stays in the model and is sent by a later Save.
    const Availability started = service_.save();
    windowSave_ = started == Availability::Started;
    explain(started, tr("Save").toStdU16String());
}

void AppCommands::onSaveFinished(const LinkResult& result) {
    // A Save that another surface started reports its result there.
    const bool own = std::exchange(windowSave_, false);
    if (result) {
        // For the log, and for scripts that wait until a Save has reached the keyboard.
        std::fprintf(stderr, "tavrin-gaming-keyboard: saved\n");
    }
    if (!result && own) {
        // The saved copies stay as they were, so the next Save sends the change again.
        std::fprintf(stderr, "tavrin-gaming-keyboard: save failed: %s\n", result.error.c_str());
        prompts_.show(tr("The settings did not reach the keyboard. Check that the keyboard is "
                         "connected, then press Save again.")
                          .toStdU16String(),
                      tr("Save").toStdU16String(), PromptButtons::Ok);
    }
    // The window was repainted when the keyboard stopped being busy.
}

void AppCommands::factoryReset() {
    const Availability now = service_.availability();
    if (now != Availability::Started) {
        explain(now, tr("Factory Setting").toStdU16String());
        return;
    }
    if (prompts_.show(tr("Confirm to return Factory Setting?").toStdU16String(),
                      tr("Factory Setting").toStdU16String(),
                      PromptButtons::OkCancel) != PromptAnswer::Ok) {
        return;
    }
    MainWindowState& state = window_.state();
    state.diyView = false;
    state.panel.lightCollapsed = true;
    state.panel.gameCollapsed = true;
    state.panel.responseCollapsed = true;
    state.panel.reportCollapsed = true;
    // The keyboard may have gone while the question was open.
    const Availability started = service_.factoryReset();
    windowReset_ = started == Availability::Started;
    explain(started, tr("Factory Setting").toStdU16String());
}

void AppCommands::onResetFinished(const LinkResult& result) {
    // The window was repainted, sliders included, when the keyboard stopped being busy.
    const bool own = std::exchange(windowReset_, false);
    if (!result && own) {
        // The model was never touched by the failed reset: it shows what it showed before.
        std::fprintf(stderr, "tavrin-gaming-keyboard: factory reset failed: %s\n",
                     result.error.c_str());
        prompts_.show(tr("The factory settings could not be restored. Check that the keyboard is "
                         "connected, then try again.")
                          .toStdU16String(),
                      tr("Factory Setting").toStdU16String(), PromptButtons::Ok);
    }
}

void AppCommands::cancel() {
    window_.hideAsMinimise();
    const WriteResult written = service_.cancel();
    window_.setSliderPositions();
    window_.state().diyView = service_.model().settings.effectCode() >= kFirstDiyEffect;
    window_.applyModelRules();
    reportWrite(written);
}

void AppCommands::profile() {
    const WindowHold hold(service_);
    bool accepted = false;
    if (profileDialog_) {
        accepted = profileDialog_(window_.frameGeometry());
    } else {
        if (!profileDialogWindow_) {
            ensureDialogServices();
            profileDialogWindow_ = std::make_unique<CConfigureDlg>(
                service_.model(), settings_, prompts_, fileChooser(), *dialogSkins_,
                service_.paths().dataDir, &window_);
            profileDialogWindow_->setEditRules(editRules_);
        }
        accepted = RunProfileManager(*profileDialogWindow_, window_.frameGeometry());
    }
    if (accepted) {
        service_.profileLoaded();
    }
}

void AppCommands::ensureDialogServices() {
    if (!keyHook_) {
        keyHook_ = std::make_unique<QtKeyHook>();
    }
    if (!dialogSkins_) {
        dialogSkins_ = std::make_unique<SkinLookup>(service_.paths().skinRoots);
    }
}

FileChooser& AppCommands::fileChooser() {
    if (chooser_) {
        return *chooser_;
    }
    if (!ownChooser_) {
        ownChooser_ = std::make_unique<QtFileChooser>(&window_);
    }
    return *ownChooser_;
}

void AppCommands::macroManager() {
    const WindowHold hold(service_);
    if (!macroDialog_) {
        ensureDialogServices();
        macroClock_ = std::make_unique<SteadyMacroClock>();
        macroDialog_ = std::make_unique<CMacroRecordDlg>(service_.model(), *keyHook_, prompts_,
                                                         *macroClock_, *dialogSkins_, &window_);
    }
    const MacroManagerOutcome outcome =
        RunMacroManager(*macroDialog_, service_.model(), service_.paths().dataDir);
    if (outcome.accepted && !outcome.filesWritten()) {
        // The macros are in the model and reach the keyboard on Save, but are not kept on disk.
        const WriteResult& failed = outcome.keymap.ok ? outcome.macros : outcome.keymap;
        prompts_.show(
            tr("The macros could not be saved to a file:\n").toStdU16String() + U16(failed.error),
            u"", PromptButtons::Ok);
    }
}

void AppCommands::openKeyAssignment() {
    const WindowHold hold(service_);
    if (!keyMapDialog_) {
        ensureDialogServices();
        keyMapDialog_ = std::make_unique<CKeyMap>(service_.model(), *dialogSkins_, *keyHook_,
                                                  prompts_, fileChooser(), &window_);
    }
    // Opened from the keyboard, the dialog's capture field waits for Enter before it takes keys,
    // so that the keys that move the focus and close the dialog still do.
    keyMapDialog_->setCaptureAtOpening(window_.lastPressByPointer());
    const KeyAssignmentOutcome outcome =
        OpenKeyAssignment(*keyMapDialog_, service_.model(), service_.paths().dataDir);
    // The dialog started from the assignments in memory; the file is left as it is.
    reportLoad("keymap.bin", outcome.reload);
    if (outcome.write) {
        reportWrite(*outcome.write);
    }
}

fs::path AppCommands::updaterPath() const {
    // Beside the program, or in the installed data folder; where it would be when none is found.
    const auto& dirs = service_.paths().shippedDirs;
    if (auto found = FindShippedFile(dirs, kUpdaterFileName)) {
        return *found;
    }
    return (dirs.empty() ? service_.paths().dataDir : dirs.front()) / kUpdaterFileName;
}

void AppCommands::startUpdater() {
    const fs::path program = updaterPath();
    std::error_code ec;
    if (fs::is_regular_file(program, ec) && shell_.startProgram(program, {})) {
        return;
    }
    prompts_.show(
        tr("The firmware updater could not be started:\n").toStdU16String() + program.u16string(),
        tr("Firmware Update").toStdU16String(), PromptButtons::Ok);
}

void AppCommands::openHomePage() {
    // The desktop's default browser; the window does not wait for it.
    if (!QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageAddress)))) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: no browser opened %s\n", kHomePageAddress);
    }
}

void AppCommands::onKeyboardEvent(std::uint8_t code) {
    // A key without a launch action does nothing, as the keyboard's own keys do.
    const LaunchResult launched = HandleKeyboardEvent(service_.model().assignments, code, shell_);
    if (launched.refused()) {
        const QString text = LaunchNotRunText(launched);
        std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", qPrintable(text));
        emit launchNotRun(text);
    }
}

void AppCommands::onSettingsLoaded(bool fromKeyboard) {
    if (fromKeyboard) {
        // For the log, and for scripts that wait until the keyboard may be used.
        std::fprintf(stderr, "tavrin-gaming-keyboard: the keyboard's settings are read\n");
    }
    if (window_.busy()) {
        // A Save that started at once owns the model: the window takes it when the Save ends.
        return;
    }
    window_.setSliderPositions();
    window_.applyModelRules();
    window_.paintAll();
}

void AppCommands::onReadFailed(const LinkResult& result) {
    std::fprintf(stderr, "tavrin-gaming-keyboard: reading the keyboard failed: %s\n",
                 result.error.c_str());
    if (result.disconnected) {
        return;  // it was unplugged: the keyboard is read again when it comes back
    }
    prompts_.show(
        tr("The keyboard did not answer, so its settings were not read. The program goes on with "
           "the settings it had; unplug the keyboard and plug it in again to read it.")
            .toStdU16String(),
        tr("Keyboard").toStdU16String(), PromptButtons::Ok);
}

void AppCommands::reportLoad(const char* what, const LoadResult& result) {
    if (result.outcome == LoadOutcome::Loaded || result.outcome == LoadOutcome::Created) {
        return;
    }
    // The program runs on with what it has; the file is left exactly as it is.
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s: %s\n", what, result.error.c_str());
    const std::u16string text =
        result.outcome == LoadOutcome::Unreadable
            ? tr("A file could not be read and was left as it is:\n").toStdU16String()
            : tr("A file could not be created:\n").toStdU16String();
    prompts_.show(text + U16(result.error), u"", PromptButtons::Ok);
}

void AppCommands::reportWrite(const WriteResult& result) {
    if (result) {
        return;
    }
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", result.error.c_str());
    prompts_.show(tr("A file could not be written:\n").toStdU16String() + U16(result.error), u"",
                  PromptButtons::Ok);
}

void AppCommands::offerFirmwareUpdate() {
    const FirmwareVersion shipped = service_.link().shippedFirmware;
    const FirmwareVersion keyboard = service_.model().firmware;
    std::u16string question;
    if (shipped.major > keyboard.major) {
        question = tr("Update new firmware？").toStdU16String();
    } else if (shipped.major == keyboard.major && shipped.minor > keyboard.minor) {
        question = tr("Update new firmware?").toStdU16String();
    } else {
        return;
    }
    if (prompts_.show(question, tr("Firmware Update").toStdU16String(), PromptButtons::OkCancel) ==
        PromptAnswer::Ok) {
        startUpdater();
    }
}

}  // namespace tavrin
