#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavrin {

struct AppOptions {
    bool simulate = false;                 // the in-process virtual keyboard
    std::optional<QString> virtualDevice;  // the virtual HID link's socket
    std::optional<QString> dataDir;        // the program directory
    bool minimized = false;                // start in the notification area (at login)
};

// Parses the command line; nullopt with `error` set when it cannot be understood, or to the help
// or version text that was asked for.
std::optional<AppOptions> ParseAppOptions(const QStringList& arguments, QString& error);

}  // namespace tavrin
