#pragma once

// Drives a KeyboardConnection from a test thread that stands for the window's: it queues work,
// waits (bounded) until the command worker is idle, and takes reads into a model as the keyboard
// service does. It records what the worker told, in order.

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/KeyboardConnection.h"

namespace tavrin::test {

class LinkDriver final : public KeyboardListener {
public:
    LinkDriver(HidBackend& backend, Clock& clock, MessageSink& sink,
               std::filesystem::path versionDir);
    ~LinkDriver() override;

    KeyboardConnection& connection() { return *connection_; }

    // Each queues its work, waits until the worker is idle and takes what was read into `model`.
    void start(Model& model);
    void deviceChanged(const HotplugEvent& event, Model& model);
    LinkResult apply(Model& model);           // on success the saved copy becomes what was sent
    KeyboardRead factoryReset(Model& model);  // the model becomes the keyboard's on success
    // Waits (bounded) until the worker has nothing queued or running.
    bool waitIdle();

    // What the worker told so far, in order: "link c1 e1 d0", "read Startup ok", "read failed",
    // "event opened".
    std::vector<std::string> told();
    void clearTold();
    LinkStatus status();
    std::thread::id workerThread();
    // Reads not yet taken into a model.
    std::vector<KeyboardRead> takeReads();

    void linkChanged(const LinkStatus& status) override;
    void settingsRead(const KeyboardRead& read) override;
    void eventInterfaceOpened() override;

private:
    void takeInto(Model& model);

    std::mutex mutex_;
    std::vector<std::string> told_;
    std::vector<KeyboardRead> reads_;
    LinkStatus status_;
    std::thread::id worker_;
    std::unique_ptr<KeyboardConnection> connection_;
};

}  // namespace tavrin::test
