#pragma once

// Opens files and folders with their default programs and starts programs.

#include <filesystem>
#include <string>
#include <vector>

#include "model/Shell.h"

namespace tavrin {

class QtShell : public Shell {
public:
    // Opens a file or folder with the desktop's default program for it. False when nothing
    // could be started for it.
    bool openPath(const std::filesystem::path& path);

    // Starts a program detached from this process, in `workingDir` (the program's own folder
    // when empty). False when it could not be started.
    bool startProgram(const std::filesystem::path& program,
                      const std::filesystem::path& workingDir);
    bool startProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingDir);
    // The core's start: the program runs in its own folder.
    bool startProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override {
        return startProgram(program, arguments, {});
    }

    // What a double click on `file` in `directory` does: a program (an executable file that is
    // a binary or a script) is started in `directory`, anything else is opened with its default
    // program. An empty `file` opens `directory` itself; an absolute `file` stands alone.
    bool open(const std::filesystem::path& directory, const std::filesystem::path& file) override;
};

}  // namespace tavrin
