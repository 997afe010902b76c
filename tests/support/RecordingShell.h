#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/Shell.h"

namespace tavrin::test {

// Remembers every call instead of opening anything.
class RecordingShell : public Shell {
public:
    struct Open {
        std::filesystem::path directory;
        std::filesystem::path file;
        bool operator==(const Open&) const = default;
    };
    struct Start {
        std::filesystem::path program;
        std::vector<std::string> arguments;
        bool operator==(const Start&) const = default;
    };

    bool open(const std::filesystem::path& directory, const std::filesystem::path& file) override {
        opened.push_back({directory, file});
        return answer;
    }
    bool startProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
        return answer;
    }

    std::vector<Open> opened;
    std::vector<Start> started;
    bool answer = true;
};

}  // namespace tavrin::test
