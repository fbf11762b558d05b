// A press that drops a piece and the computer's answer, in the real window on Qt's offscreen
// platform, from the press to the finished repaint.
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "game/form1.h"
#include "platform/qt_platform.h"

namespace {

QPoint cellPixel(int gx, int gy) {
    return QPoint(qRound((Form1::盤X + (gx + 0.5) * Form1::桝幅) / kTwipsPerPixel),
                  qRound((Form1::盤Y + (gy + 0.5) * Form1::桝高) / kTwipsPerPixel));
}

void pressToRepaint(benchmark::State& state) {
    QtPlatform platform;
    Form1 game(platform);
    platform.connect(game);
    platform.beforeDialog = [](QMessageBox& box) {
        QTimer::singleShot(0, &box, &QMessageBox::accept);
    };
    game.Form_Load();
    platform.window()->show();
    if (!QTest::qWaitForWindowExposed(platform.window())) {
        state.SkipWithError("the window was not shown");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        game.CANCEL_Click();
        game.SENTE_Click();
        QTest::mousePress(platform.canvas(), Qt::LeftButton, Qt::NoModifier, cellPixel(11, 9));
        state.ResumeTiming();
        QTest::mousePress(platform.canvas(), Qt::LeftButton, Qt::NoModifier, cellPixel(5, 5));
        platform.canvas()->repaint();
        benchmark::DoNotOptimize(game.手数);
    }
    if (game.手数 != 2) {
        state.SkipWithError("the computer did not answer");
    }
}

} // namespace

BENCHMARK(pressToRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
