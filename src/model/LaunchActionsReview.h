#pragma once

// Launch actions that come from elsewhere. A profile is shared as a file (exported, posted,
// sent), and its AssignmentTable can make keys run any program: so the launch actions a profile
// brings are shown to the user and taken only when the user chose to keep them. A set the user
// kept is remembered, by a hash, in the program's settings, so the same profile is not asked
// about again; a set the current configuration already holds needs no question either.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/LaunchActions.h"
#include "model/Model.h"
#include "model/SettingsStore.h"

namespace tavrin {

// What to do with launch actions that need the user's choice.
enum class LaunchChoice : std::uint8_t {
    Refuse,  // take nothing; the caller asks, or reports the refusal
    Keep,    // take them, and remember them as accepted
    Drop,    // take the profile without them: those keys get their own meaning back
};

// The program's own settings key ("Tavrin Game Keyboard", as the application registers it), not
// the profile key: a value there would make CurrentProfileName's key exist.
inline constexpr const char* kLaunchActionsKey = "Software\\Tavrin Game Keyboard";
inline constexpr const char* kAcceptedLaunchActionsValue = "AcceptedLaunchActions";
// The newest hashes are kept; a profile accepted long ago is asked about once more.
inline constexpr std::size_t kMaxAcceptedLaunchActions = 64;

// SHA-256, in hexadecimal, of the actions' canonical bytes: "tavrin-launch-actions-1", a NUL,
// then per action in record order its position, kind and ownVk (a byte each), the path's length
// in UTF-16 units (2 bytes, little-endian) and the path (UTF-16LE). Empty for no actions.
std::string LaunchActionsHash(const std::vector<LaunchAction>& actions);

struct LaunchActionsReview {
    // The profile's launch actions that the current configuration does not hold (same key,
    // kind, event code and path), with what is at their paths now.
    std::vector<CheckedLaunchAction> brought;
    std::string hash;       // of all the profile's launch actions; empty when it has none
    bool accepted = false;  // the user kept exactly these before

    bool needsChoice() const { return !brought.empty() && !accepted; }
};

// What taking `incoming` over `current` would bring.
LaunchActionsReview ReviewLaunchActions(const AssignmentTable& incoming,
                                        const AssignmentTable& current, SettingsStore& settings);

bool IsAcceptedLaunchActions(SettingsStore& settings, const std::string& hash);
// Remembers `hash` (newest last). False when the settings could not be written: the same
// profile is then asked about again.
bool AcceptLaunchActions(SettingsStore& settings, const std::string& hash);

// Every record of the model with a launch action gets its key's own meaning back, as the key
// assignment dialog's "Default" gives it; its ownVk is the key's own code again.
void DropLaunchActions(Model& model);

// After a profile that `review` describes filled `model`: Drop removes its launch actions; Keep,
// or Refuse where nothing needed a choice, took them, and they are remembered as accepted. False
// when they could not be remembered (or Refuse was given where a choice was needed).
bool SettleLaunchActions(const LaunchActionsReview& review, LaunchChoice choice, Model& model,
                         SettingsStore& settings);

}  // namespace tavrin
