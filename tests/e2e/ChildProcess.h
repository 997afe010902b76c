#pragma once

// A program started for a test, with its standard input, output and error on pipes.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::test {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();  // kills the program if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void writeLine(const std::string& line);
    // The next line of standard output, or nothing when none came within `limit`.
    std::optional<std::string> readLine(std::chrono::milliseconds limit);
    // Closes standard input, waits for the exit and returns the exit status (-1 when killed).
    int wait();
    // All of standard error, once the program has ended.
    std::string errorOutput() const { return stderr_; }

private:
    int pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffer_;
    std::string stderr_;
};

}  // namespace tavrin::test
