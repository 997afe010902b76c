#pragma once

// The procedures built on all commands: reading the keyboard's whole configuration into the model
// and sending the parts of the model that differ from the saved copy.

#include "device/KeyboardCommands.h"
#include "device/LinkResult.h"
#include "model/Model.h"

namespace tavrin {

// Lighting, game mode, firmware, device parameters, key map, key-enable mask, macro slots 0..4
// (yielding after each), DIY tables 0..4. Holds the command lock throughout. The model changes
// only when every read succeeded; the saved copies are not touched.
LinkResult ReadAllSettings(KeyboardCommands& commands, Model& model);

// The start-up read: the same without the lighting (the window reads that itself once it is told).
LinkResult ReadStartupSettings(KeyboardCommands& commands, Model& model);

// Sends every changed part of model.settings in the keyboard's order with its extra waits, then
// makes model.savedSettings equal to what was sent. When a part fails the sequence ends there,
// the failure is returned and the saved copy stays as it was, so the next apply sends the
// difference again. With nothing changed nothing is sent.
LinkResult ApplySettings(KeyboardCommands& commands, Model& model);

}  // namespace tavrin
