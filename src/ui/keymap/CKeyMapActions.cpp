// The key assignment dialog's clicks, Save, key capture, mode switch and hover.

#include <QLineEdit>
#include <QListWidget>

#include "model/KeyTables.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/VividTree.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/keymap/KeyNames.h"

namespace tavrin {

namespace {

// Keys that start a combination rather than end it: Shift, Ctrl, Alt and the Windows keys.
bool IsModifierVk(std::uint8_t vk) {
    return (vk >= 0x10 && vk <= 0x12) || (vk >= 0xA0 && vk <= 0xA5) || vk == 0x5B || vk == 0x5C;
}

void ClearRecordKeys(AssignmentRecord r) {
    const auto keys = r.keys();
    std::fill(keys.begin(), keys.end(), std::uint8_t{0});
}

}  // namespace

std::uint8_t CKeyMap::keyEnabledByTick() const {
    return buttons_[KeyMapButtons::kDisableTick].state == 0 ? 1 : 0;
}

void CKeyMap::clickButton(std::uint8_t button) {
    PendingAssignment& pending = model_.pending;
    switch (button) {
        case KeyMapButtons::kClose:
            done(QDialog::Rejected);
            break;
        case KeyMapButtons::kFirstTab:
        case KeyMapButtons::kFirstTab + 1:
        case KeyMapButtons::kFirstTab + 2:
        case KeyMapButtons::kFirstTab + 3:
            clickTab(button - KeyMapButtons::kFirstTab);
            break;
        case KeyMapButtons::kDisableTick: {
            std::int32_t& state = buttons_[KeyMapButtons::kDisableTick].state;
            state = 1 - state;
            update();
            break;
        }
        case KeyMapButtons::kDefault:
            pending.pendingKeyCount = PendingAssignment::kDefaultKeyCount;
            done(QDialog::Accepted);
            break;
        case KeyMapButtons::kCancel:
            pending.pendingKeyCount = 0;
            pending.pendingKeys.fill(0);
            done(QDialog::Rejected);
            break;
        case KeyMapButtons::kSave:
            save();
            break;
        default:  // the band over the tabs, or no button
            break;
    }
}

void CKeyMap::clickTab(int tab) {
    PendingAssignment& pending = model_.pending;
    const int before = activeTab_;
    switch (tab) {
        case SingleCombineTab:
            launchPanel_.markedLaunchRow.reset();
            activeTab_ = SingleCombineTab;
            launchPanel_.launchChoice.reset();
            showTabControls();
            if (before != SingleCombineTab) {
                pending.pendingKeys[0] = 0;
                pending.pendingKeyCount = 0;
                singleKeyEdit_->clear();
                combinationEdit_->clear();
                pending.pendingKind = KindByte(AssignmentKind::SingleKey);
                // The record forgets its assignment now, whichever way the dialog closes.
                AssignmentRecord r = record();
                r.setKind(KindByte(AssignmentKind::SingleKey));
                r.setKeyCount(0);
                ClearRecordKeys(r);
                singleKeyEdit_->setFocus(Qt::MouseFocusReason);
            }
            break;
        case MacroTab:
            activeTab_ = MacroTab;
            pending.pendingKind = KindByte(AssignmentKind::KeyCombination);
            launchPanel_.reset();
            break;
        case BasicTab:
            if (before != BasicTab && tree_->topLevelItemCount() > 0) {
                tree_->setCurrentItem(tree_->topLevelItem(0));
            }
            activeTab_ = BasicTab;
            pending.pendingKind = KindByte(AssignmentKind::Macro);
            launchPanel_.reset();
            break;
        case AdvanceTab:
            launchPanel_.markedLaunchRow.reset();
            if (before != AdvanceTab) {
                AssignmentRecord r = record();
                r.setKind(KindByte(AssignmentKind::Nothing));
                ClearRecordKeys(r);
                pending.pendingKeys[0] = 0;
                pending.pendingKeyCount = 0;
                singleKeyEdit_->clear();
                combinationEdit_->clear();
                pending.pendingKind = KindByte(AssignmentKind::Nothing);
                launchPanel_.launchChoice.reset();
            }
            activeTab_ = AdvanceTab;
            break;
        default:
            return;
    }
    showTabControls();
    update();
}

void CKeyMap::save() {
    PendingAssignment& pending = model_.pending;
    switch (activeTab_) {
        case SingleCombineTab:
        case AdvanceTab:
            pending.keyEnabledResult = keyEnabledByTick();
            if (activeTab_ == SingleCombineTab) {
                const auto firstZero =
                    std::find(pending.pendingKeys.begin(), pending.pendingKeys.end(), 0);
                pending.pendingKeyCount =
                    static_cast<std::int32_t>(firstZero - pending.pendingKeys.begin());
                if (pending.pendingKeyCount == 0) {
                    pending.pendingKind = KindByte(AssignmentKind::RestoreDefault);
                }
            }
            done(QDialog::Accepted);
            break;
        case MacroTab: {
            pending.pendingKind = KindByte(AssignmentKind::Macro);
            const QList<QListWidgetItem*> selected = macroList_->selectedItems();
            pending.pendingMacro = selected.isEmpty() ? PendingAssignment::kNoMacro
                                                      : macroList_->row(selected.front());
            if (selected.isEmpty()) {
                pending.keyEnabledResult = 1;
                pending.pendingKind = KindByte(AssignmentKind::RestoreDefault);
            } else {
                pending.keyEnabledResult = keyEnabledByTick();
            }
            done(QDialog::Accepted);
            break;
        }
        case BasicTab: {
            pending.pendingKind = KindByte(AssignmentKind::Function);
            const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
            const std::u16string text =
                selected.isEmpty() ? std::u16string() : ToU16(selected.front()->text(0));
            // Group items name no function; Save takes none of them.
            const bool isGroup =
                !selected.isEmpty() && selected.front()->data(0, kGroupItemRole).toBool();
            // With nothing selected there is no function to give either.
            if (isGroup || text.empty()) {
                prompts_.show(tr("Please select Sub item").toStdU16String(), u"",
                              PromptButtons::Ok);
                return;
            }
            pending.pendingFunctionLabel = text;
            pending.keyEnabledResult = keyEnabledByTick();
            done(QDialog::Accepted);
            break;
        }
        default:
            break;
    }
}

void CKeyMap::capture(std::uint8_t vk) {
    PendingAssignment& pending = model_.pending;
    if (pending.pendingKind == KindByte(AssignmentKind::SingleKey)) {
        pending.pendingKeys.fill(0);
        pending.pendingKeys[0] = vk;
        pending.pendingKeyCount = 1;
        singleKeyEdit_->setText(KeyName(vk));
        singleKeyEdit_->end(false);
    } else if (pending.pendingKind == KindByte(AssignmentKind::KeyCombination)) {
        if (pending.pendingKeyCount >= 3 || pending.pendingKeyCount < 0) {
            pending.pendingKeyCount = 0;  // a fourth key starts a new combination
        }
        combinationEdit_->clear();
        if (pending.pendingKeyCount == 0) {
            pending.pendingKeys.fill(0);
        }
        const auto count = static_cast<std::size_t>(pending.pendingKeyCount);
        pending.pendingKeys[count] = vk;
        combinationEdit_->setText(
            CombinationText(std::span(pending.pendingKeys.data(), count + 1)));
        combinationEdit_->end(false);
        pending.pendingKeyCount += 1;
    }
    // Set from the keyboard, a field gives the keyboard back once it has its key, or its
    // combination's first key that is not a modifier.
    if (armedByKeyboard_ &&
        (pending.pendingKind == KindByte(AssignmentKind::SingleKey) || !IsModifierVk(vk))) {
        captureArmed_ = false;
        armedByKeyboard_ = false;
    }
}

void CKeyMap::editFocused(int controlId) {
    PendingAssignment& pending = model_.pending;
    const bool single = controlId == kSingleKeyEditId;
    const std::uint8_t kind =
        KindByte(single ? AssignmentKind::SingleKey : AssignmentKind::KeyCombination);
    if (keysRestored_ && pending.pendingKind == kind) {
        keysRestored_ = false;
        return;
    }
    pending.pendingKind = kind;
    pending.pendingKeyCount = 0;
    pending.pendingKeys.fill(0);
    (single ? combinationEdit_ : singleKeyEdit_)->clear();
}

void CKeyMap::hover(QPoint position) {
    const std::uint8_t hit = buttons_.hitTest(position.x(), position.y());
    bool repaint = false;
    if (hit != hoverHit_) {
        // Every button but the tick box shows its hover picture only while the pointer is on it.
        for (std::size_t i = 0; i < KeyMapButtons::kCount; ++i) {
            if (i != KeyMapButtons::kDisableTick) {
                buttons_[i].state = 0;
            }
        }
        hoverHit_ = hit;
        if (hit != KeyMapButtons::kNone && hit != KeyMapButtons::kDisableTick) {
            buttons_[hit].state = 1;
        }
        repaint = true;
    }
    if (activeTab_ == AdvanceTab) {
        const std::optional<int> row = LaunchPanel::browseRowAt(position.x(), position.y());
        if (row != browseHover_) {
            browseHover_ = row;
            repaint = true;
        }
    }
    if (repaint) {
        update();
    }
}

}  // namespace tavrin
