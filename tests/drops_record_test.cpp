// Drop legality, a drop's effect on board and hands, the hand queries, the record of positions.
#include <string>
#include <tuple>
#include <utility>

#include "testkit/game_fixture.h"

namespace {

using F = Form1;

// The kinds of hand slots 1..8, then the promoted kinds.
const int kKinds[] = {F::駒_歩,   F::駒_香,   F::駒_桂,   F::駒_銀,  F::駒_金,
                      F::駒_角,   F::駒_飛,   F::駒_王,   F::駒_と,  F::駒_香成,
                      F::駒_桂成, F::駒_銀成, F::駒_角成, F::駒_飛成};
const F::持駒表 kStartHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

using DropsTest = GameTest;

} // namespace

// A 金 on (5, 5) covers (5, 4) and stands where nothing covers it. No answer depends on the
// kind dropped.
TEST_F(DropsTest, CheckRefusesCoveredOccupiedOffBoardAndSourceSquares) {
    place({{F::駒_金, 5, 5}});
    const F::盤表 board = game->将棋盤;
    const F::盤表 map = game->勢力盤;
    const int Y = F::判定_有, N = F::判定_無;
    const int cases[][5] = {
        {11, 2, 5, 7, Y}, {-1, 8, 1, 1, Y}, {11, 9, 9, 9, Y}, // open
        {11, 2, 5, 4, N}, {-1, 8, 5, 4, N},                   // covered
        {11, 2, 5, 5, N},                                     // occupied
        {11, 2, 0, 5, N}, {11, 2, 5, 0, N}, {-1, 8, 10, 5, N}, {-1, 8, 5, 10, N},
        {5, 7, 5, 7, N},  {4, 7, 5, 7, Y},  {5, 8, 5, 7, Y}, // the source itself
    };
    for (const auto& c : cases) {
        for (int kind : kKinds) {
            EXPECT_EQ(game->移動チェック(c[0], c[1], c[2], c[3], kind), c[4])
                << c[0] << "," << c[1] << " to " << c[2] << "," << c[3] << " kind " << kind;
        }
    }
    EXPECT_EQ(game->将棋盤, board);
    EXPECT_EQ(game->勢力盤, map);
}

// Right-hand column: row r is slot r - 1 of 先手持駒. Left-hand column: row r is slot 9 - r
// of 後手持駒. Influence, move number and turn are left to the caller.
TEST_F(DropsTest, EachHandSquareTakesFromItsOwnSlot) {
    for (int slot = 1; slot <= 8; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        game->Form_Load();
        game->駒移動(11, slot + 1, 3, 4, kKinds[slot - 1]);
        game->駒移動(-1, 9 - slot, 6, 7, kKinds[slot - 1]);
        EXPECT_EQ(game->将棋盤[3][4], kKinds[slot - 1]);
        EXPECT_EQ(game->将棋盤[6][7], kKinds[slot - 1]);
        F::持駒表 want = kStartHand;
        want[slot] -= 1;
        EXPECT_EQ(game->先手持駒, want);
        EXPECT_EQ(game->後手持駒, want);
        EXPECT_EQ(std::tie(game->先手持駒数, game->後手持駒数), std::tuple(19, 19));
        EXPECT_EQ(game->勢力盤, F::盤表{});
        EXPECT_EQ(std::tie(game->手数, game->最終手数, game->手番), std::tuple(0, 0, F::手番_無));
    }
}

TEST_F(DropsTest, HandAndTurnQueries) {
    game->駒移動(11, 3, 5, 5, F::駒_香);
    game->後手持駒[0] = 5; // slot 0 holds no kind and counts in no total
    for (int s = 1; s <= 8; ++s) {
        EXPECT_EQ(game->取得_持駒数(F::手番_先手, s), kStartHand[s] - (s == 2 ? 1 : 0)) << s;
        EXPECT_EQ(game->取得_持駒数(F::手番_後手, s), kStartHand[s]) << s;
    }
    EXPECT_EQ(game->取得_全持駒数(F::手番_先手), 19);
    EXPECT_EQ(game->取得_全持駒数(F::手番_後手), 20);
    // Slots outside the table and other side codes give 0.
    EXPECT_EQ(game->取得_持駒数(F::手番_先手, -1) + game->取得_持駒数(F::手番_後手, 9), 0);
    EXPECT_EQ(game->取得_全持駒数(F::手番_無) + game->取得_全持駒数(2), 0);
    for (const auto& [n, side] :
         {std::pair{0, F::手番_後手}, {1, F::手番_先手}, {40, F::手番_後手}, {41, F::手番_先手}}) {
        EXPECT_EQ(game->手番_取得(n), side) << n;
    }
}

TEST_F(DropsTest, RecordStoresCopiesAndADropCutsOffTheOldLine) {
    const auto expectStored = [&](int n) {
        EXPECT_EQ(game->盤記録[n], game->将棋盤) << n;
        EXPECT_EQ(game->先手持駒記録[n], game->先手持駒) << n;
        EXPECT_EQ(game->後手持駒記録[n], game->後手持駒) << n;
    };
    game->駒移動(11, 2, 1, 1, F::駒_歩);
    game->手順保存();
    expectStored(1);
    game->駒移動(-1, 1, 9, 9, F::駒_王);
    game->手順保存();
    expectStored(2);
    EXPECT_EQ(std::tie(game->手数, game->最終手数), std::tuple(2, 2));
    EXPECT_EQ(game->盤記録[0], F::盤表{});
    EXPECT_EQ(game->先手持駒記録[0], kStartHand);
    EXPECT_EQ(game->後手持駒記録[0], kStartHand);

    // Back to the start, as the navigation leaves it, and a different first drop.
    game->手数 = 0;
    game->将棋盤 = game->盤記録[0];
    game->先手持駒 = game->先手持駒記録[0];
    game->後手持駒 = game->後手持駒記録[0];
    game->駒移動(-1, 7, 4, 4, F::駒_香);
    game->手順保存();
    EXPECT_EQ(std::tie(game->手数, game->最終手数), std::tuple(1, 1));
    expectStored(1);

    // Changing the position afterwards leaves the stored one as it was.
    game->将棋盤[4][4] = F::駒_飛;
    game->後手持駒[2] = 0;
    EXPECT_EQ(game->盤記録[1][4][4], F::駒_香);
    EXPECT_EQ(game->後手持駒記録[1][2], 1);
}

TEST_F(DropsTest, PromotedDropIsRecordedPromoted) {
    game->START_Click();
    dropRight(3, 5, 5, F::ボタン_右);
    ASSERT_EQ(game->手数, 1);
    EXPECT_EQ(game->盤記録[1][5][5], F::駒_桂成);
    EXPECT_EQ(game->先手持駒記録[1][3], 1);
}
