#pragma once

// The notification-area icon and what it shows: the menu (the profiles, automatic profiles and
// their rules, start at login, the language, About, Exit), the way back to the window, the
// no-keyboard balloon and the notice for a keyboard that refuses this user. Without a
// notification area the window itself is the way in, and the notices are message boxes.

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace tavrin {

class COstraDlg;
class KeyboardService;
class Prompts;
class SettingsStore;
class TrayIcon;

class TrayController : public QObject {
    Q_OBJECT

public:
    // `localeName` is the desktop's locale, which chooses the language while no value is stored.
    TrayController(KeyboardService& service, COstraDlg& window, SettingsStore& settings,
                   Prompts& prompts, bool trayAvailable,
                   std::vector<std::filesystem::path> ruleRoots, std::string localeName,
                   QObject* parent = nullptr);
    ~TrayController() override;

    // Adds the icon (only where there is a notification area).
    void create();
    TrayIcon* icon() { return icon_.get(); }

    // A double click on the icon or a second start: the window while the keyboard is open, else
    // the notice of why not.
    void showMainWindow();
    // WM_SHOW_NO_KEYBOARD: wParam 15 shows "No Gaming Keyboard Detected!"; anything else nothing.
    void showNoKeyboard(std::uintptr_t wParam);
    // The keyboard is there but refuses this user: how to get access. Once until it opens, unless
    // the user asks (`again`).
    void showAccessDenied(bool again);
    const QString& lastBalloon() const { return lastBalloon_; }
    // A notice that needs no answer: a balloon of the icon, or a box that does not wait where
    // there is no notification area.
    void showNotice(const QString& text);

    // Sets the menu's items from the files and settings, as each opening of the menu does.
    void refreshMenu();

signals:
    void exitRequested();
    // A profile of the menu was clicked: the owner applies it and sends it to the keyboard.
    void profileChosen(const QString& name);
    void editRulesRequested();

private:
    void onLinkChanged();
    void setAutomaticProfiles(bool on);
    void setStartAtLogin(bool on);
    // Stores the language for the next start.
    void setLanguage(const QString& language);
    // The language the windows show now: "english", "chinese" or another translation's name.
    // A failure the user asked about, in a message box. `english` is marked with QT_TR_NOOP.
    void tellFailure(const char* english, const QString& detail);

    KeyboardService& service_;
    COstraDlg& window_;
    SettingsStore& settings_;
    Prompts& prompts_;
    bool trayAvailable_;
    std::vector<std::filesystem::path> ruleRoots_;
    std::string localeName_;
    std::unique_ptr<TrayIcon> icon_;
    QList<QAction*> profileActions_;  // rebuilt at each opening
    QActionGroup* profileGroup_ = nullptr;
    std::array<QAction*, 3> separators_{};
    QAction* automaticAction_ = nullptr;
    QAction* editRulesAction_ = nullptr;
    QAction* startAtLoginAction_ = nullptr;
    std::unique_ptr<QMenu> languageMenu_;
    struct LanguageAction {
        QString language;
        QString ownName;
        QAction* action;
    };
    std::vector<LanguageAction> languageActions_;
    QAction* aboutAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QString lastBalloon_;
    bool accessNoticeShown_ = false;
    bool wasOpen_ = false;
};

}  // namespace tavrin
