#pragma once

// Answers message boxes from a queue and remembers every one that was shown.

#include <deque>
#include <string>
#include <vector>

#include "model/Prompts.h"

namespace tavrin::test {

class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        std::u16string text;
        std::u16string caption;
        PromptButtons buttons;
    };

    // Queued answers are given in order; with the queue empty every box is answered Ok.
    void queueAnswer(PromptAnswer answer) { answers_.push_back(answer); }

    PromptAnswer show(const std::u16string& text, const std::u16string& caption,
                      PromptButtons buttons) override;

    const std::vector<Shown>& shown() const { return shown_; }

private:
    std::deque<PromptAnswer> answers_;
    std::vector<Shown> shown_;
};

}  // namespace tavrin::test
