#include "support/ScriptedFileChooser.h"

namespace tavrin::test {

std::optional<std::filesystem::path> ScriptedFileChooser::next() {
    if (answers_.empty()) {
        return std::nullopt;
    }
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

std::optional<std::filesystem::path> ScriptedFileChooser::openFile(const FileChoice& choice) {
    requests_.push_back({Kind::Open, choice, {}});
    return next();
}

std::optional<std::filesystem::path> ScriptedFileChooser::saveFile(const FileChoice& choice) {
    requests_.push_back({Kind::Save, choice, {}});
    return next();
}

std::optional<std::filesystem::path> ScriptedFileChooser::chooseFolder(
    const std::u16string& title) {
    requests_.push_back({Kind::Folder, {}, title});
    return next();
}

}  // namespace tavrin::test
