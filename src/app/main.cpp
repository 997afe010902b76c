#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/AppOptions.h"
#include "app/COstraApp.h"
#include "app/SingleInstance.h"
#include "ui/main/COstraDlg.h"

namespace {

// For the benchmarks: ends the process at once when the first window has painted.
class FirstFrameExit : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

void PrintResidentMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                std::printf("%s\n", line.constData());
            }
        }
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // TAVRIN_BENCH_EXIT=first-frame ends at the first painted frame; =started prints the resident
    // memory once start-up has settled and ends.
    const QByteArray benchExit = qgetenv("TAVRIN_BENCH_EXIT");
    FirstFrameExit firstFrameExit;
    if (benchExit == "first-frame") {
        app.installEventFilter(&firstFrameExit);
    }
    // The settings key the program has always used.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin Game Keyboard"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Gaming Keyboard"));
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));

    QString error;
    const auto options = tavrin::ParseAppOptions(QCoreApplication::arguments(), error);
    if (!options) {
        // Help and the version were asked for: standard output, and success.
        const bool asked = error.contains(QStringLiteral("--help")) ||
                           error.startsWith(QStringLiteral("tavrin-gaming-keyboard "));
        std::fprintf(asked ? stdout : stderr, "%s\n", qPrintable(error));
        return asked ? 0 : 2;
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
    if (benchExit == "started") {
        QTimer::singleShot(1500, [] {
            PrintResidentMemory();
            std::_Exit(0);
        });
    }
    // For a machine without a screen: TAVRIN_SCREENSHOT=<file.png> saves the window once it has
    // settled, so that a person can look at what the program shows.
    const QString screenshot = qEnvironmentVariable("TAVRIN_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(2500, &program, [&program, screenshot] {
            // Written whole under another name, then renamed: a reader never sees half a file.
            const QString part = screenshot + QStringLiteral(".part");
            QFile::remove(part);
            const bool saved = program.window().grab().save(part, "PNG") &&
                               (!QFile::exists(screenshot) || QFile::remove(screenshot)) &&
                               QFile::rename(part, screenshot);
            std::fprintf(stderr, "tavrin-gaming-keyboard: %s %s\n",
                         saved ? "screenshot written to" : "could not write",
                         qPrintable(screenshot));
        });
    }
    return app.exec();
}
