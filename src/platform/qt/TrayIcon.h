#pragma once

// The program's icon in the notification area: icon, tip, a context menu of actions the owner
// supplies, a double-click signal and the balloon.

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QAction;

namespace tavrin {

class TrayIcon : public QObject {
    Q_OBJECT

public:
    // How the desktop asks for the program's window. An XEmbed notification area (X11) passes
    // the clicks on, and a double click asks. A StatusNotifierItem host (Plasma, GNOME's
    // AppIndicator extension, the only kind on Wayland) never sends a double click: its primary
    // click, one activation, asks.
    enum class Activation { DoubleClick, Primary };
    // Primary where a StatusNotifierWatcher is on the session bus: Qt then makes the icon a
    // StatusNotifierItem.
    static Activation DesktopActivation();

    TrayIcon(const QIcon& icon, const QString& tip, QObject* parent = nullptr,
             Activation activation = DesktopActivation());

    // Whether the desktop has a notification area to show the icon in.
    static bool available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

    void show() { icon_.show(); }
    void hide() { icon_.hide(); }
    bool isVisible() const { return icon_.isVisible(); }

    QString toolTip() const { return icon_.toolTip(); }

    // The context menu holds exactly these actions, in this order; the icon does not own them.
    // aboutToShowMenu lets the owner set their texts each time the menu opens.
    void setMenuActions(const QList<QAction*>& actions);
    QMenu& menu() { return menu_; }

    void showBalloon(const QString& title, const QString& message,
                     QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::Warning,
                     int milliseconds = 10000);

    QSystemTrayIcon& native() { return icon_; }

signals:
    // The way back to the window: a double click, or a host's primary activation.
    void doubleClicked();
    void aboutToShowMenu();

private:
    QMenu menu_;  // before the icon, which refers to it until it goes
    QSystemTrayIcon icon_;
};

}  // namespace tavrin
