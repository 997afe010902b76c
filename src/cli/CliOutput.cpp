#include "cli/CliOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/MacroStore.h"
#include "model/ScriptNames.h"
#include "service/KeyboardScripting.h"
#include "service/MacroFileForm.h"

namespace tavrin {

namespace {

QString Json(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int ExitCodeFor(const QString& errorName) {
    if (errorName.isEmpty()) {
        return 0;
    }
    switch (KeyboardScripting::errorFromName(errorName)) {
        case ScriptError::None:
            return 0;
        case ScriptError::InvalidValue:
            return 2;
        case ScriptError::NoKeyboard:
            return 3;
        case ScriptError::AccessDenied:
            return 4;
        case ScriptError::Busy:
            return 5;
        case ScriptError::FileNotReadable:
        case ScriptError::Failed:
        case ScriptError::LaunchActions:
            return 1;
    }
    return 1;
}

QString StatusText(const QVariantMap& p, const QString& via, bool json) {
    const QString state = p.value(QStringLiteral("KeyboardState")).toString();
    const int position = p.value(QStringLiteral("ReportRate")).toInt();
    const int hz = position >= 0 && position < static_cast<int>(kReportRatesHz.size())
                       ? kReportRatesHz[static_cast<std::size_t>(position)]
                       : 0;
    if (json) {
        QJsonObject o;
        o[QStringLiteral("keyboard")] = state;
        o[QStringLiteral("present")] =
            state != QStringLiteral("absent") && state != QStringLiteral("refused");
        o[QStringLiteral("product")] = p.value(QStringLiteral("Product")).toString();
        o[QStringLiteral("layout")] = p.value(QStringLiteral("Layout")).toInt();
        o[QStringLiteral("firmware")] = p.value(QStringLiteral("Firmware")).toString();
        o[QStringLiteral("effect")] = p.value(QStringLiteral("Effect")).toString();
        o[QStringLiteral("effect_index")] = p.value(QStringLiteral("EffectIndex")).toInt();
        o[QStringLiteral("speed")] = p.value(QStringLiteral("Speed")).toInt();
        o[QStringLiteral("brightness")] = p.value(QStringLiteral("Brightness")).toInt();
        o[QStringLiteral("colour")] = p.value(QStringLiteral("Colour")).toInt();
        o[QStringLiteral("direction")] = p.value(QStringLiteral("Direction")).toString();
        o[QStringLiteral("game_mode")] = p.value(QStringLiteral("GameMode")).toBool();
        o[QStringLiteral("win_lock")] = p.value(QStringLiteral("WinLock")).toBool();
        o[QStringLiteral("response_time_ms")] = p.value(QStringLiteral("ResponseTime")).toInt();
        o[QStringLiteral("report_rate")] = position;
        o[QStringLiteral("report_rate_hz")] = hz;
        o[QStringLiteral("profile")] = p.value(QStringLiteral("CurrentProfile")).toString();
        o[QStringLiteral("unsaved_edits")] = p.value(QStringLiteral("UnsavedEdits")).toBool();
        o[QStringLiteral("via")] = via;
        return Json(o);
    }
    const auto yes = [&](const char* name) {
        return p.value(QLatin1String(name)).toBool() ? QStringLiteral("on") : QStringLiteral("off");
    };
    QString text;
    const auto line = [&text](const char* label, const QString& value) {
        text += QStringLiteral("%1 %2\n").arg(QLatin1String(label), -15).arg(value);
    };
    line("Keyboard:", state);
    if (!p.value(QStringLiteral("Product")).toString().isEmpty()) {
        line("Product:", p.value(QStringLiteral("Product")).toString());
    }
    if (!p.value(QStringLiteral("Firmware")).toString().isEmpty()) {
        line("Firmware:", p.value(QStringLiteral("Firmware")).toString());
    }
    line("Effect:", QStringLiteral("%1 (%2)")
                        .arg(p.value(QStringLiteral("Effect")).toString())
                        .arg(p.value(QStringLiteral("EffectIndex")).toInt()));
    line("Speed:", p.value(QStringLiteral("Speed")).toString());
    line("Brightness:", p.value(QStringLiteral("Brightness")).toString());
    line("Colour:", p.value(QStringLiteral("Colour")).toString());
    line("Direction:", p.value(QStringLiteral("Direction")).toString());
    line("Game mode:", yes("GameMode"));
    line("Win lock:", yes("WinLock"));
    line("Response time:",
         QStringLiteral("%1 ms").arg(p.value(QStringLiteral("ResponseTime")).toInt()));
    line("Report rate:", QStringLiteral("%1 Hz (%2)").arg(hz).arg(position));
    line("Profile:", p.value(QStringLiteral("CurrentProfile")).toString());
    line("Unsaved edits:", p.value(QStringLiteral("UnsavedEdits")).toBool() ? QStringLiteral("yes")
                                                                            : QStringLiteral("no"));
    line("Through:", via == QStringLiteral("program") ? QStringLiteral("the running program")
                                                      : QStringLiteral("the keyboard itself"));
    return text;
}

QString RulesText(const ProfileRules& rules, bool json) {
    const auto matchName = [](const ProfileRule& r) {
        return r.match == ProfileRule::Match::Process ? QStringLiteral("process")
                                                      : QStringLiteral("window-class");
    };
    const auto kindName = [](const ProfileRule& r) {
        return r.kind == ProfileRule::Kind::WhileFocused ? QStringLiteral("focused")
                                                         : QStringLiteral("running");
    };
    if (json) {
        QJsonArray list;
        for (const ProfileRule& r : rules.rules) {
            list.append(QJsonObject{{QStringLiteral("match"), matchName(r)},
                                    {QStringLiteral("pattern"), r.pattern},
                                    {QStringLiteral("while"), kindName(r)},
                                    {QStringLiteral("profile"), r.profile}});
        }
        return Json({{QStringLiteral("enabled"), rules.enabled},
                     {QStringLiteral("default_profile"), rules.defaultProfile},
                     {QStringLiteral("rules"), list}});
    }
    QString text = QStringLiteral("Automatic profiles: %1\nDefault profile: %2\n")
                       .arg(rules.enabled ? QStringLiteral("on") : QStringLiteral("off"),
                            rules.defaultProfile.isEmpty()
                                ? QStringLiteral("none (the keyboard is left as it is)")
                                : rules.defaultProfile);
    for (qsizetype i = 0; i < rules.rules.size(); ++i) {
        const ProfileRule& r = rules.rules[i];
        text += QStringLiteral("%1  %2 %3  while %4  -> %5\n")
                    .arg(i + 1)
                    .arg(matchName(r), r.pattern, kindName(r), r.profile);
    }
    return text;
}

QString ResultText(const CliRequest& request, const QVariant& value, const QStringList& macros) {
    const bool json = request.json;
    switch (request.show) {
        case CliShow::Names: {
            QJsonArray list;
            QString text;
            for (const QString& name : value.toStringList()) {
                list.append(QJsonObject{{QStringLiteral("name"), name}});
                text += name + QLatin1Char('\n');
            }
            return json ? Json({{QStringLiteral("profiles"), list}}) : text;
        }
        case CliShow::Name:
            return json ? Json({{QStringLiteral("name"), value.toString()}})
                        : value.toString() + QLatin1Char('\n');
        case CliShow::MacroList: {
            QJsonArray list;
            QString text;
            const QStringList names = value.toStringList();
            for (qsizetype i = 0; i < names.size(); ++i) {
                const QJsonObject m = QJsonDocument::fromJson(macros.value(i).toUtf8()).object();
                const int loops = m.value(QStringLiteral("loop_count")).toInt();
                const auto events = m.value(QStringLiteral("events")).toArray().size();
                list.append(QJsonObject{{QStringLiteral("slot"), static_cast<int>(i + 1)},
                                        {QStringLiteral("name"), names[i]},
                                        {QStringLiteral("loop_count"), loops},
                                        {QStringLiteral("events"), static_cast<int>(events)}});
                text += QStringLiteral("%1  %2  (%3 events, loop count %4)\n")
                            .arg(i + 1)
                            .arg(names[i])
                            .arg(events)
                            .arg(loops);
            }
            return json ? Json({{QStringLiteral("macros"), list}}) : text;
        }
        case CliShow::MacroShow: {
            const QString document = value.toString();
            if (json) {
                return document;
            }
            // The lines the macro manager shows for the sequence.
            MacroTable table;
            QString ignored;
            if (!MacroFromJson(document.toUtf8(), table.record(0), ignored)) {
                return document;
            }
            const ConstMacroRecord record = std::as_const(table).record(0);
            QString text = QStringLiteral("%1 (loop count %2)\n")
                               .arg(Q(record.name()))
                               .arg(record.loopCount());
            for (const EventLine& line : EventLines(KeyEventsOf(record))) {
                text += QStringLiteral("  %1\n").arg(Q(line.text).trimmed());
            }
            return text;
        }
        case CliShow::Nothing:
        case CliShow::Auto:
        case CliShow::Status:
        case CliShow::Help:
        case CliShow::Version:
            break;
    }
    return {};
}

}  // namespace tavrin
