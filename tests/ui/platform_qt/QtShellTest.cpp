#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "platform/qt/QtConversions.h"
#include "platform/qt/QtShell.h"
#include "support/TempDir.h"
#include "ui/support/UrlCatcher.h"

namespace tavrin {
namespace {

TEST(QtShell, OpenPathHandsTheDesktopALocalFileUrl) {
    test::TempDir folder;
    const auto file = folder / "notes with space.txt";
    test::WriteWholeFile(file, {'x'});
    test::UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QtShell shell;
    EXPECT_TRUE(shell.openPath(file));
    EXPECT_TRUE(shell.openPath(folder.path()));
    EXPECT_FALSE(shell.openPath({}));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(QStringToPath(catcher.urls[0].toLocalFile()), file);
    EXPECT_EQ(QStringToPath(catcher.urls[1].toLocalFile()), folder.path());
}

TEST(QtShell, StartProgramRunsItInTheWorkingFolder) {
    test::TempDir folder;
    const auto program = folder / "program.sh";
    {
        std::ofstream script(program);
        script << "#!/bin/sh\npwd > started.txt\n";
    }
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    std::filesystem::create_directory(folder / "work");
    QtShell shell;
    ASSERT_TRUE(shell.startProgram(program, folder / "work"));
    const auto marker = folder / "work" / "started.txt";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::filesystem::exists(marker) && std::filesystem::file_size(marker) > 0; },
        10000));
}

TEST(QtShell, StartProgramReportsAProgramThatCannotStart) {
    test::TempDir folder;
    QtShell shell;
    EXPECT_FALSE(shell.startProgram(folder / "missing", {}));
    EXPECT_FALSE(shell.startProgram({}, {}));
}

}  // namespace
}  // namespace tavrin
