// The profile manager's Load and OK with a profile that makes keys open programs, files or
// folders: the question lists them, and each answer leaves the model and the profile file as it
// says, for every profile of the launch-action table.

#include <QCoreApplication>

#include "model/KeyCodeTable.h"
#include "model/LaunchActions.h"
#include "model/LaunchActionsReview.h"
#include "support/LaunchProfiles.h"
#include "support/ScopedTranslation.h"
#include "ui/profile/ProfileDialogTestSupport.h"

namespace tavrin::test {
namespace {

constexpr std::size_t kKeep = 0;
constexpr std::size_t kWithout = 1;
constexpr std::size_t kCancel = 2;

struct Choice {
    const char* name;
    std::size_t index;
};
// Keep last: it is remembered, and the same profile is not asked about again.
constexpr Choice kChoices[] = {{"Cancel", kCancel}, {"Without", kWithout}, {"Keep", kKeep}};

class ProfileLaunchActionsTest : public ProfileDialogTest,
                                 public testing::WithParamInterface<LaunchProfileCase> {
protected:
    void SetUp() override {
        ProfileDialogTest::SetUp();
        putProfile("A", 0x0A);
        model = *profiles.current();
        before = std::make_unique<Model>(model);
        incoming = profiles.profile(GetParam());
        file = outside / "shared.bin";
        ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(file));
    }

    // The one question of the last step, as asked: its key and path lines, its three answers.
    void expectQuestion(std::size_t shownBefore) {
        if (!GetParam().bringsAny()) {
            EXPECT_EQ(prompts.shown().size(), shownBefore) << "nothing to ask";
            return;
        }
        ASSERT_EQ(prompts.shown().size(), shownBefore + 1);
        const auto& asked = prompts.shown().back();
        EXPECT_EQ(asked.buttons, PromptButtons::Choices);
        EXPECT_EQ(asked.answers,
                  (std::vector<std::u16string>{u"Keep them", u"Without them", u"Cancel"}));
        EXPECT_EQ(asked.caption, u"Profile");
        EXPECT_TRUE(asked.text.starts_with(
            u"This profile makes keys open these programs, files or folders:\n"));
        const auto listed = LaunchActionsOf(incoming->assignments);
        for (const auto& [key, absolute, exists] : GetParam().brought) {
            const auto action = std::ranges::find_if(
                listed, [&](const LaunchAction& a) { return LaunchKeyName(a) == key; });
            ASSERT_NE(action, listed.end());
            std::u16string line = u"  " + key + u" (";
            EXPECT_NE(asked.text.find(line), std::u16string::npos) << "the key is named";
            std::u16string tail = u"): " + action->path;
            if (!absolute) {
                tail += u" (not a full path: it is never opened)";
            } else if (!exists) {
                tail += u" (not found)";
            }
            EXPECT_NE(asked.text.find(tail + u"\n"), std::u16string::npos) << "and its path";
        }
        // The current configuration's own action is not asked about.
        EXPECT_EQ(asked.text.find(u"  F1 ("), std::u16string::npos);
    }

    // The model after an answer: the profile with or without its launch actions, or as before.
    void expectModel(std::size_t choice) {
        const bool asked = GetParam().bringsAny();
        if (asked && choice == kCancel) {
            EXPECT_EQ(ProfileFile::FromModel(model).bytes(),
                      ProfileFile::FromModel(*before).bytes());
            return;
        }
        EXPECT_EQ(model.settings.effectCode(), 7);
        if (asked && choice == kWithout) {
            EXPECT_TRUE(LaunchActionsOf(model.assignments).empty());
            for (const auto& [position, kind, path] : GetParam().actions) {
                EXPECT_EQ(model.settings.keyMapEntry(KeyMapIndexOf(position)),
                          (KeyMapEntry{HidUsage(DefaultVkTable[position]), 0, 0, 0}))
                    << "the key has its own meaning back";
            }
        } else {
            EXPECT_EQ(model.assignments, incoming->assignments);
            EXPECT_EQ(model.settings, incoming->settings);
        }
    }

    TempDir outside;
    LaunchProfiles profiles{outside.path()};
    std::unique_ptr<Model> before;
    std::unique_ptr<Model> incoming;
    std::filesystem::path file;
};

TEST_P(ProfileLaunchActionsTest, LoadAsksAndTakesWhatWasChosen) {
    for (const Choice& c : kChoices) {
        SCOPED_TRACE(c.name);
        model = *before;
        ASSERT_TRUE(FilledProfile(0x0A).write(profilePath("A")).ok);
        open();
        select(QStringLiteral("A"));
        const std::size_t shown = prompts.shown().size();
        prompts.queueChoice(c.index);
        chooser.queueAnswer(file);
        dialog->OnCommand(CConfigureDlg::kLoadCommand);

        expectQuestion(shown);
        expectModel(c.index);
        // The selected profile takes the model, or stays as it was.
        if (GetParam().bringsAny() && c.index == kCancel) {
            EXPECT_EQ(ReadWholeFile(profilePath("A")), FilledProfile(0x0A).bytes());
        } else {
            EXPECT_EQ(ReadWholeFile(profilePath("A")), ProfileFile::FromModel(model).bytes());
        }
        dialog->hide();
    }
}

// A profile put into the folder by hand is asked about when the user chooses it with OK.
TEST_P(ProfileLaunchActionsTest, OkOnAProfileFromElsewhereAsksFirst) {
    ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(profilePath("Shared")));
    for (const Choice& c : kChoices) {
        SCOPED_TRACE(c.name);
        model = *before;
        open();
        select(QStringLiteral("Shared"));
        const std::size_t shown = prompts.shown().size();
        settings.writeString(kProfileKey, kCurrentProfileValue, u"A.bin");
        prompts.queueChoice(c.index);
        click(CConfigureDlg::kCloseArea);

        expectQuestion(shown);
        expectModel(c.index);
        const bool stays = GetParam().bringsAny() && c.index == kCancel;
        EXPECT_EQ(dialog->isVisible(), stays) << "Cancel leaves the manager open";
        EXPECT_EQ(settings.readString(kProfileKey, kCurrentProfileValue),
                  stays ? u"A.bin" : u"Shared.bin");
        dialog->hide();
    }
    // Kept once, asked no more: the profile is the user's now.
    model = *before;
    open();
    select(QStringLiteral("Shared"));
    const std::size_t shown = prompts.shown().size();
    click(CConfigureDlg::kCloseArea);
    EXPECT_EQ(prompts.shown().size(), shown);
    EXPECT_EQ(model.assignments, incoming->assignments);
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileLaunchActionsTest,
                         testing::ValuesIn(LaunchProfileCases()),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ProfileDialogTest, TheLaunchQuestionInChinese) {
    TempDir outside;
    LaunchProfiles profiles(outside.path());
    const auto incoming = profiles.profile(LaunchProfileCases()[1]);  // a program
    ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(profilePath("Shared")));
    model.languageId = kLanguageChinese;
    const ScopedTranslation translation(model.languageId);
    open();
    select(QStringLiteral("Shared"));
    prompts.queueChoice(kCancel);
    click(CConfigureDlg::kCloseArea);
    ASSERT_EQ(prompts.shown().size(), 1u);
    const auto& asked = prompts.shown()[0];
    EXPECT_EQ(asked.caption, u"配置管理");
    EXPECT_TRUE(asked.text.starts_with(u"此配置会让按键打开以下程序、文件或目录：\n"));
    EXPECT_NE(asked.text.find(u"  F12 (启动程序): "), std::u16string::npos);
    EXPECT_EQ(asked.answers, (std::vector<std::u16string>{u"保留", u"不保留", u"取消"}));
}

}  // namespace
}  // namespace tavrin::test
