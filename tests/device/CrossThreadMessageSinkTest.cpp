#include <gtest/gtest.h>

#include <future>

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

TEST(MessageSinkThreads, AbandoningOneWorkerReleasesItAndNoOtherSender) {
    EventLoop loop;
    std::atomic<int> handled{0};
    CrossThreadMessageSink sink(
        [&](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{++handled}; },
        [&](std::function<void()> task) { loop.dispatch(std::move(task)); });

    std::atomic<bool> returned{false};
    std::atomic<bool> release{false};
    std::promise<std::thread::id> stuckId;
    std::thread stuck([&] {
        stuckId.set_value(std::this_thread::get_id());
        sink.send(0x784, 0, 0);
        returned = true;
        // Stay alive, so that no later thread takes over this thread's id.
        while (!release) {
            std::this_thread::yield();
        }
    });
    const std::thread::id stuckThread = stuckId.get_future().get();
    while (loop.pending() == 0) {
        std::this_thread::yield();
    }
    // The window thread now waits for that worker instead of running tasks.
    sink.abandonSendsFrom(stuckThread);
    while (!returned) {
        std::this_thread::yield();
    }
    EXPECT_EQ(sink.send(0x77B, 0, 0), 1) << "the window thread itself still gets through";

    // Another worker (a reader handing over its result, say) is not abandoned with it.
    std::atomic<std::intptr_t> other{-1};
    std::thread reader([&] { other = sink.send(0x77B, 0, 0); });
    loop.runUntil([&] { return other != -1; });
    reader.join();
    EXPECT_GE(other, 2) << "the other sender's message was delivered";

    release = true;
    stuck.join();
    sink.resumeSendsFrom(stuckThread);
    // The stale task may still run; it finds nobody waiting and does no harm.
    loop.runUntil([&] { return loop.pending() == 0; });
}

}  // namespace
}  // namespace tavrin
