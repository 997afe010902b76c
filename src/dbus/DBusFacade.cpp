#include "dbus/DBusFacade.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

#include "GamingKeyboardAdaptor.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"

namespace tavrin {

DBusFacade::DBusFacade(KeyboardService& service, KeyboardScripting& scripting, QObject* parent)
    : QObject(parent), service_(service), scripting_(scripting) {
    new GamingKeyboardAdaptor(this);  // owned by this object; relays its signals
    keyboardPresent_ = service_.connected();
    connect(&service_, &KeyboardService::linkStatusChanged, this, [this] {
        const bool present = service_.connected();
        if (present != keyboardPresent_) {
            keyboardPresent_ = present;
            if (present) {
                emit KeyboardArrived();
            } else {
                emit KeyboardRemoved();
            }
        }
    });
    connect(&service_, &KeyboardService::settingsLoaded, this, [this] { emit SettingsChanged(); });
    connect(&service_, &KeyboardService::modelChanged, this, [this] { emit SettingsChanged(); });
    connect(&service_, &KeyboardService::factoryResetFinished, this,
            [this] { emit SettingsChanged(); });
    connect(&service_, &KeyboardService::saveFinished, this, [this](const LinkResult& result) {
        emit SaveFinished(result.ok, QString::fromStdString(result.error));
    });
    connect(&service_, &KeyboardService::keyboardEvent, this,
            [this](std::uint8_t code) { emit KeyEvent(code); });
}

bool DBusFacade::publish(QDBusConnection bus, QString& error) {
    if (!bus.isConnected()) {
        error = QStringLiteral("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    if (!bus.registerObject(QLatin1String(kObjectPath), this, QDBusConnection::ExportAdaptors)) {
        error = QStringLiteral("cannot export %1: %2")
                    .arg(QLatin1String(kObjectPath), bus.lastError().message());
        return false;
    }
    // Queued names would let a second program wait for the name: the first one keeps it.
    const auto reply = bus.interface()->registerService(
        QLatin1String(kBusName), QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QLatin1String(kObjectPath));
        error = QStringLiteral("cannot take the bus name %1: %2")
                    .arg(QLatin1String(kBusName), reply.isValid()
                                                      ? QStringLiteral("another program has it")
                                                      : reply.error().message());
        return false;
    }
    return true;
}

QVariant DBusFacade::value(const char* name) const {
    if (!snapshotValid_) {
        snapshot_ = scripting_.properties();
        snapshotValid_ = true;
        QTimer::singleShot(0, this, [this] { snapshotValid_ = false; });
    }
    return snapshot_.value(QLatin1String(name));
}

void DBusFacade::run(const char* method, const QVariantList& args) {
    setDelayedReply(true);
    QDBusMessage call = message();
    QDBusConnection bus = connection();
    scripting_.call(QLatin1String(method), args, [call, bus](const ScriptReply& reply) mutable {
        if (!reply.ok()) {
            bus.send(
                call.createErrorReply(KeyboardScripting::errorName(reply.error), reply.message));
        } else if (reply.value.isValid()) {
            bus.send(call.createReply(reply.value));
        } else {
            bus.send(call.createReply());
        }
    });
}

void DBusFacade::SetLighting(const QString& effect, int speed, int brightness,
                             const QString& direction, int colour, bool send) {
    run("SetLighting", {effect, speed, brightness, direction, colour, send});
}
void DBusFacade::SetGameMode(bool on, bool send) {
    run("SetGameMode", {on, send});
}
void DBusFacade::SetWinLock(bool on, bool send) {
    run("SetWinLock", {on, send});
}
void DBusFacade::SetResponseTime(int milliseconds, bool send) {
    run("SetResponseTime", {milliseconds, send});
}
void DBusFacade::SetReportRate(const QString& rate, bool send) {
    run("SetReportRate", {rate, send});
}
void DBusFacade::AssignKey(const QString& key, const QString& action, const QString& value,
                           bool send) {
    run("AssignKey", {key, action, value, send});
}
void DBusFacade::SetDiyKeys(int layer, const QString& action, const QStringList& keys, bool send) {
    run("SetDiyKeys", {layer, action, keys, send});
}
QStringList DBusFacade::ListMacros() {
    run("ListMacros", {});
    return {};
}
QString DBusFacade::GetMacro(int number) {
    run("GetMacro", {number});
    return {};
}
void DBusFacade::DeleteMacro(int number, bool send) {
    run("DeleteMacro", {number, send});
}
void DBusFacade::ImportMacro(int number, const QString& path, bool send) {
    run("ImportMacro", {number, path, send});
}
void DBusFacade::ExportMacro(int number, const QString& path) {
    run("ExportMacro", {number, path});
}
void DBusFacade::Save() {
    run("Save", {});
}
void DBusFacade::Cancel() {
    run("Cancel", {});
}
void DBusFacade::FactoryReset() {
    run("FactoryReset", {});
}
QStringList DBusFacade::ListProfiles() {
    run("ListProfiles", {});
    return {};
}
void DBusFacade::ApplyProfile(const QString& name, bool send) {
    run("ApplyProfile", {name, send});
}
void DBusFacade::ApplyProfileWithLaunch(const QString& name, const QString& launch, bool send) {
    run("ApplyProfileWithLaunch", {name, launch, send});
}
QString DBusFacade::NewProfile() {
    run("NewProfile", {});
    return {};
}
QString DBusFacade::CopyProfile(const QString& name) {
    run("CopyProfile", {name});
    return {};
}
QString DBusFacade::RenameProfile(const QString& name, const QString& newName) {
    run("RenameProfile", {name, newName});
    return {};
}
void DBusFacade::DeleteProfile(const QString& name) {
    run("DeleteProfile", {name});
}
QString DBusFacade::ImportProfile(const QString& path, const QString& name) {
    run("ImportProfile", {path, name});
    return {};
}
QString DBusFacade::ImportProfileWithLaunch(const QString& path, const QString& name,
                                            const QString& launch) {
    run("ImportProfileWithLaunch", {path, name, launch});
    return {};
}
void DBusFacade::ExportProfile(const QString& name, const QString& path) {
    run("ExportProfile", {name, path});
}
void DBusFacade::SetActiveApplication(const QString& exe, const QString& windowClass) {
    emit activeApplicationReported(exe, windowClass);
}

}  // namespace tavrin
