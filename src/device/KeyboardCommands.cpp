#include "device/KeyboardCommands.h"

#include <algorithm>

namespace tavrin {

using namespace protocol;

namespace {

// Each table travels as whole data payloads; the key-enable mask fills the start of its one
// report and the rest of it is zero.
static_assert(kKeyMapReports * kDataPayloadSize == SettingsBlock::kKeyMapSize);
static_assert(kDeviceMacroReports * kDataPayloadSize == SettingsBlock::kDeviceMacroSize);
static_assert(kDiyTableReports * kDataPayloadSize == SettingsBlock::kDiyTableSize);
static_assert(kKeyEnableMaskReports == 1 && SettingsBlock::kKeyEnableMaskSize <= kDataPayloadSize);

// discardStaleInput reads at most this many reports.
constexpr int kMaxStaleReports = 64;

LinkResult FromHid(const HidResult& result, const std::string& what) {
    return LinkResult::Failure(what + ": " + result.error,
                               result.status == HidStatus::Disconnected);
}

}  // namespace

KeyboardCommands::KeyboardCommands(Clock& clock) : clock_(clock) {}

KeyboardCommands::~KeyboardCommands() {
    close();
}

void KeyboardCommands::attach(std::unique_ptr<HidDevice> device) {
    auto guard = lock();
    device_ = std::move(device);
    open_ = device_ != nullptr;
}

void KeyboardCommands::close() {
    auto guard = lock();
    device_.reset();
    open_ = false;
}

KeyboardCommands::FeatureReport KeyboardCommands::Command(std::uint8_t code) {
    FeatureReport report{};
    report[kCodeByte] = code;
    return report;
}

LinkResult KeyboardCommands::ready(const char* what) const {
    if (!device_) {
        return LinkResult::Failure(std::string(what) + ": the keyboard is not connected", true);
    }
    return {};
}

LinkResult KeyboardCommands::send(const FeatureReport& report, const char* what) {
    if (auto r = ready(what); !r) {
        return r;
    }
    const HidResult result = device_->sendFeatureReport(report);
    if (!result.ok()) {
        return FromHid(result, std::string(what) + ": command report");
    }
    if (result.bytes != report.size()) {
        return LinkResult::Failure(std::string(what) +
                                   ": command report: " + std::to_string(result.bytes) + " of " +
                                   std::to_string(report.size()) + " bytes taken");
    }
    return {};
}

LinkResult KeyboardCommands::getReply(FeatureReport& reply, std::size_t used, const char* what) {
    if (auto r = ready(what); !r) {
        return r;
    }
    reply.fill(0);
    const HidResult result = device_->getFeatureReport(reply);
    if (!result.ok()) {
        return FromHid(result, std::string(what) + ": reply");
    }
    if (result.bytes < used) {
        return LinkResult::Failure(std::string(what) + ": reply: " + std::to_string(result.bytes) +
                                   " bytes, " + std::to_string(used) + " expected");
    }
    return {};
}

LinkResult KeyboardCommands::writeData(const DataReport& report, const char* what) {
    if (auto r = ready(what); !r) {
        return r;
    }
    const HidResult result = device_->write(report);
    if (!result.ok()) {
        return FromHid(result, std::string(what) + ": data report");
    }
    if (result.bytes != report.size()) {
        return LinkResult::Failure(std::string(what) +
                                   ": data report: " + std::to_string(result.bytes) + " of " +
                                   std::to_string(report.size()) + " bytes taken");
    }
    return {};
}

LinkResult KeyboardCommands::readData(DataPayload& payload, const char* what, std::size_t index) {
    if (auto r = ready(what); !r) {
        return r;
    }
    // One byte of room beyond the payload tells an over-long report from a proper one.
    std::array<std::uint8_t, kDataPayloadSize + 1> buffer{};
    const HidResult result = device_->read(buffer, kDataReportTimeout);
    const std::string step = std::string(what) + ": data report " + std::to_string(index);
    if (!result.ok()) {
        return FromHid(result, step);
    }
    if (result.bytes != kDataPayloadSize) {
        return LinkResult::Failure(step + ": " + std::to_string(result.bytes) + " bytes, " +
                                   std::to_string(kDataPayloadSize) + " expected");
    }
    std::copy_n(buffer.begin(), kDataPayloadSize, payload.begin());
    return {};
}

void KeyboardCommands::discardStaleInput() {
    std::array<std::uint8_t, kDataPayloadSize + 1> buffer{};
    // Bounded: a device that never stops sending cannot hold the command up.
    for (int i = 0; i < kMaxStaleReports; ++i) {
        if (!device_->read(buffer, std::chrono::milliseconds(0)).ok()) {
            return;
        }
    }
}

LinkResult KeyboardCommands::readFirmwareInfo(FirmwareVersion& firmware) {
    auto guard = lock();
    constexpr const char* what = "ReadFirmwareInfo";
    if (auto r = send(Command(kReadFirmwareInfo), what); !r) {
        return r;
    }
    clock_.sleep(kFirmwareInfoWait);
    FeatureReport reply{};
    if (auto r = getReply(reply, kFirmwareMinorByte + 1, what); !r) {
        return r;
    }
    clock_.sleep(kFirmwareInfoWait);
    firmware = {reply[kFirmwareMajorByte], reply[kFirmwareMinorByte]};
    return {};
}

LinkResult KeyboardCommands::readLighting(SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadLighting";
    if (auto r = send(Command(kReadLighting), what); !r) {
        return r;
    }
    clock_.sleep(kReadLightingWait);
    FeatureReport reply{};
    if (auto r = getReply(reply, kLightingFirst + 5, what); !r) {
        return r;
    }
    settings.setEffectCode(reply[kLightingFirst]);
    settings.setSpeedLevel(SpeedFromDevice(reply[kLightingFirst + 1]));
    settings.setBrightnessLevel(BrightnessFromDevice(reply[kLightingFirst + 2]));
    settings.setColourIndex(reply[kLightingFirst + 3]);
    settings.setDirectionCode(reply[kLightingFirst + 4]);
    return {};
}

LinkResult KeyboardCommands::writeLighting(const SettingsBlock& settings) {
    auto guard = lock();
    FeatureReport report = Command(kWriteLighting);
    report[kLightingFirst] = settings.effectCode();
    report[kLightingFirst + 1] = SpeedToDevice(settings.speedLevel());
    report[kLightingFirst + 2] = BrightnessToDevice(settings.brightnessLevel());
    report[kLightingFirst + 3] = settings.colourIndex();
    report[kLightingFirst + 4] = settings.directionCode();
    if (auto r = send(report, "WriteLighting"); !r) {
        return r;
    }
    clock_.sleep(kAfterSimpleWrite);
    return {};
}

LinkResult KeyboardCommands::readGameMode(SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadGameMode";
    if (auto r = send(Command(kReadGameMode), what); !r) {
        return r;
    }
    clock_.sleep(kReadGameModeWait);
    FeatureReport reply{};
    if (auto r = getReply(reply, kArgByte3 + 1, what); !r) {
        return r;
    }
    settings.setGameMode(reply[kArgByte3]);
    return {};
}

LinkResult KeyboardCommands::writeGameMode(std::uint8_t value) {
    auto guard = lock();
    FeatureReport report = Command(kWriteGameMode);
    report[kArgByte3] = value;
    if (auto r = send(report, "WriteGameMode"); !r) {
        return r;
    }
    clock_.sleep(kAfterGameMode);
    return {};
}

LinkResult KeyboardCommands::readDeviceParams(SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadDeviceParams";
    if (auto r = send(Command(kReadDeviceParams), what); !r) {
        return r;
    }
    clock_.sleep(kDeviceParamsWait);
    FeatureReport reply{};
    if (auto r = getReply(reply, kDeviceParamsFirst + SettingsBlock::kDeviceParamsSize, what); !r) {
        return r;
    }
    clock_.sleep(kDeviceParamsWait);
    std::copy_n(reply.begin() + kDeviceParamsFirst, SettingsBlock::kDeviceParamsSize,
                settings.deviceParams().begin());
    return {};
}

LinkResult KeyboardCommands::writeDeviceParams(const SettingsBlock& settings) {
    auto guard = lock();
    FeatureReport report = Command(kWriteDeviceParams);
    std::copy(settings.deviceParams().begin(), settings.deviceParams().end(),
              report.begin() + kDeviceParamsFirst);
    if (auto r = send(report, "WriteDeviceParams"); !r) {
        return r;
    }
    clock_.sleep(kAfterDeviceParams);
    return {};
}

LinkResult KeyboardCommands::writeReportInterval(const SettingsBlock& settings) {
    auto guard = lock();
    FeatureReport report = Command(kWriteReportInterval);
    report[kArgByte3] = settings.reportInterval();
    if (auto r = send(report, "WriteReportInterval"); !r) {
        return r;
    }
    clock_.sleep(kAfterSimpleWrite);
    return {};
}

LinkResult KeyboardCommands::writeResponseTime(const SettingsBlock& settings) {
    auto guard = lock();
    FeatureReport report = Command(kWriteResponseTime);
    report[kArgByte3] = settings.responseTime();
    if (auto r = send(report, "WriteResponseTime"); !r) {
        return r;
    }
    clock_.sleep(kAfterSimpleWrite);
    return {};
}

LinkResult KeyboardCommands::writeWinLock(const SettingsBlock& settings) {
    auto guard = lock();
    FeatureReport report = Command(kWriteWinLock);
    report[kArgByte2] = static_cast<std::uint8_t>(settings.winLock() & 1);
    if (auto r = send(report, "WriteWinLock"); !r) {
        return r;
    }
    clock_.sleep(kAfterSimpleWrite);
    return {};
}

LinkResult KeyboardCommands::factoryReset() {
    auto guard = lock();
    FeatureReport report = Command(kFactoryResetCommand);
    report[kArgByte2] = kFactoryResetMarker;
    if (auto r = send(report, "FactoryReset"); !r) {
        return r;
    }
    clock_.sleep(kFactoryResetStep);
    for (int i = 0; i < 2; ++i) {
        if (auto r = writeGameMode(1); !r) {
            return r;
        }
        clock_.sleep(kFactoryResetStep);
    }
    return {};
}

LinkResult KeyboardCommands::readKeyMap(SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadKeyMap";
    if (auto r = ready(what); !r) {
        return r;
    }
    discardStaleInput();
    if (auto r = send(Command(kReadKeyMap), what); !r) {
        return r;
    }
    FeatureReport reply{};
    if (auto r = getReply(reply, 1, what); !r) {
        return r;
    }
    std::array<std::uint8_t, SettingsBlock::kKeyMapSize> table{};
    for (std::size_t k = 0; k < kKeyMapReports; ++k) {
        DataPayload payload{};
        if (auto r = readData(payload, what, k); !r) {
            return r;
        }
        std::copy(payload.begin(), payload.end(), table.begin() + kDataPayloadSize * k);
    }
    std::copy(table.begin(), table.end(), settings.keyMap().begin());
    return {};
}

LinkResult KeyboardCommands::announceTable(std::uint8_t code, std::uint8_t arg3,
                                           std::uint8_t reports, const char* what) {
    FeatureReport command = Command(code);
    command[kArgByte3] = arg3;
    command[kCountByte] = reports;
    return send(command, what);
}

LinkResult KeyboardCommands::writeKeyMap(const SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "WriteKeyMap";
    if (auto r = announceTable(kWriteKeyMap, 0, kKeyMapReports, what); !r) {
        return r;
    }
    clock_.sleep(kKeyMapLead);
    for (std::size_t k = 0; k < kKeyMapReports; ++k) {
        DataReport report{};
        std::copy_n(settings.keyMap().begin() + kDataPayloadSize * k, kDataPayloadSize,
                    report.begin() + 1);
        if (auto r = writeData(report, what); !r) {
            return r;
        }
    }
    clock_.sleep(kKeyMapTail);
    return {};
}

LinkResult KeyboardCommands::readKeyEnableMask(SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadKeyEnableMask";
    if (auto r = ready(what); !r) {
        return r;
    }
    discardStaleInput();
    if (auto r = send(Command(kReadKeyEnableMask), what); !r) {
        return r;
    }
    FeatureReport reply{};
    if (auto r = getReply(reply, 1, what); !r) {
        return r;
    }
    DataPayload payload{};
    if (auto r = readData(payload, what, 0); !r) {
        return r;
    }
    // Data bytes 1..24 of the report are bytes 0..23 of the payload (the ID is not read).
    std::copy_n(payload.begin(), SettingsBlock::kKeyEnableMaskSize,
                settings.keyEnableMask().begin());
    return {};
}

LinkResult KeyboardCommands::writeKeyEnableMask(const SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "WriteKeyEnableMask";
    if (auto r = announceTable(kWriteKeyEnableMask, 0, kKeyEnableMaskReports, what); !r) {
        return r;
    }
    clock_.sleep(kKeyEnableMaskLead);
    DataReport report{};  // bytes 25..64 stay 0
    std::copy(settings.keyEnableMask().begin(), settings.keyEnableMask().end(), report.begin() + 1);
    return writeData(report, what);
}

LinkResult KeyboardCommands::readDeviceMacro(std::size_t slot, SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadDeviceMacro";
    if (slot >= SettingsBlock::kDeviceMacroCount) {
        return LinkResult::Failure("ReadDeviceMacro: no macro slot " + std::to_string(slot));
    }
    if (auto r = ready(what); !r) {
        return r;
    }
    discardStaleInput();
    FeatureReport command = Command(kReadDeviceMacro);
    command[kArgByte3] = static_cast<std::uint8_t>(slot);
    if (auto r = send(command, what); !r) {
        return r;
    }
    FeatureReport reply{};
    if (auto r = getReply(reply, 1, what); !r) {
        return r;
    }
    std::array<std::uint8_t, SettingsBlock::kDeviceMacroSize> record{};
    for (std::size_t k = 0; k < kDeviceMacroReports; ++k) {
        DataPayload payload{};
        if (auto r = readData(payload, what, k); !r) {
            return r;
        }
        std::copy(payload.begin(), payload.end(), record.begin() + kDataPayloadSize * k);
    }
    std::copy(record.begin(), record.end(), settings.deviceMacroRecord(slot).begin());
    return {};
}

LinkResult KeyboardCommands::writeDeviceMacro(std::size_t slot, const SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "WriteDeviceMacro";
    if (slot >= SettingsBlock::kDeviceMacroCount) {
        return LinkResult::Failure("WriteDeviceMacro: no macro slot " + std::to_string(slot));
    }
    const auto record = settings.deviceMacroRecord(slot);
    if (auto r = announceTable(kWriteDeviceMacro, static_cast<std::uint8_t>(slot),
                               kDeviceMacroReports, what);
        !r) {
        return r;
    }
    clock_.sleep(kDeviceMacroLead);
    for (std::size_t k = 0; k < kDeviceMacroReports; ++k) {
        DataReport report{};
        std::copy_n(record.begin() + kDataPayloadSize * k, kDataPayloadSize, report.begin() + 1);
        if (auto r = writeData(report, what); !r) {
            return r;
        }
        // The keyboard wants the processor given up after the first two reports.
        if (k < 2) {
            clock_.yield();
        }
    }
    return {};
}

LinkResult KeyboardCommands::readDiyTable(std::size_t table, SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "ReadDiyTable";
    if (table >= SettingsBlock::kDiyTableCount) {
        return LinkResult::Failure("ReadDiyTable: no DIY table " + std::to_string(table));
    }
    if (auto r = ready(what); !r) {
        return r;
    }
    discardStaleInput();
    FeatureReport command = Command(kReadDiyTable);
    command[kArgByte3] = static_cast<std::uint8_t>(table);
    if (auto r = send(command, what); !r) {
        return r;
    }
    clock_.sleep(kDiyStep);
    FeatureReport reply{};
    if (auto r = getReply(reply, 1, what); !r) {
        return r;
    }
    clock_.sleep(kDiyStep);
    std::array<std::uint8_t, SettingsBlock::kDiyTableSize> bytes{};
    for (std::size_t k = 0; k < kDiyTableReports; ++k) {
        DataPayload payload{};
        if (auto r = readData(payload, what, k); !r) {
            return r;
        }
        std::copy(payload.begin(), payload.end(), bytes.begin() + kDataPayloadSize * k);
        clock_.sleep(kDiyStep);
    }
    std::copy(bytes.begin(), bytes.end(), settings.diyTable(table).begin());
    return {};
}

LinkResult KeyboardCommands::writeDiyTable(std::size_t table, const SettingsBlock& settings) {
    auto guard = lock();
    constexpr const char* what = "WriteDiyTable";
    if (table >= SettingsBlock::kDiyTableCount) {
        return LinkResult::Failure("WriteDiyTable: no DIY table " + std::to_string(table));
    }
    const auto bytes = settings.diyTable(table);
    if (auto r =
            announceTable(kWriteDiyTable, static_cast<std::uint8_t>(table), kDiyTableReports, what);
        !r) {
        return r;
    }
    clock_.sleep(kDiyStep);
    for (std::size_t k = 0; k < kDiyTableReports; ++k) {
        DataReport report{};
        std::copy_n(bytes.begin() + kDataPayloadSize * k, kDataPayloadSize, report.begin() + 1);
        if (auto r = writeData(report, what); !r) {
            return r;
        }
        clock_.sleep(kDiyStep);
    }
    return {};
}

}  // namespace tavrin
