#include <QApplication>
#include <cstdio>

#include "app/AppOptions.h"
#include "app/COstraApp.h"
#include "app/SingleInstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The settings key the program has always used.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin Game Keyboard"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Gaming Keyboard"));
    QApplication::setQuitOnLastWindowClosed(false);

    QString error;
    const auto options = tavrin::ParseAppOptions(QCoreApplication::arguments(), error);
    if (!options) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.contains(QStringLiteral("--help")) ? 0 : 2;
    }

    tavrin::SingleInstance instance;
    if (instance.activateRunningInstance()) {
        return 0;
    }
    if (!instance.listen()) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: cannot listen for a second start\n");
    }

    tavrin::COstraApp program(*options);
    QObject::connect(&instance, &tavrin::SingleInstance::showRequested, &program,
                     &tavrin::COstraApp::showMainWindow);
    QObject::connect(&program, &tavrin::COstraApp::quitRequested, &app, &QCoreApplication::quit);
    if (!program.start(error)) {
        std::fprintf(stderr, "tavrin-gaming-keyboard: %s\n", qPrintable(error));
        return 1;
    }
    return app.exec();
}
