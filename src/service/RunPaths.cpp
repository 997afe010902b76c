#include "service/RunPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> EnvPath(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) {
        return std::nullopt;
    }
    return fs::path(value.toStdString());
}

}  // namespace

ProgramPaths ResolveRunPaths(const std::optional<QString>& dataDir) {
    ProgramDirectoryInputs in;
    if (dataDir) {
        in.dataDirOption = fs::path(dataDir->toStdString());
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    in.executableDir = fs::path(exeDir.toStdString());
    in.executableDirWritable = QFileInfo(exeDir).isWritable();
    in.xdgDataHome = EnvPath("XDG_DATA_HOME");
    in.home = EnvPath("HOME");
    in.installedDataDir =
        fs::path(QDir(exeDir)
                     .absoluteFilePath(QStringLiteral("../share/tavrin-gaming-keyboard"))
                     .toStdString())
            .lexically_normal();
    return ResolveProgramPaths(in);
}

}  // namespace tavrin
