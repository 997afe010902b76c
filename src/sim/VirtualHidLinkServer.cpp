#include "sim/VirtualHidLinkServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavrin {

using namespace link;
using RealClock = std::chrono::steady_clock;

VirtualHidLinkServer::VirtualHidLinkServer(VirtualKeyboard& keyboard,
                                           std::filesystem::path socketPath, std::ostream* log)
    : keyboard_(keyboard), socketPath_(std::move(socketPath)), log_(log) {}

VirtualHidLinkServer::~VirtualHidLinkServer() {
    stop();
}

bool VirtualHidLinkServer::start(std::string& error) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
    if (keyboard_.plugged() && !listen(error)) {
        ::close(wakeRead_);
        ::close(wakeWrite_);
        wakeRead_ = wakeWrite_ = -1;
        return false;
    }
    generation_ = keyboard_.plugGeneration();
    keyboard_.setListener([this] { wake(); });
    thread_ = std::thread([this] { run(); });
    return true;
}

void VirtualHidLinkServer::stop() {
    if (!thread_.joinable()) {
        return;
    }
    keyboard_.setListener({});
    stopping_ = true;
    wake();
    thread_.join();
    closeAll();
    stopListening();
    ::close(wakeRead_);
    ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
}

void VirtualHidLinkServer::wake() {
    const std::uint8_t byte = 1;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
}

bool VirtualHidLinkServer::listen(std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath_.string();
    if (path.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    ::unlink(path.c_str());  // a socket left by an earlier run
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
        error = "listen on " + path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    listenFd_ = fd;
    return true;
}

void VirtualHidLinkServer::stopListening() {
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        ::unlink(socketPath_.c_str());
    }
}

void VirtualHidLinkServer::closeConnection(Connection& connection) {
    if (connection.port) {
        keyboard_.close(connection.port);
        connection.port.reset();
    }
    if (connection.fd >= 0) {
        ::close(connection.fd);
        connection.fd = -1;
    }
}

void VirtualHidLinkServer::closeAll() {
    for (auto& connection : connections_) {
        closeConnection(*connection);
    }
    connections_.clear();
}

void VirtualHidLinkServer::logFrame(std::uint8_t iface, bool received, const Frame& frame) {
    if (!log_) {
        return;
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(RealClock::now() - started_).count();
    *log_ << ms << ' ' << static_cast<int>(iface) << ' ' << (received ? '<' : '>') << ' '
          << HexBytes(Encode(frame)) << '\n';
    log_->flush();
}

bool VirtualHidLinkServer::sendFrame(Connection& connection, const Frame& frame) {
    logFrame(connection.iface, false, frame);
    return SendAll(connection.fd, Encode(frame)) == IoStatus::Ok;
}

bool VirtualHidLinkServer::handleFrame(Connection& c, const Frame& frame) {
    logFrame(frame.op == kDescribe || frame.op == kOpen ? frame.iface : c.iface, true, frame);
    switch (frame.op) {
        case kDescribe: {
            Frame answer{kDescription, 0, {}};
            answer.payload.resize(5);
            WriteLe16(answer.payload, 0, keyboard_.vendorId());
            WriteLe16(answer.payload, 2, keyboard_.productId());
            const auto& markers = VirtualKeyboard::Markers();
            answer.payload[4] = static_cast<std::uint8_t>(markers.size());
            for (const std::string& marker : markers) {
                answer.payload.push_back(static_cast<std::uint8_t>(marker.size()));
                answer.payload.insert(answer.payload.end(), marker.begin(), marker.end());
            }
            return sendFrame(c, answer);
        }
        case kOpen: {
            if (c.port) {
                return sendFrame(c, StatusFrame(frame.iface, -1));
            }
            c.port = keyboard_.open(frame.iface);
            c.iface = frame.iface;
            return sendFrame(c, StatusFrame(frame.iface, c.port ? 0 : -1));
        }
        case kSetFeature:
        case kGetFeature:
        case kWrite: {
            if (!c.port) {
                return sendFrame(c, StatusFrame(c.iface, -1));
            }
            HidResult result;
            std::vector<std::uint8_t> reply;
            if (frame.op == kSetFeature) {
                result = keyboard_.setFeature(*c.port, frame.payload);
            } else if (frame.op == kWrite) {
                result = keyboard_.write(*c.port, frame.payload);
            } else {
                reply = frame.payload;
                reply.resize(std::max<std::size_t>(reply.size(), 9));
                result = keyboard_.getFeature(*c.port, reply);
            }
            if (result.status == HidStatus::Disconnected) {
                return false;  // the unplug below closes everything
            }
            if (!result.ok()) {
                return sendFrame(c, StatusFrame(c.iface, -1));
            }
            if (frame.op == kGetFeature) {
                reply.resize(result.bytes);
                return sendFrame(c, Frame{kFeature, c.iface, reply});
            }
            return sendFrame(c, StatusFrame(c.iface, static_cast<std::int32_t>(result.bytes)));
        }
        default:
            return sendFrame(c, StatusFrame(c.iface, -1));
    }
}

void VirtualHidLinkServer::pushInput() {
    for (auto& connection : connections_) {
        if (!connection->port || connection->fd < 0) {
            continue;
        }
        while (auto report = keyboard_.takeInput(*connection->port)) {
            if (!sendFrame(*connection, Frame{kInput, connection->iface, std::move(*report)})) {
                closeConnection(*connection);
                break;
            }
        }
    }
}

void VirtualHidLinkServer::run() {
    while (!stopping_) {
        // Follow the plug state; an unplug closes everything even when a plug came right after.
        if (const unsigned generation = keyboard_.plugGeneration(); generation != generation_) {
            generation_ = generation;
            closeAll();
            stopListening();
        }
        if (!keyboard_.plugged()) {
            if (listenFd_ >= 0 || !connections_.empty()) {
                closeAll();
                stopListening();
            }
        } else if (listenFd_ < 0) {
            std::string error;
            listen(error);  // retried at every wake-up until it works
        }
        pushInput();
        std::erase_if(connections_, [](const auto& c) { return c->fd < 0; });

        std::vector<pollfd> fds;
        fds.push_back({wakeRead_, POLLIN, 0});
        if (listenFd_ >= 0) {
            fds.push_back({listenFd_, POLLIN, 0});
        }
        for (auto& connection : connections_) {
            fds.push_back({connection->fd, POLLIN, 0});
        }
        // Wake for the next late reply that becomes due.
        int timeout = 1000;
        for (auto& connection : connections_) {
            if (connection->port) {
                if (auto due = keyboard_.nextInputDue(*connection->port)) {
                    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                                          *due - RealClock::now())
                                          .count() +
                                      1;
                    timeout = std::clamp(static_cast<int>(wait), 0, timeout);
                }
            }
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            break;
        }
        std::size_t i = 0;
        if (fds[i++].revents & POLLIN) {
            std::uint8_t drain[64];
            while (::read(wakeRead_, drain, sizeof drain) > 0) {
            }
        }
        if (listenFd_ >= 0) {
            if (fds[i++].revents & POLLIN) {
                const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) {
                    auto connection = std::make_unique<Connection>();
                    connection->fd = fd;
                    connections_.push_back(std::move(connection));
                }
            }
        }
        const std::size_t polled = fds.size() - i;
        for (std::size_t k = 0; k < polled && k < connections_.size(); ++k, ++i) {
            Connection& c = *connections_[k];
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)) || c.fd < 0) {
                continue;
            }
            const IoStatus status = ReceiveSome(c.fd, c.buffer, std::chrono::milliseconds(0));
            if (status == IoStatus::Closed || status == IoStatus::Error) {
                closeConnection(c);
                continue;
            }
            bool bad = false;
            while (c.fd >= 0) {
                auto frame = TakeFrame(c.buffer, bad);
                if (!frame) {
                    break;
                }
                if (!handleFrame(c, *frame)) {
                    closeConnection(c);
                }
                if (!keyboard_.plugged()) {
                    break;
                }
            }
            if (bad) {
                closeConnection(c);
            }
            if (!keyboard_.plugged()) {
                break;  // handled at the top of the loop
            }
        }
    }
}

}  // namespace tavrin
