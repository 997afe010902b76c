#include "sim/VirtualKeyboard.h"

#include <algorithm>
#include <cstdio>

#include "model/KeyMapEntryType.h"
#include "model/KeyTables.h"

namespace tavrin {

using namespace protocol;
using std::chrono::milliseconds;
using RealClock = std::chrono::steady_clock;

namespace {

constexpr std::uint8_t kEventKindKey = 1;

std::string Hex(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// How long the host must leave the keyboard alone after a command report: the command's own
// waits plus, for the writes that only ApplySettings sends, its extra wait.
milliseconds GapAfterCommand(std::uint8_t code) {
    switch (code) {
        case kWriteReportInterval:
        case kWriteResponseTime:
        case kWriteLighting:
            return kAfterSimpleWrite + kApplyPartWait;
        case kWriteWinLock:
            return kAfterSimpleWrite;
        case kWriteGameMode:
            return kAfterGameMode + kApplyPartWait;
        case kFactoryResetCommand:
            return kAfterFactoryReset;
        case kWriteDeviceParams:
            return kAfterDeviceParams + kApplyPartWait;
        case kWriteKeyMap:
            return kKeyMapLead;
        case kWriteKeyEnableMask:
            return kKeyEnableMaskLead;
        case kWriteDeviceMacro:
            return kDeviceMacroLead;
        case kWriteDiyTable:
            return kDiyStep;
        case kReadFirmwareInfo:
            return kFirmwareInfoWait;
        case kReadLighting:
            return kReadLightingWait;
        case kReadGameMode:
            return kReadGameModeWait;
        case kReadDiyTable:
            return kDiyStep;
        case kReadDeviceParams:
            return kDeviceParamsWait;
        default:
            return milliseconds(0);
    }
}

milliseconds GapAfterReply(std::uint8_t code) {
    switch (code) {
        case kReadFirmwareInfo:
            return kFirmwareInfoWait;
        case kReadDiyTable:
            return 3 * kDiyStep;  // before data report 0, after it, after data report 1
        case kReadDeviceParams:
            return kDeviceParamsWait;
        default:
            return milliseconds(0);
    }
}

milliseconds GapAfterData(std::uint8_t code, bool last) {
    switch (code) {
        case kWriteKeyMap:
            return last ? kKeyMapTail + kApplyPartWait : milliseconds(0);
        case kWriteKeyEnableMask:
            return kApplyPartWait;
        case kWriteDeviceMacro:
            return last ? kApplyMacroWait : milliseconds(0);
        case kWriteDiyTable:
            return last ? kDiyStep + kApplyPartWait : kDiyStep;
        default:
            return milliseconds(0);
    }
}

// The keyboard's tables go out and come in as whole data payloads; the key-enable mask fills the
// start of its one report.
static_assert(kKeyMapReports * kDataPayloadSize == VirtualKeyboardState::kKeyMapSize);
static_assert(kDeviceMacroReports * kDataPayloadSize == VirtualKeyboardState::kDeviceMacroSize);
static_assert(kDiyTableReports * kDataPayloadSize == VirtualKeyboardState::kDiyTableSize);
static_assert(kKeyEnableMaskReports == 1 &&
              VirtualKeyboardState::kKeyEnableMaskSize <= kDataPayloadSize);

std::uint8_t ExpectedReports(std::uint8_t code) {
    switch (code) {
        case kWriteKeyMap:
            return kKeyMapReports;
        case kWriteKeyEnableMask:
            return kKeyEnableMaskReports;
        case kWriteDeviceMacro:
            return kDeviceMacroReports;
        case kWriteDiyTable:
            return kDiyTableReports;
        default:
            return 0;
    }
}

}  // namespace

const std::vector<std::string>& VirtualKeyboard::Markers() {
    static const std::vector<std::string> markers = {"mi_00", "mi_02&col04", "mi_03"};
    return markers;
}

VirtualKeyboard::VirtualKeyboard(Clock& clock, VirtualKeyboardOptions options)
    : clock_(clock), options_(std::move(options)) {
    if (!options_.stateFile.empty() && std::filesystem::exists(options_.stateFile)) {
        std::string error;
        if (!state_.load(options_.stateFile, error)) {
            stateFileError_ = error + "; starting from the factory state";
        }
    }
    if (options_.gameMode) {
        state_.gameMode() = *options_.gameMode;
    }
}

VirtualKeyboard::~VirtualKeyboard() = default;

bool VirtualKeyboard::plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

unsigned VirtualKeyboard::plugGeneration() const {
    std::lock_guard lock(mutex_);
    return generation_;
}

bool VirtualKeyboard::aliveLocked(const Port& port) const {
    return plugged_ && !port.closed_ && port.generation_ == generation_;
}

bool VirtualKeyboard::alive(const Port& port) const {
    std::lock_guard lock(mutex_);
    return aliveLocked(port);
}

std::shared_ptr<VirtualKeyboard::Port> VirtualKeyboard::open(int interfaceIndex) {
    std::lock_guard lock(mutex_);
    if (!plugged_ || interfaceIndex < 0 || interfaceIndex >= kInterfaceCount) {
        return nullptr;
    }
    auto port = std::make_shared<Port>();
    port->iface_ = interfaceIndex;
    port->generation_ = generation_;
    std::erase_if(ports_, [](const std::weak_ptr<Port>& p) { return p.expired(); });
    ports_.push_back(port);
    return port;
}

void VirtualKeyboard::close(const std::shared_ptr<Port>& port) {
    if (!port) {
        return;
    }
    std::lock_guard lock(mutex_);
    port->closed_ = true;
    port->input_.clear();
    inputChanged_.notify_all();
}

std::size_t VirtualKeyboard::openPorts(int interfaceIndex) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& weak : ports_) {
        if (auto port = weak.lock(); port && port->iface_ == interfaceIndex && aliveLocked(*port)) {
            ++n;
        }
    }
    return n;
}

void VirtualKeyboard::setListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void VirtualKeyboard::setBreachListener(std::function<void(const std::string&)> listener) {
    std::lock_guard lock(mutex_);
    breachListener_ = std::move(listener);
}

void VirtualKeyboard::notify() {
    std::function<void()> listener;
    std::function<void(const std::string&)> breachListener;
    std::vector<std::string> notes;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
        breachListener = breachListener_;
        notes.swap(pendingBreachNotes_);
    }
    if (breachListener) {
        for (const std::string& note : notes) {
            breachListener(note);
        }
    }
    if (listener) {
        listener();
    }
}

void VirtualKeyboard::breach(std::string text) {
    if (!options_.strict) {
        return;
    }
    breaches_.push_back(text);
    pendingBreachNotes_.push_back(std::move(text));
}

void VirtualKeyboard::logReport(HostReport::Kind kind, const Port& port, ConstByteSpan bytes) {
    log_.push_back({kind, port.iface_, clock_.now(), {bytes.begin(), bytes.end()}});
}

void VirtualKeyboard::checkGap(const std::string& what) {
    if (earliestNext_ && clock_.now() < *earliestNext_) {
        const auto short_by =
            std::chrono::duration_cast<std::chrono::microseconds>(*earliestNext_ - clock_.now());
        breach(what + " came " +
               std::to_string(std::chrono::duration<double, std::milli>(short_by).count()) +
               " ms too early after " + gapReason_);
    }
}

void VirtualKeyboard::requireGap(milliseconds gap, std::string reason) {
    earliestNext_ = clock_.now() + gap;
    gapReason_ = std::move(reason);
}

bool VirtualKeyboard::countHostReport() {
    if (!unplugCountdown_) {
        return true;
    }
    if (*unplugCountdown_ == 0) {
        unplugCountdown_.reset();
        unplugLocked();
        return false;
    }
    --*unplugCountdown_;
    return true;
}

HidResult VirtualKeyboard::setFeature(Port& port, ConstByteSpan report) {
    HidResult result;
    {
        std::lock_guard lock(mutex_);
        if (!aliveLocked(port) || !countHostReport()) {
            result = HidResult::Gone();
        } else {
            logReport(HostReport::Kind::SetFeature, port, report);
            if (port.iface_ != kCommandInterface) {
                result = HidResult::Error("this interface takes no feature reports");
            } else if (report.size() != kFeatureReportSize) {
                breach("command report of " + std::to_string(report.size()) + " bytes, " +
                       std::to_string(kFeatureReportSize) + " expected");
                result = HidResult::Error("wrong feature report size");
            } else {
                handleCommand(report);
                result = HidResult::Done(report.size());
            }
        }
    }
    notify();
    return result;
}

void VirtualKeyboard::handleCommand(ConstByteSpan r) {
    const std::uint8_t code = r[kCodeByte];
    checkGap("command " + Hex(code));
    if (writing_) {
        breach("command " + Hex(code) + " while " +
               std::to_string(writing_->expected - writing_->received) + " of " +
               std::to_string(writing_->expected) + " data reports announced by " +
               Hex(writing_->code) + " are missing");
        writing_.reset();
    }
    if (reading_) {
        breach("command " + Hex(code) + " before the reply to " + Hex(reading_->code) +
               " was fetched");
        reading_.reset();
    }
    requireGap(GapAfterCommand(code), "command " + Hex(code));

    bool changed = true;
    switch (code) {
        case kWriteReportInterval:
            state_.reportInterval() = r[kArgByte3];
            break;
        case kWriteWinLock:
            state_.winLock() = static_cast<std::uint8_t>(r[kArgByte2] & 1);
            break;
        case kWriteResponseTime:
            state_.responseTime() = r[kArgByte3];
            break;
        case kWriteLighting:
            std::copy_n(r.begin() + kLightingFirst, VirtualKeyboardState::kLightingSize,
                        state_.lighting().begin());
            break;
        case kWriteGameMode:
            state_.gameMode() = r[kArgByte3];
            break;
        case kWriteDeviceParams:
            std::copy_n(r.begin() + kDeviceParamsFirst, VirtualKeyboardState::kDeviceParamsSize,
                        state_.deviceParams().begin());
            break;
        case kFactoryResetCommand:
            if (r[kArgByte2] != kFactoryResetMarker) {
                breach("factory reset without its marker byte");
                changed = false;
                break;
            }
            state_ = VirtualKeyboardState();
            break;
        case kWriteKeyMap:
        case kWriteKeyEnableMask:
        case kWriteDeviceMacro:
        case kWriteDiyTable: {
            changed = false;
            const std::uint8_t expected = ExpectedReports(code);
            const std::uint8_t index = r[kArgByte3];
            if (r[kCountByte] != expected) {
                breach("command " + Hex(code) + " announces " + std::to_string(r[kCountByte]) +
                       " data reports, " + std::to_string(expected) + " expected");
            }
            const std::size_t limit =
                code == kWriteDeviceMacro ? VirtualKeyboardState::kDeviceMacroCount
                : code == kWriteDiyTable  ? VirtualKeyboardState::kDiyTableCount
                                          : 1;
            if (index >= limit) {
                breach("command " + Hex(code) + " names table " + std::to_string(index));
                break;
            }
            writing_ = WriteTransfer{code, index, expected, 0, {}};
            break;
        }
        case kReadFirmwareInfo:
        case kReadLighting:
        case kReadGameMode:
        case kReadKeyMap:
        case kReadKeyEnableMask:
        case kReadDeviceMacro:
        case kReadDiyTable:
        case kReadDeviceParams:
            changed = false;
            reading_ = ReadRequest{code, r[kArgByte3]};
            break;
        default:
            changed = false;
            breach("unknown command " + Hex(code));
            break;
    }
    if (changed) {
        saveStateLocked();
    }
}

HidResult VirtualKeyboard::getFeature(Port& port, ByteSpan report) {
    HidResult result;
    {
        std::lock_guard lock(mutex_);
        if (!aliveLocked(port) || !countHostReport()) {
            result = HidResult::Gone();
        } else if (port.iface_ != kCommandInterface || report.size() < kFeatureReportSize) {
            result = HidResult::Error("no feature report here");
        } else {
            logReport(HostReport::Kind::GetFeature, port, report.first(1));
            std::fill(report.begin(), report.end(), std::uint8_t{0});
            if (!reading_) {
                checkGap("reply fetch");
                breach("reply fetched without a read command");
            } else {
                const ReadRequest request = *reading_;
                reading_.reset();
                checkGap("reply fetch for " + Hex(request.code));
                requireGap(GapAfterReply(request.code), "the reply to " + Hex(request.code));
                report[kCodeByte] = request.code;
                switch (request.code) {
                    case kReadFirmwareInfo:
                        report[kFirmwareMajorByte] = options_.firmwareMajor;
                        report[kFirmwareMinorByte] = options_.firmwareMinor;
                        break;
                    case kReadLighting:
                        std::copy(state_.lighting().begin(), state_.lighting().end(),
                                  report.begin() + kLightingFirst);
                        break;
                    case kReadGameMode:
                        report[kArgByte3] = state_.gameMode();
                        break;
                    case kReadDeviceParams:
                        std::copy(state_.deviceParams().begin(), state_.deviceParams().end(),
                                  report.begin() + kDeviceParamsFirst);
                        break;
                    default:
                        queueDataReports(request);
                        break;
                }
            }
            result = HidResult::Done(kFeatureReportSize);
        }
    }
    notify();
    return result;
}

void VirtualKeyboard::queueDataReports(const ReadRequest& request) {
    std::vector<std::uint8_t> table;
    switch (request.code) {
        case kReadKeyMap:
            table.assign(state_.keyMap().begin(), state_.keyMap().end());
            break;
        case kReadKeyEnableMask:
            table.assign(kDataPayloadSize, 0);
            std::copy(state_.keyEnableMask().begin(), state_.keyEnableMask().end(), table.begin());
            break;
        case kReadDeviceMacro:
            if (request.index >= VirtualKeyboardState::kDeviceMacroCount) {
                breach("macro slot " + std::to_string(request.index) + " does not exist");
                return;
            }
            table.assign(state_.deviceMacroRecord(request.index).begin(),
                         state_.deviceMacroRecord(request.index).end());
            break;
        case kReadDiyTable:
            if (request.index >= VirtualKeyboardState::kDiyTableCount) {
                breach("DIY table " + std::to_string(request.index) + " does not exist");
                return;
            }
            table.assign(state_.diyTable(request.index).begin(),
                         state_.diyTable(request.index).end());
            break;
        default:
            return;
    }
    std::size_t reports = table.size() / kDataPayloadSize;
    if (dropNext_) {
        dropNext_ = false;
        --reports;
    }
    const auto due = RealClock::now() + delayNext_;
    delayNext_ = milliseconds(0);
    for (std::size_t k = 0; k < reports; ++k) {
        queueInputLocked(kCommandInterface,
                         {table.begin() + static_cast<std::ptrdiff_t>(k * kDataPayloadSize),
                          table.begin() + static_cast<std::ptrdiff_t>((k + 1) * kDataPayloadSize)},
                         due);
    }
}

HidResult VirtualKeyboard::write(Port& port, ConstByteSpan report) {
    HidResult result;
    {
        std::lock_guard lock(mutex_);
        if (!aliveLocked(port) || !countHostReport()) {
            result = HidResult::Gone();
        } else {
            logReport(HostReport::Kind::Write, port, report);
            if (port.iface_ != kCommandInterface) {
                result = HidResult::Error("this interface takes no output reports");
            } else {
                checkGap("data report");
                if (report.size() != kDataReportSize) {
                    breach("data report of " + std::to_string(report.size()) + " bytes, " +
                           std::to_string(kDataReportSize) + " expected");
                }
                if (!writing_) {
                    breach("data report not announced by a command");
                } else {
                    WriteTransfer& t = *writing_;
                    t.data.insert(t.data.end(),
                                  report.begin() + std::min<std::size_t>(1, report.size()),
                                  report.end());
                    ++t.received;
                    const bool last = t.received == t.expected;
                    requireGap(GapAfterData(t.code, last),
                               "data report " + std::to_string(t.received) + " of " + Hex(t.code));
                    if (last) {
                        const WriteTransfer done = std::move(t);
                        writing_.reset();
                        finishWrite(done);
                    }
                }
                result = HidResult::Done(report.size());
            }
        }
    }
    notify();
    return result;
}

void VirtualKeyboard::finishWrite(const WriteTransfer& t) {
    auto take = [&](ByteSpan target) {
        const std::size_t n = std::min(target.size(), t.data.size());
        std::copy_n(t.data.begin(), n, target.begin());
    };
    switch (t.code) {
        case kWriteKeyMap:
            take(state_.keyMap());
            break;
        case kWriteKeyEnableMask:
            take(state_.keyEnableMask());
            break;
        case kWriteDeviceMacro:
            take(state_.deviceMacroRecord(t.index));
            break;
        case kWriteDiyTable:
            take(state_.diyTable(t.index));
            break;
        default:
            return;
    }
    saveStateLocked();
}

HidResult VirtualKeyboard::read(Port& port, ByteSpan buffer, milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto deadline = RealClock::now() + timeout;
    for (;;) {
        if (!aliveLocked(port)) {
            return HidResult::Gone();
        }
        const auto now = RealClock::now();
        if (!port.input_.empty() && port.input_.front().due <= now) {
            const std::vector<std::uint8_t> bytes = std::move(port.input_.front().bytes);
            port.input_.pop_front();
            const std::size_t n = std::min(bytes.size(), buffer.size());
            std::copy_n(bytes.begin(), n, buffer.begin());
            return HidResult::Done(n);
        }
        if (now >= deadline) {
            return HidResult::TimedOut();
        }
        auto until = deadline;
        if (!port.input_.empty()) {
            until = std::min(until, port.input_.front().due);
        }
        inputChanged_.wait_until(lock, until);
    }
}

std::optional<std::vector<std::uint8_t>> VirtualKeyboard::takeInput(Port& port) {
    std::lock_guard lock(mutex_);
    if (!aliveLocked(port) || port.input_.empty() || port.input_.front().due > RealClock::now()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes = std::move(port.input_.front().bytes);
    port.input_.pop_front();
    return bytes;
}

std::optional<RealClock::time_point> VirtualKeyboard::nextInputDue(const Port& port) const {
    std::lock_guard lock(mutex_);
    if (!aliveLocked(port) || port.input_.empty()) {
        return std::nullopt;
    }
    return port.input_.front().due;
}

void VirtualKeyboard::queueInputLocked(int interfaceIndex, std::vector<std::uint8_t> report,
                                       RealClock::time_point due) {
    for (const auto& weak : ports_) {
        if (auto port = weak.lock(); port && port->iface_ == interfaceIndex && aliveLocked(*port)) {
            port->input_.push_back({due, report});
        }
    }
    inputChanged_.notify_all();
}

void VirtualKeyboard::sendInput(int interfaceIndex, std::vector<std::uint8_t> report) {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_) {
            return;
        }
        queueInputLocked(interfaceIndex, std::move(report), RealClock::now());
    }
    notify();
}

void VirtualKeyboard::press(std::uint8_t vk) {
    std::vector<std::uint8_t> event;
    {
        std::lock_guard lock(mutex_);
        for (std::size_t position = 0; position < kMatrixPositionCount; ++position) {
            if (DefaultVkTable[position] != vk) {
                continue;
            }
            const std::size_t entry = 4 * KeyMapIndexOf(position);
            if (entry + kKeyMapEntryTypeByte < VirtualKeyboardState::kKeyMapSize &&
                state_.keyMap()[entry + kKeyMapEntryTypeByte] ==
                    EntryTypeByte(KeyMapEntryType::KeyEvent)) {
                event = {kEventReportId, kEventKindKey, 0, state_.keyMap()[entry]};
            }
            break;
        }
    }
    if (!event.empty()) {
        sendInput(kEventInterface, std::move(event));
    }
}

void VirtualKeyboard::unplugLocked() {
    if (!plugged_) {
        return;
    }
    plugged_ = false;
    ++generation_;
    writing_.reset();
    reading_.reset();
    earliestNext_.reset();
    for (const auto& weak : ports_) {
        if (auto port = weak.lock()) {
            port->input_.clear();
        }
    }
    ports_.clear();
    inputChanged_.notify_all();
}

void VirtualKeyboard::unplug() {
    {
        std::lock_guard lock(mutex_);
        unplugLocked();
    }
    notify();
}

void VirtualKeyboard::plug() {
    {
        std::lock_guard lock(mutex_);
        plugged_ = true;
    }
    notify();
}

void VirtualKeyboard::unplugAfterHostReports(std::size_t reports) {
    std::lock_guard lock(mutex_);
    unplugCountdown_ = reports;
}

void VirtualKeyboard::dropNextDataReport() {
    std::lock_guard lock(mutex_);
    dropNext_ = true;
}

void VirtualKeyboard::delayNextDataReports(milliseconds delay) {
    std::lock_guard lock(mutex_);
    delayNext_ = delay;
}

VirtualKeyboardState VirtualKeyboard::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void VirtualKeyboard::setState(const VirtualKeyboardState& state) {
    std::lock_guard lock(mutex_);
    state_ = state;
    saveStateLocked();
}

std::vector<HostReport> VirtualKeyboard::hostReports() const {
    std::lock_guard lock(mutex_);
    return log_;
}

void VirtualKeyboard::clearHostReports() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

std::vector<std::string> VirtualKeyboard::breaches() const {
    std::lock_guard lock(mutex_);
    return breaches_;
}

std::string VirtualKeyboard::stateFileError() const {
    std::lock_guard lock(mutex_);
    return stateFileError_;
}

void VirtualKeyboard::saveStateLocked() {
    if (options_.stateFile.empty()) {
        return;
    }
    std::string error;
    if (!state_.save(options_.stateFile, error)) {
        stateFileError_ = error;
    }
}

}  // namespace tavrin
