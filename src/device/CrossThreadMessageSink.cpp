#include "device/CrossThreadMessageSink.h"

namespace tavrin {

CrossThreadMessageSink::CrossThreadMessageSink(Handler handler, Dispatcher dispatch,
                                               std::thread::id windowThread)
    : handler_(std::move(handler)), dispatch_(std::move(dispatch)), windowThread_(windowThread) {}

std::intptr_t CrossThreadMessageSink::send(std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
    if (std::this_thread::get_id() == windowThread_) {
        return handler_(message, wParam, lParam);
    }
    auto shared = shared_;
    auto call = std::make_shared<Call>();
    unsigned generation = 0;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->abandoned) {
            return 0;
        }
        generation = shared->generation;
    }
    Handler handler = handler_;
    dispatch_([shared, call, handler, message, wParam, lParam] {
        const std::intptr_t result = handler(message, wParam, lParam);
        std::lock_guard lock(shared->mutex);
        call->result = result;
        call->done = true;
        shared->changed.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    shared->changed.wait(lock, [&] { return call->done || shared->generation != generation; });
    return call->done ? call->result : 0;
}

void CrossThreadMessageSink::post(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    Handler handler = handler_;
    dispatch_([handler, message, wParam, lParam] { handler(message, wParam, lParam); });
}

void CrossThreadMessageSink::abandonSends() {
    std::lock_guard lock(shared_->mutex);
    shared_->abandoned = true;
    ++shared_->generation;
    shared_->changed.notify_all();
}

void CrossThreadMessageSink::resumeSends() {
    std::lock_guard lock(shared_->mutex);
    shared_->abandoned = false;
}

}  // namespace tavrin
