#include "cli/CliRequest.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMap>
#include <array>

#include "model/ScriptNames.h"

namespace tavrin {

namespace {

enum class OptionKind { Value, Flag, Many };

struct OptionForm {
    const char* name;  // without "--"
    OptionKind kind;
};

struct CommandForm {
    const char* name;
    const char* usage;  // after "tavrinctl "
    std::initializer_list<OptionForm> options;
};

const std::array<CommandForm, 15> kCommands = {{
    {"status", "status [--json]", {}},
    {"lighting",
     "lighting EFFECT [--speed 0-4] [--brightness 0-4] [--direction up|down|left|right] "
     "[--colour 1-8]",
     {{"speed", OptionKind::Value},
      {"brightness", OptionKind::Value},
      {"direction", OptionKind::Value},
      {"colour", OptionKind::Value},
      {"color", OptionKind::Value}}},
    {"game-mode", "game-mode on|off", {}},
    {"win-lock", "win-lock on|off", {}},
    {"response-time", "response-time MS   (2 to 20, in steps of 2)", {}},
    {"report-rate", "report-rate 0-3|125|250|500|1000", {}},
    {"key",
     "key KEY (--key K | --combo K+K[+K] | --macro 1-5 | --function NAME | --program PATH |\n"
     "           --file PATH | --folder PATH | --sound PATH | --disable | --default)",
     {{"key", OptionKind::Value},
      {"combo", OptionKind::Value},
      {"macro", OptionKind::Value},
      {"function", OptionKind::Value},
      {"program", OptionKind::Value},
      {"file", OptionKind::Value},
      {"folder", OptionKind::Value},
      {"sound", OptionKind::Value},
      {"disable", OptionKind::Flag},
      {"default", OptionKind::Flag}}},
    {"diy",
     "diy 1-5 (--on KEY... | --off KEY... | --clear | --all)",
     {{"on", OptionKind::Many},
      {"off", OptionKind::Many},
      {"clear", OptionKind::Flag},
      {"all", OptionKind::Flag}}},
    {"macro", "macro list | show N | delete N | import N FILE | export N FILE", {}},
    {"profile",
     "profile list | apply NAME [LAUNCH] | new | copy NAME | rename OLD NEW | delete NAME |\n"
     "           import FILE [NAME] [LAUNCH] | export NAME FILE\n"
     "           LAUNCH: --allow-launch | --drop-launch, for a profile whose keys open programs",
     {{"allow-launch", OptionKind::Flag}, {"drop-launch", OptionKind::Flag}}},
    {"save", "save", {}},
    {"cancel", "cancel", {}},
    {"reset", "reset --factory", {{"factory", OptionKind::Flag}}},
    {"auto",
     "auto list | on | off | add PROFILE (--process NAME | --window-class CLASS)\n"
     "           [--while running|focused] | remove N | default PROFILE|none",
     {{"process", OptionKind::Value},
      {"window-class", OptionKind::Value},
      {"while", OptionKind::Value}}},
    {"help", "help [COMMAND]", {}},
}};

const CommandForm* FindCommand(const QString& name) {
    for (const CommandForm& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            return &c;
        }
    }
    return nullptr;
}

std::u16string U16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Reads one command's words: its positional arguments and its options.
class Reader {
public:
    explicit Reader(QString& error) : error_(error) {}

    bool fail(const QString& message) {
        error_ = message;
        return false;
    }

    bool read(const CommandForm& form, const QStringList& words) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QString& word = words[i];
            // "--num" is the numeric pad's minus key, not an option.
            const bool option =
                word.startsWith(QStringLiteral("--")) && !FindKeyCode(U16(word)).has_value();
            if (!option) {
                positional.push_back(word);
                continue;
            }
            QString name = word.mid(2);
            std::optional<QString> inlineValue;
            if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) {
                inlineValue = name.mid(eq + 1);
                name = name.left(eq);
            }
            const OptionForm* found = nullptr;
            for (const OptionForm& o : form.options) {
                if (name == QLatin1String(o.name)) {
                    found = &o;
                }
            }
            if (!found) {
                return fail(
                    QCoreApplication::translate("tavrin::CliRequest", "%1 has no option --%2.")
                        .arg(form.name, name));
            }
            if (options.contains(name)) {
                return fail(
                    QCoreApplication::translate("tavrin::CliRequest", "--%1 is given twice.")
                        .arg(name));
            }
            QStringList values;
            switch (found->kind) {
                case OptionKind::Flag:
                    if (inlineValue) {
                        return fail(QCoreApplication::translate("tavrin::CliRequest",
                                                                "--%1 takes no value.")
                                        .arg(name));
                    }
                    break;
                case OptionKind::Value:
                    if (inlineValue) {
                        values << *inlineValue;
                    } else if (i + 1 < words.size()) {
                        values << words[++i];
                    } else {
                        return fail(
                            QCoreApplication::translate("tavrin::CliRequest", "--%1 needs a value.")
                                .arg(name));
                    }
                    break;
                case OptionKind::Many:
                    if (inlineValue) {
                        values << *inlineValue;
                    }
                    while (i + 1 < words.size() && !words[i + 1].startsWith(QStringLiteral("--"))) {
                        values << words[++i];
                    }
                    if (values.isEmpty()) {
                        return fail(QCoreApplication::translate("tavrin::CliRequest",
                                                                "--%1 needs at least one key.")
                                        .arg(name));
                    }
                    break;
            }
            options.insert(name, values);
        }
        return true;
    }

    bool positionals(const QString& command, qsizetype low, qsizetype high) {
        if (positional.size() < low || positional.size() > high) {
            return fail(QCoreApplication::translate(
                            "tavrin::CliRequest", "Wrong number of arguments. Usage: tavrinctl %1")
                            .arg(CliUsage(command).trimmed()));
        }
        return true;
    }

    std::optional<int> number(const QString& text, const QString& what) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok) {
            fail(QCoreApplication::translate("tavrin::CliRequest",
                                             "%1 must be a whole number, not \"%2\".")
                     .arg(what, text));
            return std::nullopt;
        }
        return value;
    }

    std::optional<bool> onOff(const QString& text) {
        if (text == QStringLiteral("on")) {
            return true;
        }
        if (text == QStringLiteral("off")) {
            return false;
        }
        fail(QCoreApplication::translate("tavrin::CliRequest", "Say on or off, not \"%1\".")
                 .arg(text));
        return std::nullopt;
    }

    QStringList positional;
    QMap<QString, QStringList> options;

private:
    QString& error_;
};

QString Absolute(const QString& path) {
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

}  // namespace

QString CliUsage(const QString& command) {
    if (const CommandForm* form = FindCommand(command)) {
        return QStringLiteral("%1\n").arg(QLatin1String(form->usage));
    }
    QString text = QStringLiteral(
        "Usage: tavrinctl [--json] [--no-save] [--virtual-device PATH] [--data-dir DIR] COMMAND\n"
        "\n"
        "Configures the Tavrin gaming keyboard: through the running program when it runs,\n"
        "else directly. Each setting is sent to the keyboard at once; with --no-save it is\n"
        "only staged in the running program until `tavrinctl save`.\n"
        "\n"
        "Commands:\n");
    for (const CommandForm& c : kCommands) {
        text += QStringLiteral("  %1\n").arg(QLatin1String(c.usage));
    }
    text += QStringLiteral(
        "\nExit codes: 0 done, 1 failed, 2 usage error, 3 no keyboard, 4 access denied, 5 busy.\n"
        "`tavrinctl COMMAND --help` shows one command; man tavrinctl tells everything.\n");
    return text;
}

std::optional<CliRequest> ParseCli(const QStringList& arguments, QString& error) {
    CliRequest request;
    bool help = false;
    bool version = false;
    QStringList words;
    Reader reader(error);

    // The options of every command, wherever they stand.
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const auto valueOf = [&](const QString& name) -> std::optional<QString> {
            if (a.startsWith(name + QLatin1Char('='))) {
                return a.mid(name.size() + 1);
            }
            if (a == name) {
                if (i + 1 < arguments.size()) {
                    return arguments[++i];
                }
                reader.fail(QCoreApplication::translate("tavrin::CliRequest", "%1 needs a value.")
                                .arg(name));
                return QString();  // marks the failure below
            }
            return std::nullopt;
        };
        if (a == QStringLiteral("--json")) {
            request.json = true;
        } else if (a == QStringLiteral("--no-save")) {
            request.noSave = true;
        } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            help = true;
        } else if (a == QStringLiteral("--version")) {
            version = true;
        } else if (auto device = valueOf(QStringLiteral("--virtual-device"))) {
            if (device->isEmpty()) {
                return std::nullopt;
            }
            request.virtualDevice = *device;
        } else if (auto dir = valueOf(QStringLiteral("--data-dir"))) {
            if (dir->isEmpty()) {
                return std::nullopt;
            }
            request.dataDir = *dir;
        } else {
            words << a;
        }
    }

    if (version) {
        request.show = CliShow::Version;
        return request;
    }
    if (words.isEmpty() || words.front() == QStringLiteral("help")) {
        if (!help && words.isEmpty()) {
            error = QCoreApplication::translate("tavrin::CliRequest", "No command given.\n") +
                    CliUsage();
            return std::nullopt;
        }
        request.show = CliShow::Help;
        request.help = CliUsage(words.size() > 1 ? words[1] : QString());
        return request;
    }
    request.command = words.takeFirst();
    const CommandForm* commandForm = FindCommand(request.command);
    if (!commandForm) {
        error = QCoreApplication::translate("tavrin::CliRequest", "Unknown command \"%1\".\n")
                    .arg(request.command) +
                CliUsage();
        return std::nullopt;
    }
    if (help) {
        request.show = CliShow::Help;
        request.help = CliUsage(request.command);
        return request;
    }
    if (!reader.read(*commandForm, words)) {
        return std::nullopt;
    }
    const QStringList& p = reader.positional;
    const auto& o = reader.options;
    const bool send = !request.noSave;
    const QString& c = request.command;

    if (c == QStringLiteral("status")) {
        if (!reader.positionals(c, 0, 0)) {
            return std::nullopt;
        }
        request.show = CliShow::Status;
    } else if (c == QStringLiteral("lighting")) {
        if (!reader.positionals(c, 1, 1)) {
            return std::nullopt;
        }
        if (o.contains(QStringLiteral("colour")) && o.contains(QStringLiteral("color"))) {
            reader.fail(QCoreApplication::translate("tavrin::CliRequest", "Give --colour once."));
            return std::nullopt;
        }
        int speed = -1;
        int brightness = -1;
        int colour = -1;
        const std::pair<const char*, int*> numbers[] = {{"speed", &speed},
                                                        {"brightness", &brightness},
                                                        {"colour", &colour},
                                                        {"color", &colour}};
        for (const auto& [name, target] : numbers) {
            if (o.contains(QLatin1String(name))) {
                const auto v = reader.number(o[QLatin1String(name)].front(),
                                             QStringLiteral("--%1").arg(QLatin1String(name)));
                if (!v) {
                    return std::nullopt;
                }
                // -1 means "keep" to the method; a user's -1 is out of range like any other.
                *target = *v < 0 ? 99 : *v;
            }
        }
        request.method = QStringLiteral("SetLighting");
        request.args = {p[0],   speed, brightness, o.value(QStringLiteral("direction")).value(0),
                        colour, send};
    } else if (c == QStringLiteral("game-mode") || c == QStringLiteral("win-lock")) {
        if (!reader.positionals(c, 1, 1)) {
            return std::nullopt;
        }
        const auto on = reader.onOff(p[0]);
        if (!on) {
            return std::nullopt;
        }
        request.method = c == QStringLiteral("game-mode") ? QStringLiteral("SetGameMode")
                                                          : QStringLiteral("SetWinLock");
        request.args = {*on, send};
    } else if (c == QStringLiteral("response-time")) {
        if (!reader.positionals(c, 1, 1)) {
            return std::nullopt;
        }
        const auto ms = reader.number(p[0], QStringLiteral("MS"));
        if (!ms) {
            return std::nullopt;
        }
        request.method = QStringLiteral("SetResponseTime");
        request.args = {*ms, send};
    } else if (c == QStringLiteral("report-rate")) {
        if (!reader.positionals(c, 1, 1)) {
            return std::nullopt;
        }
        request.method = QStringLiteral("SetReportRate");
        request.args = {p[0], send};
    } else if (c == QStringLiteral("key")) {
        if (!reader.positionals(c, 1, 1)) {
            return std::nullopt;
        }
        if (o.size() != 1) {
            reader.fail(QCoreApplication::translate(
                "tavrin::CliRequest",
                "Give exactly one of --key, --combo, --macro, --function, --program, --file, "
                "--folder, --sound, --disable, --default."));
            return std::nullopt;
        }
        const QString action = o.firstKey();
        QString value = o.first().value(0);
        const bool path = action == QStringLiteral("program") || action == QStringLiteral("file") ||
                          action == QStringLiteral("folder") || action == QStringLiteral("sound");
        if (path) {
            value = Absolute(value);
        }
        request.method = QStringLiteral("AssignKey");
        request.args = {p[0], action, value, send};
    } else if (c == QStringLiteral("diy")) {
        if (!reader.positionals(c, 1, 1)) {
            return std::nullopt;
        }
        const auto layer = reader.number(p[0], QStringLiteral("The DIY layer"));
        if (!layer) {
            return std::nullopt;
        }
        if (o.size() != 1) {
            reader.fail(QCoreApplication::translate(
                "tavrin::CliRequest", "Give exactly one of --on, --off, --clear, --all."));
            return std::nullopt;
        }
        request.method = QStringLiteral("SetDiyKeys");
        request.args = {*layer, o.firstKey(), o.first(), send};
    } else if (c == QStringLiteral("macro")) {
        const QString sub = p.value(0);
        const auto slot = [&]() -> std::optional<int> {
            return reader.number(p.value(1), QStringLiteral("N"));
        };
        if (sub == QStringLiteral("list") && reader.positionals(c, 1, 1)) {
            request.method = QStringLiteral("ListMacros");
            request.show = CliShow::MacroList;
        } else if ((sub == QStringLiteral("show") || sub == QStringLiteral("delete")) &&
                   reader.positionals(c, 2, 2)) {
            const auto n = slot();
            if (!n) {
                return std::nullopt;
            }
            if (sub == QStringLiteral("show")) {
                request.method = QStringLiteral("GetMacro");
                request.args = {*n};
                request.show = CliShow::MacroShow;
            } else {
                request.method = QStringLiteral("DeleteMacro");
                request.args = {*n, send};
            }
        } else if ((sub == QStringLiteral("import") || sub == QStringLiteral("export")) &&
                   reader.positionals(c, 3, 3)) {
            const auto n = slot();
            if (!n) {
                return std::nullopt;
            }
            if (sub == QStringLiteral("import")) {
                request.method = QStringLiteral("ImportMacro");
                request.args = {*n, Absolute(p[2]), send};
            } else {
                request.method = QStringLiteral("ExportMacro");
                request.args = {*n, Absolute(p[2])};
            }
        } else {
            if (error.isEmpty()) {
                reader.positionals(c, -1, -1);
            }
            return std::nullopt;
        }
    } else if (c == QStringLiteral("profile")) {
        const QString sub = p.value(0);
        struct Form {
            const char* sub;
            const char* method;
            qsizetype low, high;
            CliShow show;
        };
        static constexpr Form kForms[] = {
            {"list", "ListProfiles", 1, 1, CliShow::Names},
            {"apply", "ApplyProfile", 2, 2, CliShow::Nothing},
            {"new", "NewProfile", 1, 1, CliShow::Name},
            {"copy", "CopyProfile", 2, 2, CliShow::Name},
            {"rename", "RenameProfile", 3, 3, CliShow::Name},
            {"delete", "DeleteProfile", 2, 2, CliShow::Nothing},
            {"import", "ImportProfile", 2, 3, CliShow::Name},
            {"export", "ExportProfile", 3, 3, CliShow::Nothing},
        };
        const Form* form = nullptr;
        for (const Form& f : kForms) {
            if (sub == QLatin1String(f.sub)) {
                form = &f;
            }
        }
        if (!form || !reader.positionals(c, form->low, form->high)) {
            if (error.isEmpty()) {
                reader.positionals(c, -1, -1);
            }
            return std::nullopt;
        }
        request.method = QLatin1String(form->method);
        request.show = form->show;
        // The choice for launch actions that were not accepted before: without one such a
        // profile is refused.
        const bool allow = o.contains(QStringLiteral("allow-launch"));
        const bool drop = o.contains(QStringLiteral("drop-launch"));
        if (allow && drop) {
            reader.fail(QCoreApplication::translate(
                "tavrin::CliRequest", "Give one of --allow-launch and --drop-launch, not both."));
            return std::nullopt;
        }
        if ((allow || drop) && sub != QStringLiteral("apply") && sub != QStringLiteral("import")) {
            reader.fail(QCoreApplication::translate(
                "tavrin::CliRequest",
                "--allow-launch and --drop-launch go with profile apply and profile import."));
            return std::nullopt;
        }
        const QString launch = allow ? QStringLiteral("keep") : QStringLiteral("drop");
        if (sub == QStringLiteral("apply") && (allow || drop)) {
            request.method = QStringLiteral("ApplyProfileWithLaunch");
            request.args = {p[1], launch, send};
        } else if (sub == QStringLiteral("import") && (allow || drop)) {
            request.method = QStringLiteral("ImportProfileWithLaunch");
            request.args = {Absolute(p[1]), p.value(2), launch};
        } else if (sub == QStringLiteral("apply")) {
            request.args = {p[1], send};
        } else if (sub == QStringLiteral("copy") || sub == QStringLiteral("delete")) {
            request.args = {p[1]};
        } else if (sub == QStringLiteral("rename")) {
            request.args = {p[1], p[2]};
        } else if (sub == QStringLiteral("import")) {
            request.args = {Absolute(p[1]), p.value(2)};
        } else if (sub == QStringLiteral("export")) {
            request.args = {p[1], Absolute(p[2])};
        }
    } else if (c == QStringLiteral("save") || c == QStringLiteral("cancel")) {
        if (!reader.positionals(c, 0, 0)) {
            return std::nullopt;
        }
        request.method =
            c == QStringLiteral("save") ? QStringLiteral("Save") : QStringLiteral("Cancel");
    } else if (c == QStringLiteral("auto")) {
        // The rules file alone: the running program notices the change by itself.
        const QString sub = p.value(0);
        request.show = CliShow::Auto;
        const bool bare = sub == QStringLiteral("list") || sub == QStringLiteral("on") ||
                          sub == QStringLiteral("off");
        if (bare && reader.positionals(c, 1, 1) && o.isEmpty()) {
            request.method = sub == QStringLiteral("list") ? QStringLiteral("AutoList")
                                                           : QStringLiteral("AutoEnable");
            request.args = {sub == QStringLiteral("on")};
        } else if (sub == QStringLiteral("add") && reader.positionals(c, 2, 2)) {
            const bool process = o.contains(QStringLiteral("process"));
            const bool window = o.contains(QStringLiteral("window-class"));
            const QString kind =
                o.value(QStringLiteral("while"), {QStringLiteral("focused")}).value(0);
            if (process == window) {
                reader.fail(QCoreApplication::translate(
                    "tavrin::CliRequest", "Give one of --process NAME and --window-class CLASS."));
                return std::nullopt;
            }
            if (kind != QStringLiteral("focused") && kind != QStringLiteral("running")) {
                reader.fail(QCoreApplication::translate(
                                "tavrin::CliRequest", "--while is running or focused, not \"%1\".")
                                .arg(kind));
                return std::nullopt;
            }
            if (window && kind == QStringLiteral("running")) {
                reader.fail(QCoreApplication::translate(
                    "tavrin::CliRequest",
                    "A window class has no process: use --while focused, or --process NAME."));
                return std::nullopt;
            }
            request.method = QStringLiteral("AutoAdd");
            request.args = {
                p[1], process ? QStringLiteral("process") : QStringLiteral("window-class"),
                o.value(process ? QStringLiteral("process") : QStringLiteral("window-class"))
                    .value(0),
                kind};
        } else if (sub == QStringLiteral("remove") && reader.positionals(c, 2, 2) && o.isEmpty()) {
            const auto n = reader.number(p[1], QStringLiteral("N"));
            if (!n) {
                return std::nullopt;
            }
            request.method = QStringLiteral("AutoRemove");
            request.args = {*n};
        } else if (sub == QStringLiteral("default") && reader.positionals(c, 2, 2) && o.isEmpty()) {
            request.method = QStringLiteral("AutoDefault");
            request.args = {p[1] == QStringLiteral("none") ? QString() : p[1]};
        } else {
            if (error.isEmpty()) {
                reader.positionals(c, -1, -1);
            }
            return std::nullopt;
        }
    } else if (c == QStringLiteral("reset")) {
        if (!reader.positionals(c, 0, 0)) {
            return std::nullopt;
        }
        if (!o.contains(QStringLiteral("factory"))) {
            reader.fail(QCoreApplication::translate(
                "tavrin::CliRequest",
                "reset needs --factory: it restores the keyboard's factory settings."));
            return std::nullopt;
        }
        request.method = QStringLiteral("FactoryReset");
    }
    return request;
}

}  // namespace tavrin
