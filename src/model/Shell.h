#pragma once

// The desktop's shell: what a double click does, and starting a program. Calls return at once;
// nothing waits for the program opened or started.

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin {

class Shell {
public:
    virtual ~Shell() = default;

    // Opens `file` in `directory` as the desktop's default action for it does: a program is
    // started, a document opened with its default program, a folder shown in the file manager.
    // An empty `file` opens `directory` itself. False when nothing could be opened.
    virtual bool open(const std::filesystem::path& directory,
                      const std::filesystem::path& file) = 0;

    // Starts `program` with `arguments`, detached. False when it could not be started.
    virtual bool startProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments) = 0;
};

}  // namespace tavrin
