#pragma once

// The core's Shell on QtShell.

#include "model/Shell.h"
#include "platform/qt/QtShell.h"

namespace tavrin {

class QtShellAdapter : public Shell {
public:
    bool open(const std::filesystem::path& directory, const std::filesystem::path& file) override {
        return shell_.open(directory, file);
    }
    // The program runs in its own folder.
    bool startProgram(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments) override {
        return shell_.startProgram(program, arguments, {});
    }

private:
    QtShell shell_;
};

}  // namespace tavrin
