#pragma once

// What a read of the keyboard found, handed from the command worker to the model's owner. The
// read fills a private copy; only the owner, on its own thread, makes it the model.

#include <optional>
#include <vector>

#include "device/LinkResult.h"
#include "model/Model.h"

namespace tavrin {

struct KeyboardRead {
    enum class Origin { Startup, Arrival, Lighting, FactoryReset };

    Origin origin = Origin::Startup;
    LinkResult result;
    SettingsBlock settings;           // the parts listed below are the keyboard's when `result`
    std::vector<SettingsPart> parts;  // the parts the read filled
    std::optional<FirmwareVersion> firmware;  // when the read asked for it
};

// The parts each read fills.
std::vector<SettingsPart> StartupReadParts();  // everything the keyboard can tell but the lighting
std::vector<SettingsPart> WholeReadParts();    // the same with the lighting

// Takes a successful read into the model: for each part read, the saved copy becomes the
// keyboard's bytes; the live image does too, unless the user had changed that part (it differed
// from the saved copy), in which case the edit stays and the next Save sends it. The firmware
// version is taken when the read has one. A failed read changes nothing.
void TakeRead(Model& model, const KeyboardRead& read);

}  // namespace tavrin
