#pragma once

// Opens files and folders with their default programs and starts programs.

#include <filesystem>

namespace tavrin {

class QtShell {
public:
    // Opens a file or folder with the desktop's default program for it. False when nothing
    // could be started for it.
    bool openPath(const std::filesystem::path& path);
    // Starts a program detached from this process, in `workingDir` (the program's own folder
    // when empty). False when it could not be started.
    bool startProgram(const std::filesystem::path& program,
                      const std::filesystem::path& workingDir);
};

}  // namespace tavrin
