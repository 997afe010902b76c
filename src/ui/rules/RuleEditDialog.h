#pragma once

// One rule: the application (a process name or a window class, typed, taken from the running
// applications or from a window clicked on X11), when it applies, and the profile it wants.

#include <QDialog>
#include <QString>
#include <QStringList>

#include "automation/ProfileRules.h"
#include "ui/rules/RulesTexts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

class WindowPicker;
struct PickedWindow;

class RuleEditDialog : public QDialog {
    Q_OBJECT

public:
    // `profiles`: the names the profile list shows. `procRoot`: where the running processes are
    // read.
    RuleEditDialog(const QStringList& profiles, const ProfileRule& rule, QWidget* parent = nullptr,
                   const QString& procRoot = QStringLiteral("/proc"));
    ~RuleEditDialog() override;

    // The rule as the fields give it.
    ProfileRule rule() const;

    // The running applications' list; sets the process name when one is chosen.
    void chooseRunning();
    // Grabs the pointer; the window clicked sets the window class.
    void pickWindow();

private:
    void onMatchChanged();
    void onPicked(const PickedWindow& picked);
    // What the pick is doing or found; hidden when there is nothing to say.
    void setPickStatus(const QString& text);
    void updateOk();

    QString procRoot_;
    QComboBox* match_;
    QLineEdit* pattern_;
    QPushButton* running_;
    QPushButton* pick_;
    QLabel* pickStatus_;
    QComboBox* kind_;
    QComboBox* profile_;
    QPushButton* ok_;
    WindowPicker* picker_;
};

}  // namespace tavrin
