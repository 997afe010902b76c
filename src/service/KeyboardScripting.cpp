#include "service/KeyboardScripting.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "model/KeyCodeTable.h"
#include "model/KeyTables.h"
#include "model/LightingRules.h"
#include "model/MacroStore.h"
#include "model/ProfileFile.h"
#include "model/ProfileFolder.h"
#include "model/ScriptNames.h"
#include "model/SettingsStore.h"
#include "model/Utf16Text.h"
#include "service/LaunchActionTexts.h"
#include "service/MacroFileForm.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::u16string U16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString Q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

fs::path PathOf(const QString& text) {
    return PathFromUtf16(U16(text));
}

const char* StateName(KeyboardService::State state) {
    switch (state) {
        case KeyboardService::State::None:
            return "absent";
        case KeyboardService::State::Refused:
            return "refused";
        case KeyboardService::State::Reading:
            return "reading";
        case KeyboardService::State::Ready:
            return "ready";
        case KeyboardService::State::Saving:
            return "saving";
        case KeyboardService::State::Resetting:
            return "resetting";
    }
    return "absent";
}

// Keys that have a light: the media keys have no place in the matrix.
bool HasLight(std::size_t position) {
    return position < kMatrixPositionCount && MatrixPlaces[position].row >= 0;
}

constexpr std::array<const char*, 8> kErrorNames = {"",       "NoKeyboard",   "AccessDenied",
                                                    "Busy",   "InvalidValue", "FileNotReadable",
                                                    "Failed", "LaunchActions"};

}  // namespace

// ---- The method table ------------------------------------------------------------------------

// `signature` names the arguments' types: s QString, i int, b bool, a QStringList.
struct KeyboardScripting::Method {
    const char* name;
    const char* signature;
    bool keyboard;  // needs the keyboard (or the running program's model)
    void (KeyboardScripting::*run)(const QVariantList&, Done);
};

namespace {

using S = KeyboardScripting;

}  // namespace

const KeyboardScripting::Method* KeyboardScripting::find(const QString& name) {
    static constexpr Method kMethods[] = {
        {"SetLighting", "siisib", true, &S::setLighting},
        {"SetGameMode", "bb", true, &S::setGameMode},
        {"SetWinLock", "bb", true, &S::setWinLock},
        {"SetResponseTime", "ib", true, &S::setResponseTime},
        {"SetReportRate", "sb", true, &S::setReportRate},
        {"AssignKey", "sssb", true, &S::assignKey},
        {"SetDiyKeys", "isab", true, &S::setDiyKeys},
        {"ListMacros", "", false, &S::listMacros},
        {"GetMacro", "i", false, &S::getMacro},
        {"DeleteMacro", "ib", true, &S::deleteMacro},
        {"ImportMacro", "isb", true, &S::importMacro},
        {"ExportMacro", "is", false, &S::exportMacro},
        {"Save", "", true, &S::save},
        {"Cancel", "", true, &S::cancel},
        {"FactoryReset", "", true, &S::factoryReset},
        {"ListProfiles", "", false, &S::listProfiles},
        {"ApplyProfile", "sb", true, &S::applyProfile},
        {"ApplyProfileWithLaunch", "ssb", true, &S::applyProfileWithLaunch},
        {"NewProfile", "", false, &S::newProfile},
        {"CopyProfile", "s", false, &S::copyProfile},
        {"RenameProfile", "ss", false, &S::renameProfile},
        {"DeleteProfile", "s", false, &S::deleteProfile},
        {"ImportProfile", "ss", false, &S::importProfile},
        {"ImportProfileWithLaunch", "sss", false, &S::importProfileWithLaunch},
        {"ExportProfile", "ss", false, &S::exportProfile},
    };
    for (const Method& m : kMethods) {
        if (name == QLatin1String(m.name)) {
            return &m;
        }
    }
    return nullptr;
}

bool KeyboardScripting::knows(const QString& method) {
    return find(method) != nullptr;
}

bool KeyboardScripting::needsKeyboard(const QString& method) {
    const Method* m = find(method);
    return m && m->keyboard;
}

QString KeyboardScripting::errorName(ScriptError error) {
    return QStringLiteral("%1.Error.%2")
        .arg(QLatin1String(kScriptInterface),
             QLatin1String(kErrorNames[static_cast<std::size_t>(error)]));
}

ScriptError KeyboardScripting::errorFromName(const QString& name) {
    for (std::size_t e = 1; e < kErrorNames.size(); ++e) {
        if (name == errorName(static_cast<ScriptError>(e))) {
            return static_cast<ScriptError>(e);
        }
    }
    return ScriptError::Failed;
}

KeyboardScripting::KeyboardScripting(KeyboardService& service, SettingsStore& settings,
                                     QObject* parent)
    : QObject(parent), service_(service), settings_(settings) {
    connect(&service_, &KeyboardService::saveFinished, this, &KeyboardScripting::onSaveFinished);
    connect(&service_, &KeyboardService::factoryResetFinished, this,
            &KeyboardScripting::onResetFinished);
}

void KeyboardScripting::call(const QString& method, const QVariantList& args, Done done) {
    const Method* m = find(method);
    if (!m) {
        done(invalid(tr("Unknown method %1.").arg(method)));
        return;
    }
    const QLatin1String signature(m->signature);
    bool typed = args.size() == signature.size();
    for (qsizetype i = 0; typed && i < args.size(); ++i) {
        const int type = args[i].metaType().id();
        switch (signature[i].toLatin1()) {
            case 's':
                typed = type == QMetaType::QString;
                break;
            case 'i':
                typed = type == QMetaType::Int;
                break;
            case 'b':
                typed = type == QMetaType::Bool;
                break;
            default:
                typed = type == QMetaType::QStringList;
                break;
        }
    }
    if (!typed) {
        done(invalid(tr("%1 takes the arguments (%2).").arg(method, signature)));
        return;
    }
    (this->*(m->run))(args, std::move(done));
}

// ---- Answers ---------------------------------------------------------------------------------

// The messages are translated where they are made, by the translation the program or tavrinctl
// installed for the interface language at start-up.
ScriptReply KeyboardScripting::error(ScriptError kind, const QString& message) const {
    return {kind, message, {}};
}

ScriptReply KeyboardScripting::invalid(const QString& message) const {
    return error(ScriptError::InvalidValue, message);
}

ScriptReply KeyboardScripting::cannotWrite(const WriteResult& result) const {
    // The change is in the model; only the file that keeps it could not be written.
    return error(ScriptError::Failed, tr("A file could not be written: %1").arg(Q(result.error)));
}

ScriptReply KeyboardScripting::unavailable(Availability why) const {
    switch (why) {
        case Availability::Started:
            return {};
        case Availability::NoKeyboard:
            return error(ScriptError::NoKeyboard, tr("No keyboard is connected."));
        case Availability::AccessDenied:
            return error(ScriptError::AccessDenied,
                         tr("The keyboard is connected, but this user may not open it. Install the "
                            "udev rule (see the README)."));
        case Availability::Busy:
            break;
    }
    if (service_.heldByWindow()) {
        return error(
            ScriptError::Busy,
            tr("A window of the program is editing the configuration. Close it, then try again."));
    }
    return error(ScriptError::Busy, tr("The keyboard is busy. Try again in a moment."));
}

std::optional<ScriptReply> KeyboardScripting::refusal(bool send) const {
    if (!service_.canEdit()) {
        return unavailable(Availability::Busy);
    }
    if (send) {
        if (const Availability a = service_.availability(); a != Availability::Started) {
            return unavailable(a);
        }
    }
    return std::nullopt;
}

void KeyboardScripting::finish(bool send, Done done, QVariant value) {
    if (!send) {
        done({ScriptError::None, {}, std::move(value)});
        return;
    }
    if (const Availability a = service_.save(); a != Availability::Started) {
        done(unavailable(a));  // not reached: refusal() asked the same on this thread
        return;
    }
    saveWaiters_.push_back({std::move(done), std::move(value)});
}

void KeyboardScripting::onSaveFinished(const LinkResult& result) {
    if (saveWaiters_.empty()) {
        return;  // a Save of the window's
    }
    Waiter waiter = std::move(saveWaiters_.front());
    saveWaiters_.pop_front();
    if (!result) {
        waiter.done(error(ScriptError::Failed,
                          tr("The keyboard did not take the change: %1").arg(Q(result.error))));
        return;
    }
    waiter.done({ScriptError::None, {}, waiter.value});
}

void KeyboardScripting::onResetFinished(const LinkResult& result) {
    if (resetWaiters_.empty()) {
        return;
    }
    Done done = std::move(resetWaiters_.front());
    resetWaiters_.pop_front();
    if (!result) {
        done(error(ScriptError::Failed,
                   tr("The factory settings could not be restored: %1").arg(Q(result.error))));
        return;
    }
    done({});
}

// ---- Properties ------------------------------------------------------------------------------

QVariantMap KeyboardScripting::properties() const {
    const Model& model = service_.model();
    const SettingsBlock& s = model.settings;
    const bool connected = service_.connected();
    QVariantMap p;
    p[QStringLiteral("KeyboardState")] = QString::fromLatin1(StateName(service_.state()));
    const int layout = connected ? (model.layoutVariant == 1 ? 104 : 87) : 0;
    p[QStringLiteral("Product")] =
        layout ? QStringLiteral("Tavrin Gaming Keyboard %1").arg(layout) : QString();
    p[QStringLiteral("Layout")] = layout;
    const bool firmwareKnown = connected && model.firmware != FirmwareVersion{};
    p[QStringLiteral("Firmware")] =
        firmwareKnown ? QStringLiteral("%1.%2").arg(model.firmware.major).arg(model.firmware.minor)
                      : QString();
    const auto row = EffectRowForCode(s.effectCode());
    p[QStringLiteral("Effect")] = row ? Q(EffectName(*row, false)) : QString();
    p[QStringLiteral("EffectIndex")] = row ? static_cast<int>(*row) : -1;
    p[QStringLiteral("Speed")] = static_cast<int>(s.speedLevel());
    p[QStringLiteral("Brightness")] = static_cast<int>(s.brightnessLevel());
    p[QStringLiteral("Colour")] = static_cast<int>(s.colourIndex());
    p[QStringLiteral("Direction")] = Q(DirectionName(s.directionCode()));
    p[QStringLiteral("GameMode")] = s.gameMode() != 0;
    p[QStringLiteral("WinLock")] = s.winLock() != 0;
    p[QStringLiteral("ResponseTime")] = 2 * static_cast<int>(s.responseTime());
    p[QStringLiteral("ReportRate")] = static_cast<int>(s.reportInterval());
    p[QStringLiteral("CurrentProfile")] =
        Q(ProfileNameOf(ReadCurrentProfile(settings_, std::u16string())));
    p[QStringLiteral("UnsavedEdits")] =
        model.settings != model.savedSettings || model.assignments != model.savedAssignments;
    return p;
}

// ---- Lighting and performance ----------------------------------------------------------------

void KeyboardScripting::setLighting(const QVariantList& a, Done done) {
    const QString effectText = a[0].toString();
    const int speed = a[1].toInt();
    const int brightness = a[2].toInt();
    const QString directionText = a[3].toString();
    const int colour = a[4].toInt();
    const bool send = a[5].toBool();

    std::optional<std::size_t> effect;
    if (!effectText.isEmpty()) {
        effect = FindEffect(U16(effectText));
        if (!effect) {
            done(
                invalid(tr("Unknown effect \"%1\". The effects are Static, Breathing, Wave, "
                           "Reactive, Sidewinder, Ripple, Instant-on, RainDropo, Horse Race, "
                           "Scatter, Single Ripple, Character, Radar and DIY1 to DIY5, or 0 to 17.")
                            .arg(effectText)));
            return;
        }
    }
    if (speed < -1 || speed > 4 || brightness < -1 || brightness > 4) {
        done(invalid(tr("The speed and the brightness go from 0 to 4.")));
        return;
    }
    std::optional<std::uint8_t> direction;
    if (!directionText.isEmpty()) {
        direction = FindDirection(U16(directionText));
        if (!direction) {
            done(invalid(
                tr("Unknown direction \"%1\": up, down, left or right.").arg(directionText)));
            return;
        }
    }
    if (colour != -1 && (colour < 1 || colour > 8)) {
        done(invalid(tr("The colour goes from 1 to 8.")));
        return;
    }
    if (auto refused = refusal(send)) {
        done(*refused);
        return;
    }
    // All checked: the edits below cannot fail.
    if (effect) {
        static_cast<void>(service_.chooseEffect(*effect));
    }
    if (speed >= 0) {
        static_cast<void>(service_.setSpeedLevel(static_cast<std::uint8_t>(speed)));
    }
    if (brightness >= 0) {
        static_cast<void>(service_.setBrightnessLevel(static_cast<std::uint8_t>(brightness)));
    }
    if (direction) {
        static_cast<void>(service_.setDirectionCode(*direction));
    }
    if (colour >= 1) {
        static_cast<void>(service_.setColourIndex(static_cast<std::uint8_t>(colour)));
    }
    finish(send, std::move(done));
}

void KeyboardScripting::setGameMode(const QVariantList& a, Done done) {
    if (auto refused = refusal(a[1].toBool())) {
        done(*refused);
        return;
    }
    static_cast<void>(service_.setGameMode(a[0].toBool()));
    finish(a[1].toBool(), std::move(done));
}

void KeyboardScripting::setWinLock(const QVariantList& a, Done done) {
    if (auto refused = refusal(a[1].toBool())) {
        done(*refused);
        return;
    }
    static_cast<void>(service_.setWinLock(a[0].toBool()));
    finish(a[1].toBool(), std::move(done));
}

void KeyboardScripting::setResponseTime(const QVariantList& a, Done done) {
    const int ms = a[0].toInt();
    if (ms < 2 || ms > 20 || ms % 2 != 0) {
        done(invalid(tr("The response time is 2 to 20 ms in steps of 2; %1 is not.").arg(ms)));
        return;
    }
    if (auto refused = refusal(a[1].toBool())) {
        done(*refused);
        return;
    }
    static_cast<void>(service_.setResponseTime(static_cast<std::uint8_t>(ms / 2)));
    finish(a[1].toBool(), std::move(done));
}

void KeyboardScripting::setReportRate(const QVariantList& a, Done done) {
    const auto position = FindReportPosition(U16(a[0].toString()));
    if (!position) {
        done(invalid(
            tr("Unknown report rate \"%1\": a position 0 to 3, or 125, 250, 500 or 1000 Hz.")
                .arg(a[0].toString())));
        return;
    }
    if (auto refused = refusal(a[1].toBool())) {
        done(*refused);
        return;
    }
    static_cast<void>(service_.setReportInterval(*position));
    finish(a[1].toBool(), std::move(done));
}

// ---- Keys ------------------------------------------------------------------------------------

void KeyboardScripting::assignKey(const QVariantList& a, Done done) {
    const QString keyText = a[0].toString();
    const QString action = a[1].toString();
    const QString value = a[2].toString();
    const bool send = a[3].toBool();
    const Model& model = service_.model();

    const auto position = FindKeyPosition(U16(keyText));
    if (!position) {
        done(invalid(tr("Unknown key \"%1\".").arg(keyText)));
        return;
    }
    if (service_.connected() && !KeyOnLayout(*position, model.layoutVariant)) {
        done(invalid(tr("This keyboard has no key \"%1\".").arg(keyText)));
        return;
    }

    PendingAssignment choice;
    choice.keyEnabledResult = 1;
    const auto keyToSend = [&](const QString& name) -> std::optional<std::uint8_t> {
        const auto vk = FindKeyCode(U16(name));
        if (!vk || *vk >= kMouseLeftButton || HidUsage(*vk) == 0) {
            return std::nullopt;
        }
        return vk;
    };
    const auto unknownKey = [&](const QString& name) {
        return invalid(tr("Unknown key \"%1\".").arg(name));
    };
    if (action == QStringLiteral("key")) {
        const auto vk = keyToSend(value);
        if (!vk) {
            done(unknownKey(value));
            return;
        }
        choice.pendingKind = KindByte(AssignmentKind::SingleKey);
        choice.pendingKeys[0] = *vk;
        choice.pendingKeyCount = 1;
    } else if (action == QStringLiteral("combo")) {
        // "K+K[+K]"; a key named "+" is written as an empty part: "LCtrl++".
        QStringList parts = value.split(QLatin1Char('+'));
        if (value.endsWith(QStringLiteral("++"))) {
            parts.removeLast();
            parts.last() = QStringLiteral("+");
        }
        if (parts.size() < 2 || parts.size() > 3) {
            done(invalid(tr("A combination has two or three keys joined by \"+\".")));
            return;
        }
        choice.pendingKind = KindByte(AssignmentKind::KeyCombination);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const auto vk = keyToSend(parts[i]);
            if (!vk) {
                done(unknownKey(parts[i]));
                return;
            }
            choice.pendingKeys[static_cast<std::size_t>(i)] = *vk;
        }
        choice.pendingKeyCount = static_cast<std::int32_t>(parts.size());
    } else if (action == QStringLiteral("macro")) {
        const auto number = ParseDecimal(U16(value));
        const std::size_t used = UsedMacroSlots(model.macros);
        if (!number || *number < 1 || static_cast<std::size_t>(*number) > used) {
            done(invalid(tr("There is no macro %1; macros 1 to %2 exist.").arg(value).arg(used)));
            return;
        }
        choice.pendingKind = KindByte(AssignmentKind::Macro);
        choice.pendingMacro = *number - 1;
    } else if (action == QStringLiteral("function")) {
        const CatalogueFunction* f = FindFunction(U16(value));
        if (!f) {
            done(invalid(tr("Unknown function \"%1\".").arg(value)));
            return;
        }
        choice.pendingKind = KindByte(AssignmentKind::Function);
        // The label travels in the interface language, as the dialog hands it over.
        choice.pendingFunctionLabel = std::u16string(f->label(model.languageId));
    } else if (action == QStringLiteral("program") || action == QStringLiteral("file") ||
               action == QStringLiteral("folder") || action == QStringLiteral("sound")) {
        const QFileInfo info(value);
        const bool folder = action == QStringLiteral("folder");
        if (value.isEmpty() || !info.exists() || (folder ? !info.isDir() : !info.isFile())) {
            done(invalid(folder ? tr("\"%1\" is not a folder.").arg(value)
                                : tr("\"%1\" is not a file.").arg(value)));
            return;
        }
        const QString path = info.absoluteFilePath();
        if (static_cast<std::size_t>(path.size()) > PendingAssignment::kLaunchPathMaxChars) {
            done(invalid(tr("A key holds a path of at most 255 characters.")));
            return;
        }
        choice.pendingKind = KindByte(action == QStringLiteral("program") ? AssignmentKind::Startup
                                      : action == QStringLiteral("file")  ? AssignmentKind::OpenFile
                                      : folder ? AssignmentKind::OpenFolder
                                               : AssignmentKind::PlaySound);
        choice.pendingLaunchPath = U16(path);
    } else if (action == QStringLiteral("disable")) {
        choice.pendingKind = KindByte(AssignmentKind::RestoreDefault);
        choice.keyEnabledResult = 0;
    } else if (action == QStringLiteral("default")) {
        choice.pendingKeyCount = PendingAssignment::kDefaultKeyCount;
    } else {
        done(invalid(tr("Unknown assignment \"%1\": key, combo, macro, function, program, file, "
                        "folder, sound, disable or default.")
                         .arg(action)));
        return;
    }

    if (auto refused = refusal(send)) {
        done(*refused);
        return;
    }
    WriteResult written;
    if (const EditResult r = service_.assignKey(*position, choice, written);
        r != EditResult::Done) {
        done(r == EditResult::Busy ? unavailable(Availability::Busy)
                                   : invalid(tr("The assignment was refused.")));
        return;
    }
    if (!written) {
        // The key has its new meaning; only the file that keeps it could not be written.
        done(cannotWrite(written));
        return;
    }
    finish(send, std::move(done));
}

void KeyboardScripting::setDiyKeys(const QVariantList& a, Done done) {
    const int layer = a[0].toInt();
    const QString action = a[1].toString();
    const QStringList keys = a[2].toStringList();
    const bool send = a[3].toBool();
    if (layer < 1 || layer > static_cast<int>(SettingsBlock::kDiyTableCount)) {
        done(invalid(tr("The DIY layers are 1 to 5.")));
        return;
    }
    const bool on = action == QStringLiteral("on") || action == QStringLiteral("all");
    const bool named = action == QStringLiteral("on") || action == QStringLiteral("off");
    if (!named && action != QStringLiteral("clear") && action != QStringLiteral("all")) {
        done(invalid(tr("Unknown DIY action \"%1\": on, off, clear or all.").arg(action)));
        return;
    }
    if (named == keys.isEmpty()) {
        done(invalid(named ? tr("Name the keys to switch.")
                           : tr("--clear and --all take no keys.")));
        return;
    }
    const std::uint8_t layout = service_.model().layoutVariant;
    std::vector<std::uint8_t> positions;
    if (named) {
        for (const QString& key : keys) {
            const auto p = FindKeyPosition(U16(key));
            if (!p || !HasLight(*p) || (service_.connected() && !KeyOnLayout(*p, layout))) {
                done(invalid(tr("Unknown key \"%1\", or one without a light.").arg(key)));
                return;
            }
            positions.push_back(*p);
        }
    } else {
        for (std::uint8_t p = 0; p < kMatrixPositionCount; ++p) {
            if (HasLight(p) && (!service_.connected() || KeyOnLayout(p, layout))) {
                positions.push_back(p);
            }
        }
    }
    if (auto refused = refusal(send)) {
        done(*refused);
        return;
    }
    for (const std::uint8_t p : positions) {
        static_cast<void>(service_.setDiyKey(static_cast<std::size_t>(layer - 1), p, on));
    }
    finish(send, std::move(done));
}

// ---- Macros ----------------------------------------------------------------------------------

std::optional<std::size_t> KeyboardScripting::macroSlot(const QVariant& number) const {
    const int n = number.toInt();
    if (n < 1 || static_cast<std::size_t>(n) > UsedMacroSlots(service_.model().macros)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(n - 1);
}

void KeyboardScripting::listMacros(const QVariantList&, Done done) {
    const MacroTable& macros = service_.model().macros;
    QStringList names;
    for (std::size_t s = 0; s < UsedMacroSlots(macros); ++s) {
        names << Q(macros.record(s).name());
    }
    done({ScriptError::None, {}, names});
}

void KeyboardScripting::getMacro(const QVariantList& a, Done done) {
    const auto slot = macroSlot(a[0]);
    if (!slot) {
        done(invalid(tr("There is no macro %1.").arg(a[0].toInt())));
        return;
    }
    done({ScriptError::None,
          {},
          QString::fromUtf8(MacroToJson(std::as_const(service_.model().macros).record(*slot)))});
}

void KeyboardScripting::deleteMacro(const QVariantList& a, Done done) {
    const auto slot = macroSlot(a[0]);
    if (!slot) {
        done(invalid(tr("There is no macro %1.").arg(a[0].toInt())));
        return;
    }
    const bool send = a[1].toBool();
    if (auto refused = refusal(send)) {
        done(*refused);
        return;
    }
    static_cast<void>(DeleteMacroSlot(service_.model().macros, *slot));
    WriteResult written;
    static_cast<void>(service_.commitMacros(written));  // editable: refusal() said so
    if (!written) {
        done(cannotWrite(written));
        return;
    }
    finish(send, std::move(done));
}

void KeyboardScripting::importMacro(const QVariantList& a, Done done) {
    const int n = a[0].toInt();
    const QString path = a[1].toString();
    const bool send = a[2].toBool();
    const std::size_t used = UsedMacroSlots(service_.model().macros);
    // A macro replaces one that exists or comes right after them: the slots stay contiguous.
    if (n < 1 || static_cast<std::size_t>(n) > std::min(used + 1, MacroTable::kRecordCount)) {
        done(invalid(
            tr("Macro %1 cannot be imported: macros 1 to %2 exist, so the number is 1 to %3.")
                .arg(n)
                .arg(used)
                .arg(std::min(used + 1, MacroTable::kRecordCount))));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || QFileInfo(path).isDir()) {
        done(error(ScriptError::FileNotReadable,
                   tr("Cannot read %1: %2").arg(path, file.errorString())));
        return;
    }
    const QByteArray json = file.read(1 << 20);
    MacroTable scratch;
    QString problem;
    if (!MacroFromJson(json, scratch.record(0), problem)) {
        done(invalid(tr("%1 is not a macro file: %2").arg(path, problem)));
        return;
    }
    if (auto refused = refusal(send)) {
        done(*refused);
        return;
    }
    const auto slot = static_cast<std::size_t>(n - 1);
    std::ranges::copy(std::as_const(scratch).record(0).bytes(),
                      service_.model().macros.record(slot).bytes().begin());
    WriteResult written;
    static_cast<void>(service_.commitMacros(written));
    if (!written) {
        done(cannotWrite(written));
        return;
    }
    finish(send, std::move(done));
}

void KeyboardScripting::exportMacro(const QVariantList& a, Done done) {
    const auto slot = macroSlot(a[0]);
    if (!slot) {
        done(invalid(tr("There is no macro %1.").arg(a[0].toInt())));
        return;
    }
    const QByteArray json = MacroToJson(std::as_const(service_.model().macros).record(*slot));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(json.constData());
    const WriteResult written = WriteFileAtomically(
        PathOf(a[1].toString()), {ConstByteSpan(bytes, static_cast<std::size_t>(json.size()))});
    if (!written) {
        done(cannotWrite(written));
        return;
    }
    done({});
}

// ---- Save, Cancel, factory reset -------------------------------------------------------------

void KeyboardScripting::save(const QVariantList&, Done done) {
    if (auto refused = refusal(true)) {
        done(*refused);
        return;
    }
    finish(true, std::move(done));
}

void KeyboardScripting::cancel(const QVariantList&, Done done) {
    if (auto refused = refusal(false)) {
        done(*refused);
        return;
    }
    if (const WriteResult written = service_.cancel(); !written) {
        done(cannotWrite(written));
        return;
    }
    done({});
}

void KeyboardScripting::factoryReset(const QVariantList&, Done done) {
    if (auto refused = refusal(true)) {
        done(*refused);
        return;
    }
    if (const Availability a = service_.factoryReset(); a != Availability::Started) {
        done(unavailable(a));
        return;
    }
    resetWaiters_.push_back(std::move(done));
}

// ---- Profiles --------------------------------------------------------------------------------

ScriptReply KeyboardScripting::badProfileName(const QString& name) const {
    return invalid(tr("\"%1\" cannot be a profile name: it must be 1 to 95 characters without "
                      "\"/\", \"\\\" or \"..\".")
                       .arg(name));
}

ScriptReply KeyboardScripting::profileFailed(const ProfileResult& result,
                                             const QString& message) const {
    if (result.status == ProfileStatus::TooMany) {
        return error(ScriptError::Failed, tr("There are six profiles already."));
    }
    return error(ScriptError::Failed, message.arg(Q(result.error)));
}

std::optional<ScriptReply> KeyboardScripting::openProfile(ProfileFolder& folder,
                                                          const QString& name,
                                                          std::optional<std::size_t>& line) const {
    if (!IsSafeProfileName(U16(name))) {
        return badProfileName(name);
    }
    static_cast<void>(folder.openFolder(settings_));  // an empty folder gets its first profile
    line = folder.find(U16(name));
    if (!line) {
        return invalid(tr("There is no profile \"%1\".").arg(name));
    }
    return std::nullopt;
}

void KeyboardScripting::listProfiles(const QVariantList&, Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    static_cast<void>(folder.openFolder(settings_));
    QStringList names;
    for (const ProfileEntry& e : folder.entries()) {
        names << Q(e.name);
    }
    done({ScriptError::None, {}, names});
}

std::optional<LaunchChoice> KeyboardScripting::launchChoice(const QString& text,
                                                            const Done& done) const {
    if (text == QStringLiteral("keep")) {
        return LaunchChoice::Keep;
    }
    if (text == QStringLiteral("drop")) {
        return LaunchChoice::Drop;
    }
    if (text == QStringLiteral("refuse")) {
        return LaunchChoice::Refuse;
    }
    done(invalid(
        tr("Unknown choice \"%1\" for the launch actions: keep, drop or refuse.").arg(text)));
    return std::nullopt;
}

ScriptReply KeyboardScripting::launchActionsRefused(
    const QString& name, std::vector<CheckedLaunchAction> actions) const {
    const QString message =
        tr("The profile \"%1\" makes keys open programs, files or folders that were not "
           "accepted before:\n%2Choose whether to keep them or to take the profile without them.")
            .arg(name, LaunchActionLines(actions));
    return {ScriptError::LaunchActions, message, {}, std::move(actions)};
}

void KeyboardScripting::applyProfile(const QVariantList& a, Done done) {
    applyProfileAs(a[0].toString(), LaunchChoice::Refuse, a[1].toBool(), std::move(done));
}

void KeyboardScripting::applyProfileWithLaunch(const QVariantList& a, Done done) {
    if (const auto launch = launchChoice(a[1].toString(), done)) {
        applyProfileAs(a[0].toString(), *launch, a[2].toBool(), std::move(done));
    }
}

void KeyboardScripting::applyProfileAs(const QString& name, LaunchChoice launch, bool send,
                                       Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    std::optional<std::size_t> line;
    if (auto refused = openProfile(folder, name, line)) {
        done(*refused);
        return;
    }
    if (auto refused = refusal(send)) {
        done(*refused);
        return;
    }
    ProfileResult applied = folder.applySelected(line, service_.model(), settings_, launch);
    if (applied.status == ProfileStatus::LaunchActionsNotAccepted) {
        done(launchActionsRefused(name, std::move(applied.launchActions)));
        return;
    }
    if (!applied) {
        done(error(ScriptError::FileNotReadable,
                   tr("The profile could not be read: %1").arg(Q(applied.error))));
        return;
    }
    // As the profile manager's OK followed by Save: the differences go to the keyboard at once;
    // the answer waits for the files too, which follow the manager's 50 ms later.
    struct Parts {
        int left = 2;
        ScriptReply reply;
        Done done;
    };
    auto parts = std::make_shared<Parts>();
    parts->done = std::move(done);
    const auto partDone = [parts](const ScriptReply& reply) {
        if (!reply.ok() && parts->reply.ok()) {
            parts->reply = reply;
        }
        if (--parts->left == 0) {
            parts->done(parts->reply);
        }
    };
    auto loaded = std::make_shared<QMetaObject::Connection>();
    *loaded = connect(&service_, &KeyboardService::settingsLoaded, this,
                      [loaded, partDone](bool fromKeyboard) {
                          if (!fromKeyboard) {
                              disconnect(*loaded);
                              partDone({});
                          }
                      });
    service_.profileLoaded();
    finish(send, partDone);
}

void KeyboardScripting::newProfile(const QVariantList&, Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    static_cast<void>(folder.openFolder(settings_));
    const ProfileResult made = folder.newProfile();
    if (!made) {
        done(profileFailed(made, tr("The profile could not be created: %1")));
        return;
    }
    done({ScriptError::None, {}, Q(made.name)});
}

void KeyboardScripting::copyProfile(const QVariantList& a, Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    std::optional<std::size_t> line;
    if (auto refused = openProfile(folder, a[0].toString(), line)) {
        done(*refused);
        return;
    }
    const ProfileResult copied = folder.copyProfile(line, service_.model().languageId);
    if (!copied) {
        done(profileFailed(copied, tr("The profile could not be copied: %1")));
        return;
    }
    done({ScriptError::None, {}, Q(copied.name)});
}

void KeyboardScripting::renameProfile(const QVariantList& a, Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    std::optional<std::size_t> line;
    if (auto refused = openProfile(folder, a[0].toString(), line)) {
        done(*refused);
        return;
    }
    const QString to = a[1].toString();
    if (!IsSafeProfileName(U16(to))) {
        done(badProfileName(to));
        return;
    }
    const ProfileResult renamed = folder.renameProfile(*line, U16(to));
    if (renamed.status == ProfileStatus::SameFile) {
        done(invalid(tr("There is a profile \"%1\" already.").arg(to)));
        return;
    }
    if (!renamed) {
        done(profileFailed(renamed, tr("The profile could not be renamed: %1")));
        return;
    }
    done({ScriptError::None, {}, Q(renamed.name)});
}

void KeyboardScripting::deleteProfile(const QVariantList& a, Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    std::optional<std::size_t> line;
    if (auto refused = openProfile(folder, a[0].toString(), line)) {
        done(*refused);
        return;
    }
    if (folder.checkDelete(line) == ProfileStatus::LastProfile) {
        done(error(ScriptError::Failed, tr("The last profile cannot be deleted.")));
        return;
    }
    const ProfileResult deleted = folder.deleteProfile(*line, 0);
    if (!deleted) {
        done(profileFailed(deleted, tr("The profile could not be deleted: %1")));
        return;
    }
    done({});
}

void KeyboardScripting::importProfile(const QVariantList& a, Done done) {
    importProfileAs(a[0].toString(), a[1].toString(), LaunchChoice::Refuse, std::move(done));
}

void KeyboardScripting::importProfileWithLaunch(const QVariantList& a, Done done) {
    if (const auto launch = launchChoice(a[2].toString(), done)) {
        importProfileAs(a[0].toString(), a[1].toString(), *launch, std::move(done));
    }
}

void KeyboardScripting::importProfileAs(const QString& path, QString name, LaunchChoice launch,
                                        Done done) {
    if (name.isEmpty()) {
        name = QFileInfo(path).completeBaseName();
    }
    if (!IsSafeProfileName(U16(name))) {
        done(badProfileName(name));
        return;
    }
    const std::optional<ProfileFile> file =
        QFileInfo(path).isDir() ? std::nullopt : ProfileFile::Read(PathOf(path));
    switch (ValidateProfileImport(file)) {
        case ProfileImportProblem::None:
            break;
        case ProfileImportProblem::CannotOpen:
            done(error(ScriptError::FileNotReadable, tr("Cannot read %1.").arg(path)));
            return;
        case ProfileImportProblem::TooShort:
            done(invalid(tr("%1 is not a profile: it is too short.").arg(path)));
            return;
    }
    ProfileFolder folder(service_.paths().dataDir);
    static_cast<void>(folder.openFolder(settings_));
    const auto line = folder.find(U16(name));
    const fs::path target = folder.path() / PathFromUtf16(RenamedFileName(U16(name)));
    std::error_code ec;
    if (!line && fs::exists(fs::symlink_status(target, ec))) {
        done(error(
            ScriptError::Failed,
            tr("A file that is not a listed profile is in the way: %1").arg(Q(target.string()))));
        return;
    }
    if (!line && folder.profileCount() >= kMaxProfiles) {
        done(profileFailed({ProfileStatus::TooMany, {}, {}}, QString()));
        return;
    }
    // As the profile manager's Load, but into a copy: the live configuration stays as it is,
    // and is what the launch actions are compared with.
    const Model& live = service_.model();
    const LaunchActionsReview review =
        ReviewLaunchActions(file->assignmentsOver(live.assignments), live.assignments, settings_);
    if (review.needsChoice() && launch == LaunchChoice::Refuse) {
        done(launchActionsRefused(name, review.brought));
        return;
    }
    auto copy = std::make_unique<Model>(live);
    ImportProfile(*file, *copy);
    // Not remembered (the settings cannot be written): applying the profile asks again.
    static_cast<void>(SettleLaunchActions(review, launch, *copy, settings_));
    if (const WriteResult written = WriteProfileFromModel(target, *copy); !written) {
        done(cannotWrite(written));
        return;
    }
    done({ScriptError::None, {}, Q(ProfileNameOf(RenamedFileName(U16(name))))});
}

void KeyboardScripting::exportProfile(const QVariantList& a, Done done) {
    ProfileFolder folder(service_.paths().dataDir);
    std::optional<std::size_t> line;
    if (auto refused = openProfile(folder, a[0].toString(), line)) {
        done(*refused);
        return;
    }
    const fs::path source = folder.entries()[*line].path;
    const std::optional<ProfileFile> file = ProfileFile::Read(source);
    if (!file) {
        done(error(ScriptError::FileNotReadable, tr("Cannot read %1.").arg(Q(source.string()))));
        return;
    }
    if (const WriteResult written = file->write(PathOf(a[1].toString())); !written) {
        done(cannotWrite(written));
        return;
    }
    done({});
}

}  // namespace tavrin
