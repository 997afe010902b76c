#include "platform/qt/DesktopLocale.h"

#include <QByteArray>
#include <QtGlobal>

namespace tavrin {

std::string DesktopLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty()) {
            return value.toStdString();
        }
    }
    return {};
}

}  // namespace tavrin
