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
    TrayIcon(const QIcon& icon, const QString& tip, QObject* parent = nullptr);

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
    void doubleClicked();
    void aboutToShowMenu();

private:
    QMenu menu_;  // before the icon, which refers to it until it goes
    QSystemTrayIcon icon_;
};

}  // namespace tavrin
