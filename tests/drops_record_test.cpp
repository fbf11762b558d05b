// Drop legality, the effect of a drop on board, hands and screen, and the record of positions.
#include <string>

#include "tests/game_fixture.h"

namespace {

const int kKinds[] = {Form1::駒_歩,   Form1::駒_と, Form1::駒_香,   Form1::駒_香成, Form1::駒_桂,
                      Form1::駒_桂成, Form1::駒_銀, Form1::駒_銀成, Form1::駒_金,   Form1::駒_角,
                      Form1::駒_角成, Form1::駒_飛, Form1::駒_飛成, Form1::駒_王};

// Hand slot 1..8 holds these kinds.
// clang-format off
const int kSlotKind[9] = {0, Form1::駒_歩, Form1::駒_香, Form1::駒_桂, Form1::駒_銀,
                          Form1::駒_金, Form1::駒_角, Form1::駒_飛, Form1::駒_王};
// clang-format on
const int kStartHand[9] = {0, 9, 2, 2, 2, 2, 1, 1, 1};

class DropsTest : public GameTest {
protected:
    // The answer of the check, which must be the same whatever kind is dropped.
    int checkForEveryKind(int fromX, int fromY, int toX, int toY) {
        const int first = game->移動チェック(fromX, fromY, toX, toY, kKinds[0]);
        for (int kind : kKinds) {
            EXPECT_EQ(game->移動チェック(fromX, fromY, toX, toY, kind), first)
                << "kind " << kind << " to (" << toX << "," << toY << ")";
        }
        return first;
    }
};

class RecordTest : public DropsTest {
protected:
    // Whether position n of the record holds the board and both hands as they stand.
    ::testing::AssertionResult storedIsCurrent(int n) {
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                if (game->盤記録[n][x][y] != game->将棋盤[x][y]) {
                    return ::testing::AssertionFailure() << "square " << x << "," << y;
                }
            }
        }
        for (int s = 1; s <= 8; ++s) {
            if (game->先手持駒記録[n][s] != game->先手持駒[s] ||
                game->後手持駒記録[n][s] != game->後手持駒[s]) {
                return ::testing::AssertionFailure() << "slot " << s;
            }
        }
        return ::testing::AssertionSuccess();
    }
};

struct Covering {
    int kind;
    int coveredX, coveredY; // a square the piece on (5, 5) covers
    int openX, openY;       // an empty square next to it that it does not cover
};

} // namespace

TEST_F(DropsTest, CoveredSquaresAreClosedWhateverCoversThem) {
    const Covering cases[] = {
        {F::駒_歩, 5, 4, 5, 6},   {F::駒_と, 5, 6, 4, 6},   {F::駒_香, 5, 1, 5, 9},
        {F::駒_香成, 4, 5, 6, 6}, {F::駒_桂, 4, 3, 5, 4},   {F::駒_桂成, 6, 5, 4, 6},
        {F::駒_銀, 4, 6, 5, 6},   {F::駒_銀成, 5, 4, 6, 6}, {F::駒_金, 4, 4, 4, 6},
        {F::駒_角, 1, 9, 5, 4},   {F::駒_角成, 5, 4, 5, 3}, {F::駒_飛, 9, 5, 4, 4},
        {F::駒_飛成, 6, 6, 7, 7}, {F::駒_王, 6, 6, 5, 7},
    };
    for (const Covering& c : cases) {
        place({{c.kind, 5, 5}});
        SCOPED_TRACE("covering kind " + std::to_string(c.kind));
        for (int fromX : {11, -1}) {
            EXPECT_EQ(checkForEveryKind(fromX, 5, c.coveredX, c.coveredY), F::判定_無);
            EXPECT_EQ(checkForEveryKind(fromX, 5, c.openX, c.openY), F::判定_有);
        }
    }
}

TEST_F(DropsTest, OccupiedSquareNothingCoversIsClosed) {
    place({{F::駒_金, 5, 5}});
    ASSERT_EQ(game->勢力盤[5][5], 0);
    EXPECT_EQ(checkForEveryKind(11, 2, 5, 5), F::判定_無);
}

// The check must refuse these without reading outside the tables.
TEST_F(DropsTest, DestinationsOffTheBoardAreRefused) {
    const std::pair<int, int> offBoard[] = {{0, 5},  {5, 0},   {0, 0},  {10, 5},
                                            {5, 10}, {10, 10}, {0, 10}, {10, 0}};
    for (const auto& [x, y] : offBoard) {
        EXPECT_EQ(checkForEveryKind(11, 2, x, y), F::判定_無) << "(" << x << "," << y << ")";
        EXPECT_EQ(checkForEveryKind(-1, 8, x, y), F::判定_無) << "(" << x << "," << y << ")";
    }
}

TEST_F(DropsTest, DestinationEqualToSourceIsRefused) {
    EXPECT_EQ(checkForEveryKind(5, 5, 5, 5), F::判定_無);
    EXPECT_EQ(checkForEveryKind(4, 5, 5, 5), F::判定_有);
}

TEST_F(DropsTest, CheckChangesNothing) {
    place({{F::駒_角, 3, 3}, {F::駒_王, 7, 7}});
    const Form1::盤表 board = game->将棋盤;
    const Form1::盤表 map = game->勢力盤;
    for (int x = 0; x <= 10; ++x) {
        for (int y = 0; y <= 10; ++y) {
            game->移動チェック(11, 2, x, y, F::駒_飛);
        }
    }
    EXPECT_EQ(game->将棋盤, board);
    EXPECT_EQ(game->勢力盤, map);
}

// Right-hand column: row r is slot r - 1 of 先手持駒. Left-hand column: row r is slot 9 - r
// of 後手持駒.
TEST_F(DropsTest, EveryHandSquareTakesFromItsOwnSlot) {
    for (int slot = 1; slot <= 8; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        game->Form_Load();
        const int kind = kSlotKind[slot];
        game->駒移動(11, slot + 1, 3, 4, kind);
        game->駒移動(-1, 9 - slot, 6, 7, kind);
        EXPECT_EQ(game->将棋盤[3][4], kind);
        EXPECT_EQ(game->将棋盤[6][7], kind);
        for (int s = 1; s <= 8; ++s) {
            const int want = kStartHand[s] - (s == slot ? 1 : 0);
            EXPECT_EQ(game->先手持駒[s], want) << "right slot " << s;
            EXPECT_EQ(game->後手持駒[s], want) << "left slot " << s;
        }
        EXPECT_EQ(game->先手持駒数, 19);
        EXPECT_EQ(game->後手持駒数, 19);
    }
}

TEST_F(DropsTest, DropLeavesInfluenceTurnAndRecordAlone) {
    game->駒移動(11, 9, 5, 5, F::駒_王);
    EXPECT_EQ(game->勢力盤, Form1::盤表{});
    EXPECT_EQ(game->手数, 0);
    EXPECT_EQ(game->最終手数, 0);
    EXPECT_EQ(game->手番, F::手番_無);
    EXPECT_EQ(game->盤記録[0][5][5], F::空桝);
    EXPECT_EQ(game->盤記録[1][5][5], F::空桝);
}

TEST_F(DropsTest, ScreenAfterADropThatLeavesPiecesInTheSlot) {
    // The picked square and the destination carry highlight frames before the drop.
    game->描画_桝輪郭(F::色_白, 11, 2);
    game->描画_桝輪郭(F::色_白, 5, 5);
    game->駒移動(11, 2, 5, 5, F::駒_と);
    EXPECT_TRUE(screen.hasPicture(5, 5, Picture::SitaHu1));
    EXPECT_EQ(screen.outlineAt(5, 5), F::背景色);
    EXPECT_TRUE(screen.hasPicture(11, 2, Picture::SitaHu0));
    EXPECT_EQ(screen.outlineAt(11, 2), F::背景色);
    // The count is rewritten on a cleared cell: only the new figure is left.
    EXPECT_EQ(screen.textIn(12, 2, F::色_明紫), " 8");
    EXPECT_EQ(screen.textIn(12, 2, F::色_黒), " 8");

    game->駒移動(-1, 8, 5, 7, F::駒_歩);
    EXPECT_TRUE(screen.hasPicture(5, 7, Picture::SitaHu0));
    EXPECT_TRUE(screen.hasPicture(-1, 8, Picture::SitaHu0));
    EXPECT_EQ(screen.textIn(0, 8, F::色_明紫), " 8");
}

TEST_F(DropsTest, ScreenAfterTheLastPieceOfASlot) {
    game->描画_桝輪郭(F::色_白, 11, 9);
    game->駒移動(11, 9, 1, 1, F::駒_王);
    game->描画_桝輪郭(F::色_白, -1, 1);
    game->駒移動(-1, 1, 9, 9, F::駒_王);
    for (const auto& [slotX, countX, row, toX, toY] :
         {std::tuple{11, 12, 9, 1, 1}, std::tuple{-1, 0, 1, 9, 9}}) {
        SCOPED_TRACE("column " + std::to_string(slotX));
        EXPECT_TRUE(screen.hasPicture(slotX, row, Picture::KaraMasu));
        EXPECT_EQ(screen.outlineAt(slotX, row), F::背景色);
        EXPECT_TRUE(screen.hasPicture(countX, row, Picture::Haikei));
        EXPECT_TRUE(screen.textsIn(countX, row).empty());
        EXPECT_TRUE(screen.hasPicture(toX, toY, Picture::SitaOu));
        EXPECT_EQ(screen.outlineAt(toX, toY), F::背景色);
    }
}

TEST_F(DropsTest, HandCounts) {
    for (int side : {F::手番_先手, F::手番_後手}) {
        EXPECT_EQ(game->取得_全持駒数(side), 20);
        for (int s = 1; s <= 8; ++s) {
            EXPECT_EQ(game->取得_持駒数(side, s), kStartHand[s]) << side << " slot " << s;
        }
        // Slot 0 holds no kind; slots outside the table are not read.
        for (int s : {0, -1, 9, 100}) {
            EXPECT_EQ(game->取得_持駒数(side, s), 0) << side << " slot " << s;
        }
    }
    for (int side : {F::手番_無, 2, -2}) {
        EXPECT_EQ(game->取得_全持駒数(side), 0) << side;
        EXPECT_EQ(game->取得_持駒数(side, 1), 0) << side;
    }

    game->駒移動(11, 3, 5, 5, F::駒_香);
    EXPECT_EQ(game->取得_持駒数(F::手番_先手, 2), 1);
    EXPECT_EQ(game->取得_全持駒数(F::手番_先手), 19);
    EXPECT_EQ(game->取得_全持駒数(F::手番_後手), 20);

    // Slot 0 is no kind and does not count in the total.
    game->後手持駒[0] = 5;
    EXPECT_EQ(game->取得_全持駒数(F::手番_後手), 20);
}

TEST_F(DropsTest, SideByMoveNumber) {
    EXPECT_EQ(game->手番_取得(0), F::手番_後手);
    EXPECT_EQ(game->手番_取得(1), F::手番_先手);
    EXPECT_EQ(game->手番_取得(2), F::手番_後手);
    EXPECT_EQ(game->手番_取得(40), F::手番_後手);
    EXPECT_EQ(game->手番_取得(41), F::手番_先手);
}

TEST_F(RecordTest, StartPositionIsStored) {
    EXPECT_EQ(game->手数, 0);
    EXPECT_EQ(game->最終手数, 0);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(game->盤記録[0][x][y], F::空桝) << x << "," << y;
        }
    }
    for (int s = 1; s <= 8; ++s) {
        EXPECT_EQ(game->先手持駒記録[0][s], kStartHand[s]) << s;
        EXPECT_EQ(game->後手持駒記録[0][s], kStartHand[s]) << s;
    }
}

TEST_F(RecordTest, EachSaveStoresANewPosition) {
    game->駒移動(11, 2, 5, 5, F::駒_歩);
    game->手順保存();
    EXPECT_TRUE(storedIsCurrent(1));
    // Corners and the last row and file are stored too.
    game->駒移動(-1, 1, 2, 2, F::駒_王);
    game->駒移動(-1, 2, 9, 9, F::駒_飛);
    game->駒移動(11, 8, 1, 9, F::駒_飛成);
    game->駒移動(11, 7, 9, 1, F::駒_角);
    game->手順保存();
    EXPECT_TRUE(storedIsCurrent(2));
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->最終手数, 2);
    EXPECT_EQ(game->盤記録[1][5][5], F::駒_歩);
    EXPECT_EQ(game->盤記録[1][2][2], F::空桝);
    EXPECT_EQ(game->先手持駒記録[1][1], 8);
    EXPECT_EQ(game->後手持駒記録[1][8], 1);
    EXPECT_EQ(game->盤記録[2][2][2], F::駒_王);
    EXPECT_EQ(game->後手持駒記録[2][8], 0);
    EXPECT_EQ(game->盤記録[0][5][5], F::空桝);
    EXPECT_EQ(game->先手持駒記録[0][1], 9);
}

TEST_F(RecordTest, SavingAfterSteppingBackCutsOffTheOldLine) {
    game->駒移動(11, 2, 1, 1, F::駒_歩);
    game->手順保存();
    game->駒移動(-1, 8, 2, 2, F::駒_歩);
    game->手順保存();
    game->駒移動(11, 2, 3, 3, F::駒_歩);
    game->手順保存();
    ASSERT_EQ(game->最終手数, 3);

    // Back to position 1, as the navigation leaves it, then a different second drop.
    game->手数 = 1;
    game->将棋盤 = game->盤記録[1];
    game->先手持駒 = game->先手持駒記録[1];
    game->後手持駒 = game->後手持駒記録[1];
    game->駒移動(-1, 7, 4, 4, F::駒_香);
    game->手順保存();

    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->最終手数, 2);
    EXPECT_TRUE(storedIsCurrent(2));
    EXPECT_EQ(game->盤記録[2][4][4], F::駒_香);
    EXPECT_EQ(game->盤記録[2][2][2], F::空桝);
    EXPECT_EQ(game->後手持駒記録[2][1], 9);
    EXPECT_EQ(game->後手持駒記録[2][2], 1);
}

TEST_F(RecordTest, StoredPositionIsACopy) {
    game->駒移動(11, 2, 5, 5, F::駒_歩);
    game->手順保存();
    game->将棋盤[5][5] = F::駒_飛;
    game->将棋盤[1][1] = F::駒_金;
    game->先手持駒[1] = 0;
    game->後手持駒[3] = 0;
    EXPECT_EQ(game->盤記録[1][5][5], F::駒_歩);
    EXPECT_EQ(game->盤記録[1][1][1], F::空桝);
    EXPECT_EQ(game->先手持駒記録[1][1], 8);
    EXPECT_EQ(game->後手持駒記録[1][3], 2);
}

TEST_F(RecordTest, PromotedDropIsRecordedPromoted) {
    game->START_Click();
    dropRight(3, 5, 5, F::ボタン_右);
    ASSERT_EQ(game->手数, 1);
    EXPECT_EQ(game->将棋盤[5][5], F::駒_桂成);
    EXPECT_EQ(game->盤記録[1][5][5], F::駒_桂成);
    EXPECT_EQ(game->先手持駒記録[1][3], 1);
}
