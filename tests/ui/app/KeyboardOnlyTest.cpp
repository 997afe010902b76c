// The whole application driven by keys alone, no mouse event at all, on the in-process virtual
// keyboard: Wave with a direction reaches the keyboard, and a key's assignment opens and closes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstring>
#include <memory>

#include "app/COstraApp.h"
#include "platform/qt/QtSettingsStore.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/ManualClock.h"
#include "support/RecordingShell.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/main/COstraDlg.h"
#include "ui/support/UiTestSupport.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

constexpr std::uint8_t kCapsLock = 62;

class KeyboardOnlyTest : public testing::Test {
protected:
    void SetUp() override {
        QtSettingsStore(config.path()).writeString("Software\\Mervic", "Language", u"english");
        AppOverrides overrides;
        overrides.backend = std::make_unique<VirtualKeyboardBackend>(*keyboard);
        overrides.configFolder = config.path();
        overrides.trayAvailable = true;
        overrides.showSplash = false;
        overrides.skinRoot = std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR);
        overrides.clock = &clock;
        overrides.prompts = &prompts;
        overrides.shell = &shell;
        overrides.chooser = &chooser;
        overrides.publishOnBus = false;
        overrides.automaticProfiles = false;
        AppOptions options;
        options.dataDir = QString::fromStdString(data.path().string());
        app = std::make_unique<COstraApp>(options, std::move(overrides));
        QString error;
        ASSERT_TRUE(app->start(error)) << error.toStdString();
        TAVRIN_WAIT_TRUE_FOR(app->settingsLoaded(), 10000);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }
    void TearDown() override {
        app.reset();
        EXPECT_TRUE(keyboard->breaches().empty()) << keyboard->breaches().front();
    }

    COstraDlg& window() { return app->window(); }
    Model& model() { return app->model(); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &window(), k, modifiers);
    }
    // Tabs until the named region or slider has the focus; false after a whole round.
    bool tabTo(const QString& name) {
        for (int i = 0; i < 60; ++i) {
            key(Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            const QString now = focus == &window() && window().focusedRegion() >= 0
                                    ? window().regionInfo(window().focusedRegion()).name
                                    : (focus ? focus->accessibleName() : QString());
            if (now == name) {
                return true;
            }
        }
        return false;
    }

    test::ManualClock clock;
    std::unique_ptr<VirtualKeyboard> keyboard = std::make_unique<VirtualKeyboard>(clock);
    test::ScriptedPrompts prompts;
    test::RecordingShell shell;
    test::ScriptedFileChooser chooser;
    test::TempDir data;
    test::TempDir config;
    std::unique_ptr<COstraApp> app;
};

TEST_F(KeyboardOnlyTest, WaveWithItsDirectionReachesTheKeyboard) {
    ASSERT_TRUE(tabTo(QStringLiteral("Light")));
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    key(Qt::Key_Space);  // the effect list
    ASSERT_TRUE(window().state().effectListOpen);
    for (int i = 0; i < 20 && window().state().effectListRow != 2; ++i) {
        key(window().state().effectListRow < 2 || window().state().effectListRow == kNoRow
                ? Qt::Key_Down
                : Qt::Key_Up);
    }
    key(Qt::Key_Return);
    ASSERT_EQ(model().settings.effectCode(), 2);
    ASSERT_TRUE(tabTo(QStringLiteral("Direction Left")));
    key(Qt::Key_Space);
    ASSERT_EQ(model().settings.directionCode(), 0);
    keyboard->clearHostReports();
    key(Qt::Key_S, Qt::ControlModifier);
    TAVRIN_WAIT_TRUE_FOR(!window().busy(), 10000);

    const auto& lighting = keyboard->state().bytes;
    EXPECT_EQ(lighting[VirtualKeyboardState::kLightingOffset], 2);      // Wave
    EXPECT_EQ(lighting[VirtualKeyboardState::kLightingOffset + 4], 0);  // to the left
    EXPECT_FALSE(keyboard->hostReports().empty());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(KeyboardOnlyTest, EnterOnCapsLockOpensItsAssignmentAndEscapeChangesNothing) {
    ASSERT_TRUE(tabTo(QStringLiteral("Esc")));
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Down);
    }
    ASSERT_EQ(window().focusedKey(), kCapsLock);
    const AssignmentTable before = model().assignments;
    const SettingsBlock settingsBefore = model().settings;
    bool opened = false;
    test::WhenModal<CKeyMap>([&](CKeyMap& dialog) {
        opened = true;
        EXPECT_EQ(model().selectedKey, kCapsLock);
        EXPECT_FALSE(dialog.capturesKeys());  // opened from the keyboard: keys still move
        QWidget* focus = dialog.focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &dialog, Qt::Key_Escape);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Escape left the dialog open";
            dialog.done(QDialog::Rejected);
        }
    });
    key(Qt::Key_Return);
    EXPECT_TRUE(opened);
    TAVRIN_WAIT_TRUE(QApplication::activeModalWidget() == nullptr);
    EXPECT_EQ(model().assignments.bytes, before.bytes);
    EXPECT_EQ(model().settings.bytes, settingsBefore.bytes);
    EXPECT_TRUE(prompts.shown().empty());
}

}  // namespace
}  // namespace tavrin
