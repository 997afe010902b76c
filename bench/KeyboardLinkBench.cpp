// ReadAllSettings and a full ApplySettings on the real clock against the in-process virtual
// keyboard. The protocol's own waits dominate; what matters is the time spent beyond them:
//   overhead_ms   wall time minus the waits the protocol asked for
//   overhead_pct  the same, in per cent of those waits (should stay under 5)
//   work_ms       wall time outside the sleeps (the link's own work)
//   oversleep_ms  how much longer the sleeps took than asked (the system's timer slack)

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

#include "device/FindKeyboardPath.h"
#include "device/KeyboardCommands.h"
#include "device/SettingsTransfers.h"
#include "device/SteadyClock.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"

namespace {

using namespace tavrin;
using Steady = std::chrono::steady_clock;

class AccountingClock final : public Clock {
public:
    TimePoint now() const override { return inner_.now(); }
    void sleep(std::chrono::milliseconds duration) override {
        const auto start = Steady::now();
        inner_.sleep(duration);
        slept_ += Steady::now() - start;
        requested_ += duration;
    }
    void yield() override { inner_.yield(); }

    void reset() {
        slept_ = {};
        requested_ = {};
    }
    double requestedMs() const {
        return std::chrono::duration<double, std::milli>(requested_).count();
    }
    double sleptMs() const { return std::chrono::duration<double, std::milli>(slept_).count(); }

private:
    SteadyClock inner_;
    Steady::duration slept_{};
    Steady::duration requested_{};
};

struct Link {
    AccountingClock clock;
    VirtualKeyboard keyboard{clock};
    VirtualKeyboardBackend backend{keyboard};
    KeyboardCommands commands{clock};
    Model model;

    Link() {
        FindKeyboardPath(backend, "mi_03", model);
        std::string error;
        commands.attach(backend.open(model.devicePath, error));
    }
};

void Report(benchmark::State& state, AccountingClock& clock, double wallMs) {
    const double iterations = static_cast<double>(state.iterations());
    const double waits = clock.requestedMs() / iterations;
    const double wall = wallMs / iterations;
    state.counters["waits_ms"] = waits;
    state.counters["overhead_ms"] = wall - waits;
    state.counters["overhead_pct"] = 100.0 * (wall - waits) / waits;
    state.counters["work_ms"] = wall - clock.sleptMs() / iterations;
    state.counters["oversleep_ms"] = (clock.sleptMs() - clock.requestedMs()) / iterations;
}

void BM_ReadAllSettings(benchmark::State& state) {
    Link link;
    double wallMs = 0;
    link.clock.reset();
    for (auto _ : state) {
        const auto start = Steady::now();
        const LinkResult result = ReadAllSettings(link.commands, link.model);
        wallMs += std::chrono::duration<double, std::milli>(Steady::now() - start).count();
        if (!result) {
            state.SkipWithError(result.error.c_str());
            return;
        }
    }
    Report(state, link.clock, wallMs);
}
BENCHMARK(BM_ReadAllSettings)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// Every part differs from the saved copy in every round: the model alternates between two
// blocks that differ everywhere the keyboard looks.
void BM_ApplySettingsFull(benchmark::State& state) {
    Link link;
    SettingsBlock a;
    SettingsBlock b;
    for (std::size_t i = 0; i < SettingsBlock::kSize; ++i) {
        a.bytes[i] = static_cast<std::uint8_t>(i);
        b.bytes[i] = static_cast<std::uint8_t>(i + 1);
    }
    bool flip = false;
    link.model.savedSettings = a;
    link.model.settings = b;
    double wallMs = 0;
    link.clock.reset();
    for (auto _ : state) {
        const auto start = Steady::now();
        const LinkResult result = ApplySettings(link.commands, link.model);
        wallMs += std::chrono::duration<double, std::milli>(Steady::now() - start).count();
        if (!result) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        flip = !flip;
        link.model.settings = flip ? a : b;
    }
    Report(state, link.clock, wallMs);
}
BENCHMARK(BM_ApplySettingsFull)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
