#include <gtest/gtest.h>

#include <vector>

#include "platform/hidraw/HidrawBackend.h"
#include "platform/hidraw/HidrawDevice.h"
#include "platform/hidraw/ReportDescriptorScanner.h"
#include "platform/hidraw/UdevMonitor.h"

namespace tavrin {
namespace {

// A boot keyboard: no report IDs, one input and one output report.
const std::vector<std::uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00,
    0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0xC0,
};

// The event interface: consumer control (ID 1), system control (ID 2), a vendor collection
// with the 3-byte event input (ID 4), and a feature report with ID 4 that must not count.
const std::vector<std::uint8_t> kEventInterface = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x19, 0x00, 0x2A, 0x3C, 0x02, 0x15,
    0x00, 0x26, 0x3C, 0x02, 0x95, 0x01, 0x75, 0x10, 0x81, 0x00, 0xC0,  //
    0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x02, 0x19, 0x81, 0x29, 0x83, 0x15, 0x00,
    0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x95, 0x05, 0x81, 0x01, 0xC0,  //
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00,
    0x75, 0x08, 0x95, 0x03, 0x09, 0x02, 0x81, 0x02, 0xC0,
};

// The command interface: vendor page, no report IDs, 64-byte input and output, 8-byte feature;
// then a pushed report ID 4 that only carries a feature, popped again before one more input.
const std::vector<std::uint8_t> kCommandInterface = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x02, 0x81, 0x02, 0x95, 0x40,
    0x09, 0x03, 0x91, 0x02, 0x95, 0x08, 0x09, 0x04, 0xB1, 0x02,  //
    0xA4, 0x85, 0x04, 0x95, 0x03, 0x09, 0x05, 0xB1, 0x02,        // push, ID 4, feature only
    0xB4, 0x95, 0x01, 0x09, 0x06, 0x81, 0x02,                    // pop: back to no ID
    0xFE, 0x02, 0x10, 0xAA, 0xBB,                                // a long item, skipped whole
    0xC0,
};

TEST(ReportDescriptorScanner, FindsTheInputReportIds) {
    struct Case {
        const char* name;
        const std::vector<std::uint8_t>* descriptor;
        std::set<std::uint8_t> ids;
    };
    const Case cases[] = {
        {"boot keyboard", &kBootKeyboard, {0}},
        {"event interface", &kEventInterface, {1, 2, 4}},
        {"command interface", &kCommandInterface, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = ReportDescriptorScanner::Scan(*c.descriptor);
        EXPECT_EQ(result.inputReportIds, c.ids);
        EXPECT_FALSE(result.truncated);
    }
}

TEST(ReportDescriptorScanner, BuildsTheMarkersDiscoveryMatches) {
    EXPECT_EQ(ReportDescriptorScanner::InterfaceMarker(0, kBootKeyboard), "mi_00");
    EXPECT_EQ(ReportDescriptorScanner::InterfaceMarker(2, kEventInterface), "mi_02&col04");
    EXPECT_EQ(ReportDescriptorScanner::InterfaceMarker(3, kCommandInterface), "mi_03");
    EXPECT_EQ(ReportDescriptorScanner::InterfaceMarker(-1, kEventInterface), "&col04");
}

TEST(ReportDescriptorScanner, StopsAtATruncatedItem) {
    // ID 4 is declared, then the descriptor ends inside the Input item's data.
    const std::vector<std::uint8_t> cut = {0x85, 0x04, 0x95, 0x03, 0x82, 0x02};
    const auto result = ReportDescriptorScanner::Scan(cut);
    EXPECT_TRUE(result.truncated);
    EXPECT_TRUE(result.inputReportIds.empty());
    const std::vector<std::uint8_t> longCut = {0xFE, 0x09, 0x10, 0x00};
    EXPECT_TRUE(ReportDescriptorScanner::Scan(longCut).truncated);
    EXPECT_TRUE(ReportDescriptorScanner::Scan({}).inputReportIds.empty());
}

TEST(HidrawEventFilter, LetsOnlyFourByteReportsWithIdFourThrough) {
    const std::vector<std::uint8_t> event = {4, 1, 0, 0x41};
    const std::vector<std::uint8_t> consumer = {1, 0xE9, 0x00};
    const std::vector<std::uint8_t> longer = {4, 1, 0, 0x41, 0};
    EXPECT_TRUE(IsEventReport(event));
    EXPECT_FALSE(IsEventReport(consumer));
    EXPECT_FALSE(IsEventReport(longer));
}

TEST(HidrawBackend, OpeningAPathThatIsNoDeviceFailsWithAReason) {
    HidrawBackend backend;
    ASSERT_TRUE(backend.ok()) << backend.initError();
    for (const HidInterfaceInfo& info : backend.enumerate()) {
        EXPECT_FALSE(info.path.empty());
    }
    std::string error;
    EXPECT_EQ(backend.open("/dev/no-such-hidraw", error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(UdevMonitor, ExposesItsDescriptorAndDrainsQuietly) {
    UdevMonitor monitor;
    if (!monitor.ok()) {
        GTEST_SKIP() << "no udev netlink here: " << monitor.error();
    }
    EXPECT_GE(monitor.fd(), 0);
    EXPECT_TRUE(monitor.drain().empty());
}

}  // namespace
}  // namespace tavrin
