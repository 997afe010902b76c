// The dialog with the generated skin: its size, and screenshots of every tab in both languages
// when TAVRIN_SCREENSHOT_DIR is set.

#include "platform/qt/QtConversions.h"
#include "support/ScopedTranslation.h"
#include "ui/keymap/KeyMapFixture.h"

namespace tavrin::test {
namespace {

class CKeyMapSkinTest : public KeyMapFixture {
protected:
    void SetUp() override {
        KeyMapFixture::SetUp();
        const std::filesystem::path built(TAVRIN_BUILD_PROGRAM_DIR);
        // The build draws the skin before this program, so a missing one is a fault.
        ASSERT_TRUE(std::filesystem::exists(built / "png/english/Custom/Custom_BK.png"))
            << "no generated skin in " << built;
        skins = std::make_unique<SkinLookup>(std::vector{built});
        dialog = std::make_unique<CKeyMap>(model, *skins, hook, prompts, chooser);
    }
};

TEST_F(CKeyMapSkinTest, EveryTabInBothLanguages) {
    for (std::size_t slot = 0; slot < 3; ++slot) {
        model.macros.record(slot).setName(u"Macro " + std::u16string(1, char16_t(u'1' + slot)));
    }
    const std::uint8_t key = PositionOf(65);
    for (const std::uint16_t language : {kLanguageEnglish, kLanguageChinese}) {
        model.languageId = language;
        const test::ScopedTranslation translation(model.languageId);
        const QString suffix =
            language == kLanguageChinese ? QStringLiteral("chinese") : QStringLiteral("english");
        record(key).setKind(KindByte(AssignmentKind::KeyCombination));
        record(key).keys()[0] = 162;
        record(key).keys()[1] = 65;
        record(key).setKeyCount(2);
        open(key);
        EXPECT_EQ(dialog->size(), QSize(326, 276));
        SaveScreenshotIfAsked(*dialog, QStringLiteral("keymap-single-") + suffix);

        click(kTabPoint[CKeyMap::MacroTab]);
        dialog->macroList()->setCurrentRow(1);
        SaveScreenshotIfAsked(*dialog, QStringLiteral("keymap-macro-") + suffix);

        click(kTabPoint[CKeyMap::BasicTab]);
        const auto items = dialog->tree()->findItems(
            language == kLanguageChinese ? QStringLiteral("音量+") : QStringLiteral("Vol+"),
            Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1);
        dialog->tree()->setCurrentItem(items.front());
        dialog->tree()->setFocus();
        SaveScreenshotIfAsked(*dialog, QStringLiteral("keymap-basic-") + suffix);

        click(kTabPoint[CKeyMap::AdvanceTab]);
        const auto song = program.path() / "Music" / "a-rather-long-song-name.mp3";
        std::filesystem::create_directories(song.parent_path());
        WriteWholeFile(song, {1});
        chooser.queueAnswer(song);
        click(BrowsePoint(0));
        EXPECT_EQ(dialog->launchPanel().launchChoice, 0);
        click(kTickPoint);
        QTest::mouseMove(dialog.get(), BrowsePoint(2));
        SaveScreenshotIfAsked(*dialog, QStringLiteral("keymap-advance-") + suffix);
        click(kCancelPoint);
    }
}

}  // namespace
}  // namespace tavrin::test
