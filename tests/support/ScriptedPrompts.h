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
        std::vector<std::u16string> answers;  // the buttons of a choose()
    };

    // Queued answers are given in order; with the queue empty every box is answered Ok.
    void queueAnswer(PromptAnswer answer) { answers_.push_back(answer); }
    // The same for choose(): the index of the button; with the queue empty the first is chosen.
    void queueChoice(std::size_t index) { choices_.push_back(index); }

    PromptAnswer show(const std::u16string& text, const std::u16string& caption,
                      PromptButtons buttons) override;
    std::size_t choose(const std::u16string& text, const std::u16string& caption,
                       const std::vector<std::u16string>& answers) override;

    const std::vector<Shown>& shown() const { return shown_; }

private:
    std::deque<PromptAnswer> answers_;
    std::deque<std::size_t> choices_;
    std::vector<Shown> shown_;
};

}  // namespace tavrin::test
