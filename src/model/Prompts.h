#pragma once

// Message boxes: a text, a caption and the buttons to offer, answered by the user.

#include <cstddef>
#include <string>
#include <vector>

namespace tavrin {

enum class PromptButtons {
    Ok,
    OkCancel,
    Choices,  // buttons of their own (choose)
};

enum class PromptAnswer { Ok, Cancel };

class Prompts {
public:
    virtual ~Prompts() = default;
    // Shows the message and waits for the answer. An empty caption stands for the program's
    // title. Closing the box without choosing a button answers Cancel (Ok when it only has OK).
    virtual PromptAnswer show(const std::u16string& text, const std::u16string& caption,
                              PromptButtons buttons) = 0;
    // A question whose buttons say `answers`, in order; returns the index of the one chosen. The
    // last answer is the one that changes nothing: Escape, Enter and closing the box choose it.
    virtual std::size_t choose(const std::u16string& text, const std::u16string& caption,
                               const std::vector<std::u16string>& answers) = 0;
};

}  // namespace tavrin
