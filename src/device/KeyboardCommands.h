#pragma once

// The command interface of the keyboard (CommandHandle) and every command and table transfer
// that runs on it. One recursive lock keeps each command or transfer whole; a sequence such as
// ApplySettings holds it across all its commands, so that no other thread's reports interleave.
// Every HID result is checked: a failure ends the command, leaves the model unchanged and is
// returned to the caller.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "device/Clock.h"
#include "device/HidDevice.h"
#include "device/KeyboardProtocol.h"
#include "device/LinkResult.h"
#include "model/Model.h"
#include "model/SettingsBlock.h"

namespace tavrin {

class KeyboardCommands {
public:
    using FeatureReport = std::array<std::uint8_t, protocol::kFeatureReportSize>;

    explicit KeyboardCommands(Clock& clock);
    ~KeyboardCommands();
    KeyboardCommands(const KeyboardCommands&) = delete;
    KeyboardCommands& operator=(const KeyboardCommands&) = delete;

    // Takes the device as CommandHandle; waits for a running command to end first.
    void attach(std::unique_ptr<HidDevice> device);
    // Closes CommandHandle (after any running command or sequence has ended).
    void close();
    bool isOpen() const { return open_.load(); }

    std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock(mutex_); }
    Clock& clock() { return clock_; }

    // Feature commands.
    LinkResult readFirmwareInfo(FirmwareVersion& firmware);
    LinkResult readLighting(SettingsBlock& settings);
    LinkResult writeLighting(const SettingsBlock& settings);
    LinkResult readGameMode(SettingsBlock& settings);
    LinkResult writeGameMode(std::uint8_t value);
    LinkResult readDeviceParams(SettingsBlock& settings);
    LinkResult writeDeviceParams(const SettingsBlock& settings);
    LinkResult writeReportInterval(const SettingsBlock& settings);
    LinkResult writeResponseTime(const SettingsBlock& settings);
    LinkResult writeWinLock(const SettingsBlock& settings);
    // The reset command, then game mode on twice, each followed by 300 ms.
    LinkResult factoryReset();

    // Table transfers.
    LinkResult readKeyMap(SettingsBlock& settings);
    LinkResult writeKeyMap(const SettingsBlock& settings);
    LinkResult readKeyEnableMask(SettingsBlock& settings);
    LinkResult writeKeyEnableMask(const SettingsBlock& settings);
    LinkResult readDeviceMacro(std::size_t slot, SettingsBlock& settings);
    LinkResult writeDeviceMacro(std::size_t slot, const SettingsBlock& settings);
    LinkResult readDiyTable(std::size_t table, SettingsBlock& settings);
    LinkResult writeDiyTable(std::size_t table, const SettingsBlock& settings);

private:
    using DataReport = std::array<std::uint8_t, protocol::kDataReportSize>;
    using DataPayload = std::array<std::uint8_t, protocol::kDataPayloadSize>;

    static FeatureReport Command(std::uint8_t code);
    LinkResult ready(const char* what) const;
    LinkResult send(const FeatureReport& report, const char* what);
    // `used` is how many reply bytes (report ID included) the command needs.
    LinkResult getReply(FeatureReport& reply, std::size_t used, const char* what);
    LinkResult writeData(const DataReport& report, const char* what);
    LinkResult readData(DataPayload& payload, const char* what, std::size_t index);
    // Drops input reports left over from an earlier transfer that failed, so they cannot be taken
    // for the answer to the next read.
    void discardStaleInput();
    // The command report that announces a table's data reports.
    LinkResult announceTable(std::uint8_t code, std::uint8_t arg3, std::uint8_t reports,
                             const char* what);

    Clock& clock_;
    std::recursive_mutex mutex_;
    std::unique_ptr<HidDevice> device_;
    std::atomic<bool> open_{false};
};

}  // namespace tavrin
