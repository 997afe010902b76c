#include "support/ScriptedPrompts.h"

namespace tavrin::test {

PromptAnswer ScriptedPrompts::show(const std::u16string& text, const std::u16string& caption,
                                   PromptButtons buttons) {
    shown_.push_back({text, caption, buttons});
    if (answers_.empty()) {
        return PromptAnswer::Ok;
    }
    PromptAnswer answer = answers_.front();
    answers_.pop_front();
    // A box with only OK cannot be answered Cancel.
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok : answer;
}

}  // namespace tavrin::test
