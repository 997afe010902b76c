// The key assignment dialog without a pointer: its buttons, tabs and launch rows as the keyboard
// focus and assistive technologies see them, and the keys that move and press.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "platform/qt/QtConversions.h"
#include "ui/controls/VividTree.h"
#include "ui/keymap/CKeyMap.h"

namespace tavrin {

namespace {

constexpr std::array<const char*, 4> kTabNames = {
    QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Single/Combine"),
    QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Macro"),
    QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Basic"),
    QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Advance"),
};

QRect ToQRect(const SkinRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

}  // namespace

std::vector<int> CKeyMap::regionChildren(int parent) const {
    if (parent != kTopLevel) {
        return {};
    }
    std::vector<int> ids = {KeyMapButtons::kClose,
                            1,
                            2,
                            3,
                            4,
                            KeyMapButtons::kDisableTick,
                            KeyMapButtons::kDefault,
                            KeyMapButtons::kCancel,
                            KeyMapButtons::kSave};
    for (int row = 0; row < kLaunchRowCount; ++row) {
        ids.push_back(kLaunchRadio + row);
        ids.push_back(kLaunchBrowse + row);
    }
    return ids;
}

SkinRegionInfo CKeyMap::regionInfo(int id) const {
    SkinRegionInfo info;
    if (id >= kLaunchRadio) {
        const bool browse = id >= kLaunchBrowse;
        const int row = id - (browse ? kLaunchBrowse : kLaunchRadio);
        const LaunchPanelRect& cell =
            LaunchPanelRects()[static_cast<std::size_t>(4 * row + (browse ? 3 : 0))];
        info.rect = ToQRect(cell.rectangle);
        info.shown = activeTab_ == AdvanceTab;
        if (browse) {
            info.role = QAccessible::PushButton;
            info.name = tr("Browse %1").arg(LaunchRowLabel(row));
        } else {
            info.role = QAccessible::RadioButton;
            info.name = LaunchRowLabel(row);
            info.checkable = true;
            info.checked = launchPanel_.markedLaunchRow == row;
            if (launchPanel_.launchChoice == row) {
                info.description = ToQString(model_.pending.pendingLaunchPath);
            }
        }
        return info;
    }
    const auto index = static_cast<std::size_t>(id);
    info.rect = ToQRect(buttons_[index].rectangle);
    info.role = QAccessible::PushButton;
    switch (id) {
        case KeyMapButtons::kClose:
            info.name = tr("Close");
            break;
        case KeyMapButtons::kDisableTick:
            info.role = QAccessible::CheckBox;
            info.name = tr("Disable");
            info.checkable = true;
            info.checked = buttons_[index].state == 1;
            break;
        case KeyMapButtons::kDefault:
            info.name = tr("Default");
            break;
        case KeyMapButtons::kCancel:
            info.name = tr("Cancel");
            break;
        case KeyMapButtons::kSave:
            info.name = tr("Save");
            break;
        default:
            info.role = QAccessible::PageTab;
            info.name = tr(kTabNames.at(index - KeyMapButtons::kFirstTab));
            info.checked = activeTab_ == id - KeyMapButtons::kFirstTab;
            break;
    }
    return info;
}

std::vector<SkinStop> CKeyMap::focusStops() const {
    std::vector<SkinStop> stops = {{KeyMapButtons::kClose, nullptr},
                                   {1, nullptr},
                                   {2, nullptr},
                                   {3, nullptr},
                                   {4, nullptr},
                                   {-1, singleKeyEdit_},
                                   {-1, combinationEdit_},
                                   {-1, macroList_},
                                   {-1, tree_}};
    for (int row = 0; row < kLaunchRowCount; ++row) {
        stops.push_back({kLaunchRadio + row, nullptr});
        stops.push_back({kLaunchBrowse + row, nullptr});
    }
    for (int id : {KeyMapButtons::kDisableTick, KeyMapButtons::kDefault, KeyMapButtons::kCancel,
                   KeyMapButtons::kSave}) {
        stops.push_back({id, nullptr});
    }
    return stops;
}

void CKeyMap::activateRegion(int id) {
    if (closing_ || !regionInfo(id).shown) {
        return;
    }
    // A field that a tab gives the focus waits for Enter before it takes keys.
    captureArmed_ = false;
    if (id >= kLaunchRadio) {
        const QPoint centre = regionInfo(id).rect.center();
        launchPanel_.click(centre.x(), centre.y());
    } else {
        clickButton(static_cast<std::uint8_t>(id));
    }
    if (!closing_) {
        update();
    }
}

bool CKeyMap::focusNextPrevChild(bool next) {
    const SkinStop stop = NextStop(*this, next);
    ringShown_ = true;
    if (stop.widget != nullptr) {
        focusedRegion_ = -1;
        tabbing_ = true;
        stop.widget->setFocus(Qt::TabFocusReason);
        tabbing_ = false;
    } else if (stop.region >= 0) {
        focusedRegion_ = stop.region;
        setFocus(Qt::TabFocusReason);
    }
    update();
    return true;
}

void CKeyMap::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            // As the close button: nothing is taken.
            clickButton(KeyMapButtons::kClose);
            event->accept();
            return;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (QApplication::focusWidget() == this && focusedRegion_ >= 0) {
                ringShown_ = true;
                activateRegion(focusedRegion_);
            }
            event->accept();  // never a default button
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

}  // namespace tavrin
