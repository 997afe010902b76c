#pragma once

// The per-user settings of the program: string values under a key such as "Software\\Mervic".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

inline constexpr const char* kLanguageKey = "Software\\Mervic";
inline constexpr const char* kLanguageValue = "Language";
inline constexpr const char* kProfileKey = "Software\\Dalvex";
inline constexpr const char* kCurrentProfileValue = "CurrentProfileName";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // nullopt when the key or the value does not exist.
    virtual std::optional<std::u16string> readString(const std::string& key,
                                                     const std::string& value) = 0;
    // Creates the key when it is missing. False when the value could not be stored.
    virtual bool writeString(const std::string& key, const std::string& value,
                             const std::u16string& text) = 0;
    // True when the key exists, with or without values. A store that cannot tell says true.
    virtual bool keyExists(const std::string& key) {
        (void)key;
        return true;
    }
};

// LanguageId from the "Language" value: 4 only for exactly "chinese", 9 for anything else.
std::uint16_t ReadLanguageId(SettingsStore& store);
// The same while the value exists. Where no installer wrote it, the desktop's locale decides: a
// locale name such as "zh_CN.UTF-8" (starting with "zh") gives 4, any other 9.
std::uint16_t ReadLanguageId(SettingsStore& store, std::string_view localeName);

}  // namespace tavrin
