#include "ui/rules/RunningProcessDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include "automation/RunningProcesses.h"
#include "ui/rules/RulesStyle.h"

namespace tavrin {

QStringList RunningProcessDialog::NamesOf(const QString& procRoot) {
    QSet<QString> names;
    for (const RunningProcess& p : RunningProcesses(procRoot)) {
        // Kernel threads and other users' processes have no readable executable: a rule for
        // them is of no use, and they would bury the applications.
        if (p.exeName.isEmpty()) {
            continue;
        }
        names.insert(p.exeName);
        if (!p.comm.isEmpty()) {
            names.insert(p.comm);
        }
    }
    QStringList sorted = names.values();
    sorted.sort(Qt::CaseInsensitive);
    return sorted;
}

RunningProcessDialog::RunningProcessDialog(const QString& procRoot, QWidget* parent)
    : QDialog(parent), names_(NamesOf(procRoot)) {
    setObjectName(QStringLiteral("runningProcessDialog"));
    setWindowTitle(tr("Running applications"));
    setStyleSheet(RulesStyleSheet());
    auto* layout = new QVBoxLayout(this);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setPlaceholderText(tr("Filter"));
    filter_->setClearButtonEnabled(true);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("processList"));
    list_->addItems(names_);
    auto* hint = new QLabel(tr("Start the application first if it is not listed."), this);
    hint->setObjectName(QStringLiteral("hint"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    layout->addWidget(filter_);
    layout->addWidget(list_);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(360, 420);

    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(list_, &QListWidget::currentItemChanged, this,
            [ok](QListWidgetItem* item) { ok->setEnabled(item && !item->isHidden()); });
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(filter_, &QLineEdit::textChanged, this, &RunningProcessDialog::applyFilter);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RunningProcessDialog::applyFilter(const QString& text) {
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
    }
    if (list_->currentItem() && list_->currentItem()->isHidden()) {
        list_->setCurrentItem(nullptr);
    }
}

QString RunningProcessDialog::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item && !item->isHidden() ? item->text() : QString();
}

}  // namespace tavrin
