#include "model/ChangedKeyRule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace tavrin {
namespace {

constexpr std::size_t kEscPosition = 0;

// The factory state: the factory key map, every key enabled, every record its own key.
std::unique_ptr<Model> FactoryModel() {
    auto model = std::make_unique<Model>();
    std::ranges::copy(DefaultKeyMap, model->settings.keyMap().begin());
    std::ranges::fill(model->settings.keyEnableMask(), std::uint8_t{0xFF});
    model->refreshOwnVk();
    return model;
}

struct Case {
    std::string name;
    std::size_t position;
    std::function<void(Model&, std::size_t)> change;
    bool changed;
};

TEST(ChangedKeyRuleTest, EachStepOfTheRule) {
    const auto entryByte = [](Model& m, std::size_t p, std::size_t b) -> std::uint8_t& {
        return m.settings.keyMap()[4 * KeyMapIndexOf(p) + b];
    };
    const Case cases[] = {
        {"factory", kEscPosition, [](Model&, std::size_t) {}, false},
        {"macroEntryWhateverTheRecord", kEscPosition,
         [&](Model& m, std::size_t p) { entryByte(m, p, 3) = 4; }, true},
        {"otherUsage", kEscPosition, [&](Model& m, std::size_t p) { entryByte(m, p, 0) ^= 0x01; },
         true},
        {"otherUsageSecondByteOnly", kEscPosition,
         [&](Model& m, std::size_t p) { entryByte(m, p, 1) ^= 0x01; }, false},
        {"recordNotASingleKey", kEscPosition,
         [](Model& m, std::size_t p) { m.assignments.record(p).setKind(2); }, true},
        {"recordAnotherSingleKey", kEscPosition,
         [](Model& m, std::size_t p) {
             m.assignments.record(p).keys()[0] = 0x41;
             m.assignments.record(p).setKeyCount(1);
         },
         true},
        {"recordAnotherKeyButTwoKeys", kEscPosition,
         [](Model& m, std::size_t p) {
             m.assignments.record(p).keys()[0] = 0x41;
             m.assignments.record(p).setKeyCount(2);
         },
         false},
        {"disabledFactoryKey", kEscPosition,
         [](Model& m, std::size_t p) { m.settings.setKeyEnabled(MatrixCodeOf(p), false); }, true},
        {"fnIsNeverMarked", 100,
         [](Model& m, std::size_t p) { m.settings.setKeyEnabled(MatrixCodeOf(p), false); }, false},
    };
    // Entries the factory key map itself gives type 4 count as changed from the start.
    auto baseline = FactoryModel();
    ChangedKeyRule(*baseline);
    ASSERT_EQ(baseline->keyChangedFlags[kEscPosition], 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = FactoryModel();
        model->keyChangedFlags.fill(1);
        model->keyChangedFlags[c.position] = c.changed ? 0 : 1;
        c.change(*model, c.position);
        ChangedKeyRule(*model);
        EXPECT_EQ(model->keyChangedFlags[c.position], c.changed ? 1 : 0);
        // Every other matrix key is as in the factory state; 108..112 keep their old flags.
        for (std::size_t i = 0; i < kMatrixPositionCount; ++i) {
            if (i != c.position) {
                EXPECT_EQ(model->keyChangedFlags[i], baseline->keyChangedFlags[i])
                    << "position " << i;
            }
        }
        for (std::size_t i = kMatrixPositionCount; i < kPositionCount; ++i) {
            EXPECT_EQ(model->keyChangedFlags[i], 1) << "position " << i;
        }
    }
}

}  // namespace
}  // namespace tavrin
