#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "device/CrossThreadMessageSink.h"

namespace tavrin {
namespace {

// A window thread's event loop, reduced to a queue that the test thread runs.
class EventLoop {
public:
    void dispatch(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        changed_.notify_all();
    }
    // Runs queued tasks until `done` holds (bounded, a safety net only).
    void runUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 10000 && !done(); ++i) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                changed_.wait_for(lock, std::chrono::milliseconds(1),
                                  [&] { return !tasks_.empty(); });
                if (tasks_.empty()) {
                    continue;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }
    std::size_t pending() {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
};

TEST(MessageSinkThreads, SendFromAWorkerWaitsForTheHandlerOnTheWindowThread) {
    EventLoop loop;
    const auto window = std::this_thread::get_id();
    std::thread::id handledOn;
    CrossThreadMessageSink sink(
        [&](std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
            handledOn = std::this_thread::get_id();
            return static_cast<std::intptr_t>(message + wParam);
        },
        [&](std::function<void()> task) { loop.dispatch(std::move(task)); });

    std::atomic<std::intptr_t> result{-1};
    std::thread worker([&] { result = sink.send(0x778, 0x41, 0); });
    loop.runUntil([&] { return result != -1; });
    worker.join();

    EXPECT_EQ(result, 0x778 + 0x41);
    EXPECT_EQ(handledOn, window);
    // On the window's own thread the handler runs at once.
    EXPECT_EQ(sink.send(1, 2, 0), 3);
}

TEST(MessageSinkThreads, AbandonedSendsReturnWithoutDelivery) {
    EventLoop loop;
    int handled = 0;
    CrossThreadMessageSink sink(
        [&](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{++handled}; },
        [&](std::function<void()> task) { loop.dispatch(std::move(task)); });

    std::atomic<bool> returned{false};
    std::thread worker([&] {
        sink.send(0x784, 0, 0);
        returned = true;
    });
    while (loop.pending() == 0) {
        std::this_thread::yield();
    }
    sink.abandonSends();  // the window thread now waits for the worker instead of running tasks
    worker.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(sink.send(0x77B, 0, 0), 1) << "the window thread itself still gets through";

    std::thread late([&] { EXPECT_EQ(sink.send(0x784, 0, 0), 0); });
    late.join();
    sink.resumeSends();
    // The stale task may still run; it finds nobody waiting and does no harm.
    loop.runUntil([&] { return loop.pending() == 0; });
    EXPECT_EQ(handled, 2);
}

}  // namespace
}  // namespace tavrin
