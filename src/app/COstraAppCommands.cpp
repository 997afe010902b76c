// The main window's commands that need the keyboard link or a dialog, the window messages of the
// workers, and the refresh after a configuration load.

#include <QDesktopServices>
#include <QMetaObject>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/COstraApp.h"
#include "device/KeyboardConnection.h"
#include "device/SteadyClock.h"
#include "device/WindowMessages.h"
#include "model/AssignmentReconcile.h"
#include "model/ChangedKeyRule.h"
#include "model/LocalFiles.h"
#include "model/Prompts.h"
#include "model/Utf16Text.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtKeyHook.h"
#include "platform/qt/QtPrompts.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtShellAdapter.h"
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

constexpr std::chrono::milliseconds kProfileSettleWait{50};

#ifdef _WIN32
constexpr const char* kUpdaterFileName = "Tavrin Gaming Keyboard_Update.exe";
#else
constexpr const char* kUpdaterFileName = "Tavrin Gaming Keyboard_Update";
#endif

}  // namespace

std::u16string COstraApp::text(const char16_t* chinese, const char16_t* english) const {
    return model_->chinese() ? std::u16string(chinese) : std::u16string(english);
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

Prompts& COstraApp::prompts() {
    if (overrides_.prompts) {
        return *overrides_.prompts;
    }
    return *prompts_;
}

Shell& COstraApp::shell() {
    if (overrides_.shell) {
        return *overrides_.shell;
    }
    if (!qtShell_) {
        qtShell_ = std::make_unique<QtShellAdapter>();
    }
    return *qtShell_;
}

void COstraApp::wireCommands() {
    connect(window_.get(), &COstraDlg::commandRequested, this, &COstraApp::runCommand);
    connect(window_.get(), &COstraDlg::homePageRequested, this, &COstraApp::openHomePage);
    connect(window_.get(), &COstraDlg::updaterRequested, this, &COstraApp::startUpdater);
    window_->setKeyAssignmentDialog([this] { openKeyAssignment(); });
}

void COstraApp::runCommand(Region region) {
    // Until the start-up read has ended the worker owns the model: commands that send, replace
    // or rebuild it wait for WM_SETTINGS_LOADED.
    if (!settingsLoaded_ || window_->busy()) {
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

void COstraApp::save() {
    window_->setBusy(true, model_->chinese() ? QString::fromUtf16(u"正在保存到键盘……")
                                             : QStringLiteral("Saving to the keyboard..."));
    // The result comes on the command worker; the window takes it on its own thread.
    connection_->applySettings([this](const LinkResult& result) {
        QMetaObject::invokeMethod(
            this, [this, result] { finishSave(result); }, Qt::QueuedConnection);
    });
}

void COstraApp::finishSave(const LinkResult& result) {
    window_->setBusy(false);
    if (result) {
        model_->takeSavedCopies();
    } else {
        // The saved copies stay as they were, so the next Save sends the change again.
        std::fprintf(stderr, "tavrin-gaming-keyboard: save failed: %s\n", result.error.c_str());
        prompts().show(text(u"设置没有保存到键盘。请检查键盘是否已连接，然后再次点击“保存”。",
                            u"The settings did not reach the keyboard. Check that the keyboard "
                            u"is connected, then press Save again."),
                       text(u"保存", u"Save"), PromptButtons::Ok);
    }
    WriteKeymapFromModel(paths_.dataDir, *model_);
    window_->paintAll();
}

void COstraApp::factoryReset() {
    if (prompts().show(text(u"确认恢复至出厂设置吗？", u"Confirm to return Factory Setting?"),
                       text(u"出厂设置", u"Factory Setting"),
                       PromptButtons::OkCancel) != PromptAnswer::Ok) {
        return;
    }
    MainWindowState& state = window_->state();
    state.diyView = false;
    state.panel.lightCollapsed = true;
    state.panel.gameCollapsed = true;
    state.panel.responseCollapsed = true;
    state.panel.reportCollapsed = true;
    window_->setBusy(true, model_->chinese() ? QString::fromUtf16(u"正在恢复出厂设置……")
                                             : QStringLiteral("Restoring the factory settings..."));
    connection_->factoryReset([this](const LinkResult& result) {
        QMetaObject::invokeMethod(
            this, [this, result] { finishFactoryReset(result); }, Qt::QueuedConnection);
    });
}

void COstraApp::finishFactoryReset(const LinkResult& result) {
    window_->setBusy(false);
    if (!result) {
        // A read cut short leaves a mixed image; the model goes back to what was last known.
        std::fprintf(stderr, "tavrin-gaming-keyboard: factory reset failed: %s\n",
                     result.error.c_str());
        model_->settings = model_->savedSettings;
        window_->setSliderPositions();
        prompts().show(text(u"无法恢复出厂设置。请检查键盘是否已连接，然后再试一次。",
                            u"The factory settings could not be restored. Check that the "
                            u"keyboard is connected, then try again."),
                       text(u"出厂设置", u"Factory Setting"), PromptButtons::Ok);
        window_->paintAll();
        return;
    }
    window_->setSliderPositions();
    model_->keyChangedFlags.fill(0);
    model_->assignments.clear();
    model_->refreshOwnVk();
    // The keyboard now holds exactly this, whether or not the file can be written.
    model_->takeSavedCopies();
    WriteKeymapFromModel(paths_.dataDir, *model_);
    window_->paintAll();
}

void COstraApp::cancel() {
    window_->hideAsMinimise();
    model_->revertToSaved();
    // The sliders store their positions on every repaint: they must show the reverted values.
    window_->setSliderPositions();
    ChangedKeyRule(*model_);
    window_->state().diyView = model_->settings.effectCode() >= kFirstDiyEffect;
    WriteKeymapFromModel(paths_.dataDir, *model_);
}

void COstraApp::profile() {
    bool accepted = false;
    if (profileDialog_) {
        accepted = profileDialog_(window_->frameGeometry());
    } else {
        if (!profileDialogWindow_) {
            ensureDialogServices();
            profileDialogWindow_ = std::make_unique<CConfigureDlg>(
                *model_, *settings_, prompts(), fileChooser(), *dialogSkins_, paths_.dataDir);
        }
        accepted = RunProfileManager(*profileDialogWindow_, window_->frameGeometry());
    }
    if (!accepted) {
        return;
    }
    clock().sleep(kProfileSettleWait);
    WriteMacroFile(paths_.dataDir, model_->macros);
    handleMessage(WM_SETTINGS_LOADED, 0, kLoadedLocally);
}

void COstraApp::ensureDialogServices() {
    if (!keyHook_) {
        keyHook_ = std::make_unique<QtKeyHook>();
    }
    if (!dialogSkins_) {
        dialogSkins_ = std::make_unique<SkinLookup>(paths_.skinRoots);
    }
    if (!chooser_) {
        chooser_ = std::make_unique<QtFileChooser>(window_.get());
    }
}

FileChooser& COstraApp::fileChooser() {
    if (overrides_.chooser) {
        return *overrides_.chooser;
    }
    ensureDialogServices();
    return *chooser_;
}

void COstraApp::macroManager() {
    if (!macroDialog_) {
        ensureDialogServices();
        macroClock_ = std::make_unique<SteadyMacroClock>();
        macroDialog_ = std::make_unique<CMacroRecordDlg>(*model_, *keyHook_, prompts(),
                                                         *macroClock_, *dialogSkins_);
    }
    const MacroManagerOutcome outcome = RunMacroManager(*macroDialog_, *model_, paths_.dataDir);
    if (outcome.accepted && !outcome.filesWritten()) {
        // The macros are in the model and reach the keyboard on Save, but are not kept on disk.
        const WriteResult& failed = outcome.keymap.ok ? outcome.macros : outcome.keymap;
        prompts().show(
            text(u"宏无法保存到文件：\n", u"The macros could not be saved to a file:\n") +
                Utf16FromUtf8(std::u8string(failed.error.begin(), failed.error.end())),
            u"", PromptButtons::Ok);
    }
}

void COstraApp::openKeyAssignment() {
    if (!keyMapDialog_) {
        ensureDialogServices();
        keyMapDialog_ =
            std::make_unique<CKeyMap>(*model_, *dialogSkins_, *keyHook_, prompts(), fileChooser());
    }
    OpenKeyAssignment(*keyMapDialog_, *model_, paths_.dataDir);
}

fs::path COstraApp::updaterPath() const {
    return paths_.dataDir / kUpdaterFileName;
}

void COstraApp::startUpdater() {
    const fs::path program = updaterPath();
    std::error_code ec;
    if (fs::is_regular_file(program, ec) && shell().startProgram(program, {})) {
        return;
    }
    prompts().show(
        text(u"找不到固件更新程序，无法启动：\n", u"The firmware updater could not be started:\n") +
            program.u16string(),
        text(u"固件更新", u"Firmware Update"), PromptButtons::Ok);
}

void COstraApp::openHomePage() {
    // The desktop's default browser; the window does not wait for it.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageAddress)));
}

std::intptr_t COstraApp::handleMessage(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    switch (message) {
        case WM_SETTINGS_LOADED:
            refreshAfterLoad(lParam);
            break;
        case WM_KEYBOARD_EVENT:
            HandleKeyboardEvent(model_->assignments, static_cast<std::uint8_t>(wParam), shell());
            break;
        case WM_KEYBOARD_LOST:
            window_->hide();
            break;
        case WM_SHOW_NO_KEYBOARD:
            showNoKeyboard(wParam);
            break;
        default:
            break;
    }
    return 0;
}

void COstraApp::refreshAfterLoad(std::intptr_t lParam) {
    const bool fromKeyboard = lParam == kLoadedFromKeyboard;
    if (fromKeyboard) {
        settingsLoaded_ = true;
        // The key map now comes from the keyboard: records it contradicts are given up.
        ReconcileAssignments(*model_);
        model_->savedAssignments = model_->assignments;
    }
    window_->setSliderPositions();
    ChangedKeyRule(*model_);
    if (fromKeyboard && connection_ && connection_->commandOpen()) {
        if (connection_->commands().readLighting(model_->settings)) {
            // The keyboard holds these bytes: Save must not send them back, nor Close drop them.
            const auto live = model_->settings.lighting();
            std::copy(live.begin(), live.end(), model_->savedSettings.lighting().begin());
        }
    }
    window_->setSliderPositions();
    WriteKeymapFromModel(paths_.dataDir, *model_);
    window_->paintAll();
    if (!fromKeyboard) {
        return;
    }
    checkFirmware();
}

void COstraApp::checkFirmware() {
    const FirmwareVersion shipped =
        connection_ ? connection_->shippedFirmware() : FirmwareVersion{};
    const FirmwareVersion keyboard = model_->firmware;
    std::u16string question;
    if (shipped.major > keyboard.major) {
        question = text(u"更新到新的固件吗？", u"Update new firmware\uFF1F");
    } else if (shipped.major == keyboard.major && shipped.minor > keyboard.minor) {
        question = text(u"更新到新的固件吗？", u"Update new firmware?");
    } else {
        return;
    }
    if (prompts().show(question, text(u"固件更新", u"Firmware Update"), PromptButtons::OkCancel) ==
        PromptAnswer::Ok) {
        startUpdater();
    }
}

}  // namespace tavrin
