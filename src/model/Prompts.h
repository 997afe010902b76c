#pragma once

// Message boxes: a text, a caption and the buttons to offer, answered by the user.

#include <string>

namespace tavrin {

enum class PromptButtons { Ok, OkCancel };

enum class PromptAnswer { Ok, Cancel };

class Prompts {
public:
    virtual ~Prompts() = default;
    // Shows the message and waits for the answer. An empty caption stands for the program's
    // title. Closing the box without choosing a button answers Cancel (Ok when it only has OK).
    virtual PromptAnswer show(const std::u16string& text, const std::u16string& caption,
                              PromptButtons buttons) = 0;
};

}  // namespace tavrin
