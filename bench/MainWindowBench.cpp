// The main window's costs: composing one frame, the start of the real program to its first
// painted frame, and its resident memory after start-up, each at device pixel ratio 1 and 2. The
// frame is composed in this process on one of two offscreen screens, of ratio 1 and 2; the
// program runs with QT_SCALE_FACTOR.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <chrono>
#include <cstdint>
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

// The offscreen screen of device pixel ratio `ratio`, or null.
QScreen* ScreenOfRatio(qreal ratio) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->devicePixelRatio() == ratio) {
            return screen;
        }
    }
    return nullptr;
}

void BM_PaintAllEverythingOpen(benchmark::State& state) {
    const auto ratio = static_cast<qreal>(state.range(0));
    QScreen* screen = ScreenOfRatio(ratio);
    if (screen == nullptr) {
        state.SkipWithError("no screen of that ratio");
        return;
    }
    tavrin::Model model;
    model.layoutVariant = 1;
    model.settings.setEffectCode(2);  // Wave: direction buttons and both sliders
    tavrin::ProgramPaths paths;
    paths.dataDir = TempFolder();
    paths.skinRoots = {fs::path(TAVRIN_BUILD_PROGRAM_DIR)};
    tavrin::COstraDlg window(model, paths);
    window.show();
    window.setScreen(screen);
    for (int i = 0; i < 100 && window.devicePixelRatioF() != ratio; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    auto& panel = window.state().panel;
    panel.lightCollapsed = panel.gameCollapsed = panel.responseCollapsed = panel.reportCollapsed =
        false;
    window.state().helpOpen = true;
    window.paintAll();  // images decoded once
    if (window.composedImage().devicePixelRatio() != ratio) {
        state.SkipWithError("the window did not compose at the screen's ratio");
        return;
    }
    for (auto _ : state) {
        window.paintAll();
        benchmark::DoNotOptimize(window.composedImage().constBits());
    }
    fs::remove_all(paths.dataDir);
}
BENCHMARK(BM_PaintAllEverythingOpen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Runs the program with TAVRIN_BENCH_EXIT set; returns its standard output.
std::string RunProgram(const char* exitWhen, const fs::path& data, std::int64_t ratio) {
    const fs::path run = data / "run";
    fs::create_directories(run);
    fs::permissions(run, fs::perms::owner_all);
    std::vector<std::string> env = {
        "QT_QPA_PLATFORM=offscreen",       std::string("TAVRIN_BENCH_EXIT=") + exitWhen,
        "XDG_RUNTIME_DIR=" + run.string(), "XDG_CONFIG_HOME=" + (data / "config").string(),
        "HOME=" + data.string(),           "QT_SCALE_FACTOR=" + std::to_string(ratio)};
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
        RunProgram("first-frame", data, state.range(0));
    }
    fs::remove_all(data);
}
BENCHMARK(BM_StartToFirstFrame)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

void BM_ResidentMemoryAfterStartUp(benchmark::State& state) {
    const fs::path data = TempFolder();
    long kilobytes = 0;
    for (auto _ : state) {
        const std::string out = RunProgram("started", data, state.range(0));
        const auto at = out.find("VmRSS:");
        if (at != std::string::npos) {
            kilobytes = std::strtol(out.c_str() + at + 6, nullptr, 10);
        }
    }
    state.counters["rss_MiB"] = static_cast<double>(kilobytes) / 1024.0;
    fs::remove_all(data);
}
BENCHMARK(BM_ResidentMemoryAfterStartUp)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    // Two offscreen screens side by side, of device pixel ratio 1 and 2.
    const fs::path config = TempFolder();
    const QString configFile = QString::fromStdString((config / "screens.json").string());
    QFile file(configFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(R"({"screens": [
            {"name": "ratio1", "x": 0, "y": 0, "width": 1920, "height": 1080, "dpr": 1},
            {"name": "ratio2", "x": 1920, "y": 0, "width": 1920, "height": 1080, "dpr": 2}]})") <
                                                0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(configFile));
        return 1;
    }
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + configFile.toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(config);
    return 0;
}
