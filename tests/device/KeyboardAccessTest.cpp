// A keyboard that is plugged in but whose nodes refuse this user, for good or only until udev has
// given the user access. The suite starts the workers, so it also runs under ThreadSanitizer.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <mutex>

#include "device/KeyboardConnection.h"
#include "device/WindowMessages.h"
#include "support/KeyboardLinkFixture.h"
#include "support/LinkDriver.h"
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
        driver.reset();
        refusing.reset();
        KeyboardLinkFixture::TearDown();
    }
    void connect(int refusals, bool permission = true) {
        refusing = std::make_unique<RefusingBackend>(*backend, refusals, permission);
        driver = std::make_unique<LinkDriver>(*refusing, clock, sink, dir.path());
    }
    std::string myWaits() const { return clock.waitsOf(std::this_thread::get_id()); }
    // Everything that waits runs on the command worker.
    std::string workerWaits() const { return clock.waitsOf(driver->workerThread()); }

    RecordingMessageSink sink;
    std::unique_ptr<RefusingBackend> refusing;
    std::unique_ptr<LinkDriver> driver;
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
        const char* waits;  // on the command worker
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
        driver->start(model);
        const LinkStatus status = driver->status();
        EXPECT_EQ(status.commandOpen, c.opened);
        EXPECT_EQ(status.eventOpen, c.opened);
        EXPECT_EQ(status.accessDenied, c.denied);
        // The retries come first; an opened keyboard's read follows them.
        EXPECT_EQ(workerWaits().rfind(c.waits, 0), 0u) << workerWaits();
        if (!c.opened) {
            EXPECT_EQ(workerWaits(), c.waits);
        }
        EXPECT_EQ(myWaits(), "");
        EXPECT_EQ(refusing->opens(), c.opens);
        const auto told = driver->told();
        if (c.opened) {
            EXPECT_EQ(told.back(), "read ok");
        } else {
            EXPECT_FALSE(status.openError.empty());
            EXPECT_EQ(told,
                      (std::vector<std::string>{c.denied ? "link c0 e0 d1" : "link c0 e0 d0"}));
        }
        driver.reset();
        if (!c.plugged) {
            replug();
        }
    }
}

TEST_P(KeyboardAccessThreads, AnArrivalRetriesUntilUdevGrantsAccess) {
    keyboard->unplug();
    connect(0);
    driver->start(model);
    ASSERT_FALSE(driver->status().commandOpen);

    // Plugged in while the user may not open it: the arrival gives up after about a second.
    replug();
    refusing->refuse(RefusingBackend::kRefuseForever);
    clock.clearWaits();
    driver->clearTold();
    driver->deviceChanged({HotplugEvent::Kind::Arrival, 0x04D9, 0xA2A0}, model);
    EXPECT_FALSE(driver->status().commandOpen);
    EXPECT_FALSE(driver->status().eventOpen);
    EXPECT_TRUE(driver->status().accessDenied);
    EXPECT_EQ(workerWaits(), "2000 100 100 100 100 100 100 100 100 100 100");
    EXPECT_EQ(myWaits(), "");
    const auto told = driver->told();
    EXPECT_EQ(std::count(told.begin(), told.end(), "read ok"), 0);

    // Unplugged again: no longer a keyboard that refuses, just none.
    driver->deviceChanged({HotplugEvent::Kind::Removal, 0x04D9, 0xA2A0}, model);
    EXPECT_FALSE(driver->status().accessDenied);

    // The next arrival (udev has applied the rule by the second try) opens and reads it.
    refusing->refuse(1);
    clock.clearWaits();
    driver->clearTold();
    driver->deviceChanged({HotplugEvent::Kind::Arrival, 0x04D9, 0xA2A0}, model);
    EXPECT_TRUE(driver->status().commandOpen);
    EXPECT_TRUE(driver->status().eventOpen);
    EXPECT_FALSE(driver->status().accessDenied);
    EXPECT_EQ(workerWaits().substr(0, 9), "2000 100 ");
    EXPECT_EQ(driver->told(), (std::vector<std::string>{"link c1 e0 d0", "read ok", "link c1 e1 d0",
                                                        "event opened"}));
}

}  // namespace
}  // namespace tavrin::test
