#pragma once

// Doubles and a fixture for the macro manager's tests: a key hook that records its calls, a clock
// moved by hand, and skin pictures of known colours in a temporary program folder.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "device/WindowMessages.h"
#include "model/KeyCodeTable.h"
#include "model/MacroSequence.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "platform/qt/KeyHook.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/macro/CMacroRecordDlg.h"
#include "ui/macro/MacroClock.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin::test {

class FakeKeyHook : public KeyHook {
public:
    bool installhook(MessageTarget* window, int mode) override {
        installs.push_back({window, mode});
        installed = result;
        return result;
    }
    void removehook() override {
        ++removes;
        installed = false;
    }

    struct Install {
        MessageTarget* window;
        int mode;
    };
    std::vector<Install> installs;
    int removes = 0;
    bool installed = false;
    bool result = true;  // what installhook answers
};

class ManualMacroClock : public MacroClock {
public:
    double nowMilliseconds() override { return now; }
    void advance(double ms) { now += ms; }
    double now = 1000.0;
};

// The colours of the test skin's pictures.
inline const QColor kSkinBackground(30, 32, 36);
inline const QColor kRecordNormal(120, 0, 0);
inline const QColor kRecordOver(220, 0, 0);
inline const QColor kTickOff(0, 90, 0);
inline const QColor kTickOn(0, 230, 0);
inline const QColor kButtonNormal(0, 0, 120);
inline const QColor kButtonOver(0, 0, 230);

constexpr std::uint8_t kVkA = 0x41;
constexpr std::uint8_t kVkB = 0x42;
constexpr std::uint8_t kVkC = 0x43;

// "A  dn" and the like: the line the lists show for a key.
inline QString KeyLine(std::uint8_t vk, bool release) {
    return QString::fromStdU16String(std::u16string(kKeyCodeTable[vk].name)) +
           (release ? QStringLiteral(" up") : QStringLiteral(" dn"));
}

// Names a slot and gives it events (virtual-key code, direction, delay).
struct TestEvent {
    std::uint8_t vk;
    std::uint8_t direction;
    std::uint16_t delay;
};
inline void PutMacro(MacroTable& table, std::size_t slot, const std::u16string& name,
                     const std::vector<TestEvent>& events = {}, std::int32_t loops = 1,
                     bool delayFlag = false) {
    const MacroRecord record = table.record(slot);
    record.setName(name);
    record.setLoopCount(loops);
    record.setDelayFlag(delayFlag);
    MacroSequence sequence;
    for (std::size_t i = 0; i < events.size(); ++i) {
        sequence.insert(i, events[i].vk, events[i].direction, events[i].delay);
    }
    sequence.storeInto(record);
}

class MacroDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* language : {"english", "chinese"}) {
            const auto folder = skinDir.path() / "png" / language / "MacroManagement";
            WritePng(folder / "MacroManagement.png", SolidImage({412, 436}, kSkinBackground));
            WritePng(folder / "Record-normal.png", SolidImage({90, 25}, kRecordNormal));
            WritePng(folder / "Record-over.png", SolidImage({90, 25}, kRecordOver));
            WritePng(folder / "Pane.png", SolidImage({15, 15}, kTickOff));
            WritePng(folder / "PaneMakingTick.png", SolidImage({15, 15}, kTickOn));
            WritePng(folder / "button-new-normal.png", SolidImage({58, 25}, kButtonNormal));
            WritePng(folder / "button-new-over.png", SolidImage({58, 25}, kButtonOver));
        }
        skins = std::make_unique<SkinLookup>(std::vector<std::filesystem::path>{skinDir.path()});
        dialog = std::make_unique<CMacroRecordDlg>(model, hook, prompts, clock, *skins);
    }

    void TearDown() override { dialog.reset(); }

    void open() {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        ParkMouse(*dialog);
    }

    // What the hook delivers for a key: bit 31 of lParam set for a release.
    void key(std::uint8_t vk, bool release) {
        dialog->send(WM_HOOK_KEY, vk, release ? static_cast<std::intptr_t>(0x80000000u) : 0);
    }
    void press(std::uint8_t vk) { key(vk, false); }
    void release(std::uint8_t vk) { key(vk, true); }
    void tap(std::uint8_t vk) {
        press(vk);
        release(vk);
    }

    QStringList eventLines() const {
        QStringList lines;
        for (int i = 0; i < dialog->eventList()->count(); ++i) {
            lines << dialog->eventList()->lineText(i);
        }
        return lines;
    }
    QStringList macroLines() const {
        QStringList lines;
        for (int i = 0; i < dialog->macroList()->count(); ++i) {
            lines << dialog->macroList()->lineText(i);
        }
        return lines;
    }

    ConstMacroRecord working(std::size_t slot) const {
        return dialog->workingMacroTable().record(slot);
    }
    MacroSequence workingSequence(std::size_t slot) const {
        return MacroSequence::Of(working(slot));
    }
    std::vector<MacroEvent> workingEvents(std::size_t slot) const {
        const MacroSequence sequence = workingSequence(slot);
        std::vector<MacroEvent> events;
        for (std::size_t i = 0; i < sequence.eventCount(); ++i) {
            events.push_back(sequence.keyEvent(i));
        }
        return events;
    }

    void click(int button) {
        const QRect r = CMacroRecordDlg::kButtonTable[static_cast<std::size_t>(button)].rect();
        QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, r.center());
    }

    void selectMacro(int line) {
        QTest::mouseClick(dialog->macroList()->viewport(), Qt::LeftButton, {},
                          dialog->macroList()->lineRect(line).center());
    }
    void selectEventLine(int line) { dialog->eventList()->setSelectedLine(line); }

    TempDir skinDir;
    std::unique_ptr<SkinLookup> skins;
    Model model;
    FakeKeyHook hook;
    ScriptedPrompts prompts;
    ManualMacroClock clock;
    std::unique_ptr<CMacroRecordDlg> dialog;
};

}  // namespace tavrin::test
