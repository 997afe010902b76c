#include "support/KeyboardLinkFixture.h"

#include <thread>

#include "device/FindKeyboardPath.h"
#include "sim/VirtualHidLinkBackend.h"
#include "sim/VirtualHidLinkWire.h"
#include "sim/VirtualKeyboardBackend.h"

namespace tavrin::test {

std::string LinkName(const ::testing::TestParamInfo<LinkKind>& info) {
    return info.param == LinkKind::InProcess ? "InProcess" : "VirtualHidLink";
}

std::string Hex(ConstByteSpan bytes) {
    return link::HexBytes(bytes);
}

void KeyboardLinkFixture::SetUp() {
    VirtualKeyboardOptions options;
    options.strict = true;
    keyboard = std::make_unique<VirtualKeyboard>(clock, options);
    if (GetParam() == LinkKind::InProcess) {
        backend = std::make_unique<VirtualKeyboardBackend>(*keyboard);
    } else {
        const std::string socket = (dir / "keyboard.sock").string();
        server = std::make_unique<VirtualHidLinkServer>(*keyboard, socket);
        std::string error;
        ASSERT_TRUE(server->start(error)) << error;
        backend = std::make_unique<VirtualHidLinkBackend>(socket);
    }
    mark();
}

void KeyboardLinkFixture::TearDown() {
    commands.close();
    if (server) {
        server->stop();
    }
    if (!breachesAllowed_ && keyboard) {
        const auto breaches = keyboard->breaches();
        EXPECT_TRUE(breaches.empty()) << "first breach: " << breaches.front();
    }
}

void KeyboardLinkFixture::openCommands() {
    ASSERT_TRUE(FindKeyboardPath(*backend, "mi_03", model));
    std::string error;
    auto device = backend->open(model.devicePath, error);
    ASSERT_TRUE(device) << error;
    commands.attach(std::move(device));
}

void KeyboardLinkFixture::replug() {
    keyboard->plug();
    // The link server listens again on its own thread; a bounded wait for it, not a timing.
    for (int i = 0; i < 5000 && backend->enumerate().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(backend->enumerate().empty()) << "the keyboard did not come back";
}

std::size_t KeyboardLinkFixture::settledOpenPorts(int interfaceIndex, std::size_t expected) const {
    for (int i = 0; i < 5000 && keyboard->openPorts(interfaceIndex) != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return keyboard->openPorts(interfaceIndex);
}

void KeyboardLinkFixture::mark() {
    keyboard->clearHostReports();
    clock.clearWaits();
    markTime_ = clock.now();
}

std::vector<std::string> KeyboardLinkFixture::trace() const {
    std::vector<std::string> lines;
    for (const HostReport& report : keyboard->hostReports()) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(report.time - markTime_).count();
        std::string line = "+" + std::to_string(ms) + " ";
        switch (report.kind) {
            case HostReport::Kind::SetFeature:
                line += "set " + Hex(report.bytes);
                break;
            case HostReport::Kind::GetFeature:
                line += "get";
                break;
            case HostReport::Kind::Write:
                line += "data";
                break;
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> KeyboardLinkFixture::commandCodes() const {
    std::vector<std::string> codes;
    for (const HostReport& report : keyboard->hostReports()) {
        if (report.kind == HostReport::Kind::SetFeature && report.bytes.size() > 1) {
            codes.push_back(Hex(ConstByteSpan(report.bytes).subspan(1, 1)));
        }
    }
    return codes;
}

std::vector<std::vector<std::uint8_t>> KeyboardLinkFixture::dataReports() const {
    std::vector<std::vector<std::uint8_t>> reports;
    for (const HostReport& report : keyboard->hostReports()) {
        if (report.kind == HostReport::Kind::Write) {
            reports.push_back(report.bytes);
        }
    }
    return reports;
}

}  // namespace tavrin::test
