#pragma once

// The keyboard's side of the protocol, in software. It keeps the keyboard's state, answers every
// read command, takes every write command with its data reports, performs the factory reset and
// sends event reports for keys whose key-map entry has type 0x0C. Strict mode records every breach
// of the protocol's manners; faults can be injected; a state file makes it remember its
// configuration across runs. Thread-safe: hosts on several threads (and the link server) use it.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/Clock.h"
#include "device/HidTypes.h"
#include "device/KeyboardProtocol.h"
#include "model/Bytes.h"
#include "sim/VirtualKeyboardState.h"

namespace tavrin {

struct VirtualKeyboardOptions {
    std::uint16_t productId = protocol::kProductId104;
    std::uint8_t firmwareMajor = 1;
    std::uint8_t firmwareMinor = 2;
    bool strict = false;
    std::filesystem::path stateFile;  // empty: remember nothing
    // Game mode at power-on, over what the state file says (a test's starting point).
    std::optional<std::uint8_t> gameMode;
};

// One report the host sent, as the keyboard received it.
struct HostReport {
    enum class Kind { SetFeature, GetFeature, Write };

    Kind kind = Kind::SetFeature;
    int interfaceIndex = 0;
    Clock::TimePoint time{};
    std::vector<std::uint8_t> bytes;
};

class VirtualKeyboard {
public:
    static constexpr int kKeyboardInterface = 0;
    static constexpr int kEventInterface = 1;
    static constexpr int kCommandInterface = 2;
    static constexpr int kInterfaceCount = 3;

    // One open handle of the host. Input reports are delivered to every open port of their
    // interface, as hidraw does for every open file of a node.
    class Port {
    public:
        int interfaceIndex() const { return iface_; }

    private:
        friend class VirtualKeyboard;
        struct Input {
            std::chrono::steady_clock::time_point due;  // late replies become readable later
            std::vector<std::uint8_t> bytes;
        };
        int iface_ = 0;
        unsigned generation_ = 0;
        bool closed_ = false;
        std::deque<Input> input_;
    };

    explicit VirtualKeyboard(Clock& clock, VirtualKeyboardOptions options = {});
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    std::uint16_t vendorId() const { return protocol::kVendorId; }
    std::uint16_t productId() const { return options_.productId; }
    static const std::vector<std::string>& Markers();  // by interface index
    bool plugged() const;
    // Counts the unplugs so far: a server can tell that one happened even when plug() followed.
    unsigned plugGeneration() const;

    // Host side. open() gives null while unplugged or for an unknown interface; a port opened
    // before an unplug stays dead after the next plug, like a stale handle.
    std::shared_ptr<Port> open(int interfaceIndex);
    void close(const std::shared_ptr<Port>& port);
    HidResult setFeature(Port& port, ConstByteSpan report);
    HidResult getFeature(Port& port, ByteSpan report);
    HidResult write(Port& port, ConstByteSpan report);
    // Blocks (in real time) for at most `timeout`.
    HidResult read(Port& port, ByteSpan buffer, std::chrono::milliseconds timeout);
    // Non-blocking forms for the link server.
    std::optional<std::vector<std::uint8_t>> takeInput(Port& port);
    std::optional<std::chrono::steady_clock::time_point> nextInputDue(const Port& port) const;
    bool alive(const Port& port) const;
    // Called (from whichever thread caused it) when input is queued or the plug state changes.
    void setListener(std::function<void()> listener);

    // Keyboard side.
    void press(std::uint8_t vk);
    void sendInput(int interfaceIndex, std::vector<std::uint8_t> report);
    void unplug();
    void plug();

    // Faults.
    void unplugAfterHostReports(std::size_t reports);  // the next report after these finds it gone
    void dropNextDataReport();  // the next read transfer lacks its last report
    void delayNextDataReports(std::chrono::milliseconds delay);

    // Observation.
    VirtualKeyboardState state() const;
    void setState(const VirtualKeyboardState& state);
    std::vector<HostReport> hostReports() const;
    void clearHostReports();
    std::vector<std::string> breaches() const;
    void setBreachListener(std::function<void(const std::string&)> listener);
    std::size_t openPorts(int interfaceIndex) const;
    std::string stateFileError() const;

private:
    struct WriteTransfer {
        std::uint8_t code = 0;
        std::uint8_t index = 0;
        std::uint8_t expected = 0;
        std::uint8_t received = 0;
        std::vector<std::uint8_t> data;
    };
    struct ReadRequest {
        std::uint8_t code = 0;
        std::uint8_t index = 0;
    };

    bool aliveLocked(const Port& port) const;
    // Counts a host report against an injected unplug; false when the keyboard is now gone.
    bool countHostReport();
    void logReport(HostReport::Kind kind, const Port& port, ConstByteSpan bytes);
    void checkGap(const std::string& what);
    void requireGap(std::chrono::milliseconds gap, std::string reason);
    void breach(std::string text);
    void handleCommand(ConstByteSpan report);
    void finishWrite(const WriteTransfer& transfer);
    void queueDataReports(const ReadRequest& request);
    void queueInputLocked(int interfaceIndex, std::vector<std::uint8_t> report,
                          std::chrono::steady_clock::time_point due);
    void unplugLocked();
    void saveStateLocked();
    void notify();

    Clock& clock_;
    VirtualKeyboardOptions options_;
    mutable std::mutex mutex_;
    std::condition_variable inputChanged_;
    VirtualKeyboardState state_;
    bool plugged_ = true;
    unsigned generation_ = 0;
    std::vector<std::weak_ptr<Port>> ports_;
    std::optional<WriteTransfer> writing_;
    std::optional<ReadRequest> reading_;
    std::optional<std::size_t> unplugCountdown_;
    bool dropNext_ = false;
    std::chrono::milliseconds delayNext_{0};
    std::optional<Clock::TimePoint> earliestNext_;
    std::string gapReason_;
    std::vector<HostReport> log_;
    std::vector<std::string> breaches_;
    std::string stateFileError_;
    std::function<void()> listener_;
    std::function<void(const std::string&)> breachListener_;
    std::vector<std::string> pendingBreachNotes_;
};

}  // namespace tavrin
