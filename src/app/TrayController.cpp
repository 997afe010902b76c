#include "app/TrayController.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <cstdio>

#include "app/AccessDeniedNotice.h"
#include "app/Autostart.h"
#include "automation/ProfileRules.h"
#include "device/WindowMessages.h"
#include "model/ProfileFolder.h"
#include "model/Prompts.h"
#include "model/SettingsStore.h"
#include "model/Utf16Text.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/TrayIcon.h"
#include "service/InterfaceLanguage.h"
#include "service/KeyboardService.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CAboutDlg.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

namespace {

// The same words in every language.
constexpr const char* kNoKeyboardText =
    QT_TRANSLATE_NOOP("tavrin::TrayController", "No Gaming Keyboard Detected!");
constexpr const char* kNoKeyboardTitle = QT_TRANSLATE_NOOP("tavrin::TrayController", "Warning");

QAction* Separator(QObject* owner) {
    auto* action = new QAction(owner);
    action->setSeparator(true);
    return action;
}

}  // namespace

TrayController::TrayController(KeyboardService& service, COstraDlg& window, SettingsStore& settings,
                               Prompts& prompts, bool trayAvailable,
                               std::vector<std::filesystem::path> ruleRoots, std::string localeName,
                               QObject* parent)
    : QObject(parent),
      service_(service),
      window_(window),
      settings_(settings),
      prompts_(prompts),
      trayAvailable_(trayAvailable),
      ruleRoots_(std::move(ruleRoots)),
      localeName_(std::move(localeName)) {
    connect(&service_, &KeyboardService::linkStatusChanged, this, &TrayController::onLinkChanged);
}

TrayController::~TrayController() = default;

void TrayController::create() {
    icon_ = std::make_unique<TrayIcon>(LoadIconResource(kIconProgram),
                                       QStringLiteral("Tavrin Gaming Keyboard"));
    profileGroup_ = new QActionGroup(this);
    profileGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction*& separator : separators_) {
        separator = Separator(this);
    }

    automaticAction_ = new QAction(this);
    automaticAction_->setObjectName(QStringLiteral("automaticProfilesAction"));
    automaticAction_->setCheckable(true);
    connect(automaticAction_, &QAction::triggered, this, &TrayController::setAutomaticProfiles);
    editRulesAction_ = new QAction(this);
    editRulesAction_->setObjectName(QStringLiteral("editRulesAction"));
    connect(editRulesAction_, &QAction::triggered, this, &TrayController::editRulesRequested);

    startAtLoginAction_ = new QAction(this);
    startAtLoginAction_->setObjectName(QStringLiteral("startAtLoginAction"));
    startAtLoginAction_->setCheckable(true);
    connect(startAtLoginAction_, &QAction::triggered, this, &TrayController::setStartAtLogin);

    // Each language under its own name, so that a user who cannot read the other finds theirs.
    languageMenu_ = std::make_unique<QMenu>();
    languageMenu_->setObjectName(QStringLiteral("languageMenu"));
    languageMenu_->menuAction()->setObjectName(QStringLiteral("languageAction"));
    auto* languages = new QActionGroup(this);
    for (const QString& language :
         QStringList{QString::fromLatin1(kEnglishLanguage)} + TranslationNames()) {
        QAction* action = languageMenu_->addAction(LanguageOwnName(language));
        action->setObjectName(language + QStringLiteral("Action"));
        action->setCheckable(true);
        languages->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] { setLanguage(language); });
        languageActions_.push_back({language, action->text(), action});
    }

    aboutAction_ = new QAction(tr("About Ostra..."), this);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
    exitAction_ = new QAction(this);
    exitAction_->setObjectName(QStringLiteral("exitAction"));
    connect(aboutAction_, &QAction::triggered, this, [this] {
        CAboutDlg about(window_.isVisible() ? &window_ : nullptr);
        about.exec();
    });
    // Exit ends the program without writing "keymap.bin".
    connect(exitAction_, &QAction::triggered, this, &TrayController::exitRequested);
    refreshMenu();
    connect(icon_.get(), &TrayIcon::aboutToShowMenu, this, &TrayController::refreshMenu);
    connect(icon_.get(), &TrayIcon::doubleClicked, this, &TrayController::showMainWindow);
    icon_->show();
}

void TrayController::refreshMenu() {
    if (!icon_) {
        return;
    }
    // The profiles as the folder holds them now, the current one checked: only the exact file
    // name counts, so "Profile_1.bin" does not also check "My Profile_1".
    ProfileFolder folder(service_.paths().dataDir);
    folder.refresh();
    const std::u16string current = ReadCurrentProfile(settings_, std::u16string());
    // Later, not now: the menu may be opened again from a message box shown while one of them
    // is still being triggered.
    for (QAction* old : std::as_const(profileActions_)) {
        profileGroup_->removeAction(old);
        old->deleteLater();
    }
    profileActions_.clear();
    for (const ProfileEntry& entry : folder.entries()) {
        const QString name = ToQString(entry.name);
        auto* action = new QAction(name, this);
        action->setObjectName(QStringLiteral("profileAction"));
        action->setData(name);
        action->setCheckable(true);
        action->setChecked(Utf16FromPath(entry.path.filename()) == current);
        profileGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, name] { emit profileChosen(name); });
        profileActions_.append(action);
    }
    if (profileActions_.isEmpty()) {
        auto* none = new QAction(tr("No profiles"), this);
        none->setObjectName(QStringLiteral("noProfilesAction"));
        none->setEnabled(false);
        profileActions_.append(none);
    }

    automaticAction_->setText(tr("Automatic profiles"));
    const RulesLoad rules = LoadProfileRules(ProfileRulesPath());
    automaticAction_->setChecked(rules.rules && rules.rules->enabled);
    editRulesAction_->setText(tr("Edit rules..."));

    startAtLoginAction_->setText(tr("Start at login"));
    startAtLoginAction_->setChecked(AutostartEnabled(AutostartPath()));

    // The stored choice is checked; it differs from the running language until the next start.
    const QString next = ChooseLanguage(settings_, localeName_, TranslationNames());
    const QString now = ModelLanguage(service_.model());
    languageMenu_->setTitle(tr("Language"));
    const QString later = tr(" (at the next start)");
    for (const LanguageAction& entry : languageActions_) {
        const bool chosen = entry.language == next;
        entry.action->setChecked(chosen);
        entry.action->setText(entry.ownName + (chosen && next != now ? later : QString()));
    }

    exitAction_->setText(tr("Exit"));

    QList<QAction*> actions = profileActions_;
    actions << separators_[0] << automaticAction_ << editRulesAction_ << separators_[1]
            << startAtLoginAction_ << languageMenu_->menuAction() << separators_[2] << aboutAction_
            << exitAction_;
    icon_->setMenuActions(actions);
}

void TrayController::tellFailure(const char* english, const QString& detail) {
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s %s\n", english, qPrintable(detail));
    QString text = tr(english);
    if (!detail.isEmpty()) {
        text += QStringLiteral("\n") + detail;
    }
    static_cast<void>(prompts_.show(ToU16(text), u"", PromptButtons::Ok));  // OK is the only answer
}

void TrayController::setAutomaticProfiles(bool on) {
    const QString path = ProfileRulesPath();
    RulesLoad load = LoadProfileRules(path);
    QString error;
    bool done = true;
    if (!load.rules) {
        // The file is the user's; it stays as it is.
        error = load.error;
        done = false;
    } else if (load.rules->enabled != on) {
        // The rest of the file as it is now; the switcher reloads it by itself.
        load.rules->enabled = on;
        done = SaveProfileRules(path, *load.rules, error);
    }
    if (!done) {
        tellFailure(on ? QT_TR_NOOP("Automatic profiles could not be turned on.")
                       : QT_TR_NOOP("Automatic profiles could not be turned off."),
                    error);
    }
    refreshMenu();
}

void TrayController::setStartAtLogin(bool on) {
    const QString path = AutostartPath();
    QString error;
    const bool done = on ? EnableAutostart(path, QCoreApplication::applicationFilePath(), error)
                         : DisableAutostart(path, error);
    if (!done) {
        tellFailure(on ? QT_TR_NOOP("Start at login could not be turned on.")
                       : QT_TR_NOOP("Start at login could not be turned off."),
                    error);
    }
    refreshMenu();
}

void TrayController::setLanguage(const QString& language) {
    if (!settings_.writeString(kLanguageKey, kLanguageValue, language.toStdU16String())) {
        tellFailure(QT_TR_NOOP("The language could not be stored."), QString());
    } else if (language != ModelLanguage(service_.model())) {
        lastBalloon_ = tr("The new language is used from the next start.");
        icon_->showBalloon(QStringLiteral("Tavrin Gaming Keyboard"), lastBalloon_,
                           QSystemTrayIcon::Information);
    }
    refreshMenu();
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
        showNoKeyboard(kShowNoKeyboardBalloon);
    }
}

void TrayController::showAccessDenied(bool again) {
    if (accessNoticeShown_ && !again) {
        return;
    }
    accessNoticeShown_ = true;
    const std::filesystem::path rule =
        FindUdevRule(ruleRoots_, ruleRoots_.empty() ? std::filesystem::path() : ruleRoots_.back());
    const AccessDeniedNotice notice = MakeAccessDeniedNotice(rule);
    lastBalloon_ = notice.text;
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", service_.link().openError.c_str());
    // A box rather than a balloon: the user copies the command from it.
    auto* box =
        new QMessageBox(QMessageBox::Warning, notice.title, notice.text, QMessageBox::Ok, &window_);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TrayController::showNotice(const QString& text) {
    lastBalloon_ = text;
    const QString title = QStringLiteral("Tavrin Gaming Keyboard");
    if (trayAvailable_ && icon_) {
        icon_->showBalloon(title, text, QSystemTrayIcon::Warning);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, &window_);
    box->setTextFormat(Qt::PlainText);  // paths are not markup
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TrayController::showNoKeyboard(std::uintptr_t wParam) {
    if (wParam != kShowNoKeyboardBalloon) {
        return;
    }
    lastBalloon_ = tr(kNoKeyboardText);
    if (trayAvailable_ && icon_) {
        icon_->showBalloon(tr(kNoKeyboardTitle), lastBalloon_, QSystemTrayIcon::Information);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, tr(kNoKeyboardTitle), lastBalloon_,
                                QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace tavrin
