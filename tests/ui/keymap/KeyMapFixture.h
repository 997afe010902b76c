#pragma once

// A key assignment dialog over a fresh program folder with small pictures of known colours, a
// recording key hook, scripted message boxes and choosers.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "device/WindowMessages.h"
#include "model/KeyCodeTable.h"
#include "model/KeyTables.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "platform/qt/KeyHook.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/controls/VividTree.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin::test {

class RecordingHook : public KeyHook {
public:
    bool installhook(MessageTarget* window, int mode) override {
        installs.push_back(mode);
        target = window;
        return answer;
    }
    void removehook() override {
        ++removes;
        target = nullptr;
    }
    std::vector<int> installs;
    int removes = 0;
    MessageTarget* target = nullptr;
    bool answer = true;
};

// Colours of the test pictures.
inline const QColor kBackground(0x23, 0x23, 0x23);
inline const QColor kTicked(0, 200, 0);    // "Enable.png"
inline const QColor kUnticked(200, 0, 0);  // "Disable.png"
inline const QColor kSaveNormal(0, 0, 150);
inline const QColor kSaveOver(0, 0, 250);
inline const QColor kBrowse(90, 90, 0);
inline const QColor kBrowseOver(180, 180, 0);

// Click points inside the buttons.
inline const QPoint kTabPoint[4] = {{40, 44}, {120, 44}, {200, 44}, {283, 44}};
inline const QPoint kTickPoint(24, 255);
inline const QPoint kDefaultPoint(176, 257);
inline const QPoint kCancelPoint(230, 257);
inline const QPoint kSavePoint(284, 257);
inline const QPoint kClosePoint(310, 9);

inline QPoint RadioPoint(int row) {
    return {20, 68 + 30 * row + 8};
}
inline QPoint BrowsePoint(int row) {
    return {279, 68 + 30 * row + 7};
}

// The position of the key whose factory code is `vk`.
inline std::uint8_t PositionOf(std::uint8_t vk) {
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (DefaultVkTable[p] == vk) {
            return static_cast<std::uint8_t>(p);
        }
    }
    throw std::runtime_error("no such key");
}

class KeyMapFixture : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* language : {"english", "chinese"}) {
            const auto folder = program.path() / "png" / language / "Custom";
            WritePng(folder / "Custom_BK.png", SolidImage({326, 276}, kBackground));
            WritePng(folder / "Enable.png", SolidImage({11, 10}, kTicked));
            WritePng(folder / "Disable.png", SolidImage({11, 10}, kUnticked));
            WritePng(folder / "button-save-normal.png", SolidImage({42, 23}, kSaveNormal));
            WritePng(folder / "button-save-over.png", SolidImage({42, 23}, kSaveOver));
            WritePng(folder / "view.png", SolidImage({47, 16}, kBrowse));
            WritePng(folder / "view02.png", SolidImage({47, 16}, kBrowseOver));
            WritePng(folder / "Macro_BK.png", SolidImage({290, 118}, QColor(40, 40, 60)));
        }
        model.refreshOwnVk();
        for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
            model.settings.setKeyEnabled(MatrixCodeOf(p), true);
        }
        skins = std::make_unique<SkinLookup>(std::vector{program.path()});
        dialog = std::make_unique<CKeyMap>(model, *skins, hook, prompts, chooser);
    }

    AssignmentRecord record(std::uint8_t position) { return model.assignments.record(position); }

    // Opens the dialog on `position` as the main window does, without a modal loop.
    void open(std::uint8_t position) {
        model.selectedKey = position;
        dialog->setSelectedKeyVk(DefaultVkTable[position]);
        dialog->initialise();
        dialog->setResult(-1);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        ParkMouse(*dialog);
    }

    void click(QPoint point) { QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, point); }
    void hookKey(std::uint8_t vk) { dialog->send(WM_HOOK_KEY, vk, 0); }
    QColor pixel(QPoint point) { return LogicalPixelColor(dialog->composed(), point); }
    bool closedWith(QDialog::DialogCode code) {
        return !dialog->isVisible() && dialog->result() == code;
    }

    TempDir program;
    Model model;
    RecordingHook hook;
    ScriptedPrompts prompts;
    ScriptedFileChooser chooser;
    std::unique_ptr<SkinLookup> skins;
    std::unique_ptr<CKeyMap> dialog;
};

}  // namespace tavrin::test
