#pragma once

// Outcome of a command, a transfer or a sequence of them on the keyboard link.

#include <string>
#include <utility>

namespace tavrin {

struct [[nodiscard]] LinkResult {
    bool ok = true;
    bool disconnected = false;  // the device went away (as opposed to a refused or missing report)
    std::string error;          // which step failed and why; empty on success

    static LinkResult Success() { return {}; }
    static LinkResult Failure(std::string text, bool gone = false) {
        return {false, gone, std::move(text)};
    }

    explicit operator bool() const { return ok; }
};

}  // namespace tavrin
