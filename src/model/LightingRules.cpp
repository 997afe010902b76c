#include "model/LightingRules.h"

#include <array>

#include "model/KeyTables.h"

namespace tavrin {

namespace {

constexpr std::uint8_t kStaticEffect = 0;
constexpr std::uint8_t kWaveEffect = 2;
constexpr std::uint8_t kWaveColour = 8;
constexpr std::uint8_t kFirstColour = 1;

constexpr std::array<std::u16string_view, kEffectCount> kEffectNamesEnglish = {
    u"Static",     u"Breathing", u"Wave",       u"Reactive", u"Sidewinder",    u"Ripple",
    u"Instant-on", u"RainDropo", u"Horse Race", u"Scatter",  u"Single Ripple", u"Character",
    u"Radar",      u"DIY1",      u"DIY2",       u"DIY3",     u"DIY4",          u"DIY5"};

constexpr std::array<std::u16string_view, kEffectCount> kEffectNamesChinese = {
    u"全亮",     u"呼吸", u"波浪",     u"随按渐灭", u"蛇形跑马", u"涟漪",
    u"即按即亮", u"雨滴", u"环形跑马", u"扩散模式", u"单行涟漪", u"字节模式",
    u"扩散集合", u"DIY1", u"DIY2",     u"DIY3",     u"DIY4",     u"DIY5"};

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

std::u16string_view EffectName(std::size_t row, bool chinese) {
    if (row >= kEffectCount) {
        return {};
    }
    return chinese ? kEffectNamesChinese[row] : kEffectNamesEnglish[row];
}

std::optional<std::size_t> EffectRowForCode(std::uint8_t effectCode) {
    for (std::size_t row = 0; row < kEffectCount; ++row) {
        if (EffectCodeTable[row] == effectCode) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<std::u16string_view> EffectNameForCode(std::uint8_t effectCode, bool chinese) {
    if (const auto row = EffectRowForCode(effectCode)) {
        return EffectName(*row, chinese);
    }
    return std::nullopt;
}

}  // namespace tavrin
