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
    const std::thread::id me = std::this_thread::get_id();
    {
        std::lock_guard lock(shared->mutex);
        if (shared->abandoned.contains(me)) {
            return 0;
        }
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
    shared->changed.wait(lock, [&] { return call->done || shared->abandoned.contains(me); });
    return call->done ? call->result : 0;
}

void CrossThreadMessageSink::post(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    Handler handler = handler_;
    dispatch_([handler, message, wParam, lParam] { handler(message, wParam, lParam); });
}

void CrossThreadMessageSink::abandonSendsFrom(std::thread::id sender) {
    std::lock_guard lock(shared_->mutex);
    shared_->abandoned.insert(sender);
    shared_->changed.notify_all();
}

void CrossThreadMessageSink::resumeSendsFrom(std::thread::id sender) {
    std::lock_guard lock(shared_->mutex);
    shared_->abandoned.erase(sender);
}

}  // namespace tavrin
