#include "sim/VirtualHidLinkWatcher.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sim/VirtualHidLinkWire.h"

namespace tavrin {

VirtualHidLinkWatcher::~VirtualHidLinkWatcher() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::vector<HotplugEvent> VirtualHidLinkWatcher::poll() {
    std::vector<HotplugEvent> events;
    if (fd_ >= 0) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0) {
            char byte = 0;
            if (::recv(fd_, &byte, 1, MSG_DONTWAIT) <= 0) {
                ::close(fd_);
                fd_ = -1;
                events.push_back({HotplugEvent::Kind::Removal, std::nullopt, std::nullopt});
            }
        }
    }
    if (fd_ < 0) {
        std::string error;
        fd_ = link::ConnectTo(socketPath_, error);
        if (fd_ >= 0) {
            events.push_back({HotplugEvent::Kind::Arrival, std::nullopt, std::nullopt});
        }
    }
    return events;
}

}  // namespace tavrin
