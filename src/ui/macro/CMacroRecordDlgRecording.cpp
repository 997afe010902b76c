// The macro manager's recorder: free recording through the key hook, and the one-shot insertion
// of a keystroke at a line of the event list.

#include <cmath>

#include "model/KeyCodeTable.h"
#include "model/Prompts.h"
#include "platform/qt/KeyHook.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/macro/CMacroRecordDlg.h"
#include "ui/macro/MacroClock.h"
#include "ui/macro/MacroLog.h"

namespace tavrin {

namespace {

std::u16string KeyLine(std::uint8_t vk, bool release) {
    return std::u16string(kKeyCodeTable[vk].name) + (release ? u" up" : u" dn");
}

std::uint8_t Direction(bool release) {
    return release ? MacroEvent::kRelease : MacroEvent::kPress;
}

}  // namespace

void CMacroRecordDlg::endHook() {
    if (hookInstalled_) {
        hook_.removehook();
        hookInstalled_ = false;
    }
    // Without the hook no keystroke can come for a pending insertion.
    insertMode_ = false;
}

void CMacroRecordDlg::endFreeRecording() {
    if (recordButtonState_) {
        endHook();
        recordButtonState_ = false;
        update();
    }
}

void CMacroRecordDlg::startStopRecording() {
    const int s = selectedMacro();
    if (s < 0) {
        prompt(tr("Please select a Macro file to record \n"), tr("Macro Manager"));
        return;
    }
    recordButtonState_ = !recordButtonState_;
    if (recordButtonState_) {
        // A pending insertion would take the keystrokes meant for the recording.
        insertMode_ = false;
        if (!hookInstalled_) {
            hookInstalled_ = hook_.installhook(this, kHookModeRecord);
        }
        editBuffers_ = MacroSequence{};
        recordOffset_ = 0;
        lastLineText_.clear();
        eventList_->endEdit(false);
        eventList_->clear();
        MacroSequence{}.storeInto(workingMacroTable_.record(static_cast<std::size_t>(s)));
    } else {
        endHook();
    }
    update();
}

void CMacroRecordDlg::onHookKey(std::uintptr_t wParam, bool release) {
    if (wParam <= 0xFF) {
        const auto vk = static_cast<std::uint8_t>(wParam);
        if (insertMode_) {
            insertKeystroke(vk, release);
        } else if (hookInstalled_ && recordButtonState_) {
            recordKeystroke(vk, release);
        }
    }
    saveEditBuffers();
}

void CMacroRecordDlg::insertKeystroke(std::uint8_t vk, bool release) {
    const int s = selectedMacro();
    if (s < 0) {
        endHook();
        return;
    }
    const MacroSequence stored =
        MacroSequence::Of(std::as_const(workingMacroTable_).record(static_cast<std::size_t>(s)));
    editBuffers_ = stored;
    if (release) {
        insertMode_ = false;
        endHook();
    }
    // A full sequence has no place for the keystroke: nothing goes in, and the hook goes.
    if (!stored.firstFreeEvent()) {
        endHook();
        return;
    }
    insertLine_ = std::clamp(insertLine_, 0, eventList_->count());
    eventList_->InsertLine(insertLine_, ToQString(KeyLine(vk, release)));
    const std::size_t event = eventList_->count() == insertLine_ + 1
                                  ? stored.eventCount()
                                  : stored.lineToEvent(static_cast<std::size_t>(insertLine_) + 1)
                                        .value_or(stored.eventCount());
    editBuffers_.insert(event, vk, Direction(release), kNoDelay);
    if (!release) {
        ++insertLine_;
    }
    // The new event can bring out a delay line of the event after it (a press that used to
    // lead the sequence shows its delay once it no longer leads), so the lines are rebuilt from
    // the sequence rather than trusted.
    fillEventList();
}

std::uint16_t CMacroRecordDlg::takeDelay() {
    const double now = clock_.nowMilliseconds();
    const double elapsed = now - lastEventTime_;
    lastEventTime_ = now;
    // Whole microseconds first, then whole milliseconds, both rounded down.
    const auto micro =
        elapsed > 0 ? static_cast<std::uint64_t>(std::floor(elapsed * 1000.0)) : std::uint64_t{0};
    return RecordedDelay(micro / 1000);
}

void CMacroRecordDlg::recordKeystroke(std::uint8_t vk, bool release) {
    const std::u16string line = KeyLine(vk, release);
    if (release) {
        const std::uint16_t ms = takeDelay();
        if (line != lastLineText_) {
            InsertMacroToList(vk, true, ms);
        }
        return;
    }
    std::uint16_t ms = 0;
    if (eventList_->count() == 0) {
        lastEventTime_ = clock_.nowMilliseconds();
    } else if (line == lastLineText_) {
        return;  // a held key repeats its press
    } else {
        ms = takeDelay();
    }
    if (recordOffset_ < kPressLimit) {
        InsertMacroToList(vk, false, ms);
    }
}

void CMacroRecordDlg::InsertMacroToList(std::uint8_t vk, bool release, std::uint16_t ms) {
    qCDebug(lcMacro, "Enter into InsertMacroToList Routine");
    const int lines = eventList_->count();
    const bool timed = recordDelay_ && lines > 0;
    const std::size_t index = recordOffset_ / MacroEvent::kSize;
    // Never over a recorded event, never past the sequence.
    if (recordOffset_ + MacroEvent::kSize > kRecordOffsetRange || index >= kMacroEventCount ||
        !editBuffers_.keyEvent(index).isTerminator()) {
        endFreeRecording();
        return;
    }
    const std::uint16_t delay = timed ? ms : kNoDelay;
    SetEventAt(editBuffers_.keyEvents, index, {vk, Direction(release), delay});
    SetEventAt(editBuffers_.codeEvents, index, {HidUsage(vk), Direction(release), delay});
    recordOffset_ += MacroEvent::kSize;

    if (timed && delay != kNoDelay) {
        eventList_->AddLine(QStringLiteral("%1 ms").arg(delay));
    }
    const std::u16string line = KeyLine(vk, release);
    eventList_->AddLine(ToQString(line));
    lastLineText_ = line;
    eventList_->setSelectedLine(eventList_->count() - 1);
    eventList_->scrollToBottom();

    if (recordOffset_ + MacroEvent::kSize > kRecordOffsetRange) {
        endFreeRecording();
    }
}

}  // namespace tavrin
