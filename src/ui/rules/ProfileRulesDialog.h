#pragma once

// The rules of automatic profiles: which profile each application wants, in order, the profile
// for everything else and the switch for the whole. OK writes the rules file; the switcher sees
// the change by itself. A file that could not be read is reported and never saved over.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

#include "automation/ProfileRules.h"
#include "ui/rules/RulesTexts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace tavrin {

class Prompts;

class ProfileRulesDialog : public QDialog {
    Q_OBJECT

public:
    // `profiles`: the profile list's names. `path`: the rules file. Without `prompts` the
    // messages are the platform's message boxes.
    ProfileRulesDialog(const QStringList& profiles, const QString& path, Prompts* prompts = nullptr,
                       QWidget* parent = nullptr);
    ~ProfileRulesDialog() override;

    // The rules as the window shows them now.
    ProfileRules rules() const;
    // False when the file could not be read at opening: then nothing is saved over it.
    bool fileReadable() const { return readable_; }

    void addRule();
    void editRule();
    void removeRule();
    void moveRule(int by);

public slots:
    void accept() override;

private:
    void fillList(int select);
    int selectedRow() const;
    void updateButtons();
    QString profileText(const QString& name) const;
    void message(const QString& text);

    QStringList profiles_;
    QString path_;
    QString procRoot_ = QStringLiteral("/proc");
    std::unique_ptr<Prompts> ownPrompts_;
    Prompts* prompts_;
    bool readable_ = true;
    ProfileRules opened_;  // the file as this window found it
    QList<ProfileRule> rules_;

    QLabel* loadError_;
    QCheckBox* enabled_;
    QTreeWidget* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
    QComboBox* defaultProfile_;
};

}  // namespace tavrin
