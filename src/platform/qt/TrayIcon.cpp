#include "platform/qt/TrayIcon.h"

#include <QAction>

namespace tavrin {

TrayIcon::TrayIcon(const QIcon& icon, const QString& tip, QObject* parent)
    : QObject(parent), icon_(icon) {
    icon_.setToolTip(tip);
    menu_.setObjectName(QStringLiteral("trayMenu"));
    icon_.setContextMenu(&menu_);
    connect(&menu_, &QMenu::aboutToShow, this, &TrayIcon::aboutToShowMenu);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
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
