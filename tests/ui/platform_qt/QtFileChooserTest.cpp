#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <functional>

#include "platform/qt/QtConversions.h"
#include "platform/qt/QtFileChooser.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

// Runs `answer` on the next file dialog once it is open.
void WithNextDialog(std::function<void(QFileDialog&)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

class QtFileChooserTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteWholeFile(folder / "song.mp3", {1, 2, 3}); }

    test::TempDir folder;
    QtFileChooser chooser{nullptr, false};
};

TEST_F(QtFileChooserTest, OpenFileStartsInTheFolderWithTheFilterAndReturnsTheChoice) {
    QStringList filters;
    QString directory;
    QFileDialog::FileMode mode{};
    WithNextDialog([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        directory = dialog.directory().absolutePath();
        mode = dialog.fileMode();
        dialog.selectFile(PathToQString(folder / "song.mp3"));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it, the OK button uses it
    });
    const auto chosen = chooser.openFile({u"mp3 Files(*.mp3)", u".mp3", folder.path()});
    EXPECT_EQ(filters, QStringList{QStringLiteral("mp3 Files(*.mp3)")});
    EXPECT_EQ(QStringToPath(directory), folder.path());
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(std::filesystem::canonical(*chosen), std::filesystem::canonical(folder / "song.mp3"));
}

TEST_F(QtFileChooserTest, CancelReturnsNothing) {
    WithNextDialog([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(chooser.openFile({u"exe Files(*.exe)", u".exe", folder.path()}), std::nullopt);
    WithNextDialog([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(chooser.chooseFolder(u"modification path"), std::nullopt);
}

TEST_F(QtFileChooserTest, SaveFileAddsTheDefaultExtensionToANewName) {
    WithNextDialog([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        dialog.selectFile(PathToQString(folder / "exported"));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it, the OK button uses it
    });
    const auto chosen = chooser.saveFile({u"bin Files(*.bin)", u".bin", folder.path()});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->filename(), "exported.bin");
    EXPECT_EQ(std::filesystem::canonical(chosen->parent_path()),
              std::filesystem::canonical(folder.path()));
}

TEST_F(QtFileChooserTest, FolderChooserShowsItsTitleAndReturnsTheFolder) {
    std::filesystem::create_directory(folder / "Sounds");
    QString title;
    WithNextDialog([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        dialog.setDirectory(PathToQString(folder.path()));
        dialog.selectFile(PathToQString(folder / "Sounds"));
        static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it, the OK button uses it
    });
    const auto chosen = chooser.chooseFolder(u"modification path");
    EXPECT_EQ(title, QStringLiteral("modification path"));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(std::filesystem::canonical(*chosen), std::filesystem::canonical(folder / "Sounds"));
}

}  // namespace
}  // namespace tavrin
