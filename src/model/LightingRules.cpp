#include "model/LightingRules.h"

#include "model/KeyTables.h"

namespace tavrin {

namespace {

constexpr std::uint8_t kStaticEffect = 0;
constexpr std::uint8_t kWaveEffect = 2;
constexpr std::uint8_t kWaveColour = 8;
constexpr std::uint8_t kFirstColour = 1;

}  // namespace

bool ChooseEffect(SettingsBlock& settings, std::size_t listIndex) {
    if (listIndex >= EffectCodeTable.size()) {
        return false;
    }
    settings.setEffectCode(EffectCodeTable[listIndex]);
    if (settings.effectCode() == kStaticEffect && settings.colourIndex() == kWaveColour) {
        settings.setColourIndex(kFirstColour);
    }
    if (settings.effectCode() == kWaveEffect) {
        settings.setColourIndex(kWaveColour);
    }
    return true;
}

}  // namespace tavrin
