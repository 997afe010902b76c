#pragma once

// For the rules windows' tests: answering the modal window that the next step opens, and a
// folder that looks like /proc.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>

namespace tavrin::test {

// Runs `steps` on the modal dialog that the next call brings up, then lets the test go on.
template <typename Dialog>
void WhenModal(std::function<void(Dialog&)> steps) {
    QTimer::singleShot(0, [steps] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "the dialog did not come up";
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        steps(*dialog);
    });
}

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
