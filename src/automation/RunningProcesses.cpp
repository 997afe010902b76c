#include "automation/RunningProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace tavrin {

RunningProcess ProcessOf(int pid, const QString& procRoot) {
    RunningProcess p;
    p.pid = pid;
    const QString dir = QStringLiteral("%1/%2").arg(procRoot).arg(pid);
    QFile comm(dir + QStringLiteral("/comm"));
    if (comm.open(QIODevice::ReadOnly)) {
        p.comm = QString::fromUtf8(comm.readAll()).trimmed();
    }
    // A process of another user, or one that ended, has no readable link: its comm still names it.
    const QString exe = QFileInfo(dir + QStringLiteral("/exe")).symLinkTarget();
    if (!exe.isEmpty()) {
        QString name = QFileInfo(exe).fileName();
        name.remove(QStringLiteral(" (deleted)"));
        p.exeName = name;
    }
    return p;
}

QList<RunningProcess> RunningProcesses(const QString& procRoot) {
    QList<RunningProcess> list;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const int pid = entry.toInt(&number);
        if (!number || pid <= 0) {
            continue;
        }
        RunningProcess p = ProcessOf(pid, procRoot);
        if (!p.comm.isEmpty() || !p.exeName.isEmpty()) {
            list.append(p);
        }
    }
    return list;
}

QList<QString> RunningExecutableNames(const QString& procRoot) {
    QSet<QString> names;
    for (const RunningProcess& p : RunningProcesses(procRoot)) {
        if (!p.comm.isEmpty()) {
            names.insert(p.comm);
        }
        if (!p.exeName.isEmpty()) {
            names.insert(p.exeName);
        }
    }
    return names.values();
}

}  // namespace tavrin
