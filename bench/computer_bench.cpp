// The computer's decision and its whole turn on the recording platform.
#include <benchmark/benchmark.h>

#include <initializer_list>
#include <memory>
#include <tuple>

#include "game/form1.h"
#include "testkit/recording_platform.h"

namespace {

using F = Form1;

struct Position {
    std::initializer_list<std::tuple<int, int, int>> pieces;
    int moveNumber;
    // Pieces left in the computer's hand, slots 1..8.
    std::array<int, 9> hand;
};

// Opening: empty board. Mid-game: a dozen pieces, the computer's hand still full. Late: most
// of the board covered, a few pieces left.
const Position kOpening{{}, 0, {0, 9, 2, 2, 2, 2, 1, 1, 1}};
const Position kMidGame{{{F::駒_王, 2, 2},
                         {F::駒_金, 8, 8},
                         {F::駒_銀, 5, 5},
                         {F::駒_歩, 3, 7},
                         {F::駒_桂, 7, 4},
                         {F::駒_香, 9, 9},
                         {F::駒_と, 1, 6},
                         {F::駒_歩, 6, 9},
                         {F::駒_金, 4, 3},
                         {F::駒_銀, 8, 5},
                         {F::駒_歩, 5, 8},
                         {F::駒_桂, 2, 9}},
                        12,
                        {0, 9, 2, 2, 2, 2, 1, 1, 1}};
const Position kLate{{{F::駒_王, 2, 2}, {F::駒_王, 5, 2}, {F::駒_王, 8, 2}, {F::駒_金, 2, 5},
                      {F::駒_金, 5, 5}, {F::駒_金, 8, 5}, {F::駒_銀, 2, 8}, {F::駒_銀, 5, 8},
                      {F::駒_銀, 8, 8}, {F::駒_金, 3, 7}, {F::駒_銀, 7, 7}, {F::駒_歩, 1, 9},
                      {F::駒_歩, 4, 9}, {F::駒_歩, 6, 9}, {F::駒_歩, 9, 9}, {F::駒_桂, 3, 4},
                      {F::駒_桂, 7, 4}, {F::駒_歩, 4, 5}, {F::駒_歩, 6, 5}, {F::駒_香, 9, 6},
                      {F::駒_香, 1, 4}, {F::駒_歩, 4, 2}, {F::駒_歩, 6, 2}, {F::駒_歩, 9, 3},
                      {F::駒_歩, 1, 1}, {F::駒_歩, 9, 1}},
                     26,
                     {0, 3, 0, 1, 1, 0, 1, 1, 0}};

void setUp(F& game, const Position& p) {
    game.Form_Load();
    game.対局モード = F::モード_COM;
    game.人間側 = F::手番_先手;
    game.COM側 = F::手番_後手;
    for (const auto& [kind, x, y] : p.pieces) {
        game.将棋盤[x][y] = kind;
    }
    game.後手持駒 = p.hand;
    game.手数 = p.moveNumber;
    game.最終手数 = p.moveNumber;
    game.手番 = F::手番_後手;
    game.駒範囲調査();
}

void decision(benchmark::State& state, const Position& p) {
    RecordingPlatform screen;
    F game(screen);
    setUp(game, p);
    F::ComDrop drop;
    for (auto _ : state) {
        benchmark::DoNotOptimize(game.chooseDrop(drop));
        benchmark::DoNotOptimize(drop);
    }
}

void wholeTurn(benchmark::State& state, const Position& p) {
    auto screen = std::make_unique<RecordingPlatform>();
    auto game = std::make_unique<F>(*screen);
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh screen each time so that the recording does not grow without end.
        screen = std::make_unique<RecordingPlatform>();
        game = std::make_unique<F>(*screen);
        setUp(*game, p);
        screen->texts.clear();
        state.ResumeTiming();
        game->com_ban();
        benchmark::DoNotOptimize(game->手数);
    }
}

} // namespace

BENCHMARK_CAPTURE(decision, opening, kOpening);
BENCHMARK_CAPTURE(decision, mid_game, kMidGame);
BENCHMARK_CAPTURE(decision, late, kLate);
BENCHMARK_CAPTURE(wholeTurn, opening, kOpening);
BENCHMARK_CAPTURE(wholeTurn, mid_game, kMidGame);
BENCHMARK_CAPTURE(wholeTurn, late, kLate);
