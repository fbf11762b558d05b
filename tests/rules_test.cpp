// The influence map and the questions asked about the position.
#include <cstdlib>
#include <string>
#include <vector>

#include "testkit/game_fixture.h"

namespace {

using F = Form1;
using Board = F::盤表;
// Squares are written as two digits, file then row: 54 is (5, 4).
using Squares = std::vector<int>;

// Counts per square; row and column 0 are no squares and stay 0.
Board mapOf(const Squares& squares) {
    Board map{};
    for (int s : squares) {
        map[s / 10][s % 10] += 1;
    }
    return map;
}

Squares operator+(Squares a, const Squares& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// What a rook (file and rank) or a bishop (diagonals) on (x, y) reaches on an empty board.
Squares reach(int x, int y, bool diagonal) {
    Squares out;
    for (int i = 1; i <= 9; ++i) {
        for (int j = 1; j <= 9; ++j) {
            if (diagonal ? i != x && std::abs(i - x) == std::abs(j - y) : (i == x) != (j == y)) {
                out.push_back(i * 10 + j);
            }
        }
    }
    return out;
}

class RulesTest : public GameTest {
protected:
    // Puts the kind on each square and rebuilds the map.
    void put(int kind, const Squares& at) {
        for (int s : at) {
            game->将棋盤[s / 10][s % 10] = kind;
        }
        game->駒範囲調査();
    }
};

struct Coverage {
    const char* name;
    int kind;
    Squares at;
    Squares covered;
};

const Squares kGold55 = {54, 44, 64, 56, 45, 65};

// clang-format off
const Coverage kCoverage[] = {
    {"Fu", F::駒_歩, {55}, {54}},
    {"To", F::駒_と, {55}, kGold55},
    {"Kyo", F::駒_香, {55}, {54, 53, 52, 51}},
    {"KyoNari", F::駒_香成, {55}, kGold55},
    {"Kei", F::駒_桂, {55}, {43, 63}},
    {"KeiNari", F::駒_桂成, {55}, kGold55},
    {"Gin", F::駒_銀, {55}, {54, 44, 64, 46, 66}},
    {"GinNari", F::駒_銀成, {55}, kGold55},
    {"Kin", F::駒_金, {55}, kGold55},
    {"Kaku", F::駒_角, {55}, reach(5, 5, true)},
    {"KakuNari", F::駒_角成, {55}, reach(5, 5, true) + Squares{54, 56, 45, 65}},
    {"Hi", F::駒_飛, {55}, reach(5, 5, false)},
    {"HiNari", F::駒_飛成, {55}, reach(5, 5, false) + Squares{44, 64, 46, 66}},
    {"Ou", F::駒_王, {55}, {44, 54, 64, 45, 65, 46, 56, 66}},
    // Every guard of the one-step patterns, on the edge and one square in.
    {"FuEdges", F::駒_歩, {51, 92, 19}, {91, 18}},
    {"KeiEdges", F::駒_桂, {71, 52, 13, 95}, {21, 83}},
    {"GinCorners", F::駒_銀, {11, 91, 19, 99}, {22, 82, 18, 28, 98, 88}},
    {"KinEdges", F::駒_金, {11, 99, 19, 82}, {12, 21, 98, 88, 89, 18, 28, 29, 81, 71, 91, 83, 72, 92}},
    {"OuCorners", F::駒_王, {11, 99, 19, 91}, {21, 12, 22, 88, 98, 89, 18, 28, 29, 81, 82, 92}},
    {"KakuNearEdges", F::駒_角, {28}, reach(2, 8, true)},
    {"KakuNariCorners", F::駒_角成, {11, 99}, reach(1, 1, true) + reach(9, 9, true) + Squares{12, 21, 98, 89}},
    {"HiNariCorners", F::駒_飛成, {11, 99}, reach(1, 1, false) + reach(9, 9, false) + Squares{22, 88}},
};
// clang-format on

} // namespace

// Each row is built over the counts of the row before: stale counts must not survive a rebuild.
TEST_F(RulesTest, PiecesCoverExactlyTheirPattern) {
    for (const Coverage& c : kCoverage) {
        game->将棋盤 = {};
        put(c.kind, c.at);
        EXPECT_EQ(game->勢力盤, mapOf(c.covered)) << c.name;
    }
}

// Only the slider on (5, 5) is surveyed. Blockers stand one, two and three squares away; the
// promoted pieces' extra squares are single steps that a piece standing there does not stop.
TEST_F(RulesTest, RaysStopOnTheFirstOccupiedSquareAndCoverIt) {
    put(F::駒_金, {53, 58, 45, 85, 44});
    put(F::駒_飛成, {55});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(game->勢力盤, mapOf({54, 53, 56, 57, 58, 45, 65, 75, 85, 44, 64, 46, 66}));
    EXPECT_EQ(game->調査_駒範囲数(), 13); // the blockers are covered squares

    game->将棋盤 = {};
    put(F::駒_歩, {33, 64, 28, 88, 54});
    put(F::駒_角成, {55});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(game->勢力盤, mapOf({44, 33, 64, 46, 37, 28, 66, 77, 88, 54, 56, 45, 65}));
}

TEST_F(RulesTest, EveryCoveringStepCounts) {
    put(F::駒_金, {45, 65});
    put(F::駒_歩, {56});
    EXPECT_EQ(game->勢力盤, mapOf({44, 34, 54, 46, 35, 55, 64, 54, 74, 66, 55, 75, 55}));
    EXPECT_EQ(game->調査_駒範囲数(), 10); // (5, 5), covered three times, is one square
    // Surveying one piece only adds: a second survey counts it again.
    game->駒範囲調査_移動駒(5, 6);
    EXPECT_EQ(game->勢力盤[5][5], 4);
}

TEST_F(RulesTest, EmptySquaresAndOtherCodesCoverNothing) {
    for (int code : {F::空桝, F::絵_勢力桝, F::絵_背景, 12, 102, 111, 802, 902, 951, -10}) {
        game->将棋盤[5][5] = code;
        game->駒範囲調査_移動駒(5, 5);
        EXPECT_EQ(game->勢力盤, Board{}) << "code " << code;
    }
}

// 飛 on the diagonal: each file and row is swept by one of them, and nothing reaches the squares
// they stand on.
TEST_F(RulesTest, OccupiedUncoveredSquaresAreNotFree) {
    put(F::駒_飛, {11, 22, 33, 44, 55, 66, 77, 88, 99});
    EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_無);
    EXPECT_EQ(game->調査_駒範囲数(), 72);
    // Lifting the 飛 at either end of the board frees its square alone.
    for (int s : {11, 99}) {
        put(F::空桝, {s});
        EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_有) << s;
        put(F::駒_飛, {s});
    }
}

TEST_F(RulesTest, PromotionByKind) {
    for (int kind : {F::駒_歩, F::駒_香, F::駒_桂, F::駒_銀, F::駒_角, F::駒_飛}) {
        EXPECT_EQ(game->調査_駒成(kind), F::判定_有) << kind;
        EXPECT_EQ(game->成駒種類, kind + 1) << kind;
    }
    for (int kind : {F::駒_金, F::駒_王}) {
        EXPECT_EQ(game->調査_駒成(kind), F::判定_無) << kind;
        EXPECT_EQ(game->成駒種類, F::駒_飛成) << kind; // left from the last promotion
    }
}
