// Two profiles that differ in their lighting, against the virtual keyboard: the keyboard holds the
// first; choosing the second in the profile manager and applying the model, as the main window's
// Save does, sends the lighting and nothing else.

#include "device/SettingsTransfers.h"
#include "model/ProfileFile.h"
#include "model/ProgramDirectory.h"
#include "support/KeyboardLinkFixture.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/profile/CConfigureDlg.h"
#include "ui/profile/RunProfileManager.h"

#include <QTimer>

namespace tavrin::test {
namespace {

using ProfileSaveEndToEndTest = KeyboardLinkFixture;
INSTANTIATE_TEST_SUITE_P(Backends, ProfileSaveEndToEndTest, ::testing::Values(LinkKind::InProcess),
                         LinkName);

TEST_P(ProfileSaveEndToEndTest, ChoosingAProfileAndSavingSendsOnlyItsLighting) {
    openCommands();
    ASSERT_TRUE(ReadAllSettings(commands, model));
    model.takeSavedCopies();

    const auto programDir = dir.path() / "program";
    const auto configure = programDir / "Configure";
    std::filesystem::create_directories(configure);
    const ProfileFile calm = ProfileFile::FromModel(model);
    ASSERT_TRUE(calm.write(configure / "Calm.bin"));
    Model litModel = model;
    litModel.settings.setSpeedLevel(
        static_cast<std::uint8_t>((model.settings.speedLevel() + 1) % 5));
    litModel.settings.setBrightnessLevel(
        static_cast<std::uint8_t>((model.settings.brightnessLevel() + 2) % 5));
    ASSERT_TRUE(ProfileFile::FromModel(litModel).write(configure / "Lit.bin"));

    MemorySettingsStore settings;
    ScriptedPrompts prompts;
    ScriptedFileChooser chooser;
    SkinLookup skins({});
    CConfigureDlg dialog(model, settings, prompts, chooser, skins, programDir);
    QTimer::singleShot(0, &dialog, [&] {
        dialog.profileList()->setSelectedLine(1);  // Calm, Lit
        dialog.closeButton();
    });
    ASSERT_TRUE(RunProfileManager(dialog, QRect(0, 0, 800, 600)));
    ASSERT_EQ(dialog.profileList()->lineText(1), QStringLiteral("Lit"));

    mark();
    ASSERT_TRUE(ApplySettings(commands, model));
    EXPECT_EQ(commandCodes(), std::vector<std::string>{"06"}) << "the lighting command only";

    Model readBack;
    ASSERT_TRUE(ReadAllSettings(commands, readBack));
    EXPECT_EQ(readBack.settings.speedLevel(), litModel.settings.speedLevel());
    EXPECT_EQ(readBack.settings.brightnessLevel(), litModel.settings.brightnessLevel());
    EXPECT_EQ(readBack.settings, litModel.settings);
}

}  // namespace
}  // namespace tavrin::test
