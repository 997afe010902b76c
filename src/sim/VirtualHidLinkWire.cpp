#include "sim/VirtualHidLinkWire.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavrin::link {

std::vector<std::uint8_t> Encode(const Frame& frame) {
    std::vector<std::uint8_t> bytes(kHeaderSize + frame.payload.size());
    bytes[0] = frame.op;
    bytes[1] = frame.iface;
    WriteLe16(bytes, 2, static_cast<std::uint16_t>(frame.payload.size()));
    std::copy(frame.payload.begin(), frame.payload.end(), bytes.begin() + kHeaderSize);
    return bytes;
}

Frame StatusFrame(std::uint8_t iface, std::int32_t value) {
    Frame frame{kStatus, iface, std::vector<std::uint8_t>(4)};
    WriteLe32(frame.payload, 0, value);
    return frame;
}

std::optional<Frame> TakeFrame(std::vector<std::uint8_t>& buffer, bool& bad) {
    if (buffer.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = ReadLe16(buffer, 2);
    if (length > kMaxPayload) {
        bad = true;
        return std::nullopt;
    }
    if (buffer.size() < kHeaderSize + length) {
        return std::nullopt;
    }
    Frame frame{buffer[0],
                buffer[1],
                {buffer.begin() + kHeaderSize,
                 buffer.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + length)}};
    buffer.erase(buffer.begin(),
                 buffer.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + length));
    return frame;
}

IoStatus SendAll(int fd, ConstByteSpan bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno == EPIPE || errno == ECONNRESET ? IoStatus::Closed : IoStatus::Error;
        }
        done += static_cast<std::size_t>(n);
    }
    return IoStatus::Ok;
}

IoStatus ReceiveSome(int fd, std::vector<std::uint8_t>& buffer, std::chrono::milliseconds timeout) {
    pollfd p{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return IoStatus::Error;
    }
    if (ready == 0) {
        return IoStatus::Timeout;
    }
    std::uint8_t chunk[4096];
    ssize_t n = 0;
    do {
        n = ::recv(fd, chunk, sizeof chunk, 0);
    } while (n < 0 && errno == EINTR);
    if (n == 0) {
        return IoStatus::Closed;
    }
    if (n < 0) {
        return errno == ECONNRESET ? IoStatus::Closed : IoStatus::Error;
    }
    buffer.insert(buffer.end(), chunk, chunk + n);
    return IoStatus::Ok;
}

int ConnectTo(const std::string& path, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + path;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = "connect " + path + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string HexBytes(ConstByteSpan bytes) {
    std::string text;
    char two[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        if (i > 0) {
            text += ' ';
        }
        text += two;
    }
    return text;
}

}  // namespace tavrin::link
