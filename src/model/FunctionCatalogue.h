#pragma once

// The 23 functions a key can be given from the dialog's function tree, with their labels in both
// interface languages and the four KeyMap bytes the keyboard executes.

#include <array>
#include <cstdint>
#include <string_view>

#include "model/KeyTables.h"
#include "model/Model.h"

namespace tavrin {

// Where a function sits in the tree; TopLevel functions have no group item above them.
enum class FunctionGroup : std::uint8_t { TopLevel, Media, Shortcut, Windows };

struct CatalogueFunction {
    FunctionGroup group = FunctionGroup::TopLevel;
    std::u16string_view english;
    std::u16string_view chinese;
    KeyMapEntry code{};  // bytes 0..3 of the KeyMap entry; byte 3 is the entry type

    // The label in the interface language: Chinese for LanguageId 4, English otherwise.
    constexpr std::u16string_view label(std::uint16_t languageId) const {
        return languageId == kLanguageChinese ? chinese : english;
    }
};

inline constexpr std::size_t kFunctionCount = 23;
using FunctionCatalogue = std::array<CatalogueFunction, kFunctionCount>;

// In tree order. The label is a function's identity when the dialog hands it over.
inline constexpr FunctionCatalogue kFunctionCatalogue = {{
    {FunctionGroup::TopLevel, u"Search", u"搜索", {0x00, 0xE3, 0x09, 0x00}},
    {FunctionGroup::TopLevel, u"Run", u"运行", {0x00, 0xE3, 0x15, 0x00}},
    {FunctionGroup::Media, u"Media Player", u"多媒体播放器", {0x01, 0x83, 0x00, 0x03}},
    {FunctionGroup::Media, u"Prev", u"上一曲", {0x00, 0xB6, 0x00, 0x03}},
    {FunctionGroup::Media, u"Next", u"下一曲", {0x00, 0xB5, 0x00, 0x03}},
    {FunctionGroup::Media, u"Play/Pause", u"播放/暂停", {0x00, 0xCD, 0x00, 0x03}},
    {FunctionGroup::Media, u"Stop", u"停止", {0x00, 0xB7, 0x00, 0x03}},
    {FunctionGroup::Media, u"Vol+", u"音量+", {0x00, 0xE9, 0x00, 0x03}},
    {FunctionGroup::Media, u"Vol-", u"音量-", {0x00, 0xEA, 0x00, 0x03}},
    {FunctionGroup::Media, u"Mute", u"静音", {0x00, 0xE2, 0x00, 0x03}},
    {FunctionGroup::Shortcut, u"New", u"新建", {0x00, 0xE0, 0x11, 0x00}},
    {FunctionGroup::Shortcut, u"Cut", u"剪切", {0x00, 0xE0, 0x1B, 0x00}},
    {FunctionGroup::Shortcut, u"Copy", u"复制", {0x00, 0xE0, 0x06, 0x00}},
    {FunctionGroup::Shortcut, u"Paste", u"粘贴", {0x00, 0xE0, 0x19, 0x00}},
    {FunctionGroup::Shortcut, u"Save", u"保存", {0x00, 0xE0, 0x16, 0x00}},
    {FunctionGroup::Shortcut, u"Print", u"打印", {0x00, 0xE0, 0x13, 0x00}},
    {FunctionGroup::Shortcut, u"Select All", u"全选", {0x00, 0xE0, 0x04, 0x00}},
    {FunctionGroup::Windows, u"Max", u"最大化", {0x1B, 0x2C, 0xE2, 0x00}},
    {FunctionGroup::Windows, u"Min", u"最小化", {0x11, 0x2C, 0xE2, 0x00}},
    {FunctionGroup::TopLevel, u"Computer", u"我的电脑", {0x01, 0x94, 0x00, 0x03}},
    {FunctionGroup::TopLevel, u"Task Management", u"任务管理器", {0x4C, 0xE2, 0xE0, 0x00}},
    {FunctionGroup::TopLevel, u"Homepage", u"浏览器-主页", {0x02, 0x23, 0x00, 0x03}},
    {FunctionGroup::TopLevel, u"Close", u"关闭窗口", {0x00, 0xE2, 0x3D, 0x00}},
}};

// The function whose label in the interface language is exactly `label`; nullptr when none is.
// Labels of the other language do not match.
const CatalogueFunction* FindFunctionByLabel(std::u16string_view label, std::uint16_t languageId);

// The first function whose code bytes equal `code`; nullptr when none does.
const CatalogueFunction* FindFunctionByCode(const KeyMapEntry& code);

}  // namespace tavrin
