// The profile manager with the skin the build draws, in both languages and with a few profiles,
// for a look at it. Saved when TAVRIN_SCREENSHOT_DIR is set.

#include "support/ScopedTranslation.h"
#include "ui/profile/ProfileDialogTestSupport.h"

namespace tavrin::test {
namespace {

TEST(ProfileManagerLook, BothLanguagesWithTheBuiltSkin) {
    const std::filesystem::path built(TAVRIN_BUILD_PROGRAM_DIR);
    ASSERT_TRUE(std::filesystem::exists(built / "png" / "english" / "Config"))
        << "no skin in " << built;
    SkinLookup skins({built});
    for (std::uint16_t language : {kLanguageEnglish, kLanguageChinese}) {
        TempDir programDir;
        std::filesystem::create_directory(programDir / "Configure");
        for (const char* name : {"Profile_1", "Copy of  Profile_1", "Game", "Work"}) {
            ASSERT_TRUE(ProfileFile::Default().write(programDir / "Configure" /
                                                     (std::string(name) + ".bin")));
        }
        Model model;
        model.languageId = language;
        const test::ScopedTranslation translation(model.languageId);
        MemorySettingsStore settings;
        settings.writeString(kProfileKey, kCurrentProfileValue, u"Game.bin");
        ScriptedPrompts prompts;
        ScriptedFileChooser chooser;
        CConfigureDlg dialog(model, settings, prompts, chooser, skins, programDir.path());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ParkMouse(dialog);
        ASSERT_EQ(dialog.profileList()->count(), 4);
        EXPECT_EQ(dialog.profileList()->lineText(dialog.profileList()->selectedLine()),
                  QStringLiteral("Game"));
        const QImage shot = dialog.grab().toImage();
        EXPECT_EQ(shot.size(), QSize(264, 632));
        SaveScreenshotIfAsked(dialog, language == kLanguageChinese
                                          ? QStringLiteral("profile-manager-chinese")
                                          : QStringLiteral("profile-manager-english"));
    }
}

}  // namespace
}  // namespace tavrin::test
