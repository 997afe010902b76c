// A keyboard that is plugged in but whose nodes refuse this user, for good or only until udev has
// given the user access. The suite starts the workers, so it also runs under ThreadSanitizer.

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "device/KeyboardConnection.h"
#include "device/WindowMessages.h"
#include "support/KeyboardLinkFixture.h"
#include "support/RecordingMessageSink.h"

namespace tavrin::test {
namespace {

// The fixture's keyboard behind nodes whose opens fail: the first `refusals` with a permission
// error (kRefuseForever: all of them), or every one with some other error.
class RefusingBackend final : public HidBackend {
public:
    static constexpr int kRefuseForever = -1;

    RefusingBackend(HidBackend& inner, int refusals, bool permission = true)
        : inner_(inner), refusals_(refusals), permission_(permission) {}

    std::vector<HidInterfaceInfo> enumerate() override { return inner_.enumerate(); }
    std::unique_ptr<HidDevice> open(const std::string& path, std::string& error) override {
        std::lock_guard lock(mutex_);
        ++opens_;
        if (refusals_ == 0) {
            return inner_.open(path, error);
        }
        if (refusals_ > 0) {
            --refusals_;
        }
        error = permission_ ? "Permission denied" : "Input/output error";
        denied_ = permission_;
        return nullptr;
    }
    bool accessDenied(const std::string&) override {
        std::lock_guard lock(mutex_);
        return denied_;
    }

    void refuse(int refusals) {
        std::lock_guard lock(mutex_);
        refusals_ = refusals;
        opens_ = 0;
    }
    int opens() {
        std::lock_guard lock(mutex_);
        return opens_;
    }

private:
    HidBackend& inner_;
    std::mutex mutex_;
    int refusals_;
    bool permission_;
    bool denied_ = false;
    int opens_ = 0;
};

class KeyboardAccessThreads : public KeyboardLinkFixture {
protected:
    void SetUp() override {
        KeyboardLinkFixture::SetUp();
        std::ofstream(dir / "VER.bin", std::ios::binary) << "Ver  1.4\n";
    }
    void TearDown() override {
        connection.reset();
        refusing.reset();
        KeyboardLinkFixture::TearDown();
    }
    void connect(int refusals, bool permission = true) {
        refusing = std::make_unique<RefusingBackend>(*backend, refusals, permission);
        connection =
            std::make_unique<KeyboardConnection>(model, *refusing, clock, sink, dir.path());
    }
    std::string myWaits() const { return clock.waitsOf(std::this_thread::get_id()); }

    RecordingMessageSink sink;
    std::unique_ptr<RefusingBackend> refusing;
    std::unique_ptr<KeyboardConnection> connection;
};
INSTANTIATE_TEST_SUITE_P(Backends, KeyboardAccessThreads,
                         ::testing::Values(LinkKind::InProcess, LinkKind::VirtualHidLink),
                         LinkName);

TEST_P(KeyboardAccessThreads, StartUpTellsARefusedKeyboardFromAMissingOne) {
    struct Case {
        const char* name;
        int refusals;
        bool permission;
        bool plugged;
        bool opened;
        bool denied;
        const char* waits;  // on the window's thread
        int opens;
    };
    const Case cases[] = {
        // 10 retries 100 ms apart for the command interface; the event interface, behind the
        // same rule, is tried once.
        {"refused for good", RefusingBackend::kRefuseForever, true, true, false, true,
         "100 100 100 100 100 100 100 100 100 100", 12},
        {"refused while udev sets the permissions", 3, true, true, true, false, "100 100 100", 5},
        {"another failure is not retried", RefusingBackend::kRefuseForever, false, true, false,
         false, "", 2},
        {"no keyboard at all", 0, true, false, false, false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.plugged) {
            keyboard->unplug();
        }
        connect(c.refusals, c.permission);
        clock.clearWaits();
        const auto result = connection->openAtStartup();
        EXPECT_EQ(result.commandOpened, c.opened);
        EXPECT_EQ(result.eventOpened, c.opened);
        EXPECT_EQ(result.accessDenied, c.denied);
        EXPECT_EQ(connection->lastOpenDenied(), c.denied);
        EXPECT_EQ(myWaits(), c.waits);
        EXPECT_EQ(refusing->opens(), c.opens);
        if (c.opened) {
            EXPECT_TRUE(sink.waitFor(WM_SETTINGS_LOADED));
        } else {
            EXPECT_FALSE(connection->lastOpenError().empty());
            EXPECT_FALSE(connection->settingsReader().started());
        }
        connection.reset();
        if (!c.plugged) {
            replug();
        }
    }
}

TEST_P(KeyboardAccessThreads, AnArrivalRetriesUntilUdevGrantsAccess) {
    keyboard->unplug();
    connect(0);
    ASSERT_FALSE(connection->openAtStartup().commandOpened);

    // Plugged in while the user may not open it: the arrival gives up after about a second.
    replug();
    refusing->refuse(RefusingBackend::kRefuseForever);
    clock.clearWaits();
    connection->handleDeviceChange({HotplugEvent::Kind::Arrival, 0x04D9, 0xA2A0});
    EXPECT_FALSE(connection->commandOpen());
    EXPECT_FALSE(connection->eventOpen());
    EXPECT_TRUE(connection->lastOpenDenied());
    EXPECT_EQ(myWaits(), "2000 100 100 100 100 100 100 100 100 100 100");
    EXPECT_EQ(sink.count(WM_SETTINGS_LOADED), 0u);

    // Unplugged again: no longer a keyboard that refuses, just none.
    connection->handleDeviceChange({HotplugEvent::Kind::Removal, 0x04D9, 0xA2A0});
    EXPECT_FALSE(connection->lastOpenDenied());

    // The next arrival (udev has applied the rule by the second try) opens and reads it.
    refusing->refuse(1);
    clock.clearWaits();
    connection->handleDeviceChange({HotplugEvent::Kind::Arrival, 0x04D9, 0xA2A0});
    EXPECT_TRUE(connection->commandOpen());
    EXPECT_TRUE(connection->eventOpen());
    EXPECT_FALSE(connection->lastOpenDenied());
    EXPECT_EQ(myWaits().substr(0, 9), "2000 100 ");
    EXPECT_EQ(sink.count(WM_SETTINGS_LOADED), 2u);
}

}  // namespace
}  // namespace tavrin::test
