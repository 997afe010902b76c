#include "platform/qt/QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>

#include "platform/qt/QtConversions.h"

namespace tavrin {

namespace {

QWidget* OwnerOr(QWidget* owner) {
    return owner ? owner : QApplication::activeWindow();
}

std::optional<std::filesystem::path> Selected(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) {
        return std::nullopt;
    }
    return QStringToPath(files.front());
}

}  // namespace

std::optional<std::filesystem::path> QtFileChooser::run(const FileChoice& choice, bool save) {
    QFileDialog dialog(OwnerOr(owner_));
    dialog.setObjectName(save ? QStringLiteral("saveFileChooser")
                              : QStringLiteral("openFileChooser"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, !nativeDialogs_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!choice.filterText.empty()) {
        // "mp3 Files(*.mp3)": Qt takes the patterns from the parentheses.
        dialog.setNameFilter(ToQString(choice.filterText));
    }
    QString suffix = ToQString(choice.defaultExtension);
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    dialog.setDefaultSuffix(suffix);
    if (!choice.startFolder.empty()) {
        dialog.setDirectory(PathToQString(choice.startFolder));
    }
    return Selected(dialog);
}

std::optional<std::filesystem::path> QtFileChooser::openFile(const FileChoice& choice) {
    return run(choice, false);
}

std::optional<std::filesystem::path> QtFileChooser::saveFile(const FileChoice& choice) {
    return run(choice, true);
}

std::optional<std::filesystem::path> QtFileChooser::chooseFolder(const std::u16string& title) {
    QFileDialog dialog(OwnerOr(owner_), ToQString(title));
    dialog.setObjectName(QStringLiteral("folderChooser"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, !nativeDialogs_);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return Selected(dialog);
}

}  // namespace tavrin
