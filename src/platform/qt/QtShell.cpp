#include "platform/qt/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "platform/qt/QtConversions.h"

namespace tavrin {

namespace {

// The desktop's file opener shows a program's text instead of running it, so programs are
// started here. A document that merely carries the executable bit (as on FAT and NTFS mounts)
// is no program.
bool IsProgram(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) {
        return false;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    for (const char* program :
         {"application/x-executable", "application/x-sharedlib", "application/x-pie-executable",
          "application/x-shellscript", "application/x-ms-dos-executable"}) {
        if (type.inherits(QString::fromLatin1(program))) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool QtShell::openPath(const std::filesystem::path& path) {
    if (path.empty()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQString(path)));
}

bool QtShell::startProgram(const std::filesystem::path& program,
                           const std::filesystem::path& workingDir) {
    return startProgram(program, {}, workingDir);
}

bool QtShell::startProgram(const std::filesystem::path& program,
                           const std::vector<std::string>& arguments,
                           const std::filesystem::path& workingDir) {
    if (program.empty()) {
        return false;
    }
    QStringList args;
    for (const std::string& argument : arguments) {
        args.push_back(QString::fromStdString(argument));
    }
    const std::filesystem::path folder = workingDir.empty() ? program.parent_path() : workingDir;
    return QProcess::startDetached(PathToQString(program), args, PathToQString(folder));
}

bool QtShell::open(const std::filesystem::path& directory, const std::filesystem::path& file) {
    const std::filesystem::path target =
        file.empty() ? directory
                     : (file.is_absolute() || directory.empty() ? file : directory / file);
    if (target.empty()) {
        return false;
    }
    if (IsProgram(PathToQString(target)) && startProgram(target, directory)) {
        return true;
    }
    return openPath(target);
}

}  // namespace tavrin
