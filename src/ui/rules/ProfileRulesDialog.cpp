#include "ui/rules/ProfileRulesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Prompts.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtPrompts.h"
#include "ui/rules/RuleEditDialog.h"
#include "ui/rules/RulesStyle.h"

namespace tavrin {

namespace {

enum Column { kApplicationColumn, kMatchColumn, kKindColumn, kProfileColumn, kColumnCount };

}  // namespace

ProfileRulesDialog::ProfileRulesDialog(const QStringList& profiles, const QString& path,
                                       Prompts* prompts, QWidget* parent)
    : QDialog(parent), profiles_(profiles), path_(path) {
    if (!prompts) {
        ownPrompts_ = std::make_unique<QtPrompts>(this);
    }
    prompts_ = prompts ? prompts : ownPrompts_.get();
    setObjectName(QStringLiteral("profileRulesDialog"));
    setWindowTitle(tr("Automatic profiles"));
    setStyleSheet(RulesStyleSheet());

    const RulesLoad load = LoadProfileRules(path_);
    readable_ = load.rules.has_value();
    const ProfileRules start = load.rules.value_or(ProfileRules{});
    opened_ = start;
    rules_ = start.rules;

    loadError_ = new QLabel(this);
    loadError_->setObjectName(QStringLiteral("loadError"));
    loadError_->setWordWrap(true);
    loadError_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loadError_->setVisible(!readable_);
    if (!readable_) {
        loadError_->setText(
            tr("The rules file could not be read:\n%1\nIt is kept as it is, and this window will "
               "not save over it. Correct or remove the file, then open this window again.")
                .arg(load.error));
    }

    enabled_ = new QCheckBox(tr("Switch profiles automatically"), this);
    enabled_->setObjectName(QStringLiteral("enabledBox"));
    enabled_->setChecked(start.enabled);

    auto* hint = new QLabel(tr("The first rule that matches chooses the profile."), this);
    hint->setObjectName(QStringLiteral("hint"));

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("rulesList"));
    list_->setColumnCount(kColumnCount);
    list_->setHeaderLabels({tr("Application"), tr("Match by"), tr("Applies"), tr("Profile")});
    list_->setRootIsDecorated(false);
    list_->setAlternatingRowColors(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(kApplicationColumn, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(kMatchColumn, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(kKindColumn, QHeaderView::ResizeToContents);

    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    add_ = button("addButton", tr("Add..."));
    edit_ = button("editButton", tr("Edit..."));
    remove_ = button("removeButton", tr("Remove"));
    up_ = button("upButton", tr("Move up"));
    down_ = button("downButton", tr("Move down"));
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {add_, edit_, remove_, up_, down_}) {
        side->addWidget(b);
    }
    side->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(list_, 1);
    listRow->addLayout(side);

    defaultProfile_ = new QComboBox(this);
    defaultProfile_->setObjectName(QStringLiteral("defaultProfileBox"));
    defaultProfile_->addItem(RulesTexts::noDefaultProfile(), QString());
    for (const QString& name : profiles_) {
        defaultProfile_->addItem(name, name);
    }
    if (!start.defaultProfile.isEmpty() && !profiles_.contains(start.defaultProfile)) {
        defaultProfile_->addItem(RulesTexts::missingProfile(start.defaultProfile),
                                 start.defaultProfile);
    }
    defaultProfile_->setCurrentIndex(defaultProfile_->findData(start.defaultProfile));
    auto* defaultRow = new QHBoxLayout;
    defaultRow->addWidget(new QLabel(tr("When no rule matches:"), this));
    defaultRow->addWidget(defaultProfile_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(loadError_);
    layout->addWidget(enabled_);
    layout->addWidget(hint);
    layout->addLayout(listRow, 1);
    layout->addLayout(defaultRow);
    layout->addWidget(buttons);
    resize(640, 420);

    connect(add_, &QPushButton::clicked, this, &ProfileRulesDialog::addRule);
    connect(edit_, &QPushButton::clicked, this, &ProfileRulesDialog::editRule);
    connect(remove_, &QPushButton::clicked, this, &ProfileRulesDialog::removeRule);
    connect(up_, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &ProfileRulesDialog::updateButtons);
    connect(list_, &QTreeWidget::itemActivated, this, &ProfileRulesDialog::editRule);
    connect(buttons, &QDialogButtonBox::accepted, this, &ProfileRulesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fillList(rules_.isEmpty() ? -1 : 0);
}

ProfileRulesDialog::~ProfileRulesDialog() = default;

ProfileRules ProfileRulesDialog::rules() const {
    ProfileRules rules;
    rules.enabled = enabled_->isChecked();
    rules.defaultProfile = defaultProfile_->currentData().toString();
    rules.rules = rules_;
    return rules;
}

QString ProfileRulesDialog::profileText(const QString& name) const {
    return profiles_.contains(name) ? name : RulesTexts::missingProfile(name);
}

void ProfileRulesDialog::fillList(int select) {
    list_->clear();
    for (const ProfileRule& rule : std::as_const(rules_)) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kApplicationColumn, rule.pattern);
        item->setText(kMatchColumn, RulesTexts::matchName(rule.match));
        item->setText(kKindColumn, RulesTexts::kindName(rule.kind));
        item->setText(kProfileColumn, profileText(rule.profile));
    }
    if (select >= 0 && select < list_->topLevelItemCount()) {
        list_->setCurrentItem(list_->topLevelItem(select));
    }
    updateButtons();
}

int ProfileRulesDialog::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.first());
}

void ProfileRulesDialog::updateButtons() {
    const int row = selectedRow();
    edit_->setEnabled(row >= 0);
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < rules_.size());
}

void ProfileRulesDialog::addRule() {
    ProfileRule rule;
    rule.profile = profiles_.value(0);
    RuleEditDialog editor(profiles_, rule, this, procRoot_);
    if (editor.exec() != QDialog::Accepted) {
        return;
    }
    rules_.append(editor.rule());
    fillList(static_cast<int>(rules_.size()) - 1);
}

void ProfileRulesDialog::editRule() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    RuleEditDialog editor(profiles_, rules_[row], this, procRoot_);
    if (editor.exec() != QDialog::Accepted) {
        return;
    }
    rules_[row] = editor.rule();
    fillList(row);
}

void ProfileRulesDialog::removeRule() {
    const int row = selectedRow();
    if (row < 0) {
        return;
    }
    rules_.removeAt(row);
    fillList(std::min(row, static_cast<int>(rules_.size()) - 1));
}

void ProfileRulesDialog::moveRule(int by) {
    const int row = selectedRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= rules_.size()) {
        return;
    }
    rules_.move(row, to);
    fillList(to);
}

void ProfileRulesDialog::message(const QString& text) {
    static_cast<void>(prompts_->show(ToU16(text), ToU16(windowTitle()), PromptButtons::Ok));
}

void ProfileRulesDialog::accept() {
    if (!readable_) {
        // What the window shows did not come from the file: saving would lose the user's rules.
        message(
            tr("The rules were not saved: the rules file could not be read when this window "
               "opened, and it is kept as it is."));
        return;
    }
    // The icon's menu or tavrinctl may have changed the file meanwhile.
    if (const RulesLoad now = LoadProfileRules(path_); now.rules && *now.rules != opened_) {
        const PromptAnswer answer =
            prompts_->show(ToU16(tr("The rules file was changed elsewhere while this window was "
                                    "open. Replace it with the rules shown here?")),
                           ToU16(windowTitle()), PromptButtons::OkCancel);
        if (answer != PromptAnswer::Ok) {
            return;
        }
    }
    QString error;
    if (!SaveProfileRules(path_, rules(), error)) {
        message(tr("The rules could not be saved:\n%1").arg(error));
        return;
    }
    QDialog::accept();
}

}  // namespace tavrin
