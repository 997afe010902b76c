#include "ui/controls/CAboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/Model.h"
#include "ui/controls/BitmapResources.h"

namespace tavrin {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About Tavrin Gaming Keyboard"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    const QIcon programIcon = LoadIconResource(kIconProgram);
    if (programIcon.isNull()) {
        icon->hide();
    } else {
        icon->setPixmap(programIcon.pixmap(QSize(32, 32), devicePixelRatioF()));
    }

    nameLine_ = new QLabel(tr("Tavrin Gaming Keyboard, Version 1.0"), this);
    nameLine_->setObjectName(QStringLiteral("aboutName"));
    QFont nameFont = nameLine_->font();
    nameFont.setBold(true);
    nameLine_->setFont(nameFont);
    descriptionLine_ = new QLabel(tr("Settings for the Tavrin gaming keyboard"), this);
    descriptionLine_->setObjectName(QStringLiteral("aboutDescription"));

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("ok"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(nameLine_);
    texts->addWidget(descriptionLine_);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    top->addSpacing(12);
    top->addWidget(okButton_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tavrin
