#include "device/KeyboardConnection.h"

#include <algorithm>

#include "device/FindKeyboardPath.h"
#include "device/KeyboardProtocol.h"
#include "device/SettingsTransfers.h"
#include "device/WindowMessages.h"
#include "model/LocalFiles.h"

namespace tavrin {

using namespace std::chrono_literals;

namespace {

constexpr std::chrono::milliseconds kArrivalSettle{2000};
constexpr std::chrono::milliseconds kStopGrace{500};
constexpr std::chrono::milliseconds kAfterClose{200};
// udev grants the logged-in user access to a new node a moment after the node appears.
constexpr std::chrono::milliseconds kAccessRetryFor{1000};
constexpr std::chrono::milliseconds kAccessRetryStep{100};
// Factory reset: the window marks these KeyEnableMask bytes active before reading the mask back.
constexpr std::size_t kResetMaskBytes = 18;

}  // namespace

KeyboardConnection::KeyboardConnection(Model& model, HidBackend& backend, Clock& clock,
                                       MessageSink& sink, std::filesystem::path programDir)
    : model_(model),
      backend_(backend),
      clock_(clock),
      sink_(sink),
      programDir_(std::move(programDir)),
      commands_(clock),
      reader_(commands_, model, sink) {}

KeyboardConnection::~KeyboardConnection() {
    shutdown();
}

bool KeyboardConnection::openCommandInterface() {
    // Open only what was found now: an old path may by now name some other device.
    if (!FindKeyboardPath(backend_, protocol::kCommandMarker, model_)) {
        lastOpenError_ = "no keyboard command interface found";
        return false;
    }
    auto device = openFoundInterface();
    if (!device) {
        return false;
    }
    commandPath_ = model_.devicePath;
    commands_.attach(std::move(device));
    return true;
}

bool KeyboardConnection::openEventInterface() {
    if (!FindKeyboardPath(backend_, protocol::kEventMarker, model_)) {
        lastOpenError_ = "no keyboard event interface found";
        return false;
    }
    auto device = openFoundInterface();
    if (!device) {
        return false;
    }
    eventPath_ = model_.devicePath;
    eventDevice_ = std::move(device);
    if (!eventThread_) {
        eventThread_ = std::make_unique<KeyEventThread>(*eventDevice_, sink_, clock_);
        eventThread_->start();
    }
    return true;
}

std::unique_ptr<HidDevice> KeyboardConnection::openFoundInterface() {
    const std::string& path = model_.devicePath;
    const bool retry = !lastOpenDenied_;
    const Clock::TimePoint start = clock_.now();
    for (;;) {
        std::string error;
        auto device = backend_.open(path, error);
        if (device) {
            return device;
        }
        const bool denied = backend_.accessDenied(path);
        if (!denied || !retry || clock_.now() - start >= kAccessRetryFor) {
            lastOpenError_ = "cannot open " + path + ": " + error;
            lastOpenDenied_ = lastOpenDenied_ || denied;
            return nullptr;
        }
        clock_.sleep(kAccessRetryStep);
    }
}

KeyboardConnection::StartupResult KeyboardConnection::openAtStartup() {
    StartupResult result;
    lastOpenDenied_ = false;
    result.commandOpened = openCommandInterface();
    if (result.commandOpened) {
        shippedFirmware_ = ReadVersionFile(programDir_, model_.layoutVariant);
        reader_.start();
    }
    result.eventOpened = openEventInterface();
    result.accessDenied = lastOpenDenied_;
    return result;
}

void KeyboardConnection::reopenCommandInterface() {
    if (!openCommandInterface()) {
        return;
    }
    shippedFirmware_ = ReadVersionFile(programDir_, model_.layoutVariant);
    {
        auto guard = commands_.lock();
        Model read = model_;
        lastRead_ = commands_.readFirmwareInfo(read.firmware);
        if (lastRead_) {
            lastRead_ = ReadAllSettings(commands_, read);
        }
        for (std::size_t n = 0; lastRead_ && n < SettingsBlock::kDiyTableCount; ++n) {
            lastRead_ = commands_.readDiyTable(n, read.settings);
        }
        if (lastRead_) {
            model_.settings = read.settings;
            model_.firmware = read.firmware;
        }
    }
    if (sliderRefresh_) {
        sliderRefresh_();
    }
    sink_.send(WM_SETTINGS_LOADED, 0, kLoadedFromKeyboard);
}

void KeyboardConnection::reopenEventInterface() {
    if (!openEventInterface()) {
        return;
    }
    sink_.send(WM_SETTINGS_LOADED, 0, kLoadedFromKeyboard);
}

bool KeyboardConnection::keyboardStillPresent() {
    if (eventThread_ && eventThread_->sawDisconnect()) {
        return false;
    }
    bool commandSeen = !commandOpen();
    bool eventSeen = !eventOpen();
    for (const HidInterfaceInfo& info : backend_.enumerate()) {
        if (!IsKeyboardId(info.vendorId, info.productId)) {
            continue;
        }
        commandSeen = commandSeen || info.path == commandPath_;
        eventSeen = eventSeen || info.path == eventPath_;
    }
    return commandSeen && eventSeen;
}

void KeyboardConnection::stopEventWorker() {
    if (!eventThread_) {
        return;
    }
    eventThread_->requestStop();
    // A worker may be blocked handing a message to this very thread; let it go.
    sink_.abandonSends();
    clock_.sleep(kStopGrace);
    eventThread_->join();
    sink_.resumeSends();
    eventThread_.reset();
}

void KeyboardConnection::closeAll() {
    commands_.close();
    eventDevice_.reset();
}

void KeyboardConnection::handleDeviceChange(const HotplugEvent& event) {
    if (shutDown_) {
        return;
    }
    const bool foreign =
        event.vendorId && event.productId && !IsKeyboardId(*event.vendorId, *event.productId);
    if (foreign) {
        return;
    }
    const bool anyOpen = commandOpen() || eventOpen();
    if (event.kind == HotplugEvent::Kind::Removal) {
        if (!anyOpen) {
            lastOpenDenied_ = false;  // a refused keyboard that leaves is simply gone
            return;
        }
        if (keyboardStillPresent()) {
            return;
        }
        stopEventWorker();
        closeAll();
        clock_.sleep(kAfterClose);
        return;
    }
    // Arrival. Handles left over from a keyboard that went and came back are dead: close them.
    if (eventThread_ && eventThread_->sawDisconnect()) {
        stopEventWorker();
        closeAll();
    }
    if (commandOpen() && eventOpen()) {
        return;
    }
    clock_.sleep(kArrivalSettle);
    lastOpenDenied_ = false;
    if (!commandOpen()) {
        reopenCommandInterface();
    }
    if (!eventOpen()) {
        reopenEventInterface();
    }
}

void KeyboardConnection::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    {
        std::lock_guard lock(jobsMutex_);
        jobsClosing_ = true;
        jobsChanged_.notify_all();
    }
    if (eventThread_) {
        eventThread_->requestStop();
    }
    sink_.abandonSends();
    clock_.sleep(kStopGrace);
    if (eventThread_) {
        eventThread_->join();
        eventThread_.reset();
    }
    if (jobThread_.joinable()) {
        jobThread_.join();
    }
    reader_.join();
    closeAll();
}

std::future<LinkResult> KeyboardConnection::queueJob(std::function<LinkResult()> work, Done done) {
    std::lock_guard lock(jobsMutex_);
    Job job{std::move(work), std::move(done), {}};
    std::future<LinkResult> future = job.promise.get_future();
    if (jobsClosing_) {
        const LinkResult closed = LinkResult::Failure("the keyboard link is shutting down");
        if (job.done) {
            job.done(closed);
        }
        job.promise.set_value(closed);
        return future;
    }
    jobs_.push_back(std::move(job));
    if (!jobThread_.joinable()) {
        jobThread_ = std::thread([this] { runJobs(); });
    }
    jobsChanged_.notify_all();
    return future;
}

void KeyboardConnection::runJobs() {
    // The start-up read fills the model and its saved copy; a job must see both complete.
    reader_.waitUntilDone();
    for (;;) {
        Job job;
        {
            std::unique_lock lock(jobsMutex_);
            jobsChanged_.wait(lock, [this] { return !jobs_.empty() || jobsClosing_; });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        const LinkResult result = job.work();
        if (job.done) {
            job.done(result);
        }
        job.promise.set_value(result);
    }
}

std::future<LinkResult> KeyboardConnection::applySettings(Done done) {
    return queueJob([this] { return ApplySettings(commands_, model_); }, std::move(done));
}

std::future<LinkResult> KeyboardConnection::factoryReset(Done done) {
    return queueJob(
        [this] {
            auto guard = commands_.lock();
            if (auto r = commands_.factoryReset(); !r) {
                return r;
            }
            if (auto r = ReadAllSettings(commands_, model_); !r) {
                return r;
            }
            auto mask = model_.settings.keyEnableMask();
            std::fill_n(mask.begin(), kResetMaskBytes, std::uint8_t{0xFF});
            return commands_.readKeyEnableMask(model_.settings);
        },
        std::move(done));
}

}  // namespace tavrin
