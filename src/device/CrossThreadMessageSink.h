#pragma once

// A MessageSink for a window that lives on one thread and runs queued tasks in its event loop.
// send() from the window's own thread calls the handler directly; from any other thread it queues
// the call and waits for it, unless abandonSendsFrom() releases that sender (the window's thread is
// then busy waiting for that very worker).

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "device/MessageSink.h"

namespace tavrin {

class CrossThreadMessageSink final : public MessageSink {
public:
    using Handler = std::function<std::intptr_t(std::uint32_t, std::uintptr_t, std::intptr_t)>;
    // Runs the task later on the window's thread (a queued call into its event loop).
    using Dispatcher = std::function<void(std::function<void()>)>;

    CrossThreadMessageSink(Handler handler, Dispatcher dispatch,
                           std::thread::id windowThread = std::this_thread::get_id());

    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void abandonSendsFrom(std::thread::id sender) override;
    void resumeSendsFrom(std::thread::id sender) override;

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::set<std::thread::id> abandoned;
    };
    struct Call {
        bool done = false;
        std::intptr_t result = 0;
    };

    Handler handler_;
    Dispatcher dispatch_;
    std::thread::id windowThread_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace tavrin
