#pragma once

// The executables that run now, by name: /proc/PID/comm and the file name of /proc/PID/exe of
// every process this user may see. On systems without /proc the list is empty.

#include <QList>
#include <QString>

namespace tavrin {

struct RunningProcess {
    int pid = 0;
    QString comm;     // /proc/PID/comm (the kernel cuts it at 15 characters)
    QString exeName;  // the file name of /proc/PID/exe; empty when it may not be read
};

QList<RunningProcess> RunningProcesses(const QString& procRoot = QStringLiteral("/proc"));
// Every name a rule may match, each once: the comm names and the exe file names.
QList<QString> RunningExecutableNames(const QString& procRoot = QStringLiteral("/proc"));
// The names of one process, for the focused window's _NET_WM_PID.
RunningProcess ProcessOf(int pid, const QString& procRoot = QStringLiteral("/proc"));

}  // namespace tavrin
