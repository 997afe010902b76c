// The key hook with real key events sent through the application.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "device/WindowMessages.h"
#include "platform/qt/QtKeyHook.h"
#include "platform/qt/VirtualKeyMap.h"
#include "ui/support/RecordingTarget.h"

namespace tavrin {
namespace {

constexpr std::intptr_t kRelease =
    static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000000u));

// X11 keysyms the window system gives as the native key.
constexpr quint32 kShiftL = 0xFFE1, kShiftR = 0xFFE2, kControlL = 0xFFE3, kControlR = 0xFFE4,
                  kAltL = 0xFFE9, kAltR = 0xFFEA;

// A window with an edit that would take the keys, and the target recording the messages.
class HookedWindow : public QWidget, public test::RecordingTarget {
public:
    HookedWindow() {
        edit = new QLineEdit(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
    }
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override {
        return RecordingTarget::send(message, wParam, lParam);
    }
    QLineEdit* edit;
};

class QtKeyHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.edit->setFocus();
    }

    void key(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             quint32 native = 0, const QString& text = {}, bool autoRepeat = false) {
        QKeyEvent event(type, qtKey, modifiers, 0, native, 0, text, autoRepeat);
        QApplication::sendEvent(window.edit, &event);
    }
    void stroke(int qtKey, quint32 native = 0, const QString& text = {},
                Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        key(QEvent::KeyPress, qtKey, modifiers, native, text);
        key(QEvent::KeyRelease, qtKey, modifiers, native, text);
    }

    HookedWindow window;
    QtKeyHook hook;
};

using Message = test::RecordingTarget::Message;

TEST_F(QtKeyHookTest, ModeZeroGivesThePressOfEachKeystrokeModeOneBothHalves) {
    ASSERT_TRUE(hook.installhook(&window, 0));
    stroke(Qt::Key_A, 0, QStringLiteral("a"));
    EXPECT_EQ(window.messages, (std::vector<Message>{{WM_HOOK_KEY, 65, 0}}));

    window.messages.clear();
    ASSERT_TRUE(hook.installhook(&window, 1));
    stroke(Qt::Key_A, 0, QStringLiteral("a"));
    EXPECT_EQ(window.messages,
              (std::vector<Message>{{WM_HOOK_KEY, 65, 0}, {WM_HOOK_KEY, 65, kRelease}}));
    // The edit never saw the keys.
    EXPECT_TRUE(window.edit->text().isEmpty());
}

TEST_F(QtKeyHookTest, AutoRepeatIsOneKeystrokeInModeZeroAndRepeatedPressesInModeOne) {
    const auto holdA = [this] {
        key(QEvent::KeyPress, Qt::Key_A, {}, 0, QStringLiteral("a"));
        for (int i = 0; i < 3; ++i) {
            key(QEvent::KeyRelease, Qt::Key_A, {}, 0, QStringLiteral("a"), true);
            key(QEvent::KeyPress, Qt::Key_A, {}, 0, QStringLiteral("a"), true);
        }
        key(QEvent::KeyRelease, Qt::Key_A, {}, 0, QStringLiteral("a"));
    };
    ASSERT_TRUE(hook.installhook(&window, 0));
    holdA();
    EXPECT_EQ(window.messages.size(), 1u);

    window.messages.clear();
    ASSERT_TRUE(hook.installhook(&window, 1));
    holdA();
    ASSERT_EQ(window.messages.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window.messages[static_cast<std::size_t>(i)].lParam, 0) << i;
    }
    EXPECT_EQ(window.messages.back().lParam, kRelease);
}

TEST_F(QtKeyHookTest, LeftAndRightModifiersByTheirNativeKey) {
    ASSERT_TRUE(hook.installhook(&window, 0));
    stroke(Qt::Key_Shift, kShiftL);
    stroke(Qt::Key_Shift, kShiftR);
    stroke(Qt::Key_Control, kControlL);
    stroke(Qt::Key_Control, kControlR);
    stroke(Qt::Key_Alt, kAltL);
    stroke(Qt::Key_Alt, kAltR);
    std::vector<std::uintptr_t> codes;
    for (const Message& m : window.messages) {
        codes.push_back(m.wParam);
    }
    EXPECT_EQ(codes, (std::vector<std::uintptr_t>{160, 161, 162, 163, 164, 165}));
}

TEST_F(QtKeyHookTest, MediaAndPadKeysGetTheirCodes) {
    ASSERT_TRUE(hook.installhook(&window, 0));
    stroke(Qt::Key_VolumeDown);
    stroke(Qt::Key_VolumeUp);
    stroke(Qt::Key_MediaPlay);
    stroke(Qt::Key_LaunchMedia);
    stroke(Qt::Key_7, 0, QStringLiteral("7"), Qt::KeypadModifier);
    stroke(Qt::Key_7, 0, QStringLiteral("7"));
    stroke(Qt::Key_Enter, 0, {}, Qt::KeypadModifier);
    std::vector<std::uintptr_t> codes;
    for (const Message& m : window.messages) {
        codes.push_back(m.wParam);
    }
    EXPECT_EQ(codes, (std::vector<std::uintptr_t>{174, 175, 179, 181, 103, 55, 108}));
}

TEST_F(QtKeyHookTest, RemovedHookLetsKeysThroughAndOtherWindowsKeepTheirKeys) {
    QLineEdit other;
    other.show();
    ASSERT_TRUE(hook.installhook(&window, 0));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(&other, &press);
    EXPECT_EQ(other.text(), QStringLiteral("b"));
    EXPECT_TRUE(window.messages.empty());

    hook.removehook();
    stroke(Qt::Key_C, 0, QStringLiteral("c"));
    EXPECT_EQ(window.edit->text(), QStringLiteral("c"));
    EXPECT_TRUE(window.messages.empty());
}

TEST(QtKeyHookInstall, RefusesWithoutAWindowOrWithAnUnknownMode) {
    QtKeyHook hook;
    test::RecordingTarget target;
    EXPECT_FALSE(hook.installhook(nullptr, 0));
    EXPECT_FALSE(hook.installhook(&target, 2));
    EXPECT_FALSE(hook.installed());
}

TEST(VirtualKeyMap, KeysOfTheUsLayout) {
    struct Case {
        int qtKey;
        bool keypad;
        std::uint8_t vk;
    };
    const Case cases[] = {
        {Qt::Key_Z, false, 90},          {Qt::Key_F12, false, 123},
        {Qt::Key_Semicolon, false, 186}, {Qt::Key_Colon, false, 186},
        {Qt::Key_QuoteLeft, false, 192}, {Qt::Key_Backslash, false, 220},
        {Qt::Key_Menu, false, 93},       {Qt::Key_Escape, false, 27},
        {Qt::Key_Asterisk, true, 106},   {Qt::Key_Home, true, 36},
        {Qt::Key_Period, true, 110},     {Qt::Key_Print, false, 44},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VirtualKeyFor(c.qtKey, c.keypad, 0), std::optional<std::uint8_t>(c.vk))
            << std::hex << c.qtKey;
    }
    EXPECT_EQ(VirtualKeyFor(Qt::Key_Meta, false, 0xFFEC), std::optional<std::uint8_t>(92));
    EXPECT_EQ(VirtualKeyFor(Qt::Key_unknown, false, 0), std::nullopt);
}

}  // namespace
}  // namespace tavrin
