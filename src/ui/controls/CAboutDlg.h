#pragma once

// The About box: the program's icon, its name with the version 1.0, a line about what it is, and
// an OK button.

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace tavrin {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // In the language of the installed translation.
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* nameLine() const { return nameLine_; }
    QLabel* descriptionLine() const { return descriptionLine_; }
    QPushButton* okButton() const { return okButton_; }

private:
    QLabel* nameLine_;
    QLabel* descriptionLine_;
    QPushButton* okButton_;
};

}  // namespace tavrin
