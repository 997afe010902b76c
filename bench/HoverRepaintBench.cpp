// The main window's repaint after a pointer move from one key to another: the move handler and
// the whole composition of the surface with the generated skin, in both keyboard views.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <memory>

#include "model/KeyTables.h"
#include "model/Model.h"
#include "ui/main/COstraDlg.h"

namespace {

using namespace tavrin;

QPoint KeyCentre(std::size_t position) {
    const KeyRect& r = KeyRects104[position];
    return {kKeyboardOriginX + (r.left + r.right) / 2, kKeyboardOriginY + (r.top + r.bottom) / 2};
}

void HoverRepaint(benchmark::State& state, bool diyView) {
    Model model;
    model.layoutVariant = 1;
    std::ranges::copy(DefaultKeyMap, model.settings.keyMap().begin());
    for (std::size_t i = 0; i < 20; ++i) {
        model.keyChangedFlags[i * 5] = 1;  // a picture with changed keys to draw
    }
    if (diyView) {
        model.settings.setEffectCode(51);
        std::ranges::fill(model.settings.diyTable(0), std::uint8_t{0xFF});  // every key lit
    }
    ProgramPaths paths;
    paths.dataDir = TAVRIN_BENCH_PROGRAM_DIR;
    paths.skinRoots = {TAVRIN_BENCH_PROGRAM_DIR};
    COstraDlg window(model, paths);
    window.state().diyView = diyView;
    window.state().panel.lightCollapsed = false;
    window.paintAll();
    const QPoint points[] = {KeyCentre(0), KeyCentre(1)};
    std::size_t i = 0;
    for (auto _ : state) {
        const QPoint p = points[i++ & 1];
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        benchmark::DoNotOptimize(window.composedImage().constBits());
    }
    if (window.composedImage().isNull()) {
        state.SkipWithError("nothing was composed");
    }
}

BENCHMARK_CAPTURE(HoverRepaint, KeymapView, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HoverRepaint, DiyView, true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
