#include "model/ScriptNames.h"

#include "model/KeyCodeTable.h"
#include "model/KeyTables.h"
#include "model/LightingRules.h"

namespace tavrin {

namespace {

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && text.back() == u' ') {
        text.remove_suffix(1);
    }
    return text;
}

// The numeric pad's codes whose names the main keys share.
bool PadDuplicate(std::uint8_t vk) {
    return vk == 108 || vk == 109 || vk == 110 || vk == 111;
}

// Position 100 sends the Apps code like 101; its caption tells them apart.
constexpr std::uint8_t kFnPosition = 100;

constexpr std::array<std::u16string_view, 4> kDirectionNames = {u"left", u"right", u"down", u"up"};

}  // namespace

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<int> ParseDecimal(std::u16string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
    }
    return value;
}

std::optional<std::size_t> FindEffect(std::u16string_view text) {
    if (const auto row = ParseDecimal(text)) {
        if (*row < static_cast<int>(kEffectCount)) {
            return static_cast<std::size_t>(*row);
        }
        return std::nullopt;
    }
    for (std::size_t row = 0; row < kEffectCount; ++row) {
        if (SameName(text, EffectName(row, false)) || SameName(text, EffectName(row, true))) {
            return row;
        }
    }
    return std::nullopt;
}

std::u16string KeyCodeName(std::uint8_t vk) {
    std::u16string name(Trimmed(kKeyCodeTable[vk].name));
    if (!name.empty() && PadDuplicate(vk)) {
        name += u"-num";
    }
    return name;
}

std::optional<std::uint8_t> FindKeyCode(std::u16string_view name) {
    if (Trimmed(name).empty()) {
        return std::nullopt;
    }
    for (int vk = 0; vk < 256; ++vk) {
        if (SameName(name, KeyCodeName(static_cast<std::uint8_t>(vk)))) {
            return static_cast<std::uint8_t>(vk);
        }
    }
    return std::nullopt;
}

std::u16string KeyPositionName(std::uint8_t position) {
    if (position >= kMatrixPositionCount) {
        return {};
    }
    if (position == kFnPosition) {
        return std::u16string(KeyCaptionTable[position]);
    }
    return KeyCodeName(DefaultVkTable[position]);
}

std::optional<std::uint8_t> FindKeyPosition(std::u16string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (SameName(name, KeyPositionName(static_cast<std::uint8_t>(p)))) {
            return static_cast<std::uint8_t>(p);
        }
    }
    // A caption names a key only when no other key shows the same one.
    std::optional<std::uint8_t> found;
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (SameName(name, KeyCaptionTable[p])) {
            if (found) {
                return std::nullopt;
            }
            found = static_cast<std::uint8_t>(p);
        }
    }
    return found;
}

bool KeyOnLayout(std::uint8_t position, std::uint8_t layoutVariant) {
    return position < kMatrixPositionCount && !KeyRectsFor(layoutVariant)[position].isEmpty();
}

const CatalogueFunction* FindFunction(std::u16string_view label) {
    for (const CatalogueFunction& f : kFunctionCatalogue) {
        if (SameName(label, f.english) || SameName(label, f.chinese)) {
            return &f;
        }
    }
    return nullptr;
}

std::optional<std::uint8_t> FindDirection(std::u16string_view name) {
    for (std::size_t code = 0; code < kDirectionNames.size(); ++code) {
        if (SameName(name, kDirectionNames[code])) {
            return static_cast<std::uint8_t>(code);
        }
    }
    return std::nullopt;
}

std::u16string_view DirectionName(std::uint8_t code) {
    return code < kDirectionNames.size() ? kDirectionNames[code] : std::u16string_view();
}

std::optional<std::uint8_t> FindReportPosition(std::u16string_view text) {
    if (text.size() > 2 && SameName(text.substr(text.size() - 2), u"hz")) {
        text.remove_suffix(2);
        const auto rate = ParseDecimal(text);
        for (std::size_t p = 0; rate && p < kReportRatesHz.size(); ++p) {
            if (kReportRatesHz[p] == *rate) {
                return static_cast<std::uint8_t>(p);
            }
        }
        return std::nullopt;
    }
    const auto value = ParseDecimal(text);
    if (!value) {
        return std::nullopt;
    }
    if (*value < static_cast<int>(kReportRatesHz.size())) {
        return static_cast<std::uint8_t>(*value);
    }
    for (std::size_t p = 0; p < kReportRatesHz.size(); ++p) {
        if (kReportRatesHz[p] == *value) {
            return static_cast<std::uint8_t>(p);
        }
    }
    return std::nullopt;
}

}  // namespace tavrin
