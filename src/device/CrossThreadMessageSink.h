#pragma once

// A MessageSink for a window that lives on one thread and runs queued tasks in its event loop.
// send() from the window's own thread calls the handler directly; from any other thread it queues
// the call and waits for it, unless abandonSends() releases the wait (the window's thread is then
// busy waiting for that very worker).

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
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
    void abandonSends() override;
    void resumeSends() override;

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        bool abandoned = false;
        unsigned generation = 0;  // bumped by abandonSends so that waiting sends see it
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
