#pragma once

// The object the program exports on the session bus. The adaptor generated from
// org.tavrin.GamingKeyboard1.xml calls these slots and reads these properties; every call goes
// to KeyboardScripting and is answered when it is done (a delayed reply), as a D-Bus error when
// it failed.

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace tavrin {

class KeyboardScripting;
class KeyboardService;

inline constexpr const char* kBusName = "org.tavrin.GamingKeyboard";
inline constexpr const char* kObjectPath = "/org/tavrin/GamingKeyboard";

class DBusFacade : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(QString KeyboardState READ keyboardState)
    Q_PROPERTY(QString Product READ product)
    Q_PROPERTY(int Layout READ layout)
    Q_PROPERTY(QString Firmware READ firmware)
    Q_PROPERTY(QString Effect READ effect)
    Q_PROPERTY(int EffectIndex READ effectIndex)
    Q_PROPERTY(int Speed READ speed)
    Q_PROPERTY(int Brightness READ brightness)
    Q_PROPERTY(int Colour READ colour)
    Q_PROPERTY(QString Direction READ direction)
    Q_PROPERTY(bool GameMode READ gameMode)
    Q_PROPERTY(bool WinLock READ winLock)
    Q_PROPERTY(int ResponseTime READ responseTime)
    Q_PROPERTY(int ReportRate READ reportRate)
    Q_PROPERTY(QString CurrentProfile READ currentProfile)
    Q_PROPERTY(bool UnsavedEdits READ unsavedEdits)

public:
    DBusFacade(KeyboardService& service, KeyboardScripting& scripting, QObject* parent = nullptr);

    // Exports the object and takes the bus name; false with `error` when either fails (another
    // program has the name, or there is no session bus).
    bool publish(QDBusConnection bus, QString& error);

    QString keyboardState() const { return value("KeyboardState").toString(); }
    QString product() const { return value("Product").toString(); }
    int layout() const { return value("Layout").toInt(); }
    QString firmware() const { return value("Firmware").toString(); }
    QString effect() const { return value("Effect").toString(); }
    int effectIndex() const { return value("EffectIndex").toInt(); }
    int speed() const { return value("Speed").toInt(); }
    int brightness() const { return value("Brightness").toInt(); }
    int colour() const { return value("Colour").toInt(); }
    QString direction() const { return value("Direction").toString(); }
    bool gameMode() const { return value("GameMode").toBool(); }
    bool winLock() const { return value("WinLock").toBool(); }
    int responseTime() const { return value("ResponseTime").toInt(); }
    int reportRate() const { return value("ReportRate").toInt(); }
    QString currentProfile() const { return value("CurrentProfile").toString(); }
    bool unsavedEdits() const { return value("UnsavedEdits").toBool(); }

public slots:
    void SetLighting(const QString& effect, int speed, int brightness, const QString& direction,
                     int colour, bool send);
    void SetGameMode(bool on, bool send);
    void SetWinLock(bool on, bool send);
    void SetResponseTime(int milliseconds, bool send);
    void SetReportRate(const QString& rate, bool send);
    void AssignKey(const QString& key, const QString& action, const QString& value, bool send);
    void SetDiyKeys(int layer, const QString& action, const QStringList& keys, bool send);
    QStringList ListMacros();
    QString GetMacro(int number);
    void DeleteMacro(int number, bool send);
    void ImportMacro(int number, const QString& path, bool send);
    void ExportMacro(int number, const QString& path);
    void Save();
    void Cancel();
    void FactoryReset();
    QStringList ListProfiles();
    void ApplyProfile(const QString& name, bool send);
    void ApplyProfileWithLaunch(const QString& name, const QString& launch, bool send);
    QString NewProfile();
    QString CopyProfile(const QString& name);
    QString RenameProfile(const QString& name, const QString& newName);
    void DeleteProfile(const QString& name);
    QString ImportProfile(const QString& path, const QString& name);
    QString ImportProfileWithLaunch(const QString& path, const QString& name,
                                    const QString& launch);
    void ExportProfile(const QString& name, const QString& path);
    void SetActiveApplication(const QString& exe, const QString& windowClass);

signals:
    void KeyboardArrived();
    void KeyboardRemoved();
    void SettingsChanged();
    void SaveFinished(bool ok, const QString& message);
    void KeyEvent(uchar code);
    // Not part of the interface: what a compositor's script reported, for the profile switcher.
    void activeApplicationReported(const QString& exe, const QString& windowClass);

private:
    // Hands the call to the scripting layer and answers the caller when it is done.
    void run(const char* method, const QVariantList& args);
    // One snapshot of the properties serves every read of the same turn of the event loop
    // (GetAll reads them all).
    QVariant value(const char* name) const;

    KeyboardService& service_;
    KeyboardScripting& scripting_;
    bool keyboardPresent_ = false;
    mutable QVariantMap snapshot_;
    mutable bool snapshotValid_ = false;
};

}  // namespace tavrin
