#pragma once

// Runs the event loop until `done` holds; bounded, as a safety net only.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace tavrin::test {

inline bool RunUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

}  // namespace tavrin::test
