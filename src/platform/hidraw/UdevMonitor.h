#pragma once

// Hot-plug on Linux: a libudev monitor on the "udev" netlink source (so that device nodes and
// their permissions exist when an event arrives), subsystem "hidraw". The event loop watches fd()
// and calls drain() whenever it is readable; every pending event is returned, each with the vendor
// and product ID of its USB parent. A removed node's IDs come from what was seen at its arrival
// (or at start), since sysfs is gone by then.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/HotplugEvent.h"

struct udev;
struct udev_device;
struct udev_monitor;

namespace tavrin {

class UdevMonitor {
public:
    UdevMonitor();
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    int fd() const { return fd_; }
    std::vector<HotplugEvent> drain();

private:
    using Ids = std::pair<std::uint16_t, std::uint16_t>;
    static std::optional<Ids> UsbIds(udev_device* device);

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int fd_ = -1;
    std::string error_;
    std::map<std::string, Ids> known_;  // syspath -> USB IDs of the nodes present
};

}  // namespace tavrin
