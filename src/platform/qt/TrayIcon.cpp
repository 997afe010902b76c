#include "platform/qt/TrayIcon.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace tavrin {

TrayIcon::Activation TrayIcon::DesktopActivation() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const bool watcher =
        bus != nullptr &&
        bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
    return watcher ? Activation::Primary : Activation::DoubleClick;
}

TrayIcon::TrayIcon(const QIcon& icon, const QString& tip, QObject* parent, Activation activation)
    : QObject(parent), icon_(icon) {
    icon_.setToolTip(tip);
    menu_.setObjectName(QStringLiteral("trayMenu"));
    icon_.setContextMenu(&menu_);
    connect(&menu_, &QMenu::aboutToShow, this, &TrayIcon::aboutToShowMenu);
    const QSystemTrayIcon::ActivationReason asks =
        activation == Activation::Primary ? QSystemTrayIcon::Trigger : QSystemTrayIcon::DoubleClick;
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this, asks](QSystemTrayIcon::ActivationReason reason) {
                if (reason == asks) {
                    emit doubleClicked();
                }
            });
}

void TrayIcon::setMenuActions(const QList<QAction*>& actions) {
    menu_.clear();
    menu_.addActions(actions);
}

void TrayIcon::showBalloon(const QString& title, const QString& message,
                           QSystemTrayIcon::MessageIcon icon, int milliseconds) {
    icon_.showMessage(title, message, icon, milliseconds);
}

}  // namespace tavrin
