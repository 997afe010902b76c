#include "model/FunctionCatalogue.h"

#include <algorithm>

namespace tavrin {

const CatalogueFunction* FindFunctionByLabel(std::u16string_view label, std::uint16_t languageId) {
    const auto it =
        std::find_if(kFunctionCatalogue.begin(), kFunctionCatalogue.end(),
                     [&](const CatalogueFunction& f) { return f.label(languageId) == label; });
    return it == kFunctionCatalogue.end() ? nullptr : &*it;
}

const CatalogueFunction* FindFunctionByCode(const KeyMapEntry& code) {
    const auto it = std::find_if(kFunctionCatalogue.begin(), kFunctionCatalogue.end(),
                                 [&](const CatalogueFunction& f) { return f.code == code; });
    return it == kFunctionCatalogue.end() ? nullptr : &*it;
}

}  // namespace tavrin
