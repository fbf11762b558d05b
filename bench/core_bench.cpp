// The rule engine's hot paths: rebuilding the influence map and checking drops.
#include <benchmark/benchmark.h>

#include <tuple>
#include <vector>

#include "game/form1.h"
#include "testkit/recording_platform.h"

namespace {

using F = Form1;
using Pieces = std::vector<std::tuple<int, int, int>>; // kind, x, y

// Fifteen pieces of mixed kinds, sliders among them, as a match looks half-way through.
const Pieces kMidGame = {
    {F::駒_飛, 2, 7},   {F::駒_角, 7, 7},   {F::駒_香, 9, 9},   {F::駒_歩, 9, 4},
    {F::駒_金, 4, 2},   {F::駒_桂, 5, 6},   {F::駒_銀, 3, 4},   {F::駒_と, 6, 2},
    {F::駒_王, 5, 9},   {F::駒_香成, 1, 1}, {F::駒_角成, 8, 3}, {F::駒_飛成, 4, 8},
    {F::駒_銀成, 7, 5}, {F::駒_桂成, 2, 2}, {F::駒_歩, 6, 8},
};

// All forty pieces of both hands on distinct squares (29 is coprime to 81), every third
// one promoted where it can be.
Pieces crowded() {
    const int set[] = {F::駒_歩, F::駒_歩, F::駒_歩, F::駒_歩, F::駒_歩, F::駒_歩, F::駒_歩,
                       F::駒_歩, F::駒_歩, F::駒_香, F::駒_香, F::駒_桂, F::駒_桂, F::駒_銀,
                       F::駒_銀, F::駒_金, F::駒_金, F::駒_角, F::駒_飛, F::駒_王};
    Pieces pieces;
    for (int k = 0; k < 40; ++k) {
        int kind = set[k % 20];
        if (k % 3 == 0 && kind != F::駒_金 && kind != F::駒_王) {
            kind += 1;
        }
        const int square = (k * 29) % 81;
        pieces.emplace_back(kind, square / 9 + 1, square % 9 + 1);
    }
    return pieces;
}

struct Position {
    RecordingPlatform screen;
    Form1 game{screen};

    explicit Position(const Pieces& pieces) {
        game.Form_Load();
        for (const auto& [kind, x, y] : pieces) {
            game.将棋盤[x][y] = kind;
        }
        game.駒範囲調査();
    }
};

void rebuild(benchmark::State& state, const Pieces& pieces) {
    Position p(pieces);
    for (auto _ : state) {
        p.game.駒範囲調査();
        benchmark::DoNotOptimize(p.game.勢力盤);
        benchmark::ClobberMemory();
    }
}

void BM_RebuildEmptyBoard(benchmark::State& state) {
    rebuild(state, {});
}
void BM_RebuildMidGame(benchmark::State& state) {
    rebuild(state, kMidGame);
}
void BM_RebuildCrowded(benchmark::State& state) {
    rebuild(state, crowded());
}

// What the highlighting of reachable squares asks: every square of the board in turn.
void BM_CheckAllSquaresMidGame(benchmark::State& state) {
    Position p(kMidGame);
    for (auto _ : state) {
        int legal = 0;
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                legal += p.game.移動チェック(11, 2, x, y, F::駒_歩);
            }
        }
        benchmark::DoNotOptimize(legal);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 81);
}

} // namespace

BENCHMARK(BM_RebuildEmptyBoard);
BENCHMARK(BM_RebuildMidGame);
BENCHMARK(BM_RebuildCrowded);
BENCHMARK(BM_CheckAllSquaresMidGame);
