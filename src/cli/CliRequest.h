#pragma once

// tavrinctl's command line, read into one call of the D-Bus interface's methods. Only the form
// is checked here (which command, which options, whole numbers, on|off); what the values mean
// (effect and key names, ranges) is checked where the call runs, in the program or in-process,
// by the same code.

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

namespace tavrin {

// What tavrinctl prints when the call succeeds.
enum class CliShow {
    Nothing,
    Status,     // the properties
    Names,      // profile list
    Name,       // profile new, copy, rename, import
    MacroList,  // macro list
    MacroShow,  // macro show N
    Auto,       // the rules of automatic profiles, edited in their file by tavrinctl itself
    Help,       // the usage text in `CliRequest::help`, and no call
    Version,    // the version, and no call
};

struct CliRequest {
    QString command;  // "status", "lighting", ...
    QString method;   // the interface's method; empty for status, help and version
    QVariantList args;
    CliShow show = CliShow::Nothing;
    bool json = false;
    bool noSave = false;  // stage only, in the running program
    std::optional<QString> virtualDevice;
    std::optional<QString> dataDir;
    QString help;  // with CliShow::Help
};

// `arguments` without the program's name. nullopt with `error` set for a usage error, translated
// by the installed translation.
std::optional<CliRequest> ParseCli(const QStringList& arguments, QString& error);

// The whole usage text, or one command's.
QString CliUsage(const QString& command = {});

}  // namespace tavrin
