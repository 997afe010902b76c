#pragma once

// The one owner of the model and of the keyboard. It lives on the window's thread; every change
// of the model happens there, through it or through a window it has handed the model to. Device
// work runs on the link's command worker and comes back here as values, which only here become
// the model. Surfaces (the windows, the icon, later the command line and D-Bus) ask it what the
// keyboard is doing and are answered "busy" or "no keyboard" when an operation cannot run now.

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "device/Clock.h"
#include "device/CrossThreadMessageSink.h"
#include "device/HidBackend.h"
#include "device/HotplugEvent.h"
#include "device/KeyboardConnection.h"
#include "model/LocalFiles.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"

namespace tavrin {

// Why an operation did not start. `Started` means its result follows as a signal.
enum class [[nodiscard]] Availability{
    Started, NoKeyboard, AccessDenied,
    Busy,  // a read, a Save or a factory reset owns the keyboard now
};

// What became of an edit of the model.
enum class [[nodiscard]] EditResult{
    Done,          // the model holds it; the next Save sends it
    Busy,          // a Save or a factory reset owns the model now; nothing changed
    InvalidValue,  // out of range; nothing changed
};

class KeyboardService : public QObject, private KeyboardListener {
    Q_OBJECT

public:
    enum class State { None, Refused, Reading, Ready, Saving, Resetting };
    Q_ENUM(State)

    KeyboardService(ProgramPaths paths, HidBackend& backend, Clock& clock,
                    QObject* parent = nullptr);
    ~KeyboardService() override;

    Model& model() { return *model_; }
    const Model& model() const { return *model_; }
    const ProgramPaths& paths() const { return paths_; }

    State state() const;
    const LinkStatus& link() const { return link_; }
    bool connected() const { return link_.commandOpen; }
    // Whether the link's event worker runs; the link never holds more than one.
    bool keyEventThreadRunning() const { return connection_->keyEventThreadRunning(); }
    // The first read of the keyboard has ended (successfully or not), or no keyboard was there.
    bool startupSettled() const { return startupSettled_; }
    // The firmware shipped beside the updater is newer than the keyboard's, as of the last read
    // that succeeded.
    bool updateAvailable() const;
    // What an operation that needs the keyboard gets now.
    Availability availability() const;
    // Whether an edit would be taken now: no Save or reset runs and no window holds the model.
    bool canEdit() const { return editable(); }
    // A window that works on the model itself (a dialog) holds it while it is open: other
    // surfaces are told "busy" meanwhile, so they never change what the window shows or edits.
    void holdForWindow(bool held);
    bool heldByWindow() const { return windowHolds_ > 0; }

    // Start-up files: "MacroDefine.bin", then "keymap.bin" into the model.
    [[nodiscard]] LoadResult loadMacroFile();
    [[nodiscard]] LoadResult loadKeymapFile();
    [[nodiscard]] WriteResult writeKeymap();           // from the live images
    [[nodiscard]] WriteResult writeKeymapFromSaved();  // what the keyboard was last given
    [[nodiscard]] WriteResult writeMacroFile();

    // Before connectKeyboard(): whether the keyboard's key events are watched (see
    // KeyboardConnection::setKeyEvents).
    void setKeyEvents(bool on) { connection_->setKeyEvents(on); }
    // Opens the keyboard and starts the start-up read.
    void connectKeyboard();
    void deviceChanged(const HotplugEvent& event);

    // Save: what differs from the saved copy goes to the keyboard; saveFinished follows.
    Availability save();
    // Factory reset; factoryResetFinished follows.
    Availability factoryReset();
    // Back to the saved copies; "keymap.bin" is written from them; modelChanged follows.
    [[nodiscard]] WriteResult cancel();
    // The profile manager loaded a profile into the model: 50 ms later "MacroDefine.bin" is
    // written and settingsLoaded(false) follows.
    void profileLoaded();

    // Ends the link: queued Saves finish, the event worker stops, the handles close.
    void shutdown();

    // Edits, for every surface alike. Each checks its values first and changes all or nothing;
    // modelChanged follows a change. Refused while a Save or a factory reset runs (the model is
    // then being taken as the keyboard's); allowed while a read runs, which keeps them.
    EditResult chooseEffect(std::size_t listIndex);       // 0..17, the effect list's rules
    EditResult setSpeedLevel(std::uint8_t level);         // 0..4
    EditResult setBrightnessLevel(std::uint8_t level);    // 0..4
    EditResult setColourIndex(std::uint8_t colour);       // 1..8
    EditResult setDirectionCode(std::uint8_t direction);  // 0..3
    EditResult setGameMode(bool on);
    EditResult setWinLock(bool on);
    EditResult setResponseTime(std::uint8_t steps);       // 1..10, steps of 2 ms
    EditResult setReportInterval(std::uint8_t position);  // 0..3
    // One key's light in DIY table 0..4.
    EditResult setDiyKey(std::size_t table, std::uint8_t position, bool lit);
    // A key's new meaning, as the key assignment dialog leaves it; "keymap.bin" is written.
    EditResult assignKey(std::uint8_t position, const PendingAssignment& choice,
                         WriteResult& written);
    // The macro table changed (macro manager, import): the device macros follow it and both
    // files are written.
    EditResult commitMacros(WriteResult& written);

signals:
    void stateChanged(tavrin::KeyboardService::State state);
    void linkStatusChanged();
    // The model holds a new configuration: from the keyboard (the start-up or an arrival's read,
    // lighting included) or loaded locally (a profile). The windows refresh from it.
    void settingsLoaded(bool fromKeyboard);
    // A read of the keyboard did not succeed; the model is as it was. The result says why, and
    // whether the keyboard simply went away.
    void readFailed(const tavrin::LinkResult& result);
    void saveFinished(const tavrin::LinkResult& result);
    void factoryResetFinished(const tavrin::LinkResult& result);
    // A file the service keeps could not be written.
    void fileWriteFailed(const tavrin::WriteResult& result);
    // From the keyboard's event interface.
    void keyboardEvent(std::uint8_t code);
    void keyboardLost();
    // An edit through the service changed the model: the windows show it.
    void modelChanged();
    // After a successful read of the keyboard: the firmware shipped with the updater is newer.
    void firmwareUpdateAvailable();

private slots:
    // Runs what the workers handed over, in the order they did.
    void drainInbox();

private:
    // KeyboardListener, called on the command worker: each hands a value to this thread.
    void linkChanged(const LinkStatus& status) override;
    void settingsRead(const KeyboardRead& read) override;
    void eventInterfaceOpened() override;

    void onLinkChanged(const LinkStatus& status);
    void onSettingsRead(const KeyboardRead& read);
    void onLightingRead(const KeyboardRead& read, bool offerUpdate);
    void onSaveDone(const LinkResult& result, const SettingsBlock& sent);
    void onResetDone(const KeyboardRead& read);
    void readLighting(bool offerUpdate);
    void reportWrite(const WriteResult& result);
    void setJob(State job);
    bool editable() const { return job_ == State::Ready && windowHolds_ == 0; }
    template <typename Edit>
    EditResult edit(bool valid, Edit&& change);
    void emitStateIfChanged();
    template <typename F>
    void onWindowThread(F&& f);

    ProgramPaths paths_;
    std::unique_ptr<Model> model_;
    std::unique_ptr<CrossThreadMessageSink> sink_;
    std::unique_ptr<KeyboardConnection> connection_;
    LinkStatus link_;
    State job_ = State::Ready;  // Saving or Resetting while one runs, else Ready
    int readsInFlight_ = 0;     // configuration and lighting reads not yet taken
    int windowHolds_ = 0;
    bool startupSettled_ = false;
    bool firmwareRead_ = false;
    State lastState_ = State::None;
    std::mutex inboxMutex_;
    std::deque<std::function<void()>> inbox_;
};

}  // namespace tavrin

// The results travel in signals, also queued ones.
Q_DECLARE_METATYPE(tavrin::LinkResult)
Q_DECLARE_METATYPE(tavrin::WriteResult)
