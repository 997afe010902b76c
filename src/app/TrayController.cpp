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
#include "service/KeyboardService.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CAboutDlg.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

namespace {

constexpr const char* kNoKeyboardText = "No Gaming Keyboard Detected!";
constexpr const char* kNoKeyboardTitle = "Warning";

QAction* Separator(QObject* owner) {
    auto* action = new QAction(owner);
    action->setSeparator(true);
    return action;
}

// The texts of the menu that do not depend on the language.
const QString kEnglishName = QStringLiteral("English");
const QString kChineseName = QString::fromUtf16(u"中文");

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

QString TrayController::say(const QString& english, const QString& chinese) const {
    return service_.model().chinese() ? chinese : english;
}

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
    englishAction_ = languageMenu_->addAction(kEnglishName);
    englishAction_->setObjectName(QStringLiteral("englishAction"));
    chineseAction_ = languageMenu_->addAction(kChineseName);
    chineseAction_->setObjectName(QStringLiteral("chineseAction"));
    for (QAction* a : {englishAction_, chineseAction_}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    connect(englishAction_, &QAction::triggered, this, [this] { setLanguage(false); });
    connect(chineseAction_, &QAction::triggered, this, [this] { setLanguage(true); });

    aboutAction_ = new QAction(QStringLiteral("About Ostra..."), this);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
    exitAction_ = new QAction(this);
    exitAction_->setObjectName(QStringLiteral("exitAction"));
    connect(aboutAction_, &QAction::triggered, this, [this] {
        CAboutDlg about(service_.model().languageId, window_.isVisible() ? &window_ : nullptr);
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
        auto* none =
            new QAction(say(QStringLiteral("No profiles"), QString::fromUtf16(u"没有配置")), this);
        none->setObjectName(QStringLiteral("noProfilesAction"));
        none->setEnabled(false);
        profileActions_.append(none);
    }

    automaticAction_->setText(
        say(QStringLiteral("Automatic profiles"), QString::fromUtf16(u"自动切换配置")));
    const RulesLoad rules = LoadProfileRules(ProfileRulesPath());
    automaticAction_->setChecked(rules.rules && rules.rules->enabled);
    editRulesAction_->setText(
        say(QStringLiteral("Edit rules..."), QString::fromUtf16(u"编辑规则...")));

    startAtLoginAction_->setText(
        say(QStringLiteral("Start at login"), QString::fromUtf16(u"登录时启动")));
    startAtLoginAction_->setChecked(AutostartEnabled(AutostartPath()));

    // The stored choice is checked; it differs from the running language until the next start.
    const bool nextChinese = ReadLanguageId(settings_, localeName_) == kLanguageChinese;
    const bool nowChinese = service_.model().chinese();
    languageMenu_->setTitle(say(QStringLiteral("Language"), QString::fromUtf16(u"语言")));
    const QString later =
        say(QStringLiteral(" (at the next start)"), QString::fromUtf16(u"（下次启动时生效）"));
    englishAction_->setChecked(!nextChinese);
    englishAction_->setText(kEnglishName + (nowChinese && !nextChinese ? later : QString()));
    chineseAction_->setChecked(nextChinese);
    chineseAction_->setText(kChineseName + (!nowChinese && nextChinese ? later : QString()));

    exitAction_->setText(say(QStringLiteral("Exit"), QString::fromUtf16(u"退出")));

    QList<QAction*> actions = profileActions_;
    actions << separators_[0] << automaticAction_ << editRulesAction_ << separators_[1]
            << startAtLoginAction_ << languageMenu_->menuAction() << separators_[2] << aboutAction_
            << exitAction_;
    icon_->setMenuActions(actions);
}

void TrayController::tellFailure(const QString& english, const QString& chinese,
                                 const QString& detail) {
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s %s\n", qPrintable(english),
                 qPrintable(detail));
    QString text = say(english, chinese);
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
        tellFailure(on ? QStringLiteral("Automatic profiles could not be turned on.")
                       : QStringLiteral("Automatic profiles could not be turned off."),
                    on ? QString::fromUtf16(u"无法开启自动切换配置。")
                       : QString::fromUtf16(u"无法关闭自动切换配置。"),
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
        tellFailure(on ? QStringLiteral("Start at login could not be turned on.")
                       : QStringLiteral("Start at login could not be turned off."),
                    on ? QString::fromUtf16(u"无法设置登录时启动。")
                       : QString::fromUtf16(u"无法取消登录时启动。"),
                    error);
    }
    refreshMenu();
}

void TrayController::setLanguage(bool chinese) {
    const std::u16string value = chinese ? u"chinese" : u"english";
    if (!settings_.writeString(kLanguageKey, kLanguageValue, value)) {
        tellFailure(QStringLiteral("The language could not be stored."),
                    QString::fromUtf16(u"无法保存语言设置。"), QString());
    } else if (chinese != service_.model().chinese()) {
        lastBalloon_ = say(QStringLiteral("The new language is used from the next start."),
                           QString::fromUtf16(u"新的界面语言将在下次启动时使用。"));
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
    if (wParam != kShowNoKeyboardBalloon) {
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
