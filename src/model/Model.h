#pragma once

// The one configuration model of a run: the three images, their saved copies and the small shared
// values. The application owns one instance and hands it on by reference.

#include <array>
#include <cstdint>
#include <string>

#include "model/AssignmentTable.h"
#include "model/KeyTables.h"
#include "model/MacroTable.h"
#include "model/PendingAssignment.h"
#include "model/ProgramDirectory.h"
#include "model/SettingsBlock.h"

namespace tavrin {

inline constexpr std::uint16_t kLanguageChinese = 4;
inline constexpr std::uint16_t kLanguageEnglish = 9;

struct FirmwareVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;

    auto operator<=>(const FirmwareVersion&) const = default;
};

struct Model {
    SettingsBlock settings;
    SettingsBlock savedSettings;
    AssignmentTable assignments;
    AssignmentTable savedAssignments;
    MacroTable macros;

    FirmwareVersion firmware;
    std::uint8_t layoutVariant = 0;  // 1 = 104 keys, 0 = 87 keys
    std::uint8_t selectedKey = kNoKey;
    std::array<std::uint8_t, kKeyTableSize> keyChangedFlags{};
    std::uint16_t languageId = kLanguageEnglish;
    // A translation other than Chinese that the windows show (its name, plain lower-case letters).
    // Empty for English and Chinese, which languageId names. The tables of the core stay English
    // for it.
    std::string translation;
    std::string devicePath;     // the keyboard interface last found by discovery
    PendingAssignment pending;  // the key assignment dialog's choice for selectedKey

    bool chinese() const { return languageId == kLanguageChinese; }
    // The skin folder of the interface language: "png/<translation>" or SkinFolderName(languageId).
    std::filesystem::path skinFolder() const {
        return translation.empty() ? SkinFolderName(languageId)
                                   : "png" / std::filesystem::path(translation);
    }

    void takeSavedSettings() { savedSettings = settings; }
    void takeSavedCopies() {
        savedSettings = settings;
        savedAssignments = assignments;
    }
    void revertToSaved() {
        settings = savedSettings;
        assignments = savedAssignments;
    }

    // Byte 0 of records 0..112 gets the key's default virtual-key code.
    void refreshOwnVk() {
        for (std::size_t k = 0; k < kPositionCount; ++k) {
            assignments.record(k).setOwnVk(DefaultVkTable[k]);
        }
    }
};

}  // namespace tavrin
