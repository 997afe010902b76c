// The autostart entry: where it goes, and that what it starts is this program, whatever its path
// holds. The desktop's own tools judge the entry: desktop-file-validate checks it, and GLib's
// launcher (gio launch, as GNOME's session starts autostart entries) runs it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "app/Autostart.h"
#include "support/TempDir.h"
#include "ui/support/ScopedEnvironment.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// desktop-file-validate's complaints; empty when the entry is clean.
QString Validate(const QString& entry) {
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    if (!validate.waitForFinished(20000)) {
        return QStringLiteral("desktop-file-validate did not run: ") + validate.errorString();
    }
    const QString output = QString::fromUtf8(validate.readAll());
    return validate.exitCode() == 0 && output.isEmpty()
               ? QString()
               : QStringLiteral("exit %1: %2").arg(validate.exitCode()).arg(output);
}

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(Autostart, ThePathFollowsXdgConfigHome) {
    test::ScopedEnvironment env;
    env.set("HOME", "/home/someone");
    struct Case {
        const char* xdg;  // nullptr: unset
        QString expected;
    };
    const QString home = QStringLiteral("/home/someone/.config/autostart/");
    for (const Case& c : {Case{"/srv/conf", "/srv/conf/autostart/"}, Case{nullptr, home},
                          Case{"", home}, Case{"relative/conf", home}}) {
        if (c.xdg) {
            env.set("XDG_CONFIG_HOME", c.xdg);
        } else {
            env.unset("XDG_CONFIG_HOME");
        }
        EXPECT_EQ(AutostartPath(), c.expected + QStringLiteral("tavrin-gaming-keyboard.desktop"))
            << (c.xdg ? c.xdg : "unset");
    }
}

// Each program path is a script that writes the arguments it was started with.
TEST(Autostart, TheEntryStartsThisProgramMinimizedWhateverItsPathHolds) {
    const char* folders[] = {"plain",          "with space",  "a \"quoted\" one", "it's",
                             "$HOME and `id`", "back\\slash", "中文 ünïcode"};
    for (const char* folder : folders) {
        SCOPED_TRACE(folder);
        test::TempDir dir;
        const QString bin = Q(dir.path()) + QStringLiteral("/") + QString::fromUtf8(folder);
        ASSERT_TRUE(QDir().mkpath(bin));
        const QString program = bin + QStringLiteral("/program");
        const QString record = Q(dir / "arguments.txt");
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" >\"" + record.toUtf8() +
                     ".part\"\n"
                     "mv \"" +
                     record.toUtf8() + ".part\" \"" + record.toUtf8() + "\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);

        const QString entry = Q(dir / "autostart/tavrin-gaming-keyboard.desktop");
        QString error;
        ASSERT_TRUE(EnableAutostart(entry, program, error)) << error.toStdString();
        EXPECT_TRUE(AutostartEnabled(entry));
        EXPECT_EQ(Validate(entry), QString());

        QProcess launch;
        launch.setProcessChannelMode(QProcess::MergedChannels);
        launch.start(QStringLiteral("gio"), {QStringLiteral("launch"), entry});
        ASSERT_TRUE(launch.waitForFinished(20000)) << launch.errorString().toStdString();
        ASSERT_EQ(launch.exitCode(), 0) << launch.readAll().toStdString();
        TAVRIN_WAIT_TRUE_FOR(QFile::exists(record), 10000);
        EXPECT_EQ(ReadAll(record), program + QStringLiteral("\n--minimized\n"));

        ASSERT_TRUE(DisableAutostart(entry, error)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(entry));
        EXPECT_FALSE(AutostartEnabled(entry));
        EXPECT_TRUE(DisableAutostart(entry, error));  // nothing left to remove
    }
}

// '%' starts a field code in Exec and is written twice. GLib's launcher looks for the program
// before it reads the codes, so the desktop format is checked here, not a launch.
TEST(Autostart, APercentSignIsDoubled) {
    EXPECT_EQ(AutostartExecValue(QStringLiteral("/opt/100% tavrin/program")),
              QStringLiteral("\"/opt/100%% tavrin/program\" --minimized"));
    test::TempDir dir;
    const QString entry = Q(dir / "entry.desktop");
    QString error;
    ASSERT_TRUE(EnableAutostart(entry, QStringLiteral("/opt/100% tavrin/program"), error));
    EXPECT_EQ(Validate(entry), QString());
}

TEST(Autostart, APathThatCannotBeWrittenThereIsRefused) {
    for (const QString& program :
         {QString(), QStringLiteral("bin/tavrin-gaming-keyboard"),
          QStringLiteral("/opt/line\nbreak/program"), QStringLiteral("/opt/tab\there/program")}) {
        test::TempDir dir;
        const QString entry = Q(dir / "entry.desktop");
        QString error;
        EXPECT_FALSE(EnableAutostart(entry, program, error)) << program.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(entry));
    }
}

}  // namespace
}  // namespace tavrin
