// The widget tests' own main: a private settings folder, the offscreen platform unless another
// one is asked for, then one QApplication for every test.

#include <gtest/gtest.h>

#include <QApplication>

#include "support/TempDir.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // QSettings in the native format must never reach the user's own settings.
    tavrin::test::TempDir config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tavrin Gaming Keyboard"));
    return RUN_ALL_TESTS();
}
