#include "platform/qt/QtShell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "platform/qt/QtConversions.h"

namespace tavrin {

bool QtShell::openPath(const std::filesystem::path& path) {
    if (path.empty()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQString(path)));
}

bool QtShell::startProgram(const std::filesystem::path& program,
                           const std::filesystem::path& workingDir) {
    if (program.empty()) {
        return false;
    }
    const std::filesystem::path folder = workingDir.empty() ? program.parent_path() : workingDir;
    return QProcess::startDetached(PathToQString(program), {}, PathToQString(folder));
}

}  // namespace tavrin
