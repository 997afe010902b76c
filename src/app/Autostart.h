#pragma once

// "Start at login": a desktop entry in the user's autostart folder that starts this program in
// the notification area. The desktop reads the folder at login; the entry's presence is the
// setting.

#include <QString>

namespace tavrin {

// $XDG_CONFIG_HOME/autostart/tavrin-gaming-keyboard.desktop; ~/.config when the variable is unset,
// empty or not an absolute path.
QString AutostartPath();

// The Exec value, as written in the file, that starts `program` (an absolute path) with
// --minimized. Empty when the path cannot be written there (not absolute, or a control
// character in it).
QString AutostartExecValue(const QString& program);

// The whole entry; empty under the same conditions.
QString AutostartEntry(const QString& program);

bool AutostartEnabled(const QString& path);
// Writes the entry whole (through a temporary file and a rename), making its folder when needed.
bool EnableAutostart(const QString& path, const QString& program, QString& error);
// Removes the entry; nothing to do when it is not there.
bool DisableAutostart(const QString& path, QString& error);

}  // namespace tavrin
