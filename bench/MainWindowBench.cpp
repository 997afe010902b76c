// The main window's costs: composing one frame, the start of the real program to its first
// painted frame, and its resident memory after start-up.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/Model.h"
#include "ui/main/COstraDlg.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavrin-bench-XXXXXX").string();
    return fs::path(::mkdtemp(pattern.data()));
}

void BM_PaintAllEverythingOpen(benchmark::State& state) {
    tavrin::Model model;
    model.layoutVariant = 1;
    model.settings.setEffectCode(2);  // Wave: direction buttons and both sliders
    tavrin::ProgramPaths paths;
    paths.dataDir = TempFolder();
    paths.skinRoots = {fs::path(TAVRIN_BUILD_PROGRAM_DIR)};
    tavrin::COstraDlg window(model, paths);
    auto& panel = window.state().panel;
    panel.lightCollapsed = panel.gameCollapsed = panel.responseCollapsed = panel.reportCollapsed =
        false;
    window.state().helpOpen = true;
    window.paintAll();  // images decoded once
    for (auto _ : state) {
        window.paintAll();
        benchmark::DoNotOptimize(window.composedImage().constBits());
    }
    fs::remove_all(paths.dataDir);
}
BENCHMARK(BM_PaintAllEverythingOpen)->Unit(benchmark::kMillisecond);

// Runs the program with TAVRIN_BENCH_EXIT set; returns its standard output.
std::string RunProgram(const char* exitWhen, const fs::path& data) {
    const fs::path run = data / "run";
    fs::create_directories(run);
    fs::permissions(run, fs::perms::owner_all);
    std::vector<std::string> env = {
        "QT_QPA_PLATFORM=offscreen", std::string("TAVRIN_BENCH_EXIT=") + exitWhen,
        "XDG_RUNTIME_DIR=" + run.string(), "XDG_CONFIG_HOME=" + (data / "config").string(),
        "HOME=" + data.string()};
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string program = TAVRIN_APP;
    std::string dataDir = (data / "program").string();
    std::vector<std::string> args = {program, "--simulate", "--data-dir", dataDir};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string output;
    if (rc == 0) {
        char buffer[256];
        ssize_t n = 0;
        while ((n = ::read(out[0], buffer, sizeof buffer)) > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::close(out[0]);
    return output;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    const fs::path data = TempFolder();
    for (auto _ : state) {
        RunProgram("first-frame", data);
    }
    fs::remove_all(data);
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_ResidentMemoryAfterStartUp(benchmark::State& state) {
    const fs::path data = TempFolder();
    long kilobytes = 0;
    for (auto _ : state) {
        const std::string out = RunProgram("started", data);
        const auto at = out.find("VmRSS:");
        if (at != std::string::npos) {
            kilobytes = std::strtol(out.c_str() + at + 6, nullptr, 10);
        }
    }
    state.counters["rss_MiB"] = static_cast<double>(kilobytes) / 1024.0;
    fs::remove_all(data);
}
BENCHMARK(BM_ResidentMemoryAfterStartUp)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
