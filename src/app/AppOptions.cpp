#include "app/AppOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace tavrin {

std::optional<AppOptions> ParseAppOptions(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tavrin Gaming Keyboard configuration"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Use the built-in virtual keyboard."));
    const QCommandLineOption virtualDevice(
        QStringLiteral("virtual-device"),
        QStringLiteral("Use the virtual keyboard served at the socket <path>."),
        QStringLiteral("path"));
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("Keep the program's files in <dir> instead of beside the program."),
        QStringLiteral("dir"));
    const QCommandLineOption minimized(
        QStringLiteral("minimized"),
        QStringLiteral("Start in the notification area without showing the window (iconified "
                       "where there is no notification area)."));
    parser.addOption(simulate);
    parser.addOption(virtualDevice);
    parser.addOption(dataDir);
    parser.addOption(minimized);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        error = parser.helpText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        error =
            QStringLiteral("tavrin-gaming-keyboard %1").arg(QCoreApplication::applicationVersion());
        return std::nullopt;
    }
    AppOptions options;
    options.simulate = parser.isSet(simulate);
    options.minimized = parser.isSet(minimized);
    if (parser.isSet(virtualDevice)) {
        options.virtualDevice = parser.value(virtualDevice);
    }
    if (parser.isSet(dataDir)) {
        options.dataDir = parser.value(dataDir);
    }
    if (options.simulate && options.virtualDevice) {
        error = QStringLiteral("--simulate and --virtual-device cannot be combined");
        return std::nullopt;
    }
    return options;
}

}  // namespace tavrin
