#pragma once

// Text and path conversions at the edge between the core and Qt.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <filesystem>
#include <string>

namespace tavrin {

inline QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

inline std::u16string ToU16(const QString& text) {
    return text.toStdU16String();
}

// File names keep the bytes the file system gave them (Qt's local 8-bit file name encoding).
inline QString PathToQString(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

inline std::filesystem::path QStringToPath(const QString& text) {
#ifdef Q_OS_WIN
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(text).toStdString());
#endif
}

}  // namespace tavrin
