#pragma once

// Hot-plug for the virtual HID link: the keyboard listening is an arrival, its closing the
// connections a removal. The watcher keeps one idle connection while the keyboard is there, so a
// removal shows as that connection's end. Call poll() from a timer (a few times a second).

#include <string>
#include <vector>

#include "device/HotplugEvent.h"

namespace tavrin {

class VirtualHidLinkWatcher {
public:
    explicit VirtualHidLinkWatcher(std::string socketPath) : socketPath_(std::move(socketPath)) {}
    ~VirtualHidLinkWatcher();
    VirtualHidLinkWatcher(const VirtualHidLinkWatcher&) = delete;
    VirtualHidLinkWatcher& operator=(const VirtualHidLinkWatcher&) = delete;

    // The events since the last call; the first call reports an arrival if the keyboard is there.
    std::vector<HotplugEvent> poll();
    // The idle connection's descriptor (-1 when absent): readable when the keyboard goes.
    int fd() const { return fd_; }

private:
    std::string socketPath_;
    int fd_ = -1;
};

}  // namespace tavrin
