#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/qt/QtConversions.h"

namespace tavrin {

PromptAnswer QtPrompts::show(const std::u16string& text, const std::u16string& caption,
                             PromptButtons buttons) {
    QWidget* owner = owner_ ? owner_.data() : QApplication::activeWindow();
    const QString title =
        caption.empty() ? QGuiApplication::applicationDisplayName() : ToQString(caption);
    const bool withCancel = buttons == PromptButtons::OkCancel;
    QMessageBox box(QMessageBox::NoIcon, title, ToQString(text),
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("prompt"));
    // Plain text: file names and user-given names must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok) ? PromptAnswer::Ok
                                                              : PromptAnswer::Cancel;
}

}  // namespace tavrin
