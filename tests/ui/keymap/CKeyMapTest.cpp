// The key assignment dialog driven by clicks at its button positions and by WM_HOOK_KEY.

#include <QLineEdit>
#include <QListWidget>

#include "model/FunctionCatalogue.h"
#include "model/KeyAssignment.h"
#include "support/ScopedTranslation.h"
#include "ui/controls/VividTree.h"
#include "ui/keymap/KeyMapFixture.h"

namespace tavrin::test {
namespace {

constexpr std::uint8_t kVkA = 65;
constexpr std::uint8_t kVkB = 66;
constexpr std::uint8_t kVkC = 67;
constexpr std::uint8_t kVkLCtrl = 162;

using CKeyMapTest = KeyMapFixture;

void GiveFunction(AssignmentRecord r, std::u16string_view label) {
    const CatalogueFunction* function = FindFunctionByLabel(label, kLanguageEnglish);
    ASSERT_NE(function, nullptr);
    r.setKind(KindByte(AssignmentKind::Function));
    r.setCode({function->code[0], function->code[1], function->code[2], function->code[3]});
}

TEST_F(CKeyMapTest, OpensOnAFunctionWithTheBasicTabTheFunctionSelectedAndItsGroupExpanded) {
    const std::uint8_t key = PositionOf(kVkB);
    GiveFunction(record(key), u"Vol+");
    open(key);

    EXPECT_EQ(dialog->activeTab(), CKeyMap::BasicTab);
    EXPECT_TRUE(dialog->tree()->isVisible());
    EXPECT_FALSE(dialog->singleKeyEdit()->isVisible());
    QTreeWidgetItem* current = dialog->tree()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), QStringLiteral("Vol+"));
    EXPECT_TRUE(current->isSelected());
    ASSERT_NE(current->parent(), nullptr);
    EXPECT_EQ(current->parent()->text(0), QStringLiteral("Media"));
    EXPECT_TRUE(current->parent()->isExpanded());
    EXPECT_EQ(model.pending.pendingFunctionLabel, u"Vol+");
    EXPECT_EQ(hook.installs, std::vector<int>{0});
}

TEST_F(CKeyMapTest, OpensOnAMacroWithTheMacroTabAndItsLineSelected) {
    for (std::size_t slot = 0; slot < MacroTable::kRecordCount; ++slot) {
        model.macros.record(slot).setName(u"macro " + std::u16string(1, char16_t(u'0' + slot)));
    }
    const std::uint8_t key = PositionOf(kVkB);
    record(key).setKind(KindByte(AssignmentKind::Macro));
    record(key).setCode({3, 0, 0, 4});
    open(key);

    EXPECT_EQ(dialog->activeTab(), CKeyMap::MacroTab);
    EXPECT_TRUE(dialog->macroList()->isVisible());
    EXPECT_EQ(dialog->macroList()->count(), 5);
    EXPECT_EQ(dialog->macroList()->currentRow(), 3);

    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::Macro));
    EXPECT_EQ(model.pending.pendingMacro, 3);
}

TEST_F(CKeyMapTest, ARestoredCombinationIsShownAndSaveKeepsIt) {
    const std::uint8_t key = PositionOf(kVkB);
    record(key).setKind(KindByte(AssignmentKind::KeyCombination));
    record(key).keys()[0] = kVkLCtrl;
    record(key).keys()[1] = kVkA;
    record(key).setKeyCount(2);
    open(key);

    EXPECT_EQ(dialog->activeTab(), CKeyMap::SingleCombineTab);
    EXPECT_EQ(dialog->combinationEdit()->text(), QStringLiteral("LCtrl + A "));
    EXPECT_TRUE(dialog->singleKeyEdit()->text().isEmpty());

    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::KeyCombination));
    EXPECT_EQ(model.pending.pendingKeyCount, 2);
    EXPECT_EQ(model.pending.pendingKeys[0], kVkLCtrl);
    EXPECT_EQ(model.pending.pendingKeys[1], kVkA);
    EXPECT_EQ(model.pending.pendingKeys[2], 0);
    EXPECT_EQ(hook.removes, 1);
}

TEST_F(CKeyMapTest, CaptureFollowsTheEditWithTheFocusAndAFourthKeyStartsAnew) {
    const std::uint8_t key = PositionOf(kVkB);
    open(key);
    hookKey(kVkA);
    EXPECT_EQ(dialog->singleKeyEdit()->text(), QStringLiteral("A "));
    EXPECT_EQ(model.pending.pendingKeyCount, 1);

    // The combination edit takes the focus: combination mode, the single key forgotten.
    QTest::mouseClick(dialog->combinationEdit(), Qt::LeftButton);
    ASSERT_TRUE(dialog->combinationEdit()->hasFocus());
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::KeyCombination));
    EXPECT_TRUE(dialog->singleKeyEdit()->text().isEmpty());

    hookKey(kVkLCtrl);
    hookKey(kVkA);
    hookKey(kVkB);
    EXPECT_EQ(dialog->combinationEdit()->text(), QStringLiteral("LCtrl + A + B "));
    hookKey(kVkC);
    EXPECT_EQ(dialog->combinationEdit()->text(), QStringLiteral("C "));

    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::KeyCombination));
    EXPECT_EQ(model.pending.pendingKeyCount, 1);
    EXPECT_EQ(model.pending.pendingKeys[0], kVkC);
    EXPECT_EQ(model.pending.pendingKeys[1], 0);
}

TEST_F(CKeyMapTest, TheRestoredKeySurvivesTheShowingButNotASwitchOfEdits) {
    const std::uint8_t key = PositionOf(kVkB);
    record(key).keys()[0] = kVkC;
    record(key).setKeyCount(1);
    open(key);
    ASSERT_TRUE(dialog->singleKeyEdit()->hasFocus());
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::SingleKey));
    EXPECT_EQ(model.pending.pendingKeys[0], kVkC);
    // The caret is at the end, nothing selected.
    EXPECT_FALSE(dialog->singleKeyEdit()->hasSelectedText());
    EXPECT_EQ(dialog->singleKeyEdit()->cursorPosition(), 2);

    QTest::mouseClick(dialog->combinationEdit(), Qt::LeftButton);
    QTest::mouseClick(dialog->singleKeyEdit(), Qt::LeftButton);
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::SingleKey));
    EXPECT_EQ(model.pending.pendingKeys[0], 0);
    EXPECT_FALSE(dialog->keysRestored());
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
}

TEST_F(CKeyMapTest, SaveWithNothingCapturedRestoresTheDefault) {
    open(PositionOf(kVkB));
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
    EXPECT_EQ(model.pending.pendingKeyCount, 0);
    EXPECT_EQ(model.pending.keyEnabledResult, 1);
}

TEST_F(CKeyMapTest, AGroupItemIsNoFunction) {
    model.languageId = kLanguageChinese;
    const test::ScopedTranslation translation(model.languageId);
    open(PositionOf(kVkB));
    click(kTabPoint[CKeyMap::BasicTab]);
    ASSERT_EQ(dialog->activeTab(), CKeyMap::BasicTab);
    // Opening a tab other than Basic selects the first item.
    ASSERT_NE(dialog->tree()->currentItem(), nullptr);
    EXPECT_EQ(dialog->tree()->currentItem()->text(0), QStringLiteral("搜索"));

    const auto groups = dialog->tree()->findItems(QStringLiteral("快捷健"), Qt::MatchExactly);
    ASSERT_EQ(groups.size(), 1);
    dialog->tree()->setCurrentItem(groups.front());
    click(kSavePoint);

    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, u"请选择子项");
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::Ok);
    EXPECT_TRUE(dialog->isVisible());

    // A function of the group is taken, by its Chinese label.
    dialog->tree()->setCurrentItem(groups.front()->child(2));
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::Function));
    EXPECT_EQ(model.pending.pendingFunctionLabel, u"复制");
}

TEST_F(CKeyMapTest, SaveOnTheMacroTabWithoutALineRestoresTheDefaultAndEnablesTheKey) {
    model.macros.record(0).setName(u"first");
    const std::uint8_t key = PositionOf(kVkB);
    model.settings.setKeyEnabled(MatrixCodeOf(key), false);
    open(key);
    EXPECT_EQ(dialog->buttons()[KeyMapButtons::kDisableTick].state, 1);
    EXPECT_EQ(model.pending.keyEnabledResult, 0);

    click(kTabPoint[CKeyMap::MacroTab]);
    ASSERT_TRUE(dialog->macroList()->isVisible());
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::RestoreDefault));
    EXPECT_EQ(model.pending.pendingMacro, PendingAssignment::kNoMacro);
    EXPECT_EQ(model.pending.keyEnabledResult, 1);

    ASSERT_TRUE(CommitKeyAssignment(model, program.path()).ok);
    EXPECT_TRUE(model.settings.isKeyEnabled(MatrixCodeOf(key)));
}

TEST_F(CKeyMapTest, TheTickBoxDisablesTheKey) {
    const std::uint8_t key = PositionOf(kVkB);
    open(key);
    EXPECT_EQ(pixel({20, 252}), kUnticked);
    click(kTickPoint);
    EXPECT_EQ(dialog->buttons()[KeyMapButtons::kDisableTick].state, 1);
    EXPECT_EQ(pixel({20, 252}), kTicked);
    hookKey(kVkA);
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.keyEnabledResult, 0);
}

TEST_F(CKeyMapTest, TheSingleCombineTabClearsTheRecordAtOnceEvenWhenCancelled) {
    const std::uint8_t key = PositionOf(kVkB);
    GiveFunction(record(key), u"Vol+");
    open(key);
    click(kTabPoint[CKeyMap::SingleCombineTab]);
    EXPECT_EQ(dialog->activeTab(), CKeyMap::SingleCombineTab);
    EXPECT_TRUE(dialog->singleKeyEdit()->isVisible());
    EXPECT_FALSE(dialog->tree()->isVisible());

    click(kCancelPoint);
    ASSERT_TRUE(closedWith(QDialog::Rejected));
    EXPECT_EQ(record(key).kind(), KindByte(AssignmentKind::SingleKey));
    EXPECT_EQ(record(key).keyCount(), 0);
    EXPECT_EQ(record(key).code(), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(model.pending.pendingKeyCount, 0);
}

TEST_F(CKeyMapTest, WithoutTheHookNoKeyIsCapturedAndSaveKeepsTheRestoredKey) {
    hook.answer = false;
    const std::uint8_t key = PositionOf(kVkB);
    record(key).keys()[0] = kVkC;
    record(key).setKeyCount(1);
    open(key);
    EXPECT_EQ(dialog->singleKeyEdit()->text(), QStringLiteral("C "));
    hookKey(kVkA);
    EXPECT_EQ(dialog->singleKeyEdit()->text(), QStringLiteral("C "));
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(model.pending.pendingKind, KindByte(AssignmentKind::SingleKey));
    EXPECT_EQ(model.pending.pendingKeyCount, 1);
    EXPECT_EQ(model.pending.pendingKeys[0], kVkC);
}

TEST_F(CKeyMapTest, AKeyOfKindZeroAfterAFunctionForAnotherKeyShowsTheFirstTab) {
    const std::uint8_t first = PositionOf(kVkA);
    open(first);
    click(kTabPoint[CKeyMap::BasicTab]);
    const auto prev =
        dialog->tree()->findItems(QStringLiteral("Prev"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(prev.size(), 1);
    dialog->tree()->setCurrentItem(prev.front());
    click(kSavePoint);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    ASSERT_TRUE(CommitKeyAssignment(model, program.path()).ok);
    EXPECT_EQ(record(first).code(), (std::array<std::uint8_t, 4>{0x00, 0xB6, 0x00, 0x03}));

    open(PositionOf(kVkB));
    EXPECT_EQ(dialog->activeTab(), CKeyMap::SingleCombineTab);
    EXPECT_TRUE(dialog->singleKeyEdit()->isVisible());
    EXPECT_TRUE(dialog->singleKeyEdit()->hasFocus());
    EXPECT_FALSE(dialog->tree()->isVisible());
    ASSERT_NE(dialog->tree()->currentItem(), nullptr);
    EXPECT_EQ(dialog->tree()->currentItem()->text(0), QStringLiteral("Prev"));
}

TEST_F(CKeyMapTest, DefaultAndCancelAndClose) {
    struct Case {
        QPoint point;
        QDialog::DialogCode result;
        std::int32_t keyCount;
        std::uint8_t firstKey;
    };
    // Cancel forgets the keys; Close leaves them as they stand.
    for (const Case& c : {Case{kDefaultPoint, QDialog::Accepted, 255, kVkLCtrl},
                          Case{kCancelPoint, QDialog::Rejected, 0, 0},
                          Case{kClosePoint, QDialog::Rejected, 0, kVkLCtrl}}) {
        const std::uint8_t key = PositionOf(kVkB);
        record(key).setKind(KindByte(AssignmentKind::KeyCombination));
        record(key).keys()[0] = kVkLCtrl;
        record(key).keys()[1] = kVkA;
        record(key).setKeyCount(2);
        open(key);
        click(c.point);
        EXPECT_TRUE(closedWith(c.result)) << c.point.x();
        EXPECT_EQ(model.pending.pendingKeyCount, c.keyCount) << c.point.x();
        EXPECT_EQ(model.pending.pendingKeys[0], c.firstKey) << c.point.x();
    }
}

TEST_F(CKeyMapTest, HoverShowsTheButtonsOverPicture) {
    open(PositionOf(kVkB));
    EXPECT_EQ(pixel({270, 250}), kSaveNormal);
    QTest::mouseMove(dialog.get(), kSavePoint);
    EXPECT_EQ(dialog->buttons()[KeyMapButtons::kSave].state, 1);
    EXPECT_EQ(pixel({270, 250}), kSaveOver);
    QTest::mouseMove(dialog.get(), {240, 120});
    EXPECT_EQ(dialog->buttons()[KeyMapButtons::kSave].state, 0);
    EXPECT_EQ(pixel({270, 250}), kSaveNormal);
}

TEST_F(CKeyMapTest, PressingOffTheButtonsDragsTheWindow) {
    open(PositionOf(kVkB));
    const QPoint start = dialog->pos();
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, {200, 200});
    QTest::mouseMove(dialog.get(), {230, 220});
    // The window moved with the pointer: the pointer is over the point it was pressed on.
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(dialog->pos(), start + QPoint(30, 20));
    EXPECT_TRUE(dialog->isVisible());

    // A press on a button does not drag; its release is a click.
    const QPoint here = dialog->pos();
    QTest::mousePress(dialog.get(), Qt::LeftButton, {}, kSavePoint);
    QTest::mouseMove(dialog.get(), kSavePoint + QPoint(3, 2));
    QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, kSavePoint + QPoint(3, 2));
    EXPECT_EQ(dialog->pos(), here);
    EXPECT_TRUE(closedWith(QDialog::Accepted));
}

TEST_F(CKeyMapTest, CaptionsInTheInterfaceLanguage) {
    // The title line names the key; white text lies on the dark background.
    for (const std::uint16_t language : {kLanguageEnglish, kLanguageChinese}) {
        model.languageId = language;
        const test::ScopedTranslation translation(model.languageId);
        open(PositionOf(kVkB));
        const QImage picture = dialog->composed();
        int white = 0;
        for (int x = 2; x < 120; ++x) {
            for (int y = 2; y < 18; ++y) {
                white += picture.pixelColor(x, y).lightness() > 200 ? 1 : 0;
            }
        }
        EXPECT_GT(white, 20) << language;
        click(kClosePoint);
    }
}

TEST(KeyMapButtonsTest, HitTestWidensTheTickBoxAndTakesTheFirstButton) {
    KeyMapButtons buttons;
    struct Case {
        int x, y;
        std::uint8_t hit;
    };
    const Case cases[] = {
        {14, 246, KeyMapButtons::kDisableTick}, {34, 265, KeyMapButtons::kDisableTick},
        {13, 246, KeyMapButtons::kNone},        {35, 260, KeyMapButtons::kNone},
        {303, 2, KeyMapButtons::kClose},        {318, 17, KeyMapButtons::kClose},
        {319, 17, KeyMapButtons::kNone},        {81, 40, KeyMapButtons::kFirstTab},
        {82, 40, KeyMapButtons::kFirstTab + 1}, {324, 57, KeyMapButtons::kFirstTab + 3},
        {100, 30, KeyMapButtons::kTabBand},     {325, 36, KeyMapButtons::kTabBand},
        {197, 268, KeyMapButtons::kDefault},    {210, 246, KeyMapButtons::kCancel},
        {305, 268, KeyMapButtons::kSave},       {150, 150, KeyMapButtons::kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buttons.hitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
    }
}

}  // namespace
}  // namespace tavrin::test
