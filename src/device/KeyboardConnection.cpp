#include "device/KeyboardConnection.h"

#include <algorithm>

#include "device/FindKeyboardPath.h"
#include "device/KeyboardProtocol.h"
#include "device/SettingsTransfers.h"

namespace tavrin {

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kArrivalSettle{2000};
constexpr std::chrono::milliseconds kStopGrace{500};
constexpr std::chrono::milliseconds kAfterClose{200};
// udev grants the logged-in user access to a new node a moment after the node appears.
constexpr std::chrono::milliseconds kAccessRetryFor{1000};
constexpr std::chrono::milliseconds kAccessRetryStep{100};
// Factory reset: these KeyEnableMask bytes are marked active before the mask is read back.
constexpr std::size_t kResetMaskBytes = 18;

}  // namespace

KeyboardConnection::KeyboardConnection(HidBackend& backend, Clock& clock, MessageSink& sink,
                                       KeyboardListener& listener, ShippedFirmware shippedFirmware)
    : backend_(backend),
      clock_(clock),
      sink_(sink),
      listener_(listener),
      shippedFirmware_(std::move(shippedFirmware)),
      commands_(clock) {}

KeyboardConnection::~KeyboardConnection() {
    shutdown();
}

// ---- The queue -------------------------------------------------------------------------------

void KeyboardConnection::queue(std::function<void()> work, bool deviceChange) {
    std::lock_guard lock(jobsMutex_);
    if (closing_) {
        return;
    }
    jobs_.push_back({std::move(work), deviceChange});
    if (!worker_.joinable()) {
        worker_ = std::thread([this] { runJobs(); });
    }
    jobsChanged_.notify_all();
}

void KeyboardConnection::runJobs() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(jobsMutex_);
            running_ = false;
            jobsChanged_.notify_all();
            jobsChanged_.wait(lock, [this] { return !jobs_.empty() || closing_; });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
            running_ = true;
        }
        job.work();
    }
}

bool KeyboardConnection::idle() {
    std::lock_guard lock(jobsMutex_);
    return jobs_.empty() && !running_;
}

bool KeyboardConnection::keyEventThreadRunning() {
    std::lock_guard lock(jobsMutex_);
    return eventWorkerAlive_;
}

// ---- Window-side entry points ----------------------------------------------------------------

void KeyboardConnection::start(const SettingsBlock& base) {
    queue([this, base] { startupJob(base); });
}

void KeyboardConnection::deviceChanged(const HotplugEvent& event, const SettingsBlock& base) {
    const bool foreign =
        event.vendorId && event.productId && !IsKeyboardId(*event.vendorId, *event.productId);
    if (foreign) {
        return;
    }
    std::lock_guard lock(jobsMutex_);
    if (closing_) {
        return;
    }
    const bool alreadyQueued = removalPending_ || arrivalPending_;
    if (event.kind == HotplugEvent::Kind::Removal) {
        removalPending_ = true;
    } else {
        arrivalPending_ = true;
        arrivalBase_ = base;
    }
    if (alreadyQueued) {
        return;  // the pending job takes this change too
    }
    jobs_.push_back({[this] { deviceChangeJob(); }, true});
    if (!worker_.joinable()) {
        worker_ = std::thread([this] { runJobs(); });
    }
    jobsChanged_.notify_all();
}

void KeyboardConnection::applySettings(const SettingsBlock& settings, const SettingsBlock& saved,
                                       Done done) {
    queue([this, settings, saved, done = std::move(done)] {
        auto job = std::make_unique<Model>();
        job->settings = settings;
        job->savedSettings = saved;
        const LinkResult result = commands_.isOpen()
                                      ? ApplySettings(commands_, *job)
                                      : LinkResult::Failure("no keyboard is connected");
        done(result);
    });
}

void KeyboardConnection::factoryReset(const SettingsBlock& base, ReadDone done) {
    queue([this, base, done = std::move(done)] {
        KeyboardRead read;
        read.origin = KeyboardRead::Origin::FactoryReset;
        read.parts = WholeReadParts();
        auto job = std::make_unique<Model>();
        job->settings = base;
        read.result = [&] {
            if (!commands_.isOpen()) {
                return LinkResult::Failure("no keyboard is connected");
            }
            auto guard = commands_.lock();
            if (auto r = commands_.factoryReset(); !r) {
                return r;
            }
            if (auto r = ReadAllSettings(commands_, *job); !r) {
                return r;
            }
            auto mask = job->settings.keyEnableMask();
            std::fill_n(mask.begin(), kResetMaskBytes, std::uint8_t{0xFF});
            return commands_.readKeyEnableMask(job->settings);
        }();
        read.settings = job->settings;
        read.firmware = job->firmware;
        done(read);
    });
}

void KeyboardConnection::readLighting(const SettingsBlock& base, ReadDone done) {
    queue([this, base, done = std::move(done)] {
        KeyboardRead read;
        read.origin = KeyboardRead::Origin::Lighting;
        read.parts = {SettingsPart::Lighting};
        read.settings = base;
        read.result = commands_.isOpen() ? commands_.readLighting(read.settings)
                                         : LinkResult::Failure("no keyboard is connected");
        done(read);
    });
}

void KeyboardConnection::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    {
        std::lock_guard lock(jobsMutex_);
        closing_ = true;
        // A device change not yet started would only open what is about to be closed.
        std::erase_if(jobs_, [](const Job& job) { return job.deviceChange; });
        removalPending_ = arrivalPending_ = false;
        jobsChanged_.notify_all();
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    // The worker is gone: its state may be touched from here.
    if (eventThread_) {
        eventThread_->requestStop();
        // Its last send may wait for a window that no longer runs its loop.
        sink_.abandonSendsFrom(eventThread_->threadId());
        clock_.sleep(kStopGrace);
        eventThread_->join();
        sink_.resumeSendsFrom(eventThread_->threadId());
        eventThread_.reset();
        std::lock_guard lock(jobsMutex_);
        eventWorkerAlive_ = false;
    }
    closeAll();
}

// ---- The command worker ----------------------------------------------------------------------

LinkStatus KeyboardConnection::statusNow() const {
    LinkStatus s = status_;
    s.commandOpen = commands_.isOpen();
    s.eventOpen = eventDevice_ != nullptr;
    s.layoutVariant = scratch_.layoutVariant;
    s.devicePath = scratch_.devicePath;
    return s;
}

void KeyboardConnection::report() {
    status_ = statusNow();
    listener_.linkChanged(status_);
}

bool KeyboardConnection::openCommandInterface() {
    // Open only what was found now: an old path may by now name some other device.
    if (!FindKeyboardPath(backend_, protocol::kCommandMarker, scratch_)) {
        status_.openError = "no keyboard command interface found";
        return false;
    }
    auto device = openFoundInterface();
    if (!device) {
        return false;
    }
    commandPath_ = scratch_.devicePath;
    commands_.attach(std::move(device));
    status_.shippedFirmware =
        shippedFirmware_ ? shippedFirmware_(scratch_.layoutVariant) : FirmwareVersion{};
    return true;
}

bool KeyboardConnection::openEventInterface() {
    if (!FindKeyboardPath(backend_, protocol::kEventMarker, scratch_)) {
        status_.openError = "no keyboard event interface found";
        return false;
    }
    auto device = openFoundInterface();
    if (!device) {
        return false;
    }
    eventPath_ = scratch_.devicePath;
    eventDevice_ = std::move(device);
    if (!eventThread_) {
        eventThread_ = std::make_unique<KeyEventThread>(*eventDevice_, sink_, clock_);
        eventThread_->start();
        std::lock_guard lock(jobsMutex_);
        eventWorkerAlive_ = true;
    }
    return true;
}

std::unique_ptr<HidDevice> KeyboardConnection::openFoundInterface() {
    const std::string path = scratch_.devicePath;
    const bool retry = !status_.accessDenied;
    const Clock::TimePoint start = clock_.now();
    for (;;) {
        std::string error;
        auto device = backend_.open(path, error);
        if (device) {
            return device;
        }
        const bool denied = backend_.accessDenied(path);
        if (!denied || !retry || clock_.now() - start >= kAccessRetryFor) {
            status_.openError = "cannot open " + path + ": " + error;
            status_.accessDenied = status_.accessDenied || denied;
            return nullptr;
        }
        clock_.sleep(kAccessRetryStep);
    }
}

void KeyboardConnection::startupJob(const SettingsBlock& base) {
    status_.accessDenied = false;
    const bool commandOpened = openCommandInterface();
    if (keyEvents_) {
        openEventInterface();
    }
    report();
    if (!commandOpened) {
        return;
    }
    readConfiguration(KeyboardRead::Origin::Startup, base);
}

void KeyboardConnection::readConfiguration(KeyboardRead::Origin origin, const SettingsBlock& base) {
    KeyboardRead read;
    read.origin = origin;
    auto job = std::make_unique<Model>();
    job->settings = base;
    if (origin == KeyboardRead::Origin::Startup) {
        read.parts = StartupReadParts();
        read.result = ReadStartupSettings(commands_, *job);
    } else {
        // An arrival: the firmware, everything, then the DIY tables once more.
        read.parts = WholeReadParts();
        auto guard = commands_.lock();
        read.result = commands_.readFirmwareInfo(job->firmware);
        if (read.result) {
            read.result = ReadAllSettings(commands_, *job);
        }
        for (std::size_t n = 0; read.result && n < SettingsBlock::kDiyTableCount; ++n) {
            read.result = commands_.readDiyTable(n, job->settings);
        }
    }
    read.settings = job->settings;
    if (read.result) {
        read.firmware = job->firmware;
    } else {
        // A keyboard that does not answer is not there for the program; the next arrival reads
        // it again.
        commands_.close();
        report();
    }
    listener_.settingsRead(read);
}

void KeyboardConnection::deviceChangeJob() {
    bool removal = false;
    bool arrival = false;
    SettingsBlock base;
    {
        std::lock_guard lock(jobsMutex_);
        removal = std::exchange(removalPending_, false);
        arrival = std::exchange(arrivalPending_, false);
        base = arrivalBase_;
    }
    if (removal) {
        removalSequence();
    }
    if (arrival) {
        arrivalSequence(base);
    }
}

bool KeyboardConnection::keyboardStillPresent() {
    if (eventThread_ && eventThread_->sawDisconnect()) {
        return false;
    }
    bool commandSeen = !commands_.isOpen();
    bool eventSeen = eventDevice_ == nullptr;
    for (const HidInterfaceInfo& info : backend_.enumerate()) {
        if (!IsKeyboardId(info.vendorId, info.productId)) {
            continue;
        }
        commandSeen = commandSeen || info.path == commandPath_;
        eventSeen = eventSeen || info.path == eventPath_;
    }
    return commandSeen && eventSeen;
}

void KeyboardConnection::removalSequence() {
    const bool anyOpen = commands_.isOpen() || eventDevice_ != nullptr;
    if (!anyOpen) {
        if (status_.accessDenied) {
            status_.accessDenied = false;  // a refused keyboard that leaves is simply gone
            report();
        }
        return;
    }
    if (keyboardStillPresent()) {
        return;
    }
    stopEventWorker();
    closeAll();
    clock_.sleep(kAfterClose);
    report();
}

void KeyboardConnection::arrivalSequence(const SettingsBlock& base) {
    // Handles left over from a keyboard that went and came back are dead: close them.
    if (eventThread_ && eventThread_->sawDisconnect()) {
        stopEventWorker();
        closeAll();
        report();
    }
    if (commands_.isOpen() && (eventDevice_ || !keyEvents_)) {
        return;
    }
    clock_.sleep(kArrivalSettle);
    status_.accessDenied = false;
    if (!commands_.isOpen()) {
        const bool opened = openCommandInterface();
        report();
        if (opened) {
            readConfiguration(KeyboardRead::Origin::Arrival, base);
        }
    }
    if (keyEvents_ && !eventDevice_) {
        const bool opened = openEventInterface();
        report();
        if (opened) {
            listener_.eventInterfaceOpened();
        }
    }
}

void KeyboardConnection::stopEventWorker() {
    if (!eventThread_) {
        return;
    }
    eventThread_->requestStop();
    // The window's thread never waits for this worker, so a send it is blocked in gets handled.
    clock_.sleep(kStopGrace);
    eventThread_->join();
    eventThread_.reset();
    std::lock_guard lock(jobsMutex_);
    eventWorkerAlive_ = false;
}

void KeyboardConnection::closeAll() {
    commands_.close();
    eventDevice_.reset();
}

}  // namespace tavrin
