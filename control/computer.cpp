// The computer's turn: try every legal drop from its hand one ply deep, keep the best.
#include <bit>
#include <cstdint>

#include "game/form1.h"

namespace {

// Hand row R of the left column holds slot 9 - R; rows are searched from the king down.
constexpr int kindOfRow(int R) {
    return Form1::kSlotKinds[9 - R];
}

// A set of board squares: bit (X - 1) * 9 + (Y - 1) stands for square (X, Y), so ascending
// bits run in the search order, file by file and row by row within a file.
__extension__ using Squares = unsigned __int128;

constexpr bool onBoard(int X, int Y) {
    return X >= 1 && X <= 9 && Y >= 1 && Y <= 9;
}

constexpr Squares squareBit(int X, int Y) {
    return Squares{1} << ((X - 1) * 9 + (Y - 1));
}

constexpr int countOf(Squares s) {
    return std::popcount(static_cast<std::uint64_t>(s)) +
           std::popcount(static_cast<std::uint64_t>(s >> 64));
}

constexpr int lowestOf(Squares s) {
    const auto low = static_cast<std::uint64_t>(s);
    return low != 0 ? std::countr_zero(low)
                    : 64 + std::countr_zero(static_cast<std::uint64_t>(s >> 64));
}

constexpr int highestOf(Squares s) {
    const auto high = static_cast<std::uint64_t>(s >> 64);
    return high != 0 ? 127 - std::countl_zero(high)
                     : 63 - std::countl_zero(static_cast<std::uint64_t>(s));
}

struct Step {
    int dx;
    int dy;
};

// The squares one set of one-step offsets covers from every square; steps off the board
// cover nothing.
template <std::size_t N>
constexpr std::array<Squares, 81> stepTable(const std::array<Step, N>& steps) {
    std::array<Squares, 81> table{};
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            Squares covered = 0;
            for (const Step& s : steps) {
                if (onBoard(X + s.dx, Y + s.dy)) {
                    covered |= squareBit(X + s.dx, Y + s.dy);
                }
            }
            table[(X - 1) * 9 + (Y - 1)] = covered;
        }
    }
    return table;
}

// Forward is towards row 1 for every piece.
constexpr auto kPawn = stepTable(std::array<Step, 1>{{{0, -1}}});
constexpr auto kKnight = stepTable(std::array<Step, 2>{{{-1, -2}, {1, -2}}});
constexpr auto kSilver =
    stepTable(std::array<Step, 5>{{{0, -1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}}});
constexpr auto kGold =
    stepTable(std::array<Step, 6>{{{0, -1}, {-1, -1}, {1, -1}, {0, 1}, {-1, 0}, {1, 0}}});
constexpr auto kKing = stepTable(
    std::array<Step, 8>{{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}});

// Ray directions. Along a ray the bit index moves by 9 * dx + dy, so a ray runs towards
// higher bits exactly when that is positive.
enum Direction { Up, Down, Right, Left, UpLeft, UpRight, DownLeft, DownRight };
constexpr Step kDirections[8] = {{0, -1},  {0, 1},  {1, 0},  {-1, 0},
                                 {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

constexpr bool towardsHigherBits(Direction d) {
    return 9 * kDirections[d].dx + kDirections[d].dy > 0;
}

// Every square of each ray on an empty board, the start square left out.
constexpr std::array<std::array<Squares, 81>, 8> rayTable() {
    std::array<std::array<Squares, 81>, 8> table{};
    for (int d = 0; d < 8; ++d) {
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                Squares covered = 0;
                for (int x = X + kDirections[d].dx, y = Y + kDirections[d].dy; onBoard(x, y);
                     x += kDirections[d].dx, y += kDirections[d].dy) {
                    covered |= squareBit(x, y);
                }
                table[d][(X - 1) * 9 + (Y - 1)] = covered;
            }
        }
    }
    return table;
}

constexpr auto kRays = rayTable();

// A ray covers every square up to and including the first occupied one: the part of the
// empty-board ray beyond that square is cut off.
template <Direction d> constexpr Squares rayCover(int square, Squares occupied) {
    const Squares ray = kRays[d][square];
    const Squares blockers = ray & occupied;
    if (blockers == 0) {
        return ray;
    }
    const int first = towardsHigherBits(d) ? lowestOf(blockers) : highestOf(blockers);
    return ray & ~kRays[d][first];
}

// What a piece of the kind dropped on the square covers; only the unpromoted kinds of the
// hand are ever tried.
template <int kind> constexpr Squares coverage(int square, Squares occupied) {
    if constexpr (kind == Form1::駒_歩) {
        return kPawn[square];
    } else if constexpr (kind == Form1::駒_香) {
        return rayCover<Up>(square, occupied);
    } else if constexpr (kind == Form1::駒_桂) {
        return kKnight[square];
    } else if constexpr (kind == Form1::駒_銀) {
        return kSilver[square];
    } else if constexpr (kind == Form1::駒_金) {
        return kGold[square];
    } else if constexpr (kind == Form1::駒_角) {
        return rayCover<UpLeft>(square, occupied) | rayCover<UpRight>(square, occupied) |
               rayCover<DownLeft>(square, occupied) | rayCover<DownRight>(square, occupied);
    } else if constexpr (kind == Form1::駒_飛) {
        return rayCover<Up>(square, occupied) | rayCover<Down>(square, occupied) |
               rayCover<Right>(square, occupied) | rayCover<Left>(square, occupied);
    } else {
        static_assert(kind == Form1::駒_王);
        return kKing[square];
    }
}

// The most squares a piece of the kind can cover from any square of an empty board.
template <int kind>
constexpr int kMostCovered = [] {
    int most = 0;
    for (int square = 0; square < 81; ++square) {
        const int n = countOf(coverage<kind>(square, 0));
        most = n > most ? n : most;
    }
    return most;
}();

// The score of a trial drop, from whether it leaves no free square and how many squares it
// newly covers. Long-range kinds are held back early in the match and whenever they would
// cover nothing new.
int trialScore(bool wins, int gain, int kind, int moveNumber) {
    if (wins) {
        return 1000;
    }
    int score = 1 + gain;
    if (kind == Form1::駒_角 || kind == Form1::駒_飛 || kind == Form1::駒_香) {
        if (moveNumber < 15) {
            score -= 100;
        } else if (gain == 0) {
            score -= 100;
        }
    }
    return score;
}

// The position as sets of squares, taken once per turn.
struct Position {
    Squares occupied = 0;
    Squares uncovered = 0; // count 0, occupied or not
    Squares free = 0;      // empty and uncovered: the legal destinations
    int freeCount = 0;
};

// Scores every legal drop of one kind in search order; keeps a drop only when it beats the
// best so far, so the first of equal drops stays.
template <int kind>
bool searchKind(const Position& p, int R, int moveNumber, int& best, Form1::ComDrop& drop) {
    // Skip the kind when none of its drops can beat the best so far: it cannot win, and even
    // covering all it can reach would not score more. Equal scores never replace the best.
    if (p.freeCount - 1 > kMostCovered<kind> &&
        best >= trialScore(false, kMostCovered<kind>, kind, moveNumber)) {
        return false;
    }
    bool chosen = false;
    for (Squares rest = p.free; rest != 0; rest &= rest - 1) {
        const int square = lowestOf(rest);
        const Squares covered = coverage<kind>(square, p.occupied);
        // The drop takes one free square itself; it wins when it covers all the others.
        const bool wins = countOf(covered & p.free) == p.freeCount - 1;
        const int v = trialScore(wins, countOf(covered & p.uncovered), kind, moveNumber);
        if (v > best) {
            best = v;
            chosen = true;
            drop = {R, square / 9 + 1, square % 9 + 1, kind};
        }
    }
    return chosen;
}

template <int R>
bool searchRow(const Position& p, int moveNumber, int& best, Form1::ComDrop& drop) {
    return searchKind<kindOfRow(R)>(p, R, moveNumber, best, drop);
}

using RowSearch = bool (*)(const Position&, int, int&, Form1::ComDrop&);
constexpr RowSearch kRowSearches[9] = {nullptr,      searchRow<1>, searchRow<2>,
                                       searchRow<3>, searchRow<4>, searchRow<5>,
                                       searchRow<6>, searchRow<7>, searchRow<8>};

} // namespace

void Form1::com_ban() {
    if (quit_) {
        return;
    }
    描画_絵(絵_背景, -2, 9);
    描画_絵(絵_背景, -1, 9);
    描画_絵(絵_背景, 0, 9);
    描画_桝輪郭(背景色, -1, 8);
    描画_数値(結果表示X_後手 + 0.1, 結果表示Y_後手 + 0.6, "思考中", 色_黒, 0, 12);
    描画_数値(結果表示X_後手, 結果表示Y_後手 + 0.5, "思考中", 移動結果色, 0, 12);

    // The notice must be on the screen before the search blocks the window.
    platform_.repaintNow();

    ComDrop drop;
    const bool chosen = chooseDrop(drop);
    if (!chosen) {
        // Nothing to drop: take the notice away and leave the position as it is.
        描画_絵(絵_背景, -2, 9);
        描画_絵(絵_背景, -1, 9);
        描画_絵(絵_背景, 0, 9);
        描画_桝輪郭(背景色, -1, 8);
        return;
    }

    描画_手数(手数, 色_白);
    駒移動(-1, drop.row, drop.x, drop.y, drop.kind);
    描画_勢力範囲();
    描画_桝輪郭(色_白, drop.x, drop.y);
    音響("駒打音");
    手順保存();
    描画_手数(手数, 色_白);
    描画_移動結果(結果表示X_後手, 結果表示Y_後手, drop.x, drop.y, drop.kind, 色_白);
    手番 = 手番 * (-1);
    駒範囲調査();
    if (調査_勢力外桝あるか() == 判定_無) {
        終了("ＣＯＭ");
        return;
    }
    if (piecesInHandOfSideToMove() == 0) {
        announceEnd("引き分けです");
    }
}

bool Form1::chooseDrop(ComDrop& drop) {
    移動情報[0] = -99999;
    駒範囲調査();
    // One pass over the board gives all that a trial drop needs: instead of putting each
    // candidate on the board and recounting, count what its coverage adds to these sets.
    Position p;
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            勢力盤_保存[X][Y] = 勢力盤[X][Y];
            if (将棋盤[X][Y] != 空桝) {
                p.occupied |= squareBit(X, Y);
            }
            if (勢力盤[X][Y] == 0) {
                p.uncovered |= squareBit(X, Y);
            }
        }
    }
    p.free = p.uncovered & ~p.occupied;
    p.freeCount = countOf(p.free);
    COM持駒数 = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        if (後手持駒[slot] > 0) {
            COM持駒数 += 後手持駒[slot];
        }
    }
    基準_駒範囲数 = 81 - countOf(p.uncovered);
    if (COM持駒数 <= 0) {
        return false;
    }
    bool chosen = false;
    for (int R = 1; R <= 8; ++R) {
        if (後手持駒[9 - R] <= 0) {
            continue;
        }
        候補駒 = kindOfRow(R);
        chosen = kRowSearches[R](p, 手数, 移動情報[0], drop) || chosen;
    }
    return chosen;
}

int Form1::盤評価(int /*取得駒*/, int 移動駒, int /*移動先X*/, int /*移動先Y*/) {
    const bool wins = 調査_勢力外桝あるか() == 判定_無;
    const int n = 調査_駒範囲数();
    const int gain = 基準_駒範囲数 > n ? 基準_駒範囲数 - n : n - 基準_駒範囲数;
    return trialScore(wins, gain, 移動駒, 手数);
}
