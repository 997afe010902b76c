#pragma once

// The list of the applications that run now, to take a rule's process name from: every name a
// rule may match (the executable's file name, and the kernel's name of the process when it
// differs, as for a game under Wine), of this user's processes, with a filter.

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;

namespace tavrin {

class RunningProcessDialog : public QDialog {
    Q_OBJECT

public:
    RunningProcessDialog(const QString& procRoot, QWidget* parent = nullptr);

    // The names offered: of the processes whose executable may be read (this user's), sorted
    // without regard to case.
    static QStringList NamesOf(const QString& procRoot);

    const QStringList& names() const { return names_; }
    // The name chosen; empty when none is selected.
    QString chosen() const;

private:
    void applyFilter(const QString& text);

    QStringList names_;
    QLineEdit* filter_;
    QListWidget* list_;
};

}  // namespace tavrin
