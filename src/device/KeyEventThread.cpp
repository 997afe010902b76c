#include "device/KeyEventThread.h"

#include <array>

#include "device/KeyboardProtocol.h"
#include "device/WindowMessages.h"

namespace tavrin {

using namespace protocol;

KeyEventThread::KeyEventThread(HidDevice& eventDevice, MessageSink& sink, Clock& clock)
    : device_(eventDevice), sink_(sink), clock_(clock) {}

KeyEventThread::~KeyEventThread() {
    requestStop();
    join();
}

void KeyEventThread::start() {
    if (thread_.joinable()) {
        return;
    }
    stop_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void KeyEventThread::join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void KeyEventThread::run() {
    while (!stop_.load()) {
        // One byte beyond the report tells an over-long report from a proper one.
        std::array<std::uint8_t, kEventReportSize + 1> buffer{};
        buffer[0] = kEventReportId;
        const HidResult result = device_.read(buffer, kEventPollInterval);
        if (result.status == HidStatus::Ok) {
            if (result.bytes == kEventReportSize && buffer[0] == kEventReportId &&
                buffer[kEventKindByte] != kIgnoredEventKind && !stop_.load()) {
                sink_.send(WM_KEYBOARD_EVENT, buffer[kEventCodeByte], 0);
            }
            continue;
        }
        if (result.status == HidStatus::Timeout) {
            continue;
        }
        if (result.status == HidStatus::Disconnected) {
            sawDisconnect_ = true;
            sink_.send(WM_KEYBOARD_LOST, 0, 0);
        }
        // A failing read returns at once; pace the retries as a read that waited would.
        clock_.sleep(kEventPollInterval);
    }
    running_ = false;
    clock_.sleep(std::chrono::milliseconds(10));
}

}  // namespace tavrin
