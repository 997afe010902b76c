#pragma once

// The keyboard link set up against a strict virtual keyboard that shares the test's manual clock,
// reached either in process or through the virtual HID link (a server thread on a socket in a
// temporary folder). Protocol suites are parameterised over the two.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/HidBackend.h"
#include "device/KeyboardCommands.h"
#include "model/Model.h"
#include "sim/VirtualHidLinkServer.h"
#include "sim/VirtualKeyboard.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace tavrin::test {

enum class LinkKind { InProcess, VirtualHidLink };

std::string LinkName(const ::testing::TestParamInfo<LinkKind>& info);

class KeyboardLinkFixture : public ::testing::TestWithParam<LinkKind> {
protected:
    void SetUp() override;
    void TearDown() override;

    // Finds the command interface and attaches it to `commands`.
    void openCommands();
    // Plugs the keyboard in again and returns once the backend sees it.
    void replug();
    // Open ports of an interface once the keyboard has seen every close (a link server notices a
    // closed connection on its own thread): waits, bounded, for `expected`, and returns the count.
    std::size_t settledOpenPorts(int interfaceIndex, std::size_t expected) const;
    // Forgets what the keyboard received and the clock's waits so far.
    void mark();

    // What the keyboard received since mark(): "+<ms> set <9 bytes>", "+<ms> get", "+<ms> data".
    std::vector<std::string> trace() const;
    // The command codes of the set-feature reports since mark(), in hex ("86", "0B").
    std::vector<std::string> commandCodes() const;
    // The data reports since mark(), whole (65 bytes).
    std::vector<std::vector<std::uint8_t>> dataReports() const;
    std::string waits() const { return Describe(clock.waits()); }

    // The test expects strict-mode breaches and checks them itself.
    void allowBreaches() { breachesAllowed_ = true; }

    ManualClock clock;
    TempDir dir;
    std::unique_ptr<VirtualKeyboard> keyboard;
    std::unique_ptr<VirtualHidLinkServer> server;
    std::unique_ptr<HidBackend> backend;
    Model model;
    KeyboardCommands commands{clock};

private:
    Clock::TimePoint markTime_{};
    bool breachesAllowed_ = false;
};

std::string Hex(ConstByteSpan bytes);

}  // namespace tavrin::test
