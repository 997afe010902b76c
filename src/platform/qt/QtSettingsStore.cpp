#include "platform/qt/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <memory>

#include "platform/qt/QtConversions.h"

namespace tavrin {

namespace {

struct SettingsLocation {
    QString organisation;
    QString group;  // "" for the key itself
};

// "Software\\Mervic" -> organisation "Mervic"; "Software\\A\\B" -> "A", group "B". A key that
// would name a file outside the config folder is refused.
std::optional<SettingsLocation> Locate(const std::string& key) {
    QString text = QString::fromStdString(key);
    const QString prefix = QStringLiteral("Software\\");
    if (text.startsWith(prefix, Qt::CaseInsensitive)) {
        text = text.mid(prefix.size());
    }
    QStringList parts = text.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        return std::nullopt;
    }
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String("..") ||
            part.contains(QLatin1Char('/'))) {
            return std::nullopt;
        }
    }
    SettingsLocation location;
    location.organisation = parts.takeFirst();
    location.group = parts.join(QLatin1Char('/'));
    return location;
}

bool ValidValueName(const std::string& value) {
    return !value.empty() && value.find('/') == std::string::npos &&
           value.find('\\') == std::string::npos;
}

std::unique_ptr<QSettings> Open(const std::optional<std::filesystem::path>& folder,
                                const QString& organisation) {
    if (folder) {
        // On Linux the native format is this INI file; a folder keeps the same file layout.
        return std::make_unique<QSettings>(
            PathToQString(*folder / QStringToPath(organisation + QStringLiteral(".conf"))),
            QSettings::IniFormat);
    }
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                organisation, QString());
    // The values are the user's own, as under HKEY_CURRENT_USER: no system-wide defaults.
    settings->setFallbacksEnabled(false);
    return settings;
}

bool HoldsAnything(QSettings& settings) {
    return !settings.allKeys().isEmpty() || !settings.childGroups().isEmpty();
}

}  // namespace

QtSettingsStore::QtSettingsStore(std::optional<std::filesystem::path> configFolder)
    : configFolder_(std::move(configFolder)) {}

std::optional<std::u16string> QtSettingsStore::readString(const std::string& key,
                                                          const std::string& value) {
    const auto location = Locate(key);
    if (!location || !ValidValueName(value)) {
        return std::nullopt;
    }
    auto settings = Open(configFolder_, location->organisation);
    if (!location->group.isEmpty()) {
        settings->beginGroup(location->group);
    }
    const QString name = QString::fromStdString(value);
    if (!settings->contains(name)) {
        return std::nullopt;
    }
    return ToU16(settings->value(name).toString());
}

bool QtSettingsStore::writeString(const std::string& key, const std::string& value,
                                  const std::u16string& text) {
    const auto location = Locate(key);
    if (!location || !ValidValueName(value)) {
        return false;
    }
    auto settings = Open(configFolder_, location->organisation);
    if (!settings->isWritable()) {
        return false;
    }
    if (!location->group.isEmpty()) {
        settings->beginGroup(location->group);
    }
    settings->setValue(QString::fromStdString(value), ToQString(text));
    // QSettings writes through a temporary file and a rename, so the old file stays whole.
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool QtSettingsStore::keyExists(const std::string& key) {
    const auto location = Locate(key);
    if (!location) {
        return false;
    }
    auto settings = Open(configFolder_, location->organisation);
    if (location->group.isEmpty()) {
#ifndef Q_OS_WIN
        // The key is its file, which exists even when it holds no values.
        if (QFileInfo::exists(settings->fileName())) {
            return true;
        }
#endif
        return HoldsAnything(*settings);
    }
    settings->beginGroup(location->group);
    return HoldsAnything(*settings);
}

}  // namespace tavrin
