#include "app/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tavrin {

namespace {

// The characters that need a quoted argument in Exec, and those that then need a backslash.
constexpr QStringView kQuotedEscapes = u"\"`$\\";

bool HasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString AutostartPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/autostart/tavrin-gaming-keyboard.desktop");
}

QString AutostartExecValue(const QString& program) {
    if (!QDir::isAbsolutePath(program) || HasControlCharacter(program)) {
        return {};
    }
    // The program's path is always one quoted argument: inside the quotes '"', '`', '$' and '\'
    // take a backslash, and '%' is doubled as everywhere in Exec. The value is then a string of
    // the file, in which every backslash is written twice.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (kQuotedEscapes.contains(c)) {
            quoted += QLatin1Char('\\');
        } else if (c == QLatin1Char('%')) {
            quoted += QLatin1Char('%');
        }
        quoted += c;
    }
    quoted += QLatin1Char('"');
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return quoted + QStringLiteral(" --minimized");
}

QString AutostartEntry(const QString& program) {
    const QString exec = AutostartExecValue(program);
    if (exec.isEmpty()) {
        return {};
    }
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Version=1.4\n"
               "Name=Tavrin Gaming Keyboard\n"
               "Name[zh_CN]=Tavrin 游戏键盘\n"
               "Comment=Starts the keyboard's configuration program in the notification area\n"
               "Comment[zh_CN]=在通知区域启动键盘设置程序\n"
               "Exec=%1\n"
               "Icon=tavrin-gaming-keyboard\n"
               "Terminal=false\n"
               "StartupNotify=false\n"
               "X-GNOME-Autostart-enabled=true\n")
        .arg(exec);
}

bool AutostartEnabled(const QString& path) {
    return QFileInfo::exists(path);
}

bool EnableAutostart(const QString& path, const QString& program, QString& error) {
    const QString entry = AutostartEntry(program);
    if (entry.isEmpty()) {
        error = QStringLiteral("the program's path %1 cannot be written in a desktop entry")
                    .arg(program);
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = entry.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool DisableAutostart(const QString& path, QString& error) {
    QFile file(path);
    if (!file.exists() && !QFileInfo(path).isSymLink()) {
        return true;
    }
    if (!file.remove()) {
        error = QStringLiteral("%1 could not be removed: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace tavrin
