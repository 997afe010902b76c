#pragma once

// Serves a VirtualKeyboard over the virtual HID link at a Unix socket path. While the keyboard is
// unplugged the server closes every connection and stops listening; at plug it listens again.
// One thread runs the whole server.

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "device/Clock.h"
#include "sim/VirtualHidLinkWire.h"
#include "sim/VirtualKeyboard.h"

namespace tavrin {

class VirtualHidLinkServer {
public:
    // `log`, when given, gets one line per frame received or sent: milliseconds since the server
    // started, the interface index, "<" for received or ">" for sent, and the frame in hex.
    VirtualHidLinkServer(VirtualKeyboard& keyboard, std::filesystem::path socketPath,
                         std::ostream* log = nullptr);
    ~VirtualHidLinkServer();
    VirtualHidLinkServer(const VirtualHidLinkServer&) = delete;
    VirtualHidLinkServer& operator=(const VirtualHidLinkServer&) = delete;

    bool start(std::string& error);
    void stop();
    const std::filesystem::path& socketPath() const { return socketPath_; }

private:
    struct Connection {
        int fd = -1;
        std::vector<std::uint8_t> buffer;
        std::shared_ptr<VirtualKeyboard::Port> port;
        std::uint8_t iface = 0;
    };

    void run();
    bool listen(std::string& error);
    void stopListening();
    void closeConnection(Connection& connection);
    void closeAll();
    // False when the connection is to be closed.
    bool handleFrame(Connection& connection, const link::Frame& frame);
    bool sendFrame(Connection& connection, const link::Frame& frame);
    void pushInput();
    void logFrame(std::uint8_t iface, bool received, const link::Frame& frame);
    void wake();

    VirtualKeyboard& keyboard_;
    std::filesystem::path socketPath_;
    std::ostream* log_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::vector<std::unique_ptr<Connection>> connections_;
    unsigned generation_ = 0;  // the keyboard's plug generation the connections belong to
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace tavrin
