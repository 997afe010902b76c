#include "model/MacroStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/KeyCodeTable.h"
#include "model/MacroSequence.h"

namespace tavrin {
namespace {

constexpr std::uint8_t kVkA = 0x41;
constexpr std::uint8_t kVkB = 0x42;
constexpr std::uint8_t kPress = MacroEvent::kPress;
constexpr std::uint8_t kRelease = MacroEvent::kRelease;

struct Ev {
    std::uint8_t vk;
    std::uint8_t direction;
    std::uint16_t delay;
};

MacroSequence SequenceOf(std::initializer_list<Ev> events) {
    MacroSequence s;
    std::size_t i = 0;
    for (const Ev& e : events) {
        SetEventAt(s.keyEvents, i, {e.vk, e.direction, e.delay});
        SetEventAt(s.codeEvents, i, {HidUsage(e.vk), e.direction, e.delay});
        ++i;
    }
    return s;
}

std::vector<std::u16string> Texts(const MacroSequence& s) {
    std::vector<std::u16string> texts;
    for (const EventLine& line : s.lines()) {
        texts.push_back(line.text);
    }
    return texts;
}

// --- BuildDeviceMacros ---

class DeviceMacrosTest : public testing::Test {
protected:
    void SetUp() override {
        for (std::size_t slot = 0; slot < 5; ++slot) {
            std::ranges::fill(settings->deviceMacroRecord(slot), std::uint8_t{0xAA});
        }
    }
    void name(std::size_t slot) {
        MacroRecord r = macros->record(slot);
        r.setName(u"Macro");
        r.setLoopCount(static_cast<std::int32_t>(slot + 1));
        r.setCodeEvent(0, {static_cast<std::uint8_t>(0x04 + slot), kPress, 1});
    }
    bool untouched(std::size_t slot) const {
        return std::ranges::all_of(settings->deviceMacroRecord(slot),
                                   [](auto b) { return b == 0xAA; });
    }

    std::unique_ptr<MacroTable> macros = std::make_unique<MacroTable>();
    std::unique_ptr<SettingsBlock> settings = std::make_unique<SettingsBlock>();
};

TEST_F(DeviceMacrosTest, EmptySlotZeroWritesNothing) {
    name(1);  // a named slot behind an empty slot 0 is never used
    BuildDeviceMacros(*macros, *settings);
    for (std::size_t slot = 0; slot < 5; ++slot) {
        EXPECT_TRUE(untouched(slot)) << slot;
    }
}

TEST_F(DeviceMacrosTest, UsedSlotsAreRewrittenAndTheRestKept) {
    name(0);
    name(1);
    name(3);  // behind the empty slot 2

    BuildDeviceMacros(*macros, *settings);

    for (std::size_t slot : {0u, 1u}) {
        const auto device = settings->deviceMacroRecord(slot);
        EXPECT_EQ(device[0], slot + 1);
        EXPECT_EQ(device[1], 0);
        EXPECT_EQ(device[2], 0);
        EXPECT_EQ(device[3], 0);
        const MacroEventsView code = CodeEventsOf(macros->record(slot));
        EXPECT_TRUE(std::equal(code.begin(), code.end(), device.begin() + 4));
    }
    for (std::size_t slot : {2u, 3u, 4u}) {
        EXPECT_TRUE(untouched(slot)) << slot;
    }
}

TEST_F(DeviceMacrosTest, LoopCountKeepsItsLowSixteenBits) {
    struct Case {
        std::int32_t loops;
        std::array<std::uint8_t, 4> head;
    };
    for (const Case& c : {Case{999, {0xE7, 0x03, 0x00, 0x00}}, Case{0, {0, 0, 0, 0}},
                          Case{0x12345, {0x45, 0x23, 0x00, 0x00}}, Case{-1, {0xFF, 0xFF, 0, 0}}}) {
        SCOPED_TRACE(c.loops);
        name(0);
        macros->record(0).setLoopCount(c.loops);
        BuildDeviceMacros(*macros, *settings);
        const auto device = settings->deviceMacroRecord(0);
        EXPECT_EQ((std::array<std::uint8_t, 4>{device[0], device[1], device[2], device[3]}),
                  c.head);
    }
}

// --- Event lines ---

struct LinesCase {
    const char* name;
    std::vector<Ev> events;
    std::vector<std::u16string> lines;
    std::vector<std::size_t> owners;  // LineToEvent of lines 1, 2, ...
};

class EventLinesTest : public testing::TestWithParam<LinesCase> {};

TEST_P(EventLinesTest, LinesAndTheirEvents) {
    MacroSequence s;
    for (std::size_t i = 0; i < GetParam().events.size(); ++i) {
        const Ev& e = GetParam().events[i];
        ASSERT_TRUE(s.insert(i, e.vk, e.direction, e.delay));
    }
    EXPECT_EQ(Texts(s), GetParam().lines);
    for (std::size_t line = 1; line <= GetParam().owners.size(); ++line) {
        EXPECT_EQ(s.lineToEvent(line), GetParam().owners[line - 1]) << "line " << line;
    }
    EXPECT_EQ(s.lineToEvent(0), std::nullopt);
    EXPECT_EQ(s.lineToEvent(GetParam().lines.size() + 1), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, EventLinesTest,
    testing::Values(LinesCase{"PressThenDelayedRelease",
                              {{kVkA, kPress, 1}, {kVkA, kRelease, 250}},
                              {u"A  dn", u"250 ms", u"A  up"},
                              {0, 1, 1}},
                    LinesCase{"LeadingReleaseShowsItsDelay",
                              {{kVkA, kRelease, 300}},
                              {u"300 ms", u"A  up"},
                              {0, 0}},
                    LinesCase{"LeadingPressHidesItsDelay", {{kVkA, kPress, 300}}, {u"A  dn"}, {0}},
                    LinesCase{"DelayZeroIsShown",
                              {{kVkA, kPress, 0}, {kVkB, kPress, 0}, {kVkB, kRelease, 0}},
                              {u"A  dn", u"0 ms", u"B  dn", u"0 ms", u"B  up"},
                              {0, 1, 1, 2, 2}},
                    LinesCase{"MouseButtons",
                              {{0xF0, kPress, 1}, {0xF0, kRelease, 1}, {0xF2, kPress, 60000}},
                              {u"MsLB dn", u"MsLB up", u"60000 ms", u"MsMB dn"},
                              {0, 1, 2, 2}},
                    LinesCase{"Empty", {}, {}, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(EventWalkTest, FullSequenceStopsAfterEvent126) {
    MacroSequence s;
    for (std::size_t i = 0; i < kMacroEventCount; ++i) {
        ASSERT_TRUE(s.insert(i, kVkA, i % 2 ? kRelease : kPress, i % 2 ? 7 : 1));
    }
    EXPECT_EQ(s.firstFreeEvent(), std::nullopt);
    EXPECT_EQ(s.eventCount(), 127u);
    const auto lines = s.lines();
    ASSERT_EQ(lines.size(), 127u + 63u);  // 63 releases carry a delay line
    EXPECT_EQ(lines.back().event, 126u);
    EXPECT_EQ(s.lineToEvent(lines.size()), 126u);
}

TEST(EventWalkTest, WalkReadsOnlyTheEventArray) {
    // Garbage in every byte, no terminator: the walk ends with the array.
    std::array<std::uint8_t, kMacroEventsSize> events;
    events.fill(0xFF);
    EXPECT_EQ(FirstFreeEvent(events), std::nullopt);
    EXPECT_EQ(EventLines(events).size(), 2u * 127u - 1u);  // no delay line for the first press
}

// --- Insertion and removal keep both arrays alike ---

TEST(MacroSequenceTest, InsertPutsUsageAndVirtualKeyAtTheSamePlace) {
    MacroSequence s = SequenceOf({{kVkA, kPress, 1}, {kVkA, kRelease, 1}});

    ASSERT_TRUE(s.insert(1, kVkB, kPress));

    EXPECT_EQ(s.eventCount(), 3u);
    EXPECT_EQ(s.keyEvent(1), (MacroEvent{kVkB, kPress, 1}));
    EXPECT_EQ(s.codeEvent(1), (MacroEvent{0x05, kPress, 1}));
    EXPECT_EQ(s.keyEvent(2), (MacroEvent{kVkA, kRelease, 1}));
    EXPECT_EQ(s.codeEvent(2), (MacroEvent{0x04, kRelease, 1}));
}

TEST(MacroSequenceTest, InsertPastTheEndAppends) {
    MacroSequence s = SequenceOf({{kVkA, kPress, 1}});
    ASSERT_TRUE(s.insert(40, kVkB, kPress));
    EXPECT_EQ(s.keyEvent(1).key, kVkB);
    EXPECT_EQ(s.eventCount(), 2u);
}

TEST(MacroSequenceTest, InsertIntoAFullSequenceIsRefused) {
    MacroSequence s;
    for (std::size_t i = 0; i < kMacroEventCount; ++i) {
        ASSERT_TRUE(s.insert(i, kVkA, kPress));
    }
    const MacroSequence before = s;
    EXPECT_FALSE(s.insert(0, kVkB, kPress));
    EXPECT_EQ(s, before);
}

TEST(MacroSequenceTest, RemoveMovesTheRestDownAndClearsTheLastPlace) {
    MacroSequence s;
    for (std::size_t i = 0; i < kMacroEventCount; ++i) {
        ASSERT_TRUE(s.insert(i, static_cast<std::uint8_t>(kVkA + i % 26), kPress));
    }
    s.remove(0);
    EXPECT_EQ(s.eventCount(), 126u);
    EXPECT_EQ(s.keyEvent(0).key, kVkB);
    EXPECT_EQ(s.codeEvent(0).key, 0x05);
    EXPECT_TRUE(s.keyEvent(126).isTerminator());
    EXPECT_TRUE(s.codeEvent(126).isTerminator());

    const MacroSequence before = s;
    s.remove(126);  // past the end
    EXPECT_EQ(s, before);
}

TEST(MacroSequenceTest, DelaysChangeBothArraysAndNeverTheTerminator) {
    MacroSequence s = SequenceOf({{kVkA, kPress, 300}, {kVkA, kRelease, 1}});

    s.insertDelay(1);
    EXPECT_EQ(s.keyEvent(1).delay, kInsertedDelay);
    EXPECT_EQ(s.codeEvent(1).delay, kInsertedDelay);
    EXPECT_EQ(s.keyEvent(0).delay, kNoDelay);  // the first event goes back to 1
    EXPECT_EQ(s.codeEvent(0).delay, kNoDelay);

    s.setDelay(2, 500);
    EXPECT_EQ(s.eventCount(), 2u);

    MacroSequence empty;
    empty.insertDelay(0);
    EXPECT_EQ(empty.eventCount(), 0u);
}

TEST(MacroSequenceTest, StoreIntoKeepsNameLoopsAndFlag) {
    auto table = std::make_unique<MacroTable>();
    MacroRecord r = table->record(3);
    r.setName(u"Keep");
    r.setLoopCount(5);
    r.setDelayFlag(true);

    SequenceOf({{kVkB, kPress, 1}}).storeInto(r);

    EXPECT_EQ(r.name(), u"Keep");
    EXPECT_EQ(r.loopCount(), 5);
    EXPECT_TRUE(r.delayFlag());
    EXPECT_EQ(r.keyEvent(0), (MacroEvent{kVkB, kPress, 1}));
    EXPECT_EQ(r.codeEvent(0), (MacroEvent{0x05, kPress, 1}));
    EXPECT_EQ(MacroSequence::Of(r), SequenceOf({{kVkB, kPress, 1}}));
}

TEST(DelayRulesTest, RecordedAndTypedDelaysAreBounded) {
    EXPECT_EQ(RecordedDelay(0), 0);
    EXPECT_EQ(RecordedDelay(1234), 1234);
    EXPECT_EQ(RecordedDelay(70000), 60000);
    EXPECT_EQ(TypedDelay(1), 2);
    EXPECT_EQ(TypedDelay(-5), 2);
    EXPECT_EQ(TypedDelay(60000), 60000);
    EXPECT_EQ(TypedDelay(1000000), 60000);
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

TEST(MacroSlotTest, DeletingASlotMovesTheLaterOnesDownAndClearsTheLastUsed) {
    struct Case {
        int slots;   // used slots before
        int remove;  // the slot deleted
    };
    const Case cases[] = {{3, 1}, {3, 2}, {1, 0}, {5, 0}, {5, 4}};
    for (const Case& c : cases) {
        MacroTable table;
        for (int s = 0; s < c.slots; ++s) {
            table.record(static_cast<std::size_t>(s))
                .setName(std::u16string(1, static_cast<char16_t>(u'a' + s)));
            table.record(static_cast<std::size_t>(s)).setLoopCount(s + 10);
        }
        EXPECT_EQ(DeleteMacroSlot(table, static_cast<std::size_t>(c.remove)),
                  static_cast<std::size_t>(c.slots));
        ASSERT_EQ(UsedMacroSlots(table), static_cast<std::size_t>(c.slots - 1));
        for (int s = 0; s < c.slots - 1; ++s) {
            const int from = s < c.remove ? s : s + 1;
            EXPECT_EQ(table.record(static_cast<std::size_t>(s)).name(),
                      std::u16string(1, static_cast<char16_t>(u'a' + from)));
            EXPECT_EQ(table.record(static_cast<std::size_t>(s)).loopCount(), from + 10);
        }
        for (int s = c.slots - 1; s < 5; ++s) {
            const auto bytes = std::as_const(table).record(static_cast<std::size_t>(s)).bytes();
            EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; }))
                << "slot " << s << " is free and zero";
        }
    }
}

}  // namespace
}  // namespace tavrin
