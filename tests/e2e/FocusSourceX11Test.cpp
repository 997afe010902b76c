// The focused application from a real X server (Xvfb, without a window manager: the test
// announces the focus on the root window itself, as a window manager would). Run by
// app/on_xvfb.sh.

#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>
#include <atomic>
#include <thread>

#include "X11Windows.h"
#include "automation/ActiveApplicationSources.h"

namespace tavrin {
namespace {

class FocusSourceX11 : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.ok()) << "no X server";
        game = x.make(XCB_NONE, 0, 0, 100, 100);
        x.setClass(game, "fpsgame", "FpsGame");
        x.setPid(game, static_cast<std::uint32_t>(getpid()));
        chat = x.make(XCB_NONE, 200, 0, 100, 100);
        x.setClass(chat, "chatwin", "ChatWin");
        x.setActive(XCB_NONE);
        x.sync();
        QObject::connect(&source, &X11FocusSource::focusChanged,
                         [this](const ActiveApplication& focused) {
                             last = focused;
                             ++reports;
                         });
        QString error;
        ASSERT_TRUE(source.start(error)) << error.toStdString();
    }

    // Waits until a report after the first `seen` has come.
    bool reportAfter(int seen) {
        return QTest::qWaitFor([&] { return reports > seen; }, 5000);
    }

    X11Windows x;
    xcb_window_t game = XCB_NONE;
    xcb_window_t chat = XCB_NONE;
    X11FocusSource source;
    ActiveApplication last{QStringLiteral("not reported"), {}, {}};
    int reports = 0;
};

TEST_F(FocusSourceX11, ReportsTheFocusedWindowsApplication) {
    EXPECT_EQ(reports, 1) << "the focus at the start";
    EXPECT_EQ(last, ActiveApplication{});
    const QString ownExe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const xcb_window_t gone = x.make(XCB_NONE, 400, 0, 50, 50);
    x.destroy(gone);
    struct Case {
        const char* name;
        xcb_window_t window;
        ActiveApplication expected;
    };
    const Case cases[] = {
        {"a window with its process", game, {ownExe, "fpsgame", "FpsGame"}},
        {"a window without _NET_WM_PID", chat, {{}, "chatwin", "ChatWin"}},
        {"the desktop", XCB_NONE, {}},
        {"a window that no longer exists", gone, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int seen = reports;
        x.setActive(c.window);
        ASSERT_TRUE(reportAfter(seen));
        EXPECT_EQ(last, c.expected);
    }
}

// A change that arrives while the source waits for the X server's answer about the one before
// must not wait for some later event: Alt-Tab ends on a window, and that window is reported.
TEST_F(FocusSourceX11, TheLastOfAQuickRunOfChangesIsReported) {
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        const xcb_window_t final = round % 2 == 0 ? chat : game;
        std::atomic<bool> done = false;
        std::thread flicker([&] {
            X11Windows other;
            for (int i = 0; i < 200; ++i) {
                other.setActive(i % 2 == 0 ? game : chat);
            }
            other.setActive(final);
            other.sync();
            done = true;
        });
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        flicker.join();
        QTest::qWait(300);  // nothing more comes from the X server: only what was sent counts
        EXPECT_EQ(last.instance.toStdString(), final == chat ? "chatwin" : "fpsgame");
    }
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
