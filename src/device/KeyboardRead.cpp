#include "device/KeyboardRead.h"

#include <algorithm>

namespace tavrin {

std::vector<SettingsPart> StartupReadParts() {
    std::vector<SettingsPart> parts = {SettingsPart::GameMode, SettingsPart::DeviceParams,
                                       SettingsPart::KeyMap, SettingsPart::KeyEnableMask};
    for (std::size_t slot = 0; slot < SettingsBlock::kDeviceMacroCount; ++slot) {
        parts.push_back(DeviceMacroPart(slot));
    }
    for (std::size_t n = 0; n < SettingsBlock::kDiyTableCount; ++n) {
        parts.push_back(DiyTablePart(n));
    }
    return parts;
}

std::vector<SettingsPart> WholeReadParts() {
    std::vector<SettingsPart> parts = StartupReadParts();
    parts.push_back(SettingsPart::Lighting);
    return parts;
}

void TakeRead(Model& model, const KeyboardRead& read) {
    if (!read.result) {
        return;
    }
    for (const SettingsPart part : read.parts) {
        const ByteRange r = RangeOf(part);
        const auto from = read.settings.bytes.begin() + static_cast<std::ptrdiff_t>(r.offset);
        const auto to = from + static_cast<std::ptrdiff_t>(r.size);
        const bool edited = PartDiffers(model.settings, model.savedSettings, part);
        if (!edited) {
            std::copy(from, to,
                      model.settings.bytes.begin() + static_cast<std::ptrdiff_t>(r.offset));
        }
        std::copy(from, to,
                  model.savedSettings.bytes.begin() + static_cast<std::ptrdiff_t>(r.offset));
    }
    if (read.firmware) {
        model.firmware = *read.firmware;
    }
}

}  // namespace tavrin
