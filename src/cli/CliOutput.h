#pragma once

// What tavrinctl prints on standard output for a call that succeeded: readable text, or JSON with
// stable field names.

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include "automation/ProfileRules.h"
#include "cli/CliRequest.h"

namespace tavrin {

// `properties` are the interface's (for status); `via` is "program" or "keyboard".
QString StatusText(const QVariantMap& properties, const QString& via, bool json);
// A call's value as the request shows it. `macros` are the GetMacro documents of every listed
// macro, for `macro list`.
QString ResultText(const CliRequest& request, const QVariant& value, const QStringList& macros);

// The rules of automatic profiles, as `auto list` shows them.
QString RulesText(const ProfileRules& rules, bool json);

// The process's exit code for an error name of the interface (empty: success).
int ExitCodeFor(const QString& errorName);

}  // namespace tavrin
