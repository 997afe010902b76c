#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>

#include "platform/qt/TrayIcon.h"

namespace tavrin {
namespace {

TEST(TrayIcon, DoubleClickAloneIsReported) {
    TrayIcon icon(QIcon(), QStringLiteral("Tavrin Gaming Keyboard"), nullptr,
                  TrayIcon::Activation::DoubleClick);
    QSignalSpy doubleClicks(&icon, &TrayIcon::doubleClicked);
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick}) {
        emit icon.native().activated(reason);
    }
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(icon.toolTip(), QStringLiteral("Tavrin Gaming Keyboard"));
}

// A StatusNotifierItem host sends one activation for its primary click and never a double
// click: that activation is the way back to the window, and nothing else is.
TEST(TrayIcon, AStatusNotifierHostsPrimaryActivationAlone) {
    TrayIcon icon(QIcon(), QStringLiteral("Tavrin Gaming Keyboard"), nullptr,
                  TrayIcon::Activation::Primary);
    QSignalSpy asked(&icon, &TrayIcon::doubleClicked);
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick,
                        QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Trigger}) {
        emit icon.native().activated(reason);
    }
    EXPECT_EQ(asked.count(), 1);
}

TEST(TrayIcon, MenuHoldsTheGivenActionsInOrderAndAnnouncesItsOpening) {
    QAction about(QStringLiteral("About Ostra..."));
    QAction exit(QStringLiteral("Exit"));
    TrayIcon icon(QIcon(), QStringLiteral("Tavrin Gaming Keyboard"));
    icon.setMenuActions({&about, &exit});
    icon.setMenuActions({&about, &exit});  // set again: not doubled, and the actions survive
    EXPECT_EQ(icon.menu().actions(), (QList<QAction*>{&about, &exit}));
    EXPECT_EQ(icon.native().contextMenu(), &icon.menu());
    QSignalSpy opening(&icon, &TrayIcon::aboutToShowMenu);
    emit icon.menu().aboutToShow();
    EXPECT_EQ(opening.count(), 1);
}

}  // namespace
}  // namespace tavrin
