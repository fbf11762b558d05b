// A press that drops a piece and the computer's answer, in the real window on Qt's offscreen
// platform, from the press to the finished repaint.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "testkit/qt_window.h"

namespace {

void pressToRepaint(benchmark::State& state) {
    GameWindow<> window;
    Form1& game = *window.game;
    if (!window.show()) {
        state.SkipWithError("the window was not shown");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        game.CANCEL_Click();
        game.SENTE_Click();
        window.press(11, 9);
        state.ResumeTiming();
        window.press(5, 5);
        window.platform->canvas()->repaint();
        benchmark::DoNotOptimize(game.手数);
    }
    if (game.手数 != 2) {
        state.SkipWithError("the computer did not answer");
    }
}

// One repaint of the whole canvas at the scale factor the process runs at (QT_SCALE_FACTOR):
// run once at 1 and once at 1.5 to compare.
void fullRepaint(benchmark::State& state) {
    GameWindow<> window;
    if (!window.show()) {
        state.SkipWithError("the window was not shown");
        return;
    }
    for (auto _ : state) {
        window.platform->canvas()->repaint();
    }
    state.counters["ratio"] = window.platform->canvas()->ratio();
}

// Drawing calls alone, into the canvas image: a picture, a frame, a status text with its
// shadow.
void drawingCalls(benchmark::State& state) {
    QtPlatform platform;
    Form1 game(platform);
    game.Form_Load();
    for (auto _ : state) {
        game.描画_絵(Form1::駒_金, 5, 5);
        game.描画_桝輪郭(Form1::色_黒, 5, 5);
        game.描画_数値(12, 3.2, 7, 13, 0, 14);
    }
}

// A fresh pick from the hand: its frame drawn and shown; painted_px is the logical area
// repainted per pick.
void pickToRepaint(benchmark::State& state) {
    GameWindow<> window;
    QtPlatform& platform = *window.platform;
    Form1& game = *window.game;
    if (!window.show()) {
        state.SkipWithError("the window was not shown");
        return;
    }
    game.START_Click();
    QCoreApplication::processEvents();
    const qint64 before = platform.canvas()->paintedArea;
    for (auto _ : state) {
        game.選択状態 = 0; // nothing picked: the press is a fresh pick of the pawn
        window.press(11, 2);
        QCoreApplication::processEvents();
    }
    state.counters["painted_px"] =
        benchmark::Counter(static_cast<double>(platform.canvas()->paintedArea - before),
                           benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(pressToRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(drawingCalls)->Unit(benchmark::kMicrosecond);
BENCHMARK(pickToRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
