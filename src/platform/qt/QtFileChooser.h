#pragma once

// FileChooser on QFileDialog.

#include <QPointer>
#include <QWidget>

#include "model/FileChooser.h"

namespace tavrin {

class QtFileChooser : public FileChooser {
public:
    // The choosers are modal to `owner`, or to the active window when there is none. Tests turn
    // the desktop's native dialogs off so that they can drive Qt's own.
    explicit QtFileChooser(QWidget* owner = nullptr, bool nativeDialogs = true)
        : owner_(owner), nativeDialogs_(nativeDialogs) {}

    void setOwner(QWidget* owner) { owner_ = owner; }

    std::optional<std::filesystem::path> openFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> saveFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> chooseFolder(const std::u16string& title) override;

private:
    std::optional<std::filesystem::path> run(const FileChoice& choice, bool save);

    QPointer<QWidget> owner_;
    bool nativeDialogs_;
};

}  // namespace tavrin
