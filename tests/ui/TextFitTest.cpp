// Every text a skinned window draws at run time fits the box it may fill, in both languages, or is
// cut with "…" and the region that holds it is named with the whole text. Measured with the
// windows' own fonts over the generated skin, in the states that show each text.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetrics>
#include <QTest>
#include <functional>
#include <memory>

#include "macro/MacroTestSupport.h"
#include "model/KeyTables.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "service/InterfaceLanguage.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/macro/CMacroRecordDlg.h"
#include "ui/main/COstraDlg.h"
#include "ui/profile/CConfigureDlg.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

// Whether any region of the window carries `text` as its name.
bool NamedWith(SkinSurface& surface, const QString& text) {
    std::vector<int> pending = surface.regionChildren(SkinSurface::kTopLevel);
    while (!pending.empty()) {
        const int id = pending.back();
        pending.pop_back();
        if (surface.regionInfo(id).name == text) {
            return true;
        }
        const std::vector<int> inner = surface.regionChildren(id);
        pending.insert(pending.end(), inner.begin(), inner.end());
    }
    return false;
}

class TextFitTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        language = QString::fromLatin1(GetParam());
        translation = InstallTranslation(language);
        ASSERT_FALSE(translation.failed);
        SetModelLanguage(model, language);
        model.layoutVariant = 1;
        model.refreshOwnVk();
        std::ranges::fill(model.settings.keyEnableMask(), std::uint8_t{0xFF});
        paths.dataDir = data.path();
        paths.skinRoots = {std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR)};
        skins = std::make_unique<SkinLookup>(paths.skinRoots);
    }

    // Every text of the last composition fits, or is cut and named whole.
    void check(SkinSurface& surface, const std::vector<DrawnText>& texts, const char* state) {
        EXPECT_FALSE(texts.empty()) << state;
        for (const DrawnText& t : texts) {
            if (t.text.isEmpty()) {
                continue;
            }
            const int width = QFontMetrics(t.font).horizontalAdvance(t.text);
            if (width <= t.box.width()) {
                EXPECT_EQ(t.shown, t.text);
                continue;
            }
            const std::string where = std::string(state) + ": \"" + t.text.toStdString() +
                                      "\" is " + std::to_string(width) + " wide in a box of " +
                                      std::to_string(t.box.width()) + " at " +
                                      std::to_string(t.box.x()) + "," + std::to_string(t.box.y());
            EXPECT_TRUE(t.shown.endsWith(QChar(0x2026))) << where;
            EXPECT_LE(QFontMetrics(t.font).horizontalAdvance(t.shown), t.box.width()) << where;
            EXPECT_TRUE(NamedWith(surface, t.text)) << where << ", and no region has its name";
        }
    }

    QString language;
    InstalledTranslation translation;
    Model model;
    test::TempDir data;
    ProgramPaths paths;
    std::unique_ptr<SkinLookup> skins;
    test::ScriptedPrompts prompts;
    test::ScriptedFileChooser chooser;
};

TEST_P(TextFitTest, MainWindow) {
    COstraDlg window(model, paths);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MainWindowState& state = window.state();
    const auto compose = [&](const char* name, const std::function<void()>& set) {
        state = MainWindowState{};
        set();
        window.paintAll();
        check(window, window.drawnTexts(), name);
    };
    compose("closed", [] {});
    for (std::size_t row = 0; row < kEffectCount; ++row) {
        compose("an effect, every section open", [&] {
            state.panel = PanelState{false, false, false, false};
            model.settings.setEffectCode(EffectCodeTable[row]);
            model.settings.setResponseTime(10);
        });
    }
    compose("Wave", [&] {
        state.panel.lightCollapsed = false;
        model.settings.setEffectCode(2);
    });
    compose("the effect list", [&] {
        state.panel.lightCollapsed = false;
        state.effectListOpen = true;
    });
    compose("the response list", [&] {
        state.panel.responseCollapsed = false;
        state.responseListOpen = true;
    });
    compose("help", [&] { state.helpOpen = true; });
    compose("every key lit", [&] {
        model.settings.setEffectCode(51);
        state.panel.lightCollapsed = false;
        state.diyView = true;
        std::ranges::fill(model.settings.diyTable(0), std::uint8_t{0xFF});
    });
    window.setNotice(CKeyMap::tr("Save"));
    check(window, window.drawnTexts(), "a notice");
}

TEST_P(TextFitTest, KeyAssignmentDialog) {
    test::FakeKeyHook hook;
    CKeyMap dialog(model, *skins, hook, prompts, chooser);
    model.selectedKey = 62;  // Caps Lock: the longest title line
    dialog.setSelectedKeyVk(DefaultVkTable[62]);
    dialog.initialise();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (int tab = 1; tab <= 4; ++tab) {
        dialog.activateRegion(tab);
        static_cast<void>(dialog.composed());
        check(dialog, dialog.drawnTexts(), "a tab");
    }
    dialog.done(QDialog::Rejected);
}

TEST_P(TextFitTest, MacroManager) {
    test::FakeKeyHook hook;
    test::ManualMacroClock clock;
    CMacroRecordDlg dialog(model, hook, prompts, clock, *skins);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    static_cast<void>(dialog.composeSurface());
    check(dialog, dialog.drawnTexts(), "opened");
    dialog.clickButton(CMacroRecordDlg::kNewButton);
    dialog.clickButton(CMacroRecordDlg::kRecordButton);  // "Stop Recording"
    ASSERT_TRUE(dialog.recordButtonState());
    static_cast<void>(dialog.composeSurface());
    check(dialog, dialog.drawnTexts(), "recording");
    dialog.reject();
}

TEST_P(TextFitTest, ProfileManager) {
    MemorySettingsStore settings;
    CConfigureDlg dialog(model, settings, prompts, chooser, *skins, data.path());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    static_cast<void>(dialog.composeSurface());
    check(dialog, dialog.drawnTexts(), "opened");
    dialog.reject();
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFitTest, ::testing::Values("english", "chinese"),
                         [](const auto& language) { return std::string(language.param); });

}  // namespace
}  // namespace tavrin
