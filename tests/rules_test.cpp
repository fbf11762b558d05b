// The influence map and the questions asked about the position.
#include <sstream>
#include <string>
#include <vector>

#include "tests/game_fixture.h"

namespace {

using Board = Form1::盤表;

// Squares are written as two digits, file then row: 54 is (5, 4).
Board mapOf(const std::vector<int>& squares) {
    Board map{};
    for (int s : squares) {
        map[s / 10][s % 10] += 1;
    }
    return map;
}

// Every entry whose count differs, so that a stray extra square fails as well. Row and
// column 0 are no squares and must stay 0.
std::string differences(const Board& got, const Board& want) {
    std::ostringstream out;
    for (int y = 0; y <= 9; ++y) {
        for (int x = 0; x <= 9; ++x) {
            if (got[x][y] != want[x][y]) {
                out << " (" << x << "," << y << ") is " << got[x][y] << " not " << want[x][y];
            }
        }
    }
    return out.str();
}

const std::vector<int> kGold55 = {54, 44, 64, 56, 45, 65};
const std::vector<int> kBishop55 = {44, 33, 22, 11, 64, 73, 82, 91, 46, 37, 28, 19, 66, 77, 88, 99};
const std::vector<int> kRook55 = {54, 53, 52, 51, 56, 57, 58, 59, 45, 35, 25, 15, 65, 75, 85, 95};
const std::vector<int> kRook11 = {12, 13, 14, 15, 16, 17, 18, 19, 21, 31, 41, 51, 61, 71, 81, 91};

std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Coverage {
    const char* name;
    int kind;
    int x;
    int y;
    std::vector<int> squares;
};

// clang-format off
const Coverage kCoverage[] = {
    // Every kind in the open.
    {"Fu", Form1::駒_歩, 5, 5, {54}},
    {"To", Form1::駒_と, 5, 5, kGold55},
    {"Kyo", Form1::駒_香, 5, 5, {54, 53, 52, 51}},
    {"KyoNari", Form1::駒_香成, 5, 5, kGold55},
    {"Kei", Form1::駒_桂, 5, 5, {43, 63}},
    {"KeiNari", Form1::駒_桂成, 5, 5, kGold55},
    {"Gin", Form1::駒_銀, 5, 5, {54, 44, 64, 46, 66}},
    {"GinNari", Form1::駒_銀成, 5, 5, kGold55},
    {"Kin", Form1::駒_金, 5, 5, kGold55},
    {"Kaku", Form1::駒_角, 5, 5, kBishop55},
    {"KakuNari", Form1::駒_角成, 5, 5, kBishop55 + std::vector<int>{54, 56, 45, 65}},
    {"Hi", Form1::駒_飛, 5, 5, kRook55},
    {"HiNari", Form1::駒_飛成, 5, 5, kRook55 + std::vector<int>{44, 64, 46, 66}},
    {"Ou", Form1::駒_王, 5, 5, {44, 54, 64, 45, 65, 46, 56, 66}},
    // Edges and corners: the guards of the short steps.
    {"FuRow1", Form1::駒_歩, 5, 1, {}},
    {"FuCorner19", Form1::駒_歩, 1, 9, {18}},
    {"KyoRow1", Form1::駒_香, 5, 1, {}},
    {"KyoRow2", Form1::駒_香, 9, 2, {91}},
    {"KyoRow9", Form1::駒_香, 1, 9, {18, 17, 16, 15, 14, 13, 12, 11}},
    {"KeiRow1", Form1::駒_桂, 5, 1, {}},
    {"KeiRow2", Form1::駒_桂, 5, 2, {}},
    {"KeiRow3", Form1::駒_桂, 5, 3, {41, 61}},
    {"KeiFile1", Form1::駒_桂, 1, 5, {23}},
    {"KeiFile9", Form1::駒_桂, 9, 5, {83}},
    {"KeiCorner13", Form1::駒_桂, 1, 3, {21}},
    {"GinRow9", Form1::駒_銀, 5, 9, {58, 48, 68}},
    {"GinRow1", Form1::駒_銀, 5, 1, {42, 62}},
    {"GinCorner11", Form1::駒_銀, 1, 1, {22}},
    {"GinFile9", Form1::駒_銀, 9, 5, {94, 84, 86}},
    {"KinCorner11", Form1::駒_金, 1, 1, {12, 21}},
    {"KinCorner99", Form1::駒_金, 9, 9, {98, 88, 89}},
    {"KinRow1", Form1::駒_金, 5, 1, {52, 41, 61}},
    {"KinFile1", Form1::駒_金, 1, 5, {14, 24, 16, 25}},
    {"ToCorner91", Form1::駒_と, 9, 1, {92, 81}},
    {"KyoNariFile9", Form1::駒_香成, 9, 5, {94, 84, 96, 85}},
    {"KeiNariFile8Row2", Form1::駒_桂成, 8, 2, {81, 71, 91, 83, 72, 92}},
    {"KeiNariRow9", Form1::駒_桂成, 5, 9, {58, 48, 68, 49, 69}},
    {"GinNariCorner19", Form1::駒_銀成, 1, 9, {18, 28, 29}},
    {"OuCorner11", Form1::駒_王, 1, 1, {21, 12, 22}},
    {"OuCorner99", Form1::駒_王, 9, 9, {88, 98, 89}},
    {"OuRow1", Form1::駒_王, 5, 1, {42, 52, 62, 41, 61}},
    {"OuFile9", Form1::駒_王, 9, 5, {84, 94, 86, 96, 85}},
    {"KakuCorner11", Form1::駒_角, 1, 1, {22, 33, 44, 55, 66, 77, 88, 99}},
    {"KakuFile9", Form1::駒_角, 9, 5, {84, 73, 62, 51, 86, 77, 68, 59}},
    // One file or row in from the edge every diagonal still has its first square.
    {"KakuFile2Row8", Form1::駒_角, 2, 8, {17, 37, 46, 55, 64, 73, 82, 91, 19, 39}},
    {"KakuNariCorner11", Form1::駒_角成, 1, 1, {12, 21, 22, 33, 44, 55, 66, 77, 88, 99}},
    {"KakuNariCorner99", Form1::駒_角成, 9, 9, {98, 89, 88, 77, 66, 55, 44, 33, 22, 11}},
    {"KakuNariRow9", Form1::駒_角成, 5, 9, {58, 49, 69, 48, 37, 26, 15, 68, 77, 86, 95}},
    {"HiCorner11", Form1::駒_飛, 1, 1, kRook11},
    {"HiCorner99", Form1::駒_飛, 9, 9,
     {98, 97, 96, 95, 94, 93, 92, 91, 89, 79, 69, 59, 49, 39, 29, 19}},
    {"HiNariCorner11", Form1::駒_飛成, 1, 1, kRook11 + std::vector<int>{22}},
    {"HiNariFile9", Form1::駒_飛成, 9, 5,
     {94, 93, 92, 91, 96, 97, 98, 99, 85, 75, 65, 55, 45, 35, 25, 15, 84, 86}},
    {"HiNariRow1", Form1::駒_飛成, 5, 1,
     {52, 53, 54, 55, 56, 57, 58, 59, 41, 31, 21, 11, 61, 71, 81, 91, 42, 62}},
};
// clang-format on

void PrintTo(const Coverage& c, std::ostream* os) {
    *os << c.name;
}

class CoverageTest : public GameTest, public ::testing::WithParamInterface<Coverage> {};

} // namespace

TEST_P(CoverageTest, LonePieceCoversExactlyItsPattern) {
    const Coverage& c = GetParam();
    place({{c.kind, c.x, c.y}});
    EXPECT_EQ(differences(game->勢力盤, mapOf(c.squares)), "");
}

INSTANTIATE_TEST_SUITE_P(Rules, CoverageTest, ::testing::ValuesIn(kCoverage),
                         [](const auto& info) { return std::string(info.param.name); });

using RulesTest = GameTest;

TEST_F(RulesTest, EmptyBoardIsUncovered) {
    place({});
    EXPECT_EQ(differences(game->勢力盤, Board{}), "");
    EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_有);
    EXPECT_EQ(game->調査_駒範囲数(), 0);
}

// Only the slider on (5, 5) is surveyed, so the blockers' own patterns stay out of the map.
TEST_F(RulesTest, StraightRaysStopOnTheFirstOccupiedSquare) {
    place(
        {{F::駒_飛, 5, 5}, {F::駒_歩, 5, 3}, {F::駒_金, 5, 8}, {F::駒_角, 4, 5}, {F::駒_王, 8, 5}});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(differences(game->勢力盤, mapOf({54, 53, 56, 57, 58, 45, 65, 75, 85})), "");
}

TEST_F(RulesTest, DiagonalRaysStopOnTheFirstOccupiedSquare) {
    place(
        {{F::駒_角, 5, 5}, {F::駒_歩, 3, 3}, {F::駒_桂, 6, 4}, {F::駒_飛, 2, 8}, {F::駒_と, 8, 8}});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(differences(game->勢力盤, mapOf({44, 33, 64, 46, 37, 28, 66, 77, 88})), "");
}

// The extra one-step squares of the promoted sliders are steps: an occupied square does
// not stop them, and the rays beyond an adjacent blocker stay closed.
TEST_F(RulesTest, PromotedSlidersWhenHemmedIn) {
    place({{F::駒_飛成, 5, 5},
           {F::駒_歩, 5, 4},
           {F::駒_歩, 5, 6},
           {F::駒_歩, 4, 5},
           {F::駒_歩, 6, 5},
           {F::駒_歩, 4, 4},
           {F::駒_歩, 6, 6}});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(differences(game->勢力盤, mapOf({54, 56, 45, 65, 44, 64, 46, 66})), "");

    place({{F::駒_角成, 5, 5},
           {F::駒_銀, 4, 4},
           {F::駒_銀, 6, 4},
           {F::駒_銀, 4, 6},
           {F::駒_銀, 6, 6},
           {F::駒_銀, 5, 4}});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(differences(game->勢力盤, mapOf({44, 64, 46, 66, 54, 56, 45, 65})), "");
}

TEST_F(RulesTest, LanceRayIncludesTheBlockerButNothingBeyond) {
    place({{F::駒_香, 5, 9}, {F::駒_歩, 5, 6}});
    // The 歩 adds (5, 5); the 香 reaches (5, 6) and stops there.
    EXPECT_EQ(differences(game->勢力盤, mapOf({58, 57, 56, 55})), "");
}

TEST_F(RulesTest, OverlappingPatternsAddUp) {
    place({{F::駒_金, 4, 5}, {F::駒_金, 6, 5}});
    EXPECT_EQ(differences(game->勢力盤, mapOf({44, 34, 54, 46, 35, 55, 64, 54, 74, 66, 55, 75})),
              "");
    EXPECT_EQ(game->勢力盤[5][5], 2);
}

TEST_F(RulesTest, SurveyingOnePieceTwiceCountsItTwice) {
    place({{F::駒_銀, 5, 5}});
    game->勢力盤 = {};
    game->駒範囲調査_移動駒(5, 5);
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(differences(game->勢力盤, mapOf({54, 44, 64, 46, 66, 54, 44, 64, 46, 66})), "");
}

TEST_F(RulesTest, SurveyingAnEmptySquareOrAnUnknownCodeAddsNothing) {
    place({{F::駒_飛, 1, 1}});
    const Board before = game->勢力盤;
    game->駒範囲調査_移動駒(5, 5);
    EXPECT_EQ(differences(game->勢力盤, before), "");
    // Picture codes and numbers next to the kind codes are no kinds.
    for (int code : {F::絵_勢力桝, F::絵_ロゴ, F::絵_背景, 12, 22, 102, 111, 802, 902, 951, -10}) {
        game->将棋盤[5][5] = code;
        game->駒範囲調査_移動駒(5, 5);
        EXPECT_EQ(differences(game->勢力盤, before), "") << "code " << code;
    }
}

// The board keeps no owner: a piece from the left-hand column faces row 1 as well.
TEST_F(RulesTest, LeftHandPieceFacesRowOneToo) {
    game->駒移動(-1, 8, 5, 5, F::駒_歩);
    game->駒移動(-1, 6, 5, 8, F::駒_桂);
    game->駒範囲調査();
    EXPECT_EQ(differences(game->勢力盤, mapOf({54, 46, 66})), "");
}

TEST_F(RulesTest, RebuildDropsStaleCounts) {
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            game->勢力盤[x][y] = 7;
        }
    }
    game->将棋盤[5][5] = F::駒_歩;
    game->駒範囲調査();
    EXPECT_EQ(differences(game->勢力盤, mapOf({54})), "");

    game->将棋盤[5][5] = F::空桝;
    game->駒範囲調査();
    EXPECT_EQ(differences(game->勢力盤, Board{}), "");
}

// A legal drop lands on a square no ray crosses, so it can only add coverage.
TEST_F(RulesTest, LegalDropNeverLowersACount) {
    const int kinds[] = {F::駒_歩,   F::駒_と, F::駒_香,   F::駒_香成, F::駒_桂,
                         F::駒_桂成, F::駒_銀, F::駒_銀成, F::駒_金,   F::駒_角,
                         F::駒_角成, F::駒_飛, F::駒_飛成, F::駒_王};
    place({{F::駒_飛, 2, 7},
           {F::駒_角, 7, 7},
           {F::駒_香, 9, 9},
           {F::駒_歩, 9, 4},
           {F::駒_金, 4, 2},
           {F::駒_桂, 5, 6}});
    const Board board = game->将棋盤;
    const Board before = game->勢力盤;
    int tried = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (board[x][y] != F::空桝 || before[x][y] != 0) {
                continue;
            }
            for (int kind : kinds) {
                game->将棋盤 = board;
                game->将棋盤[x][y] = kind;
                game->駒範囲調査();
                ++tried;
                for (int i = 1; i <= 9; ++i) {
                    for (int j = 1; j <= 9; ++j) {
                        ASSERT_GE(game->勢力盤[i][j], before[i][j])
                            << "kind " << kind << " on (" << x << "," << y << ") lowers (" << i
                            << "," << j << ")";
                    }
                }
            }
        }
    }
    EXPECT_GT(tried, 0);
}

// 飛 on the diagonal: each row and each column is swept by one of them, but nothing reaches
// the squares they stand on.
TEST_F(RulesTest, OccupiedUncoveredSquaresAreNotFree) {
    place({{F::駒_飛, 1, 1},
           {F::駒_飛, 2, 2},
           {F::駒_飛, 3, 3},
           {F::駒_飛, 4, 4},
           {F::駒_飛, 5, 5},
           {F::駒_飛, 6, 6},
           {F::駒_飛, 7, 7},
           {F::駒_飛, 8, 8},
           {F::駒_飛, 9, 9}});
    for (int k = 1; k <= 9; ++k) {
        ASSERT_EQ(game->勢力盤[k][k], 0);
    }
    EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_無);
    EXPECT_EQ(game->調査_駒範囲数(), 72);

    // Lifting one 飛 leaves its own square open.
    game->将棋盤[5][5] = F::空桝;
    game->駒範囲調査();
    EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_有);
}

TEST_F(RulesTest, AnySingleFreeSquareIsFound) {
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            for (auto& column : game->勢力盤) {
                column.fill(1);
            }
            game->勢力盤[x][y] = 0;
            EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_有) << "(" << x << "," << y << ")";
            game->将棋盤[x][y] = F::駒_金;
            EXPECT_EQ(game->調査_勢力外桝あるか(), F::判定_無) << "(" << x << "," << y << ")";
            game->将棋盤[x][y] = F::空桝;
        }
    }
}

TEST_F(RulesTest, CoveredSquareCountsOnceWhateverItsCount) {
    place({{F::駒_歩, 5, 6}, {F::駒_金, 4, 5}, {F::駒_金, 6, 5}});
    ASSERT_EQ(game->勢力盤[5][5], 3);
    // 55 and 54 are shared; the union of the three patterns has ten squares.
    EXPECT_EQ(game->調査_駒範囲数(), 10);

    // A blocker reached by a ray counts as covered.
    place({{F::駒_香, 5, 9}, {F::駒_歩, 5, 1}});
    EXPECT_EQ(game->調査_駒範囲数(), 8);
}

TEST_F(RulesTest, PromotionByKind) {
    const std::pair<int, int> promotes[] = {{F::駒_歩, F::駒_と},   {F::駒_香, F::駒_香成},
                                            {F::駒_桂, F::駒_桂成}, {F::駒_銀, F::駒_銀成},
                                            {F::駒_角, F::駒_角成}, {F::駒_飛, F::駒_飛成}};
    for (const auto& [kind, promoted] : promotes) {
        game->成駒種類 = 0;
        EXPECT_EQ(game->調査_駒成(kind), F::判定_有) << kind;
        EXPECT_EQ(game->成駒種類, promoted) << kind;
    }
    for (int kind : {F::駒_金, F::駒_王}) {
        game->成駒種類 = F::駒_角成;
        EXPECT_EQ(game->調査_駒成(kind), F::判定_無) << kind;
        EXPECT_EQ(game->成駒種類, F::駒_角成) << kind;
    }
}
