#include <gtest/gtest.h>

#include <memory>

#include "model/AssignmentReconcile.h"
#include "model/KeyAssignment.h"
#include "model/KeyTables.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

// Records made through the real assignment path, then a KeyMap that the keyboard may or may not
// still hold.
class ReconcileTest : public testing::Test {
protected:
    void SetUp() override {
        std::copy(DefaultKeyMap.begin(), DefaultKeyMap.end(), model->settings.keyMap().begin());
        model->refreshOwnVk();
    }

    void assign(std::uint8_t position, std::uint8_t kind, std::initializer_list<std::uint8_t> keys,
                std::u16string path = {}, std::u16string label = {}) {
        model->selectedKey = position;
        model->pending = PendingAssignment{};
        model->pending.pendingKind = kind;
        std::copy(keys.begin(), keys.end(), model->pending.pendingKeys.begin());
        model->pending.pendingKeyCount = static_cast<std::int32_t>(keys.size());
        model->pending.pendingMacro = kind == 2 ? 1 : -1;
        model->pending.pendingLaunchPath = path;
        model->pending.pendingFunctionLabel = label;
        model->pending.keyEnabledResult = 1;
        ASSERT_TRUE(CommitKeyAssignment(*model, dir.path()));
    }

    void setEntry(std::uint8_t position, KeyMapEntry e) {
        model->settings.setKeyMapEntry(KeyMapIndexOf(position), e);
    }

    test::TempDir dir;
    std::unique_ptr<Model> model = std::make_unique<Model>();
};

TEST_F(ReconcileTest, RecordsThatMatchTheKeyboardAreKept) {
    assign(0, 0, {65});                      // Esc sends A
    assign(1, 1, {162, 65});                 // F1 sends LCtrl+A
    assign(2, 2, {});                        // F2 plays macro 1
    assign(3, 3, {}, {}, u"Vol+");           // F3 is Volume Up
    assign(4, 6, {}, u"/home/u/notes.txt");  // F4 opens a file
    const AssignmentTable before = model->assignments;

    EXPECT_EQ(ReconcileAssignments(*model), 0u);
    EXPECT_EQ(model->assignments, before);
    EXPECT_EQ(model->assignments.record(4).launchPath(), u"/home/u/notes.txt");
}

TEST_F(ReconcileTest, RecordsTheKeyboardContradictsAreReset) {
    assign(0, 0, {65});
    assign(1, 1, {162, 65});
    assign(2, 2, {});
    assign(3, 3, {}, {}, u"Vol+");
    assign(4, 6, {}, u"/home/u/notes.txt");
    // The keyboard was reset or configured elsewhere: every key is back to its factory entry.
    std::copy(DefaultKeyMap.begin(), DefaultKeyMap.end(), model->settings.keyMap().begin());

    EXPECT_EQ(ReconcileAssignments(*model), 5u);
    for (std::uint8_t p = 0; p <= 4; ++p) {
        const ConstAssignmentRecord r = std::as_const(*model).assignments.record(p);
        EXPECT_EQ(r.kind(), 0) << int(p);
        EXPECT_EQ(r.keyCount(), 0) << int(p);
        EXPECT_EQ(r.ownVk(), DefaultVkTable[p]) << int(p);
    }
}

TEST_F(ReconcileTest, EachKindAgainstOneWrongEntry) {
    struct Case {
        std::uint8_t kind;
        KeyMapEntry wrong;
    };
    const Case cases[] = {
        {0, {5, 0, 0, 0}},        // another usage
        {1, {224, 4, 0, 4}},      // right usages, wrong type
        {2, {1, 0, 0, 0}},        // no longer a macro
        {3, {0, 0xE9, 0, 0}},     // type differs from the function's code
        {6, {0x71, 0, 0, 0x0C}},  // an event, but for another code
    };
    for (const Case& c : cases) {
        model->assignments.clear();
        model->refreshOwnVk();
        assign(1, c.kind,
               c.kind <= 1 ? std::initializer_list<std::uint8_t>{162, 65}
                           : std::initializer_list<std::uint8_t>{},
               c.kind == 6 ? u"/x" : u"", c.kind == 3 ? u"Vol+" : u"");
        if (c.kind == 0) {
            assign(1, 0, {65});
        }
        EXPECT_TRUE(AssignmentAgreesWithKeyMap(*model, 1)) << int(c.kind);
        setEntry(1, c.wrong);
        EXPECT_FALSE(AssignmentAgreesWithKeyMap(*model, 1)) << int(c.kind);
    }
}

}  // namespace
}  // namespace tavrin
