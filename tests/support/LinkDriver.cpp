#include "support/LinkDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "model/LocalFiles.h"

namespace tavrin::test {

LinkDriver::LinkDriver(HidBackend& backend, Clock& clock, MessageSink& sink,
                       std::filesystem::path versionDir)
    : connection_(std::make_unique<KeyboardConnection>(
          backend, clock, sink, *this, [dir = std::move(versionDir)](std::uint8_t layout) {
              return ReadVersionFile(dir, layout);
          })) {}

LinkDriver::~LinkDriver() {
    connection_.reset();
}

bool LinkDriver::waitIdle() {
    // Real time, bounded: the worker runs on the test's manual clock and never really waits.
    for (int i = 0; i < 20000; ++i) {
        if (connection_->idle()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void LinkDriver::takeInto(Model& model) {
    for (const KeyboardRead& read : takeReads()) {
        TakeRead(model, read);
    }
    const LinkStatus s = status();
    model.layoutVariant = std::max(model.layoutVariant, s.layoutVariant);
    if (!s.devicePath.empty()) {
        model.devicePath = s.devicePath;
    }
}

void LinkDriver::start(Model& model) {
    connection_->start(model.settings);
    EXPECT_TRUE(waitIdle());
    takeInto(model);
}

void LinkDriver::deviceChanged(const HotplugEvent& event, Model& model) {
    connection_->deviceChanged(event, model.settings);
    EXPECT_TRUE(waitIdle());
    takeInto(model);
}

LinkResult LinkDriver::apply(Model& model) {
    std::promise<LinkResult> done;
    const SettingsBlock sent = model.settings;
    connection_->applySettings(sent, model.savedSettings,
                               [&](const LinkResult& r) { done.set_value(r); });
    const LinkResult result = done.get_future().get();
    if (result) {
        model.savedSettings = sent;
    }
    return result;
}

KeyboardRead LinkDriver::factoryReset(Model& model) {
    std::promise<KeyboardRead> done;
    connection_->factoryReset(model.settings, [&](const KeyboardRead& r) { done.set_value(r); });
    const KeyboardRead read = done.get_future().get();
    if (read.result) {
        model.settings = read.settings;
        model.savedSettings = read.settings;
    }
    return read;
}

std::vector<std::string> LinkDriver::told() {
    std::lock_guard lock(mutex_);
    return told_;
}

void LinkDriver::clearTold() {
    std::lock_guard lock(mutex_);
    told_.clear();
}

LinkStatus LinkDriver::status() {
    std::lock_guard lock(mutex_);
    return status_;
}

std::thread::id LinkDriver::workerThread() {
    std::lock_guard lock(mutex_);
    return worker_;
}

std::vector<KeyboardRead> LinkDriver::takeReads() {
    std::lock_guard lock(mutex_);
    return std::exchange(reads_, {});
}

void LinkDriver::linkChanged(const LinkStatus& status) {
    std::lock_guard lock(mutex_);
    worker_ = std::this_thread::get_id();
    status_ = status;
    told_.push_back(std::string("link c") + (status.commandOpen ? "1" : "0") + " e" +
                    (status.eventOpen ? "1" : "0") + " d" + (status.accessDenied ? "1" : "0"));
}

void LinkDriver::settingsRead(const KeyboardRead& read) {
    std::lock_guard lock(mutex_);
    worker_ = std::this_thread::get_id();
    told_.push_back(read.result ? "read ok" : "read failed");
    reads_.push_back(read);
}

void LinkDriver::eventInterfaceOpened() {
    std::lock_guard lock(mutex_);
    told_.push_back("event opened");
}

}  // namespace tavrin::test
