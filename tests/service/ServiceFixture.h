#pragma once

// A KeyboardService and its scripting layer on the in-process virtual keyboard, with a data
// folder and settings of their own.

#include <gtest/gtest.h>

#include <memory>

#include "model/SettingsStore.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"
#include "service/RunUntil.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"

namespace tavrin::test {

class ServiceFixture : public testing::Test {
protected:
    void SetUp() override {
        ProgramPaths paths;
        paths.dataDir = data.path();
        service = std::make_unique<KeyboardService>(paths, backend, clock);
        scripting = std::make_unique<KeyboardScripting>(*service, settings);
    }
    // Reads the files and the keyboard, as the program does when it starts.
    void start() {
        ASSERT_NE(service->loadMacroFile().outcome, LoadOutcome::Unreadable);
        ASSERT_NE(service->loadKeymapFile().outcome, LoadOutcome::Unreadable);
        service->model().takeSavedCopies();
        service->connectKeyboard();
        ASSERT_TRUE(RunUntil([&] {
            return service->startupSettled() && service->state() != KeyboardService::State::Reading;
        }));
    }
    Model& model() { return service->model(); }

    ManualClock clock;
    VirtualKeyboard keyboard{clock};
    VirtualKeyboardBackend backend{keyboard};
    TempDir data;
    MemorySettingsStore settings;
    std::unique_ptr<KeyboardService> service;
    std::unique_ptr<KeyboardScripting> scripting;
};

}  // namespace tavrin::test
