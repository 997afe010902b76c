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

void WriteScript(const std::filesystem::path& path, const std::string& body) {
    {
        std::ofstream script(path);
        script << "#!/bin/sh\n" << body << "\n";
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

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

TEST(QtShell, StartProgramRunsItWithItsArgumentsInTheWorkingFolder) {
    test::TempDir folder;
    const auto program = folder / "program.sh";
    WriteScript(program, "echo \"$1\" > started.txt");
    std::filesystem::create_directory(folder / "work");
    QtShell shell;
    ASSERT_TRUE(shell.startProgram(program, folder / "work"));
    const auto marker = folder / "work" / "started.txt";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::filesystem::exists(marker) && std::filesystem::file_size(marker) > 0; },
        10000));
}

TEST(QtShell, OpenStartsProgramsInTheirFolderAndOpensEverythingElse) {
    test::TempDir folder;
    WriteScript(folder / "game.sh", "pwd > ran.txt");
    // A document with the executable bit, as every file on a FAT stick has.
    test::WriteWholeFile(folder / "readme.txt", {'h', 'i'});
    std::filesystem::permissions(folder / "readme.txt", std::filesystem::perms::owner_all);
    test::UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QtShell shell;
    EXPECT_TRUE(shell.open(folder.path(), "game.sh"));
    EXPECT_TRUE(shell.open(folder.path(), "readme.txt"));
    EXPECT_TRUE(shell.open(folder.path(), {}));
    EXPECT_TRUE(shell.open({}, folder / "readme.txt"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(QStringToPath(catcher.urls[0].toLocalFile()), folder / "readme.txt");
    EXPECT_EQ(QStringToPath(catcher.urls[1].toLocalFile()), folder.path());
    EXPECT_EQ(QStringToPath(catcher.urls[2].toLocalFile()), folder / "readme.txt");
    const auto marker = folder / "ran.txt";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::filesystem::exists(marker) && std::filesystem::file_size(marker) > 0; },
        10000));
}

TEST(QtShell, StartProgramReportsAProgramThatCannotStart) {
    test::TempDir folder;
    QtShell shell;
    EXPECT_FALSE(shell.startProgram(folder / "missing", std::filesystem::path()));
    EXPECT_FALSE(shell.startProgram(std::filesystem::path(), std::filesystem::path()));
}

}  // namespace
}  // namespace tavrin
