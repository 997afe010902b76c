#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/QtConversions.h"

namespace tavrin {

QWidget* QtPrompts::owner() const {
    return owner_ ? owner_.data() : QApplication::activeWindow();
}

QString QtPrompts::title(const std::u16string& caption) const {
    return caption.empty() ? QGuiApplication::applicationDisplayName() : ToQString(caption);
}

PromptAnswer QtPrompts::show(const std::u16string& text, const std::u16string& caption,
                             PromptButtons buttons) {
    const bool withCancel = buttons == PromptButtons::OkCancel;
    QMessageBox box(QMessageBox::NoIcon, title(caption), ToQString(text),
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, owner());
    box.setObjectName(QStringLiteral("prompt"));
    // Plain text: file names and user-given names must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok) ? PromptAnswer::Ok
                                                              : PromptAnswer::Cancel;
}

std::size_t QtPrompts::choose(const std::u16string& text, const std::u16string& caption,
                              const std::vector<std::u16string>& answers) {
    if (answers.empty()) {
        return 0;
    }
    QMessageBox box(QMessageBox::NoIcon, title(caption), ToQString(text), QMessageBox::NoButton,
                    owner());
    box.setObjectName(QStringLiteral("prompt"));
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> buttons;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const bool last = i + 1 == answers.size();
        buttons.push_back(box.addButton(ToQString(answers[i]),
                                        last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
        buttons.back()->setObjectName(QStringLiteral("answer%1").arg(i));
    }
    // An Enter pressed out of habit changes nothing either.
    box.setDefaultButton(buttons.back());
    box.setEscapeButton(buttons.back());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return i;
        }
    }
    return answers.size() - 1;
}

}  // namespace tavrin
