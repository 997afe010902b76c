#include "model/SettingsStore.h"

#include "model/Model.h"

namespace tavrin {

std::uint16_t ReadLanguageId(SettingsStore& store) {
    const auto text = store.readString(kLanguageKey, kLanguageValue);
    if (text && *text == u"chinese") {
        return kLanguageChinese;
    }
    return kLanguageEnglish;
}

std::uint16_t ReadLanguageId(SettingsStore& store, std::string_view localeName) {
    if (store.readString(kLanguageKey, kLanguageValue)) {
        return ReadLanguageId(store);
    }
    return localeName.starts_with("zh") ? kLanguageChinese : kLanguageEnglish;
}

}  // namespace tavrin
