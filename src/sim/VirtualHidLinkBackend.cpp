#include "sim/VirtualHidLinkBackend.h"

#include <unistd.h>

#include "sim/VirtualHidLinkDevice.h"
#include "sim/VirtualHidLinkWire.h"

namespace tavrin {

using namespace link;

std::vector<HidInterfaceInfo> VirtualHidLinkBackend::enumerate() {
    std::vector<HidInterfaceInfo> interfaces;
    std::string error;
    const int fd = ConnectTo(socketPath_, error);
    if (fd < 0) {
        return interfaces;  // not listening: unplugged
    }
    std::vector<std::uint8_t> buffer;
    std::optional<Frame> answer;
    if (SendAll(fd, Encode(Frame{kDescribe, 0, {}})) == IoStatus::Ok) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
        bool bad = false;
        while (!answer && !bad) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || ReceiveSome(fd, buffer, left) != IoStatus::Ok) {
                break;
            }
            answer = TakeFrame(buffer, bad);
        }
    }
    ::close(fd);
    if (!answer || answer->op != kDescription || answer->payload.size() < 5) {
        return interfaces;
    }
    const auto& p = answer->payload;
    const std::uint16_t vendor = ReadLe16(p, 0);
    const std::uint16_t product = ReadLe16(p, 2);
    const std::size_t count = p[4];
    std::size_t at = 5;
    for (std::size_t i = 0; i < count; ++i) {
        if (at >= p.size() || at + 1 + p[at] > p.size()) {
            return {};  // a truncated description describes nothing reliably
        }
        const std::size_t length = p[at];
        std::string marker(p.begin() + static_cast<std::ptrdiff_t>(at + 1),
                           p.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
        interfaces.push_back({socketPath_ + "#" + std::to_string(i), vendor, product, marker});
        at += 1 + length;
    }
    return interfaces;
}

std::unique_ptr<HidDevice> VirtualHidLinkBackend::open(const std::string& path,
                                                       std::string& error) {
    const auto hash = path.rfind('#');
    if (hash == std::string::npos || path.substr(0, hash) != socketPath_ ||
        hash + 1 >= path.size()) {
        error = "not an interface of " + socketPath_ + ": " + path;
        return nullptr;
    }
    int index = 0;
    for (std::size_t i = hash + 1; i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9' || index > 255) {
            error = "bad interface index in " + path;
            return nullptr;
        }
        index = index * 10 + (path[i] - '0');
    }
    if (index > 255) {
        error = "bad interface index in " + path;
        return nullptr;
    }
    return VirtualHidLinkDevice::Connect(socketPath_, static_cast<std::uint8_t>(index), error);
}

}  // namespace tavrin
