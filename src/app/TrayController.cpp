#include "app/TrayController.h"

#include <QAction>
#include <QMessageBox>
#include <cstdio>

#include "app/AccessDeniedNotice.h"
#include "platform/qt/TrayIcon.h"
#include "service/KeyboardService.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CAboutDlg.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

namespace {

constexpr const char* kNoKeyboardText = "No Gaming Keyboard Detected!";
constexpr const char* kNoKeyboardTitle = "Warning";

}  // namespace

TrayController::TrayController(KeyboardService& service, COstraDlg& window, bool trayAvailable,
                               std::vector<std::filesystem::path> ruleRoots, QObject* parent)
    : QObject(parent),
      service_(service),
      window_(window),
      trayAvailable_(trayAvailable),
      ruleRoots_(std::move(ruleRoots)) {
    connect(&service_, &KeyboardService::linkStatusChanged, this, &TrayController::onLinkChanged);
}

TrayController::~TrayController() = default;

void TrayController::create() {
    icon_ = std::make_unique<TrayIcon>(LoadIconResource(kIconProgram),
                                       QStringLiteral("Tavrin Gaming Keyboard"));
    aboutAction_ = new QAction(QStringLiteral("About Ostra..."), this);
    exitAction_ = new QAction(this);
    connect(aboutAction_, &QAction::triggered, this, [this] {
        CAboutDlg about(service_.model().languageId, window_.isVisible() ? &window_ : nullptr);
        about.exec();
    });
    // Exit ends the program without writing "keymap.bin".
    connect(exitAction_, &QAction::triggered, this, &TrayController::exitRequested);
    icon_->setMenuActions({aboutAction_, exitAction_});
    const auto setTexts = [this] {
        exitAction_->setText(service_.model().chinese() ? QString::fromUtf16(u"退出")
                                                        : QStringLiteral("Exit"));
    };
    setTexts();
    connect(icon_.get(), &TrayIcon::aboutToShowMenu, this, setTexts);
    connect(icon_.get(), &TrayIcon::doubleClicked, this, &TrayController::showMainWindow);
    icon_->show();
}

void TrayController::onLinkChanged() {
    const LinkStatus& link = service_.link();
    if (link.commandOpen) {
        accessNoticeShown_ = false;
    } else if (link.accessDenied) {
        showAccessDenied(false);
    }
    // Without a notification area the window is the only way in: show it when the keyboard comes.
    if (!trayAvailable_ && !wasOpen_ && link.commandOpen) {
        window_.show();
        window_.paintAll();
    }
    wasOpen_ = link.commandOpen;
}

void TrayController::showMainWindow() {
    if (service_.connected()) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: showing the window\n");
        window_.showNormal();
        window_.raise();
        window_.activateWindow();
        window_.paintAll();
    } else if (service_.link().accessDenied) {
        showAccessDenied(true);
    } else {
        showNoKeyboard(15);
    }
}

void TrayController::showAccessDenied(bool again) {
    if (accessNoticeShown_ && !again) {
        return;
    }
    accessNoticeShown_ = true;
    const std::filesystem::path rule =
        FindUdevRule(ruleRoots_, ruleRoots_.empty() ? std::filesystem::path() : ruleRoots_.back());
    const AccessDeniedNotice notice = MakeAccessDeniedNotice(service_.model().chinese(), rule);
    lastBalloon_ = notice.text;
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", service_.link().openError.c_str());
    // A box rather than a balloon: the user copies the command from it.
    auto* box =
        new QMessageBox(QMessageBox::Warning, notice.title, notice.text, QMessageBox::Ok, &window_);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TrayController::showNoKeyboard(std::uintptr_t wParam) {
    if (wParam != 15) {
        return;
    }
    lastBalloon_ = QString::fromLatin1(kNoKeyboardText);
    if (trayAvailable_ && icon_) {
        icon_->showBalloon(QString::fromLatin1(kNoKeyboardTitle), lastBalloon_,
                           QSystemTrayIcon::Information);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kNoKeyboardTitle),
                                lastBalloon_, QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tavrin
