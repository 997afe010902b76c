#pragma once

// For the rules windows' tests: a folder that looks like /proc, and answering the modal window
// that the next step opens.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "ui/support/UiTestSupport.h"

namespace tavrin::test {

// A process in a folder laid out like /proc: PID/comm, and PID/exe linking to `exe` unless empty.
inline void AddProcess(const QString& procRoot, int pid, const QByteArray& comm,
                       const QString& exe) {
    const QString dir = QStringLiteral("%1/%2").arg(procRoot).arg(pid);
    ASSERT_TRUE(QDir().mkpath(dir));
    QFile file(dir + QStringLiteral("/comm"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(comm + "\n");
    if (!exe.isEmpty()) {
        ASSERT_TRUE(QFile::link(exe, dir + QStringLiteral("/exe")));
    }
}

}  // namespace tavrin::test
