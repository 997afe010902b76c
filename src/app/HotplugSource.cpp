#include "app/HotplugSource.h"

#include <QSocketNotifier>

#include "platform/hidraw/UdevMonitor.h"
#include "sim/VirtualHidLinkWatcher.h"

namespace tavrin {

namespace {

constexpr int kLinkPollMs = 250;

}  // namespace

HotplugSource::HotplugSource(Kind kind, std::string socketPath, QObject* parent)
    : QObject(parent), kind_(kind), socketPath_(std::move(socketPath)) {}

HotplugSource::~HotplugSource() {
    linkPoll_.stop();
    delete notifier_;
}

bool HotplugSource::start(std::string& error) {
    switch (kind_) {
        case Kind::None:
            return true;  // the in-process keyboard stays plugged in
        case Kind::VirtualLink:
            linkWatcher_ = std::make_unique<VirtualHidLinkWatcher>(socketPath_);
            static_cast<void>(
                linkWatcher_->poll());  // the keyboard found at start-up is no arrival
            connect(&linkPoll_, &QTimer::timeout, this, [this] {
                for (const HotplugEvent& e : linkWatcher_->poll()) {
                    emit deviceChanged(e);
                }
            });
            linkPoll_.start(kLinkPollMs);
            return true;
        case Kind::Udev:
            break;
    }
    monitor_ = std::make_unique<UdevMonitor>();
    if (!monitor_->ok()) {
        error = monitor_->error();
        monitor_.reset();
        return false;
    }
    notifier_ = new QSocketNotifier(monitor_->fd(), QSocketNotifier::Read);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        for (const HotplugEvent& e : monitor_->drain()) {
            emit deviceChanged(e);
        }
    });
    return true;
}

}  // namespace tavrin
