#include "ui/keymap/KeyNames.h"

#include "model/KeyCodeTable.h"

namespace tavrin {

QString KeyName(std::uint8_t vk) {
    const std::u16string_view name = kKeyCodeTable[vk].name;
    return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

QString CombinationText(std::span<const std::uint8_t> keys) {
    QString text;
    for (const std::uint8_t vk : keys) {
        if (vk == 0) {
            continue;
        }
        if (!text.isEmpty()) {
            text += QStringLiteral("+ ");
        }
        text += KeyName(vk);
    }
    return text;
}

}  // namespace tavrin
