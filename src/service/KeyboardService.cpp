#include "service/KeyboardService.h"

#include <QMetaObject>
#include <algorithm>

#include "device/WindowMessages.h"
#include "model/AssignmentReconcile.h"
#include "model/ChangedKeyRule.h"
#include "model/KeyAssignment.h"
#include "model/KeyTables.h"
#include "model/LightingRules.h"
#include "model/MacroStore.h"

namespace tavrin {

namespace {

// The profile manager's OK leaves the keyboard this long before the macros are written.
constexpr int kProfileSettleMs = 50;

}  // namespace

KeyboardService::KeyboardService(ProgramPaths paths, HidBackend& backend, Clock& clock,
                                 QObject* parent)
    : QObject(parent), paths_(std::move(paths)), model_(std::make_unique<Model>()) {
    sink_ = std::make_unique<CrossThreadMessageSink>(
        [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
            if (message == WM_KEYBOARD_EVENT) {
                emit keyboardEvent(static_cast<std::uint8_t>(wParam));
            } else if (message == WM_KEYBOARD_LOST) {
                emit keyboardLost();
            }
            return std::intptr_t{0};
        },
        [this](std::function<void()> task) { onWindowThread(std::move(task)); });
    connection_ = std::make_unique<KeyboardConnection>(
        backend, clock, *sink_, static_cast<KeyboardListener&>(*this),
        [dirs = paths_.shippedDirs](std::uint8_t layout) { return ReadVersionFile(dirs, layout); });
}

KeyboardService::~KeyboardService() {
    shutdown();
}

void KeyboardService::shutdown() {
    if (connection_) {
        connection_->shutdown();
    }
}

template <typename F>
void KeyboardService::onWindowThread(F&& f) {
    // The value travels under a std::mutex, which every tool can see; the queued call only
    // wakes this thread and carries nothing.
    {
        std::lock_guard lock(inboxMutex_);
        inbox_.emplace_back(std::forward<F>(f));
    }
    QMetaObject::invokeMethod(this, "drainInbox", Qt::QueuedConnection);
}

void KeyboardService::drainInbox() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(inboxMutex_);
            if (inbox_.empty()) {
                return;
            }
            task = std::move(inbox_.front());
            inbox_.pop_front();
        }
        task();
    }
}

// ---- State -----------------------------------------------------------------------------------

KeyboardService::State KeyboardService::state() const {
    if (job_ != State::Ready) {
        return job_;
    }
    if (!link_.commandOpen) {
        return link_.accessDenied ? State::Refused : State::None;
    }
    return readsInFlight_ > 0 ? State::Reading : State::Ready;
}

void KeyboardService::holdForWindow(bool held) {
    windowHolds_ = std::max(0, windowHolds_ + (held ? 1 : -1));
}

Availability KeyboardService::availability() const {
    if (!startupSettled_ || windowHolds_ > 0) {
        return Availability::Busy;  // the first read has not ended yet
    }
    switch (state()) {
        case State::Ready:
            return Availability::Started;
        case State::None:
            return Availability::NoKeyboard;
        case State::Refused:
            return Availability::AccessDenied;
        default:
            return Availability::Busy;
    }
}

bool KeyboardService::updateAvailable() const {
    return firmwareRead_ && UpdateAvailable(link_.shippedFirmware, model_->firmware);
}

void KeyboardService::setJob(State job) {
    job_ = job;
    emitStateIfChanged();
}

void KeyboardService::emitStateIfChanged() {
    const State now = state();
    if (now != lastState_) {
        lastState_ = now;
        emit stateChanged(now);
    }
}

// ---- Files -----------------------------------------------------------------------------------

LoadResult KeyboardService::loadMacroFile() {
    return LoadMacroFile(paths_.dataDir, model_->macros);
}

LoadResult KeyboardService::loadKeymapFile() {
    return LoadKeymapFile(paths_.dataDir, *model_, false);
}

WriteResult KeyboardService::writeKeymap() {
    return WriteKeymapFromModel(paths_.dataDir, *model_);
}

WriteResult KeyboardService::writeKeymapFromSaved() {
    return WriteKeymapFromSaved(paths_.dataDir, *model_);
}

WriteResult KeyboardService::writeMacroFile() {
    return WriteMacroFile(paths_.dataDir, model_->macros);
}

void KeyboardService::reportWrite(const WriteResult& result) {
    if (!result) {
        emit fileWriteFailed(result);
    }
}

// ---- The keyboard ----------------------------------------------------------------------------

void KeyboardService::connectKeyboard() {
    connection_->start(model_->settings);
}

void KeyboardService::deviceChanged(const HotplugEvent& event) {
    connection_->deviceChanged(event, model_->settings);
}

Availability KeyboardService::save() {
    const Availability a = availability();
    if (a != Availability::Started) {
        return a;
    }
    setJob(State::Saving);
    const SettingsBlock sent = model_->settings;
    connection_->applySettings(sent, model_->savedSettings, [this, sent](const LinkResult& r) {
        onWindowThread([this, r, sent] { onSaveDone(r, sent); });
    });
    return Availability::Started;
}

void KeyboardService::onSaveDone(const LinkResult& result, const SettingsBlock& sent) {
    job_ = State::Ready;
    if (result) {
        // The keyboard holds what was sent; edits made meanwhile stay differences.
        model_->savedSettings = sent;
        model_->savedAssignments = model_->assignments;
    }
    // Otherwise the saved copies stay as they were, so the next Save sends the change again.
    reportWrite(writeKeymap());
    emitStateIfChanged();
    emit saveFinished(result);
}

Availability KeyboardService::factoryReset() {
    const Availability a = availability();
    if (a != Availability::Started) {
        return a;
    }
    setJob(State::Resetting);
    connection_->factoryReset(model_->settings, [this](const KeyboardRead& read) {
        onWindowThread([this, read] { onResetDone(read); });
    });
    return Availability::Started;
}

void KeyboardService::onResetDone(const KeyboardRead& read) {
    job_ = State::Ready;
    if (read.result) {
        model_->settings = read.settings;
        if (read.firmware) {
            model_->firmware = *read.firmware;
        }
        model_->keyChangedFlags.fill(0);
        model_->assignments.clear();
        model_->refreshOwnVk();
        // The keyboard now holds exactly this, whether or not the file can be written.
        model_->takeSavedCopies();
        reportWrite(writeKeymap());
    }
    // A reset that failed half-way never touched the model: it stays as it was.
    emitStateIfChanged();
    emit factoryResetFinished(read.result);
}

WriteResult KeyboardService::cancel() {
    model_->revertToSaved();
    ChangedKeyRule(*model_);
    const WriteResult written = writeKeymap();
    emit modelChanged();
    return written;
}

void KeyboardService::profileLoaded() {
    QTimer::singleShot(kProfileSettleMs, this, [this] {
        reportWrite(writeMacroFile());
        ChangedKeyRule(*model_);
        reportWrite(writeKeymap());
        emit settingsLoaded(false);
    });
}

// ---- Edits -----------------------------------------------------------------------------------

template <typename Edit>
EditResult KeyboardService::edit(bool valid, Edit&& change) {
    if (!editable()) {
        return EditResult::Busy;
    }
    if (!valid) {
        return EditResult::InvalidValue;
    }
    change(model_->settings);
    emit modelChanged();
    return EditResult::Done;
}

EditResult KeyboardService::chooseEffect(std::size_t listIndex) {
    return edit(listIndex < kEffectCount,
                [listIndex](SettingsBlock& s) { static_cast<void>(ChooseEffect(s, listIndex)); });
}

EditResult KeyboardService::setSpeedLevel(std::uint8_t level) {
    return edit(level <= 4, [level](SettingsBlock& s) { s.setSpeedLevel(level); });
}

EditResult KeyboardService::setBrightnessLevel(std::uint8_t level) {
    return edit(level <= 4, [level](SettingsBlock& s) { s.setBrightnessLevel(level); });
}

EditResult KeyboardService::setColourIndex(std::uint8_t colour) {
    return edit(colour >= 1 && colour <= 8,
                [colour](SettingsBlock& s) { s.setColourIndex(colour); });
}

EditResult KeyboardService::setDirectionCode(std::uint8_t direction) {
    return edit(direction <= 3, [direction](SettingsBlock& s) { s.setDirectionCode(direction); });
}

EditResult KeyboardService::setGameMode(bool on) {
    return edit(true, [on](SettingsBlock& s) { s.setGameMode(on ? 1 : 0); });
}

EditResult KeyboardService::setWinLock(bool on) {
    return edit(true, [on](SettingsBlock& s) { s.setWinLock(on ? 1 : 0); });
}

EditResult KeyboardService::setResponseTime(std::uint8_t steps) {
    return edit(steps >= 1 && steps <= 10, [steps](SettingsBlock& s) { s.setResponseTime(steps); });
}

EditResult KeyboardService::setReportInterval(std::uint8_t position) {
    return edit(position <= 3, [position](SettingsBlock& s) { s.setReportInterval(position); });
}

EditResult KeyboardService::setDiyKey(std::size_t table, std::uint8_t position, bool lit) {
    const bool valid = table < SettingsBlock::kDiyTableCount && position < kMatrixPositionCount;
    return edit(valid, [=](SettingsBlock& s) {
        s.diyTable(table)[LedIndexTable[position]] = lit ? 0xFF : 0x00;
    });
}

EditResult KeyboardService::assignKey(std::uint8_t position, const PendingAssignment& choice,
                                      WriteResult& written) {
    if (!editable()) {
        return EditResult::Busy;
    }
    if (position >= kMatrixPositionCount ||
        choice.pendingLaunchPath.size() > PendingAssignment::kLaunchPathMaxChars) {
        return EditResult::InvalidValue;
    }
    model_->selectedKey = position;
    model_->pending = choice;
    written = CommitKeyAssignment(*model_, paths_.dataDir);
    emit modelChanged();
    return EditResult::Done;
}

EditResult KeyboardService::commitMacros(WriteResult& written) {
    if (!editable()) {
        return EditResult::Busy;
    }
    BuildDeviceMacros(model_->macros, model_->settings);
    written = writeKeymap();
    if (written) {
        written = writeMacroFile();
    }
    emit modelChanged();
    return EditResult::Done;
}

// ---- Results of the command worker -----------------------------------------------------------

void KeyboardService::linkChanged(const LinkStatus& status) {
    onWindowThread([this, status] { onLinkChanged(status); });
}

void KeyboardService::settingsRead(const KeyboardRead& read) {
    onWindowThread([this, read] { onSettingsRead(read); });
}

void KeyboardService::eventInterfaceOpened() {
    onWindowThread([this] {
        if (link_.commandOpen) {
            readLighting(false);
        }
    });
}

void KeyboardService::onLinkChanged(const LinkStatus& status) {
    const bool opened = !link_.commandOpen && status.commandOpen;
    link_ = status;
    if (!status.devicePath.empty()) {
        model_->devicePath = status.devicePath;
    }
    model_->layoutVariant = std::max(model_->layoutVariant, status.layoutVariant);
    if (opened) {
        ++readsInFlight_;  // a read of the whole configuration follows every open
    } else if (!startupSettled_ && !status.commandOpen && readsInFlight_ == 0) {
        startupSettled_ = true;  // no keyboard at start-up
    }
    emitStateIfChanged();
    emit linkStatusChanged();
}

void KeyboardService::onSettingsRead(const KeyboardRead& read) {
    readsInFlight_ = std::max(0, readsInFlight_ - 1);
    if (!read.result) {
        // The model and its saved copies stay as they were; nothing is reconciled and no update
        // is offered. The next arrival reads again.
        startupSettled_ = true;
        emitStateIfChanged();
        emit readFailed(read.result);
        return;
    }
    TakeRead(*model_, read);
    firmwareRead_ = true;
    // The key map now comes from the keyboard: records it contradicts are given up.
    ReconcileAssignments(*model_);
    model_->savedAssignments = model_->assignments;
    readLighting(true);
}

void KeyboardService::readLighting(bool offerUpdate) {
    ++readsInFlight_;
    emitStateIfChanged();
    connection_->readLighting(model_->settings, [this, offerUpdate](const KeyboardRead& read) {
        onWindowThread([this, read, offerUpdate] { onLightingRead(read, offerUpdate); });
    });
}

void KeyboardService::onLightingRead(const KeyboardRead& read, bool offerUpdate) {
    readsInFlight_ = std::max(0, readsInFlight_ - 1);
    startupSettled_ = true;
    if (read.result) {
        // The keyboard holds these bytes: Save must not send them back, nor Close drop them.
        TakeRead(*model_, read);
    }
    ChangedKeyRule(*model_);
    reportWrite(writeKeymap());
    emitStateIfChanged();
    if (!read.result) {
        emit readFailed(read.result);
    }
    emit settingsLoaded(true);
    if (offerUpdate && updateAvailable()) {
        emit firmwareUpdateAvailable();
    }
}

}  // namespace tavrin
