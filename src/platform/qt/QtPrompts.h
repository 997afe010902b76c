#pragma once

// Prompts on QMessageBox: the exact text and caption, OK or OK and Cancel (or buttons of their
// own), no icon.

#include <QPointer>
#include <QWidget>

#include "model/Prompts.h"

namespace tavrin {

class QtPrompts : public Prompts {
public:
    // The boxes are modal to `owner`, or to the active window when there is none.
    explicit QtPrompts(QWidget* owner = nullptr) : owner_(owner) {}

    void setOwner(QWidget* owner) { owner_ = owner; }

    PromptAnswer show(const std::u16string& text, const std::u16string& caption,
                      PromptButtons buttons) override;
    std::size_t choose(const std::u16string& text, const std::u16string& caption,
                       const std::vector<std::u16string>& answers) override;

private:
    QWidget* owner() const;
    QString title(const std::u16string& caption) const;

    QPointer<QWidget> owner_;
};

}  // namespace tavrin
