#include "platform/hidraw/UdevMonitor.h"

#include <fcntl.h>
#include <libudev.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavrin {

namespace {

std::optional<std::uint16_t> HexAttribute(udev_device* device, const char* name) {
    const char* text = udev_device_get_sysattr_value(device, name);
    if (!text) {
        return std::nullopt;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (end == text || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<UdevMonitor::Ids> UdevMonitor::UsbIds(udev_device* device) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (!usb) {
        return std::nullopt;
    }
    const auto vendor = HexAttribute(usb, "idVendor");
    const auto product = HexAttribute(usb, "idProduct");
    if (!vendor || !product) {
        return std::nullopt;
    }
    return Ids{*vendor, *product};
}

UdevMonitor::UdevMonitor() {
    udev_ = udev_new();
    if (!udev_) {
        error_ = "udev_new failed";
        return;
    }
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_) {
        error_ = "cannot open the udev netlink monitor";
        return;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        error_ = "cannot start the udev monitor";
        return;
    }
    fd_ = udev_monitor_get_fd(monitor_);
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) < 0) {
        error_ = std::string("udev monitor: ") + std::strerror(errno);
        return;
    }

    // The nodes present now, so that their removal can be told apart later.
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (enumerate && udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 &&
        udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            const char* syspath = udev_list_entry_get_name(entry);
            if (udev_device* device = udev_device_new_from_syspath(udev_, syspath)) {
                if (const auto ids = UsbIds(device)) {
                    known_[syspath] = *ids;
                }
                udev_device_unref(device);
            }
        }
    }
    if (enumerate) {
        udev_enumerate_unref(enumerate);
    }
}

UdevMonitor::~UdevMonitor() {
    if (monitor_) {
        udev_monitor_unref(monitor_);
    }
    if (udev_) {
        udev_unref(udev_);
    }
}

std::vector<HotplugEvent> UdevMonitor::drain() {
    std::vector<HotplugEvent> events;
    if (!ok()) {
        return events;
    }
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* syspath = udev_device_get_syspath(device);
        const std::string path = syspath ? syspath : "";
        HotplugEvent event;
        bool wanted = false;
        // "change" is what `udevadm trigger` sends once a new rule has given the user access: a
        // keyboard that could not be opened before may be opened now.
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "change") == 0)) {
            event.kind = HotplugEvent::Kind::Arrival;
            if (const auto ids = UsbIds(device)) {
                known_[path] = *ids;
                event.vendorId = ids->first;
                event.productId = ids->second;
            }
            wanted = true;
        } else if (action && std::strcmp(action, "remove") == 0) {
            event.kind = HotplugEvent::Kind::Removal;
            if (const auto it = known_.find(path); it != known_.end()) {
                event.vendorId = it->second.first;
                event.productId = it->second.second;
                known_.erase(it);
            }
            wanted = true;
        }
        udev_device_unref(device);
        if (wanted) {
            events.push_back(event);
        }
    }
    return events;
}

}  // namespace tavrin
