// The keyboard picture of the main window: hover, the two views and the key click.

#include <QDialog>
#include <QTimer>

#include "model/LocalFiles.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/keymap/KeyMapFixture.h"
#include "ui/keymap/OpenKeyAssignment.h"
#include "ui/main/MainViewFixture.h"

namespace tavrin::test {
namespace {

constexpr std::size_t kEsc = 0;
constexpr std::size_t kWin = 96;
constexpr std::size_t kFn = 100;

using KeyboardViewTest = MainViewFixture;

TEST_F(KeyboardViewTest, HoverOverEscHighlightsItsRectangle) {
    struct Case {
        QPoint at;
        bool onEsc;
    };
    // Esc is (86,113)-(108,137) in the picture: (361,198)-(383,222) in the window.
    const Case cases[] = {{{361, 198}, true}, {{383, 222}, true}, {{384, 222}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        hover(c.at.x(), c.at.y());
        EXPECT_EQ(model->selectedKey == kEsc, c.onEsc);
        // The copied rectangle leaves out the right and bottom edges.
        EXPECT_EQ(pixel(361, 198), c.onEsc ? kKbHigh : kKbBack);
        EXPECT_EQ(pixel(382, 221), c.onEsc ? kKbHigh : kKbBack);
        EXPECT_EQ(pixel(383, 222), kKbBack);
        hover(600, 30);
    }
    EXPECT_EQ(window->hitKey(275, 85), kNoKey);
}

TEST_F(KeyboardViewTest, ChangedKeysAreHighlightedButNeverTheWinKey) {
    model->keyChangedFlags[kEsc] = 1;
    model->keyChangedFlags[kWin] = 1;
    window->paintAll();
    EXPECT_EQ(pixel(KeyCentre(kEsc).x(), KeyCentre(kEsc).y()), kKbHigh);
    EXPECT_EQ(pixel(KeyCentre(kWin).x(), KeyCentre(kWin).y()), kKbBack);
    EXPECT_EQ(model->keyChangedFlags[kWin], 0);
}

TEST_F(KeyboardViewTest, WinAndFnAreNotClickableInTheKeymapViewButToggleInTheDiyView) {
    for (std::size_t key : {kWin, kFn}) {
        click(KeyCentre(key));
        EXPECT_EQ(model->selectedKey, kNoKey);
    }
    EXPECT_EQ(dialogRuns, 0);
    click(KeyCentre(kEsc));
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(model->selectedKey, kEsc);

    settings().setEffectCode(51);
    state().diyView = true;
    for (std::size_t key : {kWin, kFn}) {
        SCOPED_TRACE(key);
        const std::uint8_t& light = settings().diyTable(0)[LedIndexOf(key)];
        ASSERT_EQ(light, 0);
        click(KeyCentre(key));
        EXPECT_EQ(model->selectedKey, key);
        EXPECT_EQ(light, 0xFF);
        click(KeyCentre(key));
        EXPECT_EQ(light, 0x00);
    }
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "keymap.bin"));
}

TEST_F(KeyboardViewTest, Diy3ClicksToggleTheLayerAndShowIt) {
    settings().setEffectCode(53);
    state().diyView = true;
    std::uint8_t& esc = settings().diyTable(2)[LedIndexOf(kEsc)];
    ASSERT_EQ(LedIndexOf(kEsc), 0);
    const auto others = [&] {
        std::array<std::uint8_t, 128> copy{};
        std::ranges::copy(settings().diyTable(2), copy.begin());
        copy[0] = 0;
        return copy;
    };
    const auto othersBefore = others();

    click(KeyCentre(kEsc));
    EXPECT_EQ(esc, 0xFF);
    // Lit: blue without the right and bottom edges, the white outline around the hovered key.
    EXPECT_EQ(pixel(361, 198), kLitBlue);
    EXPECT_EQ(pixel(382, 221), kLitBlue);
    EXPECT_EQ(pixel(383, 222), kKbBack);
    EXPECT_EQ(pixel(359, 196), kWhite);
    EXPECT_EQ(pixel(384, 223), kWhite);
    EXPECT_EQ(pixel(360, 197), kKbBack);

    click(KeyCentre(kEsc));
    EXPECT_EQ(esc, 0x00);
    EXPECT_EQ(pixel(361, 198), kKbBack);

    esc = 0x37;
    click(KeyCentre(kEsc));
    EXPECT_EQ(esc, 0x00);
    EXPECT_EQ(others(), othersBefore);
    for (std::size_t n : {0u, 1u, 3u, 4u}) {
        EXPECT_TRUE(std::ranges::equal(settings().diyTable(n), model->savedSettings.diyTable(n)))
            << n;
    }
}

TEST_F(KeyboardViewTest, TheDiyViewOfAnEffectWithoutALayerDrawsAndTogglesNothing) {
    settings().setEffectCode(9);
    model->takeSavedSettings();
    state().diyView = true;
    model->keyChangedFlags[kEsc] = 1;
    click(KeyCentre(kEsc));
    EXPECT_EQ(model->selectedKey, kEsc);
    EXPECT_EQ(settings(), model->savedSettings);
    EXPECT_EQ(dialogRuns, 0);
    EXPECT_EQ(pixel(362, 200), kKbBack);
}

// The Keymap-view click with the real key assignment dialog.
class KeyClickDialogTest : public MainViewFixture {
protected:
    void SetUp() override {
        MainViewFixture::SetUp();
        const auto folder = dir.path() / "png" / "english" / "Custom";
        WritePng(folder / "Custom_BK.png", SolidImage({326, 276}, kBackground));
        WritePng(folder / "Enable.png", SolidImage({11, 10}, kTicked));
        WritePng(folder / "Disable.png", SolidImage({11, 10}, kUnticked));
        WritePng(folder / "button-save-normal.png", SolidImage({42, 23}, kSaveNormal));
        WritePng(folder / "button-save-over.png", SolidImage({42, 23}, kSaveOver));
        std::ranges::copy(DefaultKeyMap, settings().keyMap().begin());
        skins = std::make_unique<SkinLookup>(std::vector{dir.path()});
        dialog = std::make_unique<CKeyMap>(*model, *skins, hook, prompts, chooser);
        window->setKeyAssignmentDialog([this] {
            QTimer::singleShot(0, dialog.get(), [this] {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
                ParkMouse(*dialog);
                steps();
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the dialog is still open";
                    dialog->reject();
                }
            });
            const KeyAssignmentOutcome outcome = OpenKeyAssignment(*dialog, *model, dir.path());
            EXPECT_NE(outcome.status, KeyAssignmentOutcome::Status::NotAssignable);
        });
    }

    void dialogClick(QPoint p) { QTest::mouseClick(dialog.get(), Qt::LeftButton, {}, p); }

    RecordingHook hook;
    ScriptedPrompts prompts;
    ScriptedFileChooser chooser;
    std::unique_ptr<SkinLookup> skins;
    std::unique_ptr<CKeyMap> dialog;
    std::function<void()> steps;
};

TEST_F(KeyClickDialogTest, AKeyDisabledInTheDialogIsShownAsChanged) {
    const std::uint8_t key = PositionOf(66);  // B
    ASSERT_TRUE(WriteKeymapFromModel(dir.path(), *model).ok);
    steps = [&] {
        dialogClick(kTickPoint);
        dialog->send(WM_HOOK_KEY, 66, 0);  // its own key: the factory assignment
        dialogClick(kSavePoint);
    };
    click(KeyCentre(key));
    EXPECT_EQ(model->selectedKey, key);
    hover(600, 30);
    EXPECT_EQ(model->keyChangedFlags[key], 1);
    EXPECT_FALSE(settings().isKeyEnabled(MatrixCodeOf(key)));
    EXPECT_EQ(pixel(KeyCentre(key).x(), KeyCentre(key).y()), kKbHigh);
    Model reloaded;
    ASSERT_EQ(LoadKeymapFile(dir.path(), reloaded, false).outcome, LoadOutcome::Loaded);
    EXPECT_FALSE(reloaded.settings.isKeyEnabled(MatrixCodeOf(key)));
    EXPECT_EQ(reloaded.settings.keyMapEntry(KeyMapIndexOf(key)),
              settings().keyMapEntry(KeyMapIndexOf(key)));
}

TEST_F(KeyClickDialogTest, CancelInTheDialogLeavesEverythingAsItWas) {
    const std::uint8_t key = PositionOf(66);
    ASSERT_TRUE(WriteKeymapFromModel(dir.path(), *model).ok);
    const auto fileBefore = ReadWholeFile(dir / "keymap.bin");
    const AssignmentTable onDisk = model->assignments;
    // Memory holds a record the file does not: the click reloads the file's.
    model->assignments.record(key).setKind(KindByte(AssignmentKind::Function));
    model->keyChangedFlags[PositionOf(67)] = 1;
    const auto flagsBefore = model->keyChangedFlags;
    const auto maskBefore =
        std::vector(settings().keyEnableMask().begin(), settings().keyEnableMask().end());
    steps = [&] {
        dialogClick(kTickPoint);
        dialogClick(kCancelPoint);
    };
    click(KeyCentre(key));
    EXPECT_EQ(model->keyChangedFlags, flagsBefore);
    EXPECT_EQ(std::vector(settings().keyEnableMask().begin(), settings().keyEnableMask().end()),
              maskBefore);
    EXPECT_EQ(ReadWholeFile(dir / "keymap.bin"), fileBefore);
    EXPECT_EQ(model->assignments, onDisk);
}

}  // namespace
}  // namespace tavrin::test
