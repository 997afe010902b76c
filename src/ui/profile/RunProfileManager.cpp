#include "ui/profile/RunProfileManager.h"

#include "ui/profile/CConfigureDlg.h"

namespace tavrin {

bool RunProfileManager(CConfigureDlg& dialog, const QRect& mainWindowRect) {
    dialog.setMainWindowRect(mainWindowRect);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tavrin
