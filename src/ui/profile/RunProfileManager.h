#pragma once

// The main window's Profile button: the profile manager shown modally beside the main window.

#include <QRect>

namespace tavrin {

class CConfigureDlg;

// Shows the one dialog modally, one pixel left of and above `mainWindowRect` (screen
// coordinates). True when it closed with OK: the chosen profile is then already applied to the
// model and stored as the current profile; the caller waits 50 ms, writes "MacroDefine.bin" and
// announces the settings as loaded locally. False changes nothing further (an import made
// before cancelling stays in the model, for the main window's Save or Cancel).
bool RunProfileManager(CConfigureDlg& dialog, const QRect& mainWindowRect);

}  // namespace tavrin
