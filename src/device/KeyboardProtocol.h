#pragma once

// The keyboard's feature-report protocol: report sizes, command codes, payload positions and the
// waits that belong to each command. The virtual keyboard checks the host against the same table.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tavrin::protocol {

using std::chrono::milliseconds;

inline constexpr std::uint16_t kVendorId = 0x04D9;
inline constexpr std::uint16_t kProductId104 = 0xA2A0;
inline constexpr std::uint16_t kProductIdAlt = 0xA247;
inline constexpr const char* kCommandMarker = "mi_03";
inline constexpr const char* kEventMarker = "ol04";

inline constexpr std::size_t kFeatureReportSize = 9;  // report ID 0 + 8 bytes
inline constexpr std::size_t kDataReportSize = 65;    // report ID 0 + 64 data bytes, as written
inline constexpr std::size_t kDataPayloadSize = 64;   // as read
inline constexpr std::size_t kEventReportSize = 4;    // [4, kind, 0, code]
inline constexpr std::uint8_t kEventReportId = 4;
inline constexpr std::size_t kEventKindByte = 1;
inline constexpr std::size_t kEventCodeByte = 3;
inline constexpr std::uint8_t kIgnoredEventKind = 4;

// Command report bytes.
inline constexpr std::size_t kCodeByte = 1;
inline constexpr std::size_t kArgByte2 = 2;       // winLock, factory-reset marker
inline constexpr std::size_t kArgByte3 = 3;       // value, slot or table number
inline constexpr std::size_t kCountByte = 4;      // number of data reports that follow a write
inline constexpr std::size_t kLightingFirst = 3;  // effect, speed, brightness, colour, direction
inline constexpr std::size_t kDeviceParamsFirst = 3;  // four bytes
inline constexpr std::uint8_t kFactoryResetMarker = 0xFF;
// Reply bytes of ReadFirmwareInfo.
inline constexpr std::size_t kFirmwareMajorByte = 2;
inline constexpr std::size_t kFirmwareMinorByte = 3;

enum Command : std::uint8_t {
    kWriteReportInterval = 0x01,
    kWriteWinLock = 0x03,
    kWriteResponseTime = 0x04,
    kWriteLighting = 0x06,
    kWriteGameMode = 0x07,
    kWriteKeyMap = 0x08,
    kWriteKeyEnableMask = 0x09,
    kWriteDeviceMacro = 0x0A,
    kWriteDiyTable = 0x0B,
    kFactoryResetCommand = 0x0C,
    kWriteDeviceParams = 0x0D,
    kReadFirmwareInfo = 0x80,
    kReadLighting = 0x86,
    kReadGameMode = 0x87,
    kReadKeyMap = 0x88,
    kReadKeyEnableMask = 0x89,
    kReadDeviceMacro = 0x8A,
    kReadDiyTable = 0x8B,
    kReadDeviceParams = 0x8D,
};

// Data reports of each table transfer.
inline constexpr std::uint8_t kKeyMapReports = 8;
inline constexpr std::uint8_t kKeyEnableMaskReports = 1;
inline constexpr std::uint8_t kDeviceMacroReports = 8;
inline constexpr std::uint8_t kDiyTableReports = 2;

// Waits of the commands themselves.
inline constexpr milliseconds kAfterSimpleWrite{10};  // 0x01, 0x03, 0x04, 0x06
inline constexpr milliseconds kAfterGameMode{20};
inline constexpr milliseconds kAfterFactoryReset{300};
inline constexpr milliseconds kAfterDeviceParams{20};
inline constexpr milliseconds kFirmwareInfoWait{10};  // between set and get, and after the get
inline constexpr milliseconds kReadLightingWait{10};  // between set and get
inline constexpr milliseconds kReadGameModeWait{5};   // between set and get
inline constexpr milliseconds kDeviceParamsWait{1};   // between set and get, and after the get
// Waits of the table transfers.
inline constexpr milliseconds kKeyMapLead{50};
inline constexpr milliseconds kKeyMapTail{60};
inline constexpr milliseconds kKeyEnableMaskLead{10};
inline constexpr milliseconds kDeviceMacroLead{1};
inline constexpr milliseconds kDiyStep{5};  // every step of a DIY table transfer
// FactoryReset: the pause after each of its three reports.
inline constexpr milliseconds kFactoryResetStep{300};
// ApplySettings: the extra waits after each part it sends.
inline constexpr milliseconds kApplyPartWait{50};
inline constexpr milliseconds kApplyMacroWait{500};

// Mends: how long a data report may take, and how often the event worker looks at its stop flag.
inline constexpr milliseconds kDataReportTimeout{1000};
inline constexpr milliseconds kEventPollInterval{200};

}  // namespace tavrin::protocol
