#pragma once

// The open-file, save-file and folder choosers of the desktop.

#include <filesystem>
#include <optional>
#include <string>

namespace tavrin {

struct FileChoice {
    std::u16string filterText;        // "bin Files(*.bin)": a description and its patterns
    std::u16string defaultExtension;  // ".bin": added to a typed name that has none; may be empty
    std::filesystem::path startFolder;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An existing file, or nullopt when the user cancelled.
    virtual std::optional<std::filesystem::path> openFile(const FileChoice& choice) = 0;
    // The file to write, which may not exist yet, or nullopt when the user cancelled.
    virtual std::optional<std::filesystem::path> saveFile(const FileChoice& choice) = 0;
    // An existing folder, or nullopt when the user cancelled.
    virtual std::optional<std::filesystem::path> chooseFolder(const std::u16string& title) = 0;
};

}  // namespace tavrin
