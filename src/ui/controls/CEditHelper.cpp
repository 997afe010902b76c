#include "ui/controls/CEditHelper.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include "device/MessageTarget.h"
#include "device/WindowMessages.h"
#include "ui/controls/DialogKeyFilter.h"

namespace tavrin {

CEditHelper::CEditHelper(MessageTarget& list, QWidget* parent) : QLineEdit(parent), list_(list) {
    setObjectName(QStringLiteral("listEditor"));
    // Enter and Escape stop here on their press, so that no dialog around the list takes them
    // for its default button or for Cancel; they act on their release.
    new DialogKeyFilter(this);
}

void CEditHelper::setDigitsOnly(bool digitsOnly) {
    if (digitsOnly) {
        setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    } else {
        setValidator(nullptr);
    }
}

void CEditHelper::keyReleaseEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            list_.send(WM_LIST_EDITOR_CLOSE, 1, 0);
            return;
        case Qt::Key_Escape:
            list_.send(WM_LIST_EDITOR_CLOSE, 0, 0);
            return;
        default:
            QLineEdit::keyReleaseEvent(event);
    }
}

void CEditHelper::focusOutEvent(QFocusEvent* event) {
    list_.send(WM_LIST_EDITOR_CLOSE, 1, 0);
    QLineEdit::focusOutEvent(event);
}

}  // namespace tavrin
