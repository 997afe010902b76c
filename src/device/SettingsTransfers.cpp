#include "device/SettingsTransfers.h"

namespace tavrin {

using namespace protocol;

namespace {

LinkResult ReadSequence(KeyboardCommands& commands, Model& model, bool withLighting) {
    auto guard = commands.lock();
    // Read into copies: a sequence that fails half-way must not leave a half-read model.
    SettingsBlock settings = model.settings;
    FirmwareVersion firmware = model.firmware;
    if (withLighting) {
        if (auto r = commands.readLighting(settings); !r) {
            return r;
        }
    }
    if (auto r = commands.readGameMode(settings); !r) {
        return r;
    }
    if (auto r = commands.readFirmwareInfo(firmware); !r) {
        return r;
    }
    if (auto r = commands.readDeviceParams(settings); !r) {
        return r;
    }
    if (auto r = commands.readKeyMap(settings); !r) {
        return r;
    }
    if (auto r = commands.readKeyEnableMask(settings); !r) {
        return r;
    }
    for (std::size_t slot = 0; slot < SettingsBlock::kDeviceMacroCount; ++slot) {
        if (auto r = commands.readDeviceMacro(slot, settings); !r) {
            return r;
        }
        commands.clock().yield();
    }
    for (std::size_t n = 0; n < SettingsBlock::kDiyTableCount; ++n) {
        if (auto r = commands.readDiyTable(n, settings); !r) {
            return r;
        }
    }
    model.settings = settings;
    model.firmware = firmware;
    return {};
}

}  // namespace

LinkResult ReadAllSettings(KeyboardCommands& commands, Model& model) {
    return ReadSequence(commands, model, true);
}

LinkResult ReadStartupSettings(KeyboardCommands& commands, Model& model) {
    return ReadSequence(commands, model, false);
}

LinkResult ApplySettings(KeyboardCommands& commands, Model& model) {
    auto guard = commands.lock();
    // Send from a snapshot, and record exactly that snapshot as what the keyboard now holds.
    const SettingsBlock live = model.settings;
    const SettingsBlock& saved = model.savedSettings;
    if (ChangedParts(live, saved).empty()) {
        return {};
    }
    Clock& clock = commands.clock();
    auto changed = [&](SettingsPart part) { return PartDiffers(live, saved, part); };

    if (changed(SettingsPart::GameMode)) {
        if (auto r = commands.writeGameMode(live.gameMode()); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    if (changed(SettingsPart::KeyMap)) {
        if (auto r = commands.writeKeyMap(live); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    if (changed(SettingsPart::ReportInterval)) {
        if (auto r = commands.writeReportInterval(live); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    if (changed(SettingsPart::ResponseTime)) {
        if (auto r = commands.writeResponseTime(live); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    if (changed(SettingsPart::KeyEnableMask)) {
        if (auto r = commands.writeKeyEnableMask(live); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    for (std::size_t n = 0; n < SettingsBlock::kDiyTableCount; ++n) {
        if (changed(DiyTablePart(n))) {
            if (auto r = commands.writeDiyTable(n, live); !r) {
                return r;
            }
            clock.sleep(kApplyPartWait);
        }
    }
    for (std::size_t slot = 0; slot < SettingsBlock::kDeviceMacroCount; ++slot) {
        if (changed(DeviceMacroPart(slot))) {
            if (auto r = commands.writeDeviceMacro(slot, live); !r) {
                return r;
            }
            clock.sleep(kApplyMacroWait);
        }
    }
    if (changed(SettingsPart::Lighting)) {
        if (auto r = commands.writeLighting(live); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    if (changed(SettingsPart::DeviceParams)) {
        if (auto r = commands.writeDeviceParams(live); !r) {
            return r;
        }
        clock.sleep(kApplyPartWait);
    }
    if (changed(SettingsPart::WinLock)) {
        if (auto r = commands.writeWinLock(live); !r) {
            return r;
        }
    }
    model.savedSettings = live;
    return {};
}

}  // namespace tavrin
