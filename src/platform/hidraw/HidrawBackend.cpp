#include "platform/hidraw/HidrawBackend.h"

#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "platform/hidraw/HidrawDevice.h"
#include "platform/hidraw/ReportDescriptorScanner.h"

namespace tavrin {

namespace {

// /dev/hidrawN -> /sys/class/hidraw/hidrawN/device/report_descriptor
std::vector<std::uint8_t> ReadReportDescriptor(const std::string& devicePath) {
    const std::string node = std::filesystem::path(devicePath).filename().string();
    std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
    std::vector<std::uint8_t> bytes;
    if (!in) {
        return bytes;
    }
    // A report descriptor is at most 4096 bytes (HID_MAX_DESCRIPTOR_SIZE).
    bytes.resize(4096);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace

HidrawBackend::HidrawBackend() {
    if (hid_init() != 0) {
        initError_ = "hidapi could not be initialised";
    }
}

HidrawBackend::~HidrawBackend() {
    hid_exit();
}

std::vector<HidInterfaceInfo> HidrawBackend::enumerate() {
    std::vector<HidInterfaceInfo> interfaces;
    markers_.clear();
    hid_device_info* list = hid_enumerate(0, 0);
    std::set<std::string> seen;
    for (const hid_device_info* d = list; d; d = d->next) {
        // hidapi lists a node once per top-level collection; the node is what we open.
        if (!d->path || !seen.insert(d->path).second) {
            continue;
        }
        const std::vector<std::uint8_t> descriptor = ReadReportDescriptor(d->path);
        HidInterfaceInfo info{
            d->path, d->vendor_id, d->product_id,
            ReportDescriptorScanner::InterfaceMarker(d->interface_number, descriptor)};
        markers_[info.path] = info.marker;
        interfaces.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return interfaces;
}

std::unique_ptr<HidDevice> HidrawBackend::open(const std::string& path, std::string& error) {
    hid_device* device = hid_open_path(path.c_str());
    if (!device) {
        const wchar_t* text = hid_error(nullptr);
        error.clear();
        for (; text && *text; ++text) {
            error.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
        }
        if (error.empty()) {
            error = "hid_open_path failed";
        }
        return nullptr;
    }
    // A node that declares report ID 4 numbers all its reports, so the filter can only drop
    // reports that are not event reports; the command interface declares no IDs and is untouched.
    const auto marker = markers_.find(path);
    const bool events =
        marker != markers_.end() && marker->second.find("col04") != std::string::npos;
    return std::make_unique<HidrawDevice>(device, events);
}

bool HidrawBackend::accessDenied(const std::string& path) {
    // hidapi keeps only a text of open()'s errno; ask the file system again.
    return ::access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

}  // namespace tavrin
