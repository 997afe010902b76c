#pragma once

// The in-place editor of CTransparentListBox. Enter commits and Escape cancels the edit, on the
// key's release; losing the focus commits. Either way the editor only tells its list, with
// WM_LIST_EDITOR_CLOSE (wParam 1 commit, 0 cancel); the list ends the edit.

#include <QLineEdit>

namespace tavrin {

class MessageTarget;

class CEditHelper : public QLineEdit {
    Q_OBJECT

public:
    CEditHelper(MessageTarget& list, QWidget* parent);

    // Only the digits 0 to 9 can be typed or pasted.
    void setDigitsOnly(bool digitsOnly);

protected:
    // Enter commits and Escape cancels on the key's release; their press never leaves the editor.
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    MessageTarget& list_;
};

}  // namespace tavrin
