#pragma once

// The per-user settings of the program: string values under a key such as "Software\\Mervic".

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

// Keeps the values in memory: for tests and for runs that must not touch the user's settings.
class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::u16string> readString(const std::string& key,
                                             const std::string& value) override {
        const auto it = values_.find({key, value});
        if (it == values_.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    bool writeString(const std::string& key, const std::string& value,
                     const std::u16string& text) override {
        if (failWrites_) {
            return false;
        }
        values_[{key, value}] = text;
        return true;
    }
    bool keyExists(const std::string& key) override {
        const auto it = values_.lower_bound({key, std::string()});
        return it != values_.end() && it->first.first == key;
    }
    void setFailWrites(bool fail) { failWrites_ = fail; }

private:
    std::map<std::pair<std::string, std::string>, std::u16string> values_;
    bool failWrites_ = false;
};

// LanguageId from the "Language" value: 4 only for exactly "chinese", 9 for anything else.
std::uint16_t ReadLanguageId(SettingsStore& store);
// The same while the value exists. Where no installer wrote it, the desktop's locale decides: a
// locale name such as "zh_CN.UTF-8" (starting with "zh") gives 4, any other 9.
std::uint16_t ReadLanguageId(SettingsStore& store, std::string_view localeName);

}  // namespace tavrin
