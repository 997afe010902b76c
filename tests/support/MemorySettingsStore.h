#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "model/SettingsStore.h"

namespace tavrin {

// Keeps the values in memory. setFailWrites makes every write fail, as a store that cannot be
// written would.
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

}  // namespace tavrin
