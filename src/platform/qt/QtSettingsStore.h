#pragma once

// SettingsStore on QSettings in the native format. A key "Software\\Mervic" is the organisation
// "Mervic": the registry key HKEY_CURRENT_USER\Software\Mervic on Windows,
// $XDG_CONFIG_HOME/Mervic.conf elsewhere; deeper parts of a key become groups.

#include <filesystem>
#include <optional>
#include <string>

#include "model/SettingsStore.h"

class QSettings;

namespace tavrin {

class QtSettingsStore : public SettingsStore {
public:
    // With a config folder the values live in "<folder>/<organisation>.conf" instead of the
    // user's settings (for tests and private runs).
    explicit QtSettingsStore(std::optional<std::filesystem::path> configFolder = std::nullopt);

    std::optional<std::u16string> readString(const std::string& key,
                                             const std::string& value) override;
    bool writeString(const std::string& key, const std::string& value,
                     const std::u16string& text) override;
    // True when the key exists, with or without values: on Linux when its file exists.
    bool keyExists(const std::string& key);

private:
    std::optional<std::filesystem::path> configFolder_;
};

}  // namespace tavrin
