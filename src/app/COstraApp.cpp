#include "app/COstraApp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QMetaObject>
#include <QSocketNotifier>
#include <cstdio>

#include "app/AccessDeniedNotice.h"
#include "device/CrossThreadMessageSink.h"
#include "device/KeyboardConnection.h"
#include "device/SteadyClock.h"
#include "device/WindowMessages.h"
#include "model/AssignmentReconcile.h"
#include "model/LocalFiles.h"
#include "model/Shell.h"
#include "platform/hidraw/HidrawBackend.h"
#include "platform/hidraw/UdevMonitor.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtKeyHook.h"
#include "platform/qt/QtPrompts.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/TrayIcon.h"
#include "sim/VirtualHidLinkBackend.h"
#include "sim/VirtualHidLinkWatcher.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CAboutDlg.h"
#include "ui/controls/CBitSlider.h"
#include "ui/controls/CSplashScreen.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/macro/CMacroRecordDlg.h"
#include "ui/macro/SteadyMacroClock.h"
#include "ui/main/COstraDlg.h"
#include "ui/profile/CConfigureDlg.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoKeyboardText = "No Gaming Keyboard Detected!";
constexpr const char* kNoKeyboardTitle = "Warning";

std::optional<fs::path> EnvPath(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) {
        return std::nullopt;
    }
    return fs::path(value.toStdString());
}

ProgramPaths ResolvePaths(const AppOptions& options) {
    ProgramDirectoryInputs in;
    if (options.dataDir) {
        in.dataDirOption = fs::path(options.dataDir->toStdString());
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    in.executableDir = fs::path(exeDir.toStdString());
    in.executableDirWritable = QFileInfo(exeDir).isWritable();
    in.xdgDataHome = EnvPath("XDG_DATA_HOME");
    in.home = EnvPath("HOME");
    in.installedDataDir =
        fs::path(QDir(exeDir)
                     .absoluteFilePath(QStringLiteral("../share/tavrin-gaming-keyboard"))
                     .toStdString())
            .lexically_normal();
    return ResolveProgramPaths(in);
}

}  // namespace

COstraApp::COstraApp(AppOptions options, AppOverrides overrides)
    : options_(std::move(options)), overrides_(std::move(overrides)) {}

COstraApp::~COstraApp() {
    // Icon, hot-plug registration, then the workers and the handles.
    tray_.reset();
    hotplugNotifier_ = nullptr;
    linkPoll_.stop();
    monitor_.reset();
    linkWatcher_.reset();
    if (connection_) {
        connection_->shutdown();
    }
    connection_.reset();
    window_.reset();
}

bool COstraApp::start(QString& error) {
    trayAvailable_ = overrides_.trayAvailable.value_or(TrayIcon::available());
    model_ = std::make_unique<Model>();
    settings_ = std::make_unique<QtSettingsStore>(overrides_.configFolder);
    model_->languageId = ReadLanguageId(*settings_);
    paths_ = ResolvePaths(options_);
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

    window_ = std::make_unique<COstraDlg>(*model_, paths_);
    window_->setMinimiseHides(trayAvailable_);
    prompts_ = std::make_unique<QtPrompts>(window_.get());
    wireCommands();
    model_->keyChangedFlags.fill(0);
    model_->selectedKey = kNoKey;

    startHotplug();

    if (overrides_.showSplash) {
        SkinLookup skins(paths_.skinRoots);
        CSplashScreen splash;
        splash.setPicturePath(CSplashScreen::PicturePath(skins, model_->languageId));
        splash.exec();
    }

    LoadMacroFile(paths_.dataDir, model_->macros);
    LoadKeymapFile(paths_.dataDir, *model_, false);

    createBackend();
    sink_ = std::make_unique<CrossThreadMessageSink>(
        [this](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
            return handleMessage(m, w, l);
        },
        [this](std::function<void()> task) {
            QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
        });
    connection_ =
        std::make_unique<KeyboardConnection>(*model_, *backend_, clock(), *sink_, paths_.dataDir);
    connection_->setSliderRefresh([this] { window_->setSliderPositions(); });
    const auto opened = connection_->openAtStartup();

    createTray();
    model_->takeSavedCopies();

    if (opened.commandOpened && opened.eventOpened) {
        window_->show();
        window_->paintAll();
    } else if (!trayAvailable_) {
        // Without a notification area the window is the only way in.
        window_->show();
        window_->paintAll();
        if (!opened.accessDenied) {
            showNoKeyboard(15);
        }
    }
    if (opened.accessDenied) {
        showAccessDenied(false);
    }
    started_ = true;
    if (showPending_) {
        showPending_ = false;
        showMainWindow();
    }
    return true;
}

void COstraApp::createBackend() {
    clock_ = std::make_unique<SteadyClock>();
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

void COstraApp::startHotplug() {
    if (options_.simulate || overrides_.backend) {
        return;  // the in-process keyboard stays plugged in
    }
    if (options_.virtualDevice) {
        linkWatcher_ =
            std::make_unique<VirtualHidLinkWatcher>(options_.virtualDevice->toStdString());
        linkWatcher_->poll();  // the keyboard found at start-up is no arrival
        connect(&linkPoll_, &QTimer::timeout, this, [this] {
            for (const HotplugEvent& e : linkWatcher_->poll()) {
                onHotplug(e);
            }
        });
        linkPoll_.start(250);
        return;
    }
    monitor_ = std::make_unique<UdevMonitor>();
    if (!monitor_->ok()) {
        monitor_.reset();
        QtPrompts(window_.get())
            .show(u"Cannot register for Wdm2 class device notification", u"", PromptButtons::Ok);
        return;
    }
    hotplugNotifier_ = new QSocketNotifier(monitor_->fd(), QSocketNotifier::Read, this);
    connect(hotplugNotifier_, &QSocketNotifier::activated, this, [this] {
        for (const HotplugEvent& e : monitor_->drain()) {
            onHotplug(e);
        }
    });
}

void COstraApp::onHotplug(const HotplugEvent& event) {
    const bool wasOpen = connection_ && connection_->commandOpen();
    if (!connection_) {
        return;
    }
    connection_->handleDeviceChange(event);
    if (connection_->commandOpen()) {
        accessNoticeShown_ = false;
    } else if (connection_->lastOpenDenied()) {
        showAccessDenied(false);
    }
    if (!trayAvailable_ && !wasOpen && connection_->commandOpen()) {
        window_->show();
        window_->paintAll();
    }
}

void COstraApp::createTray() {
    tray_ = std::make_unique<TrayIcon>(LoadIconResource(kIconProgram),
                                       QStringLiteral("Tavrin Gaming Keyboard"));
    aboutAction_ = new QAction(QStringLiteral("About Ostra..."), this);
    exitAction_ = new QAction(this);
    connect(aboutAction_, &QAction::triggered, this, [this] {
        CAboutDlg about(model_->languageId, window_->isVisible() ? window_.get() : nullptr);
        about.exec();
    });
    // Exit ends the program without writing "keymap.bin".
    connect(exitAction_, &QAction::triggered, this, &COstraApp::quitRequested);
    tray_->setMenuActions({aboutAction_, exitAction_});
    const auto setTexts = [this] {
        exitAction_->setText(model_->chinese() ? QString::fromUtf16(u"退出")
                                               : QStringLiteral("Exit"));
    };
    setTexts();
    connect(tray_.get(), &TrayIcon::aboutToShowMenu, this, setTexts);
    connect(tray_.get(), &TrayIcon::doubleClicked, this, &COstraApp::showMainWindow);
    connect(window_.get(), &COstraDlg::closeRequested, this, &COstraApp::quitRequested);
    tray_->show();
}

void COstraApp::showMainWindow() {
    if (!started_) {
        // A second start while this one is still starting: answer once start-up is done.
        showPending_ = true;
        return;
    }
    if (connection_ && connection_->commandOpen()) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: showing the window\n");
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
        window_->paintAll();
    } else if (connection_ && connection_->lastOpenDenied()) {
        showAccessDenied(true);
    } else {
        handleMessage(WM_SHOW_NO_KEYBOARD, 15, 0);
    }
}

void COstraApp::showAccessDenied(bool again) {
    if (accessNoticeShown_ && !again) {
        return;
    }
    accessNoticeShown_ = true;
    const fs::path rule = FindUdevRule(
        paths_.skinRoots, paths_.skinRoots.empty() ? paths_.dataDir : paths_.skinRoots.back());
    const AccessDeniedNotice notice = MakeAccessDeniedNotice(model_->chinese(), rule);
    lastBalloon_ = notice.text;
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", connection_->lastOpenError().c_str());
    // A box rather than a balloon: the user copies the command from it.
    auto* box = new QMessageBox(QMessageBox::Warning, notice.title, notice.text, QMessageBox::Ok,
                                window_.get());
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void COstraApp::showNoKeyboard(std::uintptr_t wParam) {
    if (wParam != 15) {
        return;
    }
    lastBalloon_ = QString::fromLatin1(kNoKeyboardText);
    if (trayAvailable_ && tray_) {
        tray_->showBalloon(QString::fromLatin1(kNoKeyboardTitle), lastBalloon_,
                           QSystemTrayIcon::Information);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kNoKeyboardTitle),
                                lastBalloon_, QMessageBox::Ok, window_.get());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tavrin
