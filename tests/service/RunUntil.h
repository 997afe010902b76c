#pragma once

// Runs the event loop until `done` holds, at most `limitMs`; or for a time, to see that nothing
// happens in it.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace tavrin::test {

inline bool RunUntil(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

inline void RunFor(int ms) {
    RunUntil([] { return false; }, ms);
}

}  // namespace tavrin::test
