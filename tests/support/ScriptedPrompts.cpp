#include "support/ScriptedPrompts.h"

namespace tavrin::test {

PromptAnswer ScriptedPrompts::show(const std::u16string& text, const std::u16string& caption,
                                   PromptButtons buttons) {
    shown_.push_back({text, caption, buttons, {}});
    if (answers_.empty()) {
        return PromptAnswer::Ok;
    }
    PromptAnswer answer = answers_.front();
    answers_.pop_front();
    // A box with only OK cannot be answered Cancel.
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok : answer;
}

std::size_t ScriptedPrompts::choose(const std::u16string& text, const std::u16string& caption,
                                    const std::vector<std::u16string>& answers) {
    shown_.push_back({text, caption, PromptButtons::Choices, answers});
    std::size_t index = 0;
    if (!choices_.empty()) {
        index = choices_.front();
        choices_.pop_front();
    }
    return index < answers.size() ? index : answers.size() - 1;
}

}  // namespace tavrin::test
