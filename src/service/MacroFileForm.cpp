#include "service/MacroFileForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "model/KeyCodeTable.h"
#include "model/MacroStore.h"
#include "model/ScriptNames.h"

namespace tavrin {

namespace {

const QString kFormat = QStringLiteral("tavrin-gaming-keyboard-macro");

QString FromU16(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToU16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A whole number in [low, high]; JSON numbers are doubles, so 1.5 or 1e10 are refused.
bool WholeIn(const QJsonValue& value, int low, int high, int& out) {
    if (!value.isDouble()) {
        return false;
    }
    const double d = value.toDouble();
    if (d < low || d > high || d != static_cast<double>(static_cast<int>(d))) {
        return false;
    }
    out = static_cast<int>(d);
    return true;
}

// Keys a macro can hold: the named keyboard keys and the three mouse buttons.
bool MacroKey(int vk) {
    return vk > 0 && vk <= kMouseMiddleButton &&
           !KeyCodeName(static_cast<std::uint8_t>(vk)).empty() &&
           HidUsage(static_cast<std::uint8_t>(vk)) != 0;
}

}  // namespace

QByteArray MacroToJson(ConstMacroRecord record) {
    QJsonArray events;
    const MacroEventsView keys = KeyEventsOf(record);
    const std::size_t count = EventCount(keys);
    for (std::size_t i = 0; i < count; ++i) {
        const MacroEvent e = EventAt(keys, i);
        QJsonObject event;
        event[QStringLiteral("key")] = FromU16(KeyCodeName(e.key));
        event[QStringLiteral("vk")] = e.key;
        event[QStringLiteral("action")] = e.direction == MacroEvent::kRelease
                                              ? QStringLiteral("release")
                                              : QStringLiteral("press");
        event[QStringLiteral("delay_ms")] = e.delay;
        events.append(event);
    }
    QJsonObject root;
    root[QStringLiteral("format")] = kFormat;
    root[QStringLiteral("version")] = kMacroFormVersion;
    root[QStringLiteral("name")] = FromU16(record.name());
    root[QStringLiteral("loop_count")] = record.loopCount();
    root[QStringLiteral("record_delay")] = record.delayFlag();
    root[QStringLiteral("events")] = events;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool MacroFromJson(const QByteArray& json, MacroRecord record, QString& error) {
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error =
            QStringLiteral("not JSON (%1 at byte %2)").arg(parse.errorString()).arg(parse.offset);
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat) {
        error = QStringLiteral("\"format\" is not \"%1\"").arg(kFormat);
        return false;
    }
    int version = 0;
    if (!WholeIn(root.value(QStringLiteral("version")), 1, 1000, version) ||
        version != kMacroFormVersion) {
        error = QStringLiteral("\"version\" %1 is not supported; this program reads version %2")
                    .arg(root.value(QStringLiteral("version")).toVariant().toString())
                    .arg(kMacroFormVersion);
        return false;
    }
    const QString name = root.value(QStringLiteral("name")).toString();
    if (name.isEmpty() || name.size() > static_cast<qsizetype>(MacroRecord::kNameMaxChars) ||
        name.contains(QChar(0))) {
        error =
            QStringLiteral("\"name\" must hold 1 to %1 characters").arg(MacroRecord::kNameMaxChars);
        return false;
    }
    int loops = 1;
    if (root.contains(QStringLiteral("loop_count")) &&
        !WholeIn(root.value(QStringLiteral("loop_count")), 0, kMaxMacroLoops, loops)) {
        error = QStringLiteral("\"loop_count\" must be a whole number from 0 to %1")
                    .arg(kMaxMacroLoops);
        return false;
    }
    const QJsonValue recordDelay = root.value(QStringLiteral("record_delay"));
    if (!recordDelay.isUndefined() && !recordDelay.isBool()) {
        error = QStringLiteral("\"record_delay\" must be true or false");
        return false;
    }
    if (!root.value(QStringLiteral("events")).isArray()) {
        error = QStringLiteral("\"events\" must be a list");
        return false;
    }
    const QJsonArray events = root.value(QStringLiteral("events")).toArray();
    if (events.size() > static_cast<qsizetype>(kMacroEventCount)) {
        error = QStringLiteral("a macro holds at most %1 events; this one has %2")
                    .arg(kMacroEventCount)
                    .arg(events.size());
        return false;
    }

    MacroTable scratch;  // filled first, so that a bad event leaves `record` untouched
    const MacroRecord built = scratch.record(0);
    for (qsizetype i = 0; i < events.size(); ++i) {
        const QJsonObject event = events.at(i).toObject();
        const QString where = QStringLiteral("event %1: ").arg(i + 1);
        int vk = 0;
        if (event.contains(QStringLiteral("key"))) {
            const auto found = FindKeyCode(ToU16(event.value(QStringLiteral("key")).toString()));
            vk = found ? *found : 0;
        } else if (!WholeIn(event.value(QStringLiteral("vk")), 1, 255, vk)) {
            vk = 0;
        }
        if (!MacroKey(vk)) {
            error = where + QStringLiteral("unknown key");
            return false;
        }
        const QString action = event.value(QStringLiteral("action")).toString();
        if (action != QStringLiteral("press") && action != QStringLiteral("release")) {
            error = where + QStringLiteral("\"action\" must be \"press\" or \"release\"");
            return false;
        }
        int delay = kNoDelay;
        if (event.contains(QStringLiteral("delay_ms")) &&
            !WholeIn(event.value(QStringLiteral("delay_ms")), 0, kMaxDelay, delay)) {
            error =
                where +
                QStringLiteral("\"delay_ms\" must be a whole number from 0 to %1").arg(kMaxDelay);
            return false;
        }
        const auto key = static_cast<std::uint8_t>(vk);
        const std::uint8_t direction =
            action == QStringLiteral("release") ? MacroEvent::kRelease : MacroEvent::kPress;
        const auto ms = static_cast<std::uint16_t>(delay);
        built.setKeyEvent(static_cast<std::size_t>(i), {key, direction, ms});
        built.setCodeEvent(static_cast<std::size_t>(i), {HidUsage(key), direction, ms});
    }
    built.setName(ToU16(name));
    built.setLoopCount(loops);
    built.setDelayFlag(recordDelay.toBool(false));
    std::ranges::copy(std::as_const(scratch).record(0).bytes(), record.bytes().begin());
    return true;
}

}  // namespace tavrin
