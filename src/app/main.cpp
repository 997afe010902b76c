#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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

// Saves what the window shows, written whole under another name and then renamed: a reader never
// sees half a file.
void SaveScreenshot(QWidget& window, const QString& file) {
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    const bool saved = window.grab().save(part, "PNG") &&
                       (!QFile::exists(file) || QFile::remove(file)) && QFile::rename(part, file);
    std::fprintf(stderr, "tavrin-gaming-keyboard: %s %s\n",
                 saved ? "screenshot written to" : "could not write", qPrintable(file));
}

// "x,y;x,y..." in the window's logical pixels; nothing when any part is not such a point.
std::optional<std::vector<QPoint>> ParseClicks(const QString& text) {
    std::vector<QPoint> points;
    for (const QString& item : text.split(QLatin1Char(';'))) {
        const QStringList xy = item.split(QLatin1Char(','));
        bool xOk = false;
        bool yOk = false;
        const int x = xy.value(0).trimmed().toInt(&xOk);
        const int y = xy.value(1).trimmed().toInt(&yOk);
        if (xy.size() != 2 || !xOk || !yOk || x < 0 || y < 0) {
            return std::nullopt;
        }
        points.emplace_back(x, y);
    }
    return points;
}

// A press and a release of the left button at `at`, handed to the window's window-system
// window as the platform hands its events, so that Qt finds the widget under the point.
void Click(QWidget& window, QPoint at) {
    QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        return;
    }
    const QPointF local(at);
    const QPointF global(window.mapToGlobal(at));
    QMouseEvent move(QEvent::MouseMove, local, local, global, Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QMouseEvent press(QEvent::MouseButtonPress, local, local, global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    std::fprintf(stderr, "tavrin-gaming-keyboard: test click at %d,%d\n", at.x(), at.y());
    for (QMouseEvent* event : {&move, &press, &release}) {
        QCoreApplication::sendEvent(handle, event);
    }
}

// Once the window is on the screen, runs each step so many milliseconds later. Looks every
// 100 ms; the window thread never waits for it.
class WhenShown : public QObject {
public:
    using Step = std::pair<int, std::function<void()>>;

    WhenShown(QWidget& window, std::vector<Step> steps)
        : window_(window), steps_(std::move(steps)) {
        connect(&poll_, &QTimer::timeout, this, &WhenShown::look);
        poll_.start(100);
    }

private:
    void look() {
        const QWindow* handle = window_.windowHandle();
        if (!window_.isVisible() || handle == nullptr || !handle->isExposed()) {
            return;
        }
        poll_.stop();
        for (Step& step : steps_) {
            QTimer::singleShot(step.first, this, std::move(step.second));
        }
    }

    QWidget& window_;
    std::vector<Step> steps_;
    QTimer poll_;
};

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

    // For a display without input devices (the end-to-end tests): TAVRIN_TEST_CLICK="x,y;x,y..."
    // clicks those points of the window, one a second once it is on the screen.
    std::optional<std::vector<QPoint>> testClicks;
    if (const QString text = qEnvironmentVariable("TAVRIN_TEST_CLICK"); !text.isEmpty()) {
        testClicks = ParseClicks(text);
        if (!testClicks) {
            std::fprintf(stderr,
                         "tavrin-gaming-keyboard: TAVRIN_TEST_CLICK is not x,y;x,y...: %s\n",
                         qPrintable(text));
            return 2;
        }
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
    // With TAVRIN_TEST_CLICK the screenshot is taken half a second after the first click.
    std::unique_ptr<WhenShown> clicks;
    if (testClicks) {
        std::vector<WhenShown::Step> steps;
        QWidget& window = program.window();
        for (std::size_t i = 0; i < testClicks->size(); ++i) {
            const QPoint at = (*testClicks)[i];
            steps.emplace_back(1000 * static_cast<int>(i + 1),
                               [&window, at] { Click(window, at); });
        }
        if (!screenshot.isEmpty()) {
            steps.emplace_back(1500, [&window, screenshot] { SaveScreenshot(window, screenshot); });
        }
        clicks = std::make_unique<WhenShown>(window, std::move(steps));
    } else if (!screenshot.isEmpty()) {
        QTimer::singleShot(2500, &program, [&program, screenshot] {
            SaveScreenshot(program.window(), screenshot);
        });
    }
    return app.exec();
}
