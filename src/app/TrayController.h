#pragma once

// The notification-area icon and what it shows: the menu (About, Exit), the way back to the
// window, the no-keyboard balloon and the notice for a keyboard that refuses this user. Without
// a notification area the window itself is the way in, and the notices are message boxes.

#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

class QAction;

namespace tavrin {

class COstraDlg;
class KeyboardService;
class TrayIcon;

class TrayController : public QObject {
    Q_OBJECT

public:
    TrayController(KeyboardService& service, COstraDlg& window, bool trayAvailable,
                   std::vector<std::filesystem::path> ruleRoots, QObject* parent = nullptr);
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

signals:
    void exitRequested();

private:
    void onLinkChanged();

    KeyboardService& service_;
    COstraDlg& window_;
    bool trayAvailable_;
    std::vector<std::filesystem::path> ruleRoots_;
    std::unique_ptr<TrayIcon> icon_;
    QAction* aboutAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QString lastBalloon_;
    bool accessNoticeShown_ = false;
    bool wasOpen_ = false;
};

}  // namespace tavrin
