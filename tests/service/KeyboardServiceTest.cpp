// The keyboard service as every surface meets it: its states, its results and its edits, on the
// in-process virtual keyboard and the test's manual clock, with QtCore only.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <fstream>
#include <functional>

#include "RunUntil.h"
#include "model/KeyTables.h"
#include "service/KeyboardService.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

using State = KeyboardService::State;

using test::RunUntil;

class ServiceThreads : public testing::Test {
protected:
    void SetUp() override {
        VirtualKeyboardState state;
        state.gameMode() = 1;
        state.keyMap()[4] = 0x29;
        keyboard.setState(state);
        ProgramPaths paths;
        paths.dataDir = data.path();
        paths.shippedDirs = {data.path()};
        service = std::make_unique<KeyboardService>(paths, backend, clock);
        QObject::connect(service.get(), &KeyboardService::stateChanged,
                         [this](State s) { states.push_back(s); });
    }
    void start() {
        ASSERT_NE(service->loadMacroFile().outcome, LoadOutcome::Unreadable);
        ASSERT_NE(service->loadKeymapFile().outcome, LoadOutcome::Unreadable);
        service->model().takeSavedCopies();
        service->connectKeyboard();
        ASSERT_TRUE(RunUntil([&] { return service->startupSettled(); }));
        ASSERT_TRUE(RunUntil([&] { return service->state() != State::Reading; }));
    }
    void writeVersionFile(int major, int minor) {
        std::ofstream(data / "VER.bin", std::ios::binary) << "Ver  " << major << '.' << minor;
    }
    Model& model() { return service->model(); }

    test::ManualClock clock;
    VirtualKeyboard keyboard{clock};
    VirtualKeyboardBackend backend{keyboard};
    test::TempDir data;
    std::unique_ptr<KeyboardService> service;
    std::vector<State> states;
};

TEST_F(ServiceThreads, StartUpReadsTheKeyboardAndOffersANewerFirmwareOnce) {
    writeVersionFile(1, 4);
    QSignalSpy loaded(service.get(), &KeyboardService::settingsLoaded);
    QSignalSpy offered(service.get(), &KeyboardService::firmwareUpdateAvailable);
    EXPECT_EQ(service->availability(), Availability::Busy) << "before the first read has ended";
    start();
    EXPECT_EQ(states, (std::vector<State>{State::Reading, State::Ready}));
    EXPECT_EQ(model().settings.gameMode(), 1);
    EXPECT_EQ(model().settings.keyMap()[4], 0x29);
    EXPECT_EQ(model().savedSettings, model().settings);
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(offered.count(), 1);
    EXPECT_TRUE(service->updateAvailable());
}

TEST_F(ServiceThreads, AFailedReadIsReportedAndChangesNothing) {
    writeVersionFile(9, 9);
    keyboard.unplugAfterHostReports(3);
    QSignalSpy failed(service.get(), &KeyboardService::readFailed);
    QSignalSpy offered(service.get(), &KeyboardService::firmwareUpdateAvailable);
    start();
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(offered.count(), 0);
    EXPECT_FALSE(service->updateAvailable());
    EXPECT_EQ(service->state(), State::None);
    EXPECT_EQ(model().settings, SettingsBlock{}) << "the fresh keymap file's state, untouched";
    EXPECT_EQ(model().savedSettings, SettingsBlock{});
    EXPECT_EQ(service->save(), Availability::NoKeyboard);
    EXPECT_EQ(service->factoryReset(), Availability::NoKeyboard);
}

TEST_F(ServiceThreads, SaveOwnsTheModelUntilItEndsAndReportsItsResult) {
    start();
    QSignalSpy finished(service.get(), &KeyboardService::saveFinished);
    ASSERT_EQ(service->setWinLock(true), EditResult::Done);
    ASSERT_EQ(service->save(), Availability::Started);
    EXPECT_EQ(service->state(), State::Saving);
    // Meanwhile every surface is told "busy", and nothing changes.
    EXPECT_EQ(service->save(), Availability::Busy);
    EXPECT_EQ(service->factoryReset(), Availability::Busy);
    EXPECT_EQ(service->setGameMode(false), EditResult::Busy);
    EXPECT_EQ(model().settings.gameMode(), 1);
    ASSERT_TRUE(RunUntil([&] { return finished.count() == 1; }));
    EXPECT_TRUE(finished.at(0).at(0).value<LinkResult>().ok);
    EXPECT_EQ(service->state(), State::Ready);
    EXPECT_EQ(keyboard.state().winLock(), 1);
    EXPECT_EQ(model().savedSettings, model().settings);
}

TEST_F(ServiceThreads, EditsCheckTheirValuesAndChangeAllOrNothing) {
    start();
    const SettingsBlock before = model().settings;
    struct Case {
        const char* name;
        std::function<EditResult()> edit;
    };
    const Case invalid[] = {
        {"effect past the list", [&] { return service->chooseEffect(18); }},
        {"speed 5", [&] { return service->setSpeedLevel(5); }},
        {"brightness 5", [&] { return service->setBrightnessLevel(5); }},
        {"colour 0", [&] { return service->setColourIndex(0); }},
        {"colour 9", [&] { return service->setColourIndex(9); }},
        {"direction 4", [&] { return service->setDirectionCode(4); }},
        {"response time 0", [&] { return service->setResponseTime(0); }},
        {"response time 11", [&] { return service->setResponseTime(11); }},
        {"report rate 4", [&] { return service->setReportInterval(4); }},
        {"DIY table 5", [&] { return service->setDiyKey(5, 0, true); }},
        {"DIY key without a light", [&] { return service->setDiyKey(0, 108, true); }},
    };
    for (const Case& c : invalid) {
        EXPECT_EQ(c.edit(), EditResult::InvalidValue) << c.name;
    }
    EXPECT_EQ(model().settings, before);

    QSignalSpy changed(service.get(), &KeyboardService::modelChanged);
    // The effect list's rules: Wave takes colour 8, Static gives it back as 1.
    ASSERT_EQ(service->chooseEffect(2), EditResult::Done);
    EXPECT_EQ(model().settings.effectCode(), 2);
    EXPECT_EQ(model().settings.colourIndex(), 8);
    ASSERT_EQ(service->chooseEffect(0), EditResult::Done);
    EXPECT_EQ(model().settings.colourIndex(), 1);
    ASSERT_EQ(service->setDiyKey(2, 0, true), EditResult::Done);
    EXPECT_EQ(model().settings.diyTable(2)[LedIndexTable[0]], 0xFF);
    EXPECT_EQ(changed.count(), 3);
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
