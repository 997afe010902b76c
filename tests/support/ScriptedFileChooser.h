#pragma once

// Answers the file and folder choosers from a queue and remembers every request.

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/FileChooser.h"

namespace tavrin::test {

class ScriptedFileChooser : public FileChooser {
public:
    enum class Kind { Open, Save, Folder };

    struct Request {
        Kind kind;
        FileChoice choice;     // empty for a folder chooser
        std::u16string title;  // the folder chooser's title
    };

    // Queued answers are given in order; nullopt is a cancel. With the queue empty every
    // chooser is cancelled.
    void queueAnswer(std::optional<std::filesystem::path> answer) {
        answers_.push_back(std::move(answer));
    }

    std::optional<std::filesystem::path> openFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> saveFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> chooseFolder(const std::u16string& title) override;

    const std::vector<Request>& requests() const { return requests_; }

private:
    std::optional<std::filesystem::path> next();

    std::deque<std::optional<std::filesystem::path>> answers_;
    std::vector<Request> requests_;
};

}  // namespace tavrin::test
