#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>

#include "platform/qt/TrayIcon.h"

namespace tavrin {
namespace {

TEST(TrayIcon, DoubleClickAloneIsReported) {
    TrayIcon icon(QIcon(), QStringLiteral("Tavrin Gaming Keyboard"));
    QSignalSpy doubleClicks(&icon, &TrayIcon::doubleClicked);
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::DoubleClick}) {
        emit icon.native().activated(reason);
    }
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(icon.toolTip(), QStringLiteral("Tavrin Gaming Keyboard"));
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
