#include "ui/rules/RuleEditDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "ui/rules/RulesStyle.h"
#include "ui/rules/RunningProcessDialog.h"
#include "ui/rules/WindowPicker.h"

namespace tavrin {

namespace {

constexpr int kRunningKindRow = 1;

}  // namespace

RuleEditDialog::RuleEditDialog(const QStringList& profiles, const ProfileRule& rule,
                               QWidget* parent, const QString& procRoot)
    : QDialog(parent), procRoot_(procRoot), picker_(new WindowPicker(this)) {
    setObjectName(QStringLiteral("ruleEditDialog"));
    setWindowTitle(tr("Rule"));
    setStyleSheet(RulesStyleSheet());

    match_ = new QComboBox(this);
    match_->setObjectName(QStringLiteral("matchBox"));
    match_->addItem(RulesTexts::matchName(ProfileRule::Match::Process),
                    QVariant::fromValue(static_cast<int>(ProfileRule::Match::Process)));
    match_->addItem(RulesTexts::matchName(ProfileRule::Match::WindowClass),
                    QVariant::fromValue(static_cast<int>(ProfileRule::Match::WindowClass)));
    pattern_ = new QLineEdit(this);
    pattern_->setObjectName(QStringLiteral("patternEdit"));
    running_ = new QPushButton(tr("Running applications..."), this);
    running_->setObjectName(QStringLiteral("runningButton"));
    running_->setAutoDefault(false);
    pick_ = new QPushButton(tr("Click a window..."), this);
    pick_->setObjectName(QStringLiteral("pickButton"));
    pick_->setAutoDefault(false);
    pickStatus_ = new QLabel(this);
    pickStatus_->setObjectName(QStringLiteral("pickStatus"));
    pickStatus_->setWordWrap(true);
    pickStatus_->hide();
    if (!WindowPicker::available()) {
        pick_->setEnabled(false);
        pick_->setToolTip(tr("Windows can be clicked on X11 only."));
    }
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("kindBox"));
    kind_->addItem(RulesTexts::kindName(ProfileRule::Kind::WhileFocused),
                   QVariant::fromValue(static_cast<int>(ProfileRule::Kind::WhileFocused)));
    kind_->addItem(RulesTexts::kindName(ProfileRule::Kind::WhileRunning),
                   QVariant::fromValue(static_cast<int>(ProfileRule::Kind::WhileRunning)));
    profile_ = new QComboBox(this);
    profile_->setObjectName(QStringLiteral("profileBox"));
    for (const QString& name : profiles) {
        profile_->addItem(name, name);
    }
    // A profile that went away stays the rule's until the user picks another.
    if (!rule.profile.isEmpty() && !profiles.contains(rule.profile)) {
        profile_->addItem(RulesTexts::missingProfile(rule.profile), rule.profile);
    }

    auto* pickRow = new QHBoxLayout;
    pickRow->addWidget(running_);
    pickRow->addWidget(pick_);
    pickRow->addStretch();
    auto* form = new QFormLayout;
    form->addRow(tr("Match by:"), match_);
    form->addRow(tr("Application:"), pattern_);
    form->addRow(QString(), pickRow);
    form->addRow(QString(), pickStatus_);
    form->addRow(tr("Applies:"), kind_);
    form->addRow(tr("Profile:"), profile_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(tr("OK"));
    ok_->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    match_->setCurrentIndex(match_->findData(static_cast<int>(rule.match)));
    pattern_->setText(rule.pattern);
    kind_->setCurrentIndex(kind_->findData(static_cast<int>(rule.kind)));
    profile_->setCurrentIndex(rule.profile.isEmpty() ? 0 : profile_->findData(rule.profile));
    onMatchChanged();

    connect(match_, &QComboBox::currentIndexChanged, this, &RuleEditDialog::onMatchChanged);
    connect(pattern_, &QLineEdit::textChanged, this, &RuleEditDialog::updateOk);
    connect(profile_, &QComboBox::currentIndexChanged, this, &RuleEditDialog::updateOk);
    connect(running_, &QPushButton::clicked, this, &RuleEditDialog::chooseRunning);
    connect(pick_, &QPushButton::clicked, this, &RuleEditDialog::pickWindow);
    connect(picker_, &WindowPicker::finished, this, &RuleEditDialog::onPicked);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

RuleEditDialog::~RuleEditDialog() = default;

ProfileRule RuleEditDialog::rule() const {
    ProfileRule rule;
    rule.match = static_cast<ProfileRule::Match>(match_->currentData().toInt());
    rule.pattern = pattern_->text().trimmed();
    rule.kind = static_cast<ProfileRule::Kind>(kind_->currentData().toInt());
    rule.profile = profile_->currentData().toString();
    return rule;
}

void RuleEditDialog::onMatchChanged() {
    // Only a process is seen running; a window class is seen only in front.
    const bool windowClass = static_cast<ProfileRule::Match>(match_->currentData().toInt()) ==
                             ProfileRule::Match::WindowClass;
    if (auto* model = qobject_cast<QStandardItemModel*>(kind_->model())) {
        model->item(kRunningKindRow)->setEnabled(!windowClass);
    }
    if (windowClass) {
        kind_->setCurrentIndex(kind_->findData(static_cast<int>(ProfileRule::Kind::WhileFocused)));
    }
    kind_->setToolTip(windowClass ? tr("A window class applies while its window is in front.")
                                  : QString());
    pattern_->setPlaceholderText(windowClass ? tr("for example: steam")
                                             : tr("for example: hl2_linux"));
    updateOk();
}

void RuleEditDialog::updateOk() {
    ok_->setEnabled(!pattern_->text().trimmed().isEmpty() &&
                    !profile_->currentData().toString().isEmpty());
}

void RuleEditDialog::chooseRunning() {
    RunningProcessDialog chooser(procRoot_, this);
    if (chooser.exec() != QDialog::Accepted || chooser.chosen().isEmpty()) {
        return;
    }
    match_->setCurrentIndex(match_->findData(static_cast<int>(ProfileRule::Match::Process)));
    pattern_->setText(chooser.chosen());
}

void RuleEditDialog::pickWindow() {
    QString error;
    if (!picker_->start(error)) {
        setPickStatus(tr("No window can be picked: %1").arg(error));
        return;
    }
    setPickStatus(tr("Click the application's window; any other button or a key cancels."));
    pick_->setEnabled(false);
}

void RuleEditDialog::setPickStatus(const QString& text) {
    pickStatus_->setText(text);
    pickStatus_->setVisible(!text.isEmpty());
}

void RuleEditDialog::onPicked(const PickedWindow& picked) {
    pick_->setEnabled(true);
    switch (picked.outcome) {
        case PickedWindow::Outcome::Picked:
            match_->setCurrentIndex(
                match_->findData(static_cast<int>(ProfileRule::Match::WindowClass)));
            // The class names the application; the instance only where there is no class.
            pattern_->setText(picked.windowClass.isEmpty() ? picked.instance : picked.windowClass);
            setPickStatus(
                tr("Window class %1 (instance %2).").arg(picked.windowClass, picked.instance));
            break;
        case PickedWindow::Outcome::NoClass:
            setPickStatus(
                tr("That window does not name its application; try another, or choose a running "
                   "application."));
            break;
        case PickedWindow::Outcome::Cancelled:
            setPickStatus(QString());
            break;
    }
    raise();
    activateWindow();
}

}  // namespace tavrin
