// The event list's context menu: insert a keystroke before or after a line, insert mouse-button
// events, insert or remove a delay, delete an event.

#include <QMenu>

#include "model/KeyCodeTable.h"
#include "platform/qt/KeyHook.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/macro/CMacroRecordDlg.h"

namespace tavrin {

namespace {

enum MouseKind { kDown, kUp, kClick };

}  // namespace

std::unique_ptr<QMenu> CMacroRecordDlg::buildContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("eventMenu"));
    const auto add = [](QMenu* to, int command, const QString& text) {
        QAction* action = to->addAction(text);
        action->setData(command);
    };
    add(menu.get(), kInsertBefore, tr("Insert Before"));
    add(menu.get(), kInsertAfter, tr("Insert After"));
    QMenu* mouse = menu->addMenu(tr("Insert Mouse Key"));
    struct Button {
        QString name;
        int down, up, click;
    };
    const Button buttons[] = {{tr("Left"), kLeftDown, kLeftUp, kLeftClick},
                              {tr("Right"), kRightDown, kRightUp, kRightClick},
                              {tr("Middle"), kMiddleDown, kMiddleUp, kMiddleClick}};
    for (const Button& b : buttons) {
        QMenu* sub = mouse->addMenu(b.name);
        add(sub, b.down, tr("Down"));
        add(sub, b.up, tr("Up"));
        add(sub, b.click, tr("Click"));
    }
    add(menu.get(), kInsertDelay, tr("Insert Delay"));
    add(menu.get(), kDeleteEvent, tr("Delete"));
    return menu;
}

void CMacroRecordDlg::showContextMenu(QPoint globalPosition) {
    const std::unique_ptr<QMenu> menu = buildContextMenu();
    if (const QAction* chosen = menu->exec(globalPosition)) {
        OnCommand(chosen->data().toInt());
    }
}

bool CMacroRecordDlg::isDelayLine(int line) const {
    return eventList_->lineText(line).contains(QStringLiteral(" ms"));
}

void CMacroRecordDlg::OnCommand(int command) {
    // Editing the lines ends a free recording, which would otherwise write behind the edit.
    endFreeRecording();
    switch (command) {
        case kInsertBefore:
            insertHere(false);
            return;
        case kInsertAfter:
            insertHere(true);
            return;
        default:
            break;
    }

    const int macro = selectedMacro();
    const int line = eventList_->selectedLine();
    switch (command) {
        case kLeftDown:
        case kLeftUp:
        case kLeftClick:
            insertMouseKey(kMouseLeftButton, command - kLeftDown);
            break;
        case kRightDown:
            insertMouseKey(kMouseRightButton, kDown);
            break;
        case kRightUp:
            insertMouseKey(kMouseRightButton, kUp);
            break;
        case kRightClick:
            insertMouseKey(kMouseRightButton, kClick);
            break;
        case kMiddleDown:
        case kMiddleUp:
        case kMiddleClick:
            insertMouseKey(kMouseMiddleButton, command - kMiddleDown);
            break;
        case kInsertDelay:
            if (line < 0) {
                return;
            }
            if (isDelayLine(line)) {
                prompt(tr("Please edit current delay\n"), tr("Macro Manager", "message caption"));
                return;
            }
            if (const auto event = editBuffers_.lineToEvent(static_cast<std::size_t>(line) + 1)) {
                editBuffers_.insertDelay(*event);
            }
            break;
        case kDeleteEvent:
            if (macro < 0 || line < 0) {
                break;
            }
            if (const auto event = editBuffers_.lineToEvent(static_cast<std::size_t>(line) + 1)) {
                if (isDelayLine(line)) {
                    editBuffers_.setDelay(*event, kNoDelay);
                } else {
                    editBuffers_.remove(*event);
                }
            }
            break;
        default:
            return;
    }
    // A pending insertion ends with any other edit; its hook goes with it.
    endHook();
    saveEditBuffers();
    if (macro >= 0) {
        editBuffers_ = MacroSequence::Of(
            std::as_const(workingMacroTable_).record(static_cast<std::size_t>(macro)));
        fillEventList();
    }
}

void CMacroRecordDlg::insertHere(bool after) {
    const int line = eventList_->selectedLine();
    if (line < 0) {
        return;
    }
    if (after) {
        if (line == eventList_->count() - 1) {
            insertLine_ = line + 1;
        } else {
            insertLine_ = isDelayLine(line) ? line + 2 : line + 1;
        }
    } else if (line == 0 || isDelayLine(line)) {
        insertLine_ = line;
    } else {
        insertLine_ = isDelayLine(line - 1) ? line - 1 : line;
    }
    insertMode_ = true;
    if (!hookInstalled_) {
        hook_.installhook(this, kHookModeRecord);
        // Set whatever the answer, so that the hook is always removed again.
        hookInstalled_ = true;
    }
}

void CMacroRecordDlg::insertMouseKey(std::uint8_t code, int kind) {
    const int line = eventList_->selectedLine();
    if (selectedMacro() < 0 || line < 0) {
        return;
    }
    const std::size_t k = isDelayLine(line) ? 2 : 1;
    const auto at = [this](std::size_t oneBasedLine) {
        return editBuffers_.lineToEvent(oneBasedLine).value_or(editBuffers_.eventCount());
    };
    const std::size_t l = static_cast<std::size_t>(line);
    switch (kind) {
        case kDown:
            editBuffers_.insert(at(l + k), code, MacroEvent::kPress, kNoDelay);
            break;
        case kUp:
            editBuffers_.insert(at(l + k), code, MacroEvent::kRelease, kNoDelay);
            break;
        case kClick:
            // Both or neither: a press without its release would hold the button down.
            if (editBuffers_.eventCount() + 2 > kMacroEventCount) {
                return;
            }
            editBuffers_.insert(at(l + k), code, MacroEvent::kPress, kNoDelay);
            editBuffers_.insert(at(l + k + 1), code, MacroEvent::kRelease, kNoDelay);
            break;
        default:
            break;
    }
}

}  // namespace tavrin
