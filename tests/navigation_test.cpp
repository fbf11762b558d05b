// Stepping back and forward through the positions of a match, resuming play from an earlier
// position, and returning to the start.
#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/game_fixture.h"

namespace {

// Hand slot 1..8 holds these kinds, drawn with these pictures.
const int kSlotKind[9] = {0,
                          Form1::駒_歩,
                          Form1::駒_香,
                          Form1::駒_桂,
                          Form1::駒_銀,
                          Form1::駒_金,
                          Form1::駒_角,
                          Form1::駒_飛,
                          Form1::駒_王};
const Picture kSlotPicture[9] = {Picture::KaraMasu,  Picture::SitaHu0,  Picture::SitaKyou0,
                                 Picture::SitaKei0,  Picture::SitaGin0, Picture::SitaKin,
                                 Picture::SitaKaku0, Picture::SitaSya0, Picture::SitaOu};
const char* const kSlotName[9] = {"", "歩", "香", "桂", "銀", "金", "角", "飛", "王"};
const char* const kFileDigit[10] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
const char* const kRowNumeral[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
const Form1::持駒表 kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

int slotOf(int kind) {
    for (int s = 1; s <= 8; ++s) {
        if (kSlotKind[s] == kind) {
            return s;
        }
    }
    return 0;
}

// How a drop on (x, y) is written beside the board: file as 10 - x, then the row.
std::string squareName(int x, int y) {
    return std::string(kFileDigit[10 - x]) + kRowNumeral[y];
}

std::string digitsOf(const std::string& text) {
    std::string d;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            d += c;
        }
    }
    return d;
}

struct Piece {
    int kind, x, y;
};

// The positions of the person-against-person match of `threeDrops`.
struct Position {
    std::vector<Piece> pieces;
    Form1::持駒表 right, left;
    std::vector<std::pair<int, int>> covered;
};

const Position kPositions[4] = {
    {{}, kFullHand, kFullHand, {}},
    // 先手's 歩 on (5, 5) covers the square above it.
    {{{Form1::駒_歩, 5, 5}}, {0, 8, 2, 2, 2, 2, 1, 1, 1}, kFullHand, {{5, 4}}},
    // 後手's 歩 on (2, 8) covers (2, 7).
    {{{Form1::駒_歩, 5, 5}, {Form1::駒_歩, 2, 8}},
     {0, 8, 2, 2, 2, 2, 1, 1, 1},
     {0, 8, 2, 2, 2, 2, 1, 1, 1},
     {{5, 4}, {2, 7}}},
    // 先手's 王 on (8, 2) covers its eight neighbours.
    {{{Form1::駒_歩, 5, 5}, {Form1::駒_歩, 2, 8}, {Form1::駒_王, 8, 2}},
     {0, 8, 2, 2, 2, 2, 1, 1, 0},
     {0, 8, 2, 2, 2, 2, 1, 1, 1},
     {{5, 4}, {2, 7}, {7, 1}, {8, 1}, {9, 1}, {7, 2}, {9, 2}, {7, 3}, {8, 3}, {9, 3}}},
};

class NavigationTest : public GameTest {
protected:
    void threeDrops() {
        game->START_Click();
        dropRight(1, 5, 5);
        dropLeft(1, 2, 8);
        dropRight(8, 8, 2);
        ASSERT_EQ(game->手数, 3);
        clearLog();
    }

    // The person drops the first piece of the right-hand column it still holds on the first
    // empty square nothing covers.
    void dropRightOnFreeSquare() {
        int slot = 1;
        while (slot <= 8 && game->先手持駒[slot] == 0) {
            ++slot;
        }
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                if (game->将棋盤[x][y] == F::空桝 && game->勢力盤[x][y] == 0) {
                    dropRight(slot, x, y);
                    return;
                }
            }
        }
        FAIL() << "no free square";
    }

    void expectRefused(const std::string& title) {
        EXPECT_EQ(screen.sounds, std::vector<std::string>{"禁止"});
        ASSERT_EQ(screen.boxes.size(), 1u);
        EXPECT_TRUE(lastBoxIs("できません", title));
        EXPECT_FALSE(screen.boxes[0].yesNo);
        clearLog();
    }

    // The fields and the screen show position k of `threeDrops`.
    void expectShown(int k) {
        SCOPED_TRACE("position " + std::to_string(k));
        const Position& p = kPositions[k];
        Form1::盤表 board{};
        for (const Piece& piece : p.pieces) {
            board[piece.x][piece.y] = piece.kind;
        }
        EXPECT_EQ(game->手数, k);
        EXPECT_EQ(game->将棋盤, board);
        EXPECT_EQ(game->先手持駒, p.right);
        EXPECT_EQ(game->後手持駒, p.left);

        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                Picture want = Picture::KaraMasu;
                if (board[x][y] != F::空桝) {
                    want = kSlotPicture[slotOf(board[x][y])];
                } else if (std::find(p.covered.begin(), p.covered.end(), std::pair{x, y}) !=
                           p.covered.end()) {
                    want = Picture::KaraMasu2;
                }
                EXPECT_EQ(screen.pictureAt(x, y), static_cast<int>(want)) << x << "," << y;
                EXPECT_EQ(screen.outlineAt(x, y), F::色_緑) << x << "," << y;
            }
        }
        for (int s = 1; s <= 8; ++s) {
            expectHandSquare(11, s + 1, s, p.right[s]);
            expectHandSquare(-1, 9 - s, s, p.left[s]);
        }
        EXPECT_EQ(digitsOf(screen.textIn(13, 3, F::色_白)), std::to_string(k));
    }

    // A hand square shows its kind and count, or an empty square once the slot is used up;
    // its frame is the plain green one.
    void expectHandSquare(int gx, int gy, int slot, int n) {
        SCOPED_TRACE("hand square " + std::to_string(gx) + "," + std::to_string(gy));
        EXPECT_TRUE(screen.hasPicture(gx, gy, n > 0 ? kSlotPicture[slot] : Picture::KaraMasu));
        const int countColumn = gx + 1;
        if (n > 0) {
            EXPECT_EQ(digitsOf(screen.textIn(countColumn, gy, F::色_明紫)), std::to_string(n));
        } else {
            EXPECT_TRUE(screen.textsIn(countColumn, gy).empty());
        }
        EXPECT_EQ(screen.outlineAt(gx, gy), F::色_緑);
    }

    bool areaEmpty(int gx, int gy) const {
        return screen.textsIn(gx, gy).empty() && screen.textsIn(gx + 1, gy).empty();
    }
};

// Outside a match there is nothing to step through: right after start-up, and after "最初"
// has ended a match that was stepped back into with a piece picked.
TEST_F(NavigationTest, BothStepsAreRefusedOutsideAMatch) {
    for (bool cancelled : {false, true}) {
        SCOPED_TRACE(cancelled ? "after 最初" : "after start-up");
        if (cancelled) {
            threeDrops();
            game->REPLAY_Click();
            press(11, 2);
            clearLog();
            game->CANCEL_Click();
            EXPECT_EQ(screen.sounds, std::vector<std::string>{"駒打音"});
            EXPECT_TRUE(screen.boxes.empty());
            EXPECT_EQ(game->選択状態, 0);
            EXPECT_TRUE(areaEmpty(-1, 9));
            EXPECT_TRUE(areaEmpty(13, 2));
            clearLog();
        }
        game->REPLAY_Click();
        expectRefused("戻る");
        game->AFTER_Click();
        expectRefused("進む");
        EXPECT_EQ(game->手数, 0);
        EXPECT_EQ(game->最終手数, 0);
        EXPECT_EQ(game->手番, F::手番_無);
        EXPECT_EQ(game->将棋盤, Form1::盤表{});
        EXPECT_EQ(game->先手持駒, kFullHand);
        EXPECT_EQ(game->後手持駒, kFullHand);
    }
}

TEST_F(NavigationTest, StepsBackToTheStartAndForwardToTheLastDrop) {
    threeDrops();
    expectShown(3);

    for (int k = 2; k >= 0; --k) {
        game->REPLAY_Click();
        expectShown(k);
        // The side to move is the one that makes move k + 1.
        EXPECT_EQ(game->手番, (k + 1) % 2 == 1 ? F::手番_先手 : F::手番_後手);
        EXPECT_EQ(game->最終手数, 3);
        EXPECT_EQ(screen.sounds, std::vector<std::string>{"駒打音"});
        EXPECT_TRUE(screen.boxes.empty());
        clearLog();
    }
    game->REPLAY_Click();
    expectRefused("戻る");
    expectShown(0);
    EXPECT_EQ(game->手番, F::手番_先手);

    for (int k = 1; k <= 3; ++k) {
        game->AFTER_Click();
        expectShown(k);
        EXPECT_EQ(game->手番, (k + 1) % 2 == 1 ? F::手番_先手 : F::手番_後手);
        EXPECT_EQ(screen.sounds, std::vector<std::string>{"駒打音"});
        EXPECT_TRUE(screen.boxes.empty());
        clearLog();
    }
    game->AFTER_Click();
    expectRefused("進む");
    expectShown(3);
}

TEST_F(NavigationTest, RedrawsOnlyTheSquaresThatChange) {
    threeDrops();
    // Forgotten pictures stay forgotten unless the step draws them again.
    for (auto cell : {std::pair{5, 5}, {2, 8}, {11, 2}, {-1, 8}, {11, 9}, {8, 2}}) {
        screen.pictures.erase(cell);
    }
    game->REPLAY_Click();
    EXPECT_EQ(screen.pictureAt(5, 5), -1);
    EXPECT_EQ(screen.pictureAt(2, 8), -1);
    EXPECT_EQ(screen.pictureAt(11, 2), -1);
    EXPECT_EQ(screen.pictureAt(-1, 8), -1);
    EXPECT_TRUE(screen.hasPicture(11, 9, Picture::SitaOu));
    EXPECT_TRUE(screen.hasPicture(8, 2, Picture::KaraMasu));
}

enum class Kind { Person, PersonFirst, ComputerFirst };

const char* const kKindName[] = {"Person", "PersonFirst", "ComputerFirst"};

std::string kindName(Kind kind) {
    return kKindName[static_cast<int>(kind)];
}

class NavigationAreaTest : public NavigationTest, public ::testing::WithParamInterface<Kind> {};

// Whoever made a drop and in whatever kind of match, stepping over it fills or clears the
// area beside the hand column the piece came from.
TEST_P(NavigationAreaTest, DropGoesBesideTheColumnItCameFrom) {
    switch (GetParam()) {
    case Kind::Person:
        threeDrops();
        break;
    case Kind::PersonFirst: // right, left, right, left
        game->SENTE_Click();
        dropRightOnFreeSquare();
        dropRightOnFreeSquare();
        ASSERT_EQ(game->手数, 4);
        break;
    case Kind::ComputerFirst: // left, right, left
        game->GOTE_Click();
        dropRightOnFreeSquare();
        ASSERT_EQ(game->手数, 3);
        break;
    }
    const int last = game->手数;

    while (game->手数 > 0) {
        const int leftBefore = game->取得_全持駒数(F::手番_後手);
        game->REPLAY_Click();
        SCOPED_TRACE("back to " + std::to_string(game->手数));
        if (game->取得_全持駒数(F::手番_後手) > leftBefore) {
            EXPECT_TRUE(areaEmpty(-1, 9));
        } else {
            EXPECT_TRUE(areaEmpty(13, 2));
        }
    }
    for (int k = 1; k <= last; ++k) {
        SCOPED_TRACE("forward to " + std::to_string(k));
        const Form1::盤表 before = game->将棋盤;
        const int leftBefore = game->取得_全持駒数(F::手番_後手);
        game->AFTER_Click();
        int x = 0, y = 0, changed = 0;
        for (int i = 1; i <= 9; ++i) {
            for (int j = 1; j <= 9; ++j) {
                if (game->将棋盤[i][j] != before[i][j]) {
                    x = i, y = j, ++changed;
                }
            }
        }
        ASSERT_EQ(changed, 1);
        const bool fromLeft = game->取得_全持駒数(F::手番_後手) < leftBefore;
        const int ax = fromLeft ? F::結果表示X_後手 : F::結果表示X_先手;
        const int ay = fromLeft ? F::結果表示Y_後手 : F::結果表示Y_先手;
        // Read from the shadow: when slot 1 of the right hand is redrawn after the board, its
        // 34-pixel background tile reaches one pixel into the area, and the recorder counts
        // the face of the file digit, which starts right at the area's edge, as covered.
        EXPECT_EQ(screen.textIn(ax, ay, F::色_黒), squareName(x, y));
        EXPECT_EQ(screen.textIn(ax + 1, ay, F::色_白), kSlotName[slotOf(game->将棋盤[x][y])]);
    }
}

INSTANTIATE_TEST_SUITE_P(Navigation, NavigationAreaTest,
                         ::testing::Values(Kind::Person, Kind::PersonFirst, Kind::ComputerFirst),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                             return kindName(info.param);
                         });

TEST_F(NavigationTest, StepForgetsAPickedPieceAndClearsThePickFrame) {
    threeDrops();
    press(-1, 8); // 後手 picks a 歩
    ASSERT_EQ(game->選択状態, 1);
    ASSERT_EQ(screen.outlineAt(-1, 8), F::色_明紫);
    game->REPLAY_Click();
    EXPECT_EQ(game->選択状態, 0);
    expectShown(2);
    // 先手 to move: a press on a free square drops nothing.
    press(1, 1);
    EXPECT_EQ(game->将棋盤[1][1], F::空桝);

    press(11, 3); // 先手 picks a 香
    ASSERT_EQ(screen.outlineAt(11, 3), F::色_明紫);
    game->AFTER_Click();
    EXPECT_EQ(game->選択状態, 0);
    expectShown(3);
    press(1, 1);
    press(1, 9);
    EXPECT_EQ(game->将棋盤[1][1], F::空桝);
    EXPECT_EQ(game->将棋盤[1][9], F::空桝);
    EXPECT_EQ(game->手数, 3);
}

TEST_F(NavigationTest, DropAfterSteppingBackCutsOffTheOldLine) {
    threeDrops();
    game->REPLAY_Click();
    game->REPLAY_Click();
    ASSERT_EQ(game->手番, F::手番_後手);
    dropLeft(2, 9, 9); // 後手's 香 instead of the 歩 on (2, 8)
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->最終手数, 2);
    clearLog();
    game->AFTER_Click();
    expectRefused("進む");

    game->REPLAY_Click();
    game->AFTER_Click();
    EXPECT_EQ(game->将棋盤[9][9], F::駒_香);
    EXPECT_EQ(game->将棋盤[2][8], F::空桝);
    EXPECT_EQ(game->後手持駒, (Form1::持駒表{0, 9, 1, 2, 2, 2, 1, 1, 1}));
    EXPECT_EQ(screen.textIn(-1, 9, F::色_白), squareName(9, 9));
    EXPECT_EQ(screen.textIn(0, 9, F::色_白), "香");
}

TEST_F(NavigationTest, ComputerToMoveAfterAStepWaitsForThePress) {
    game->SENTE_Click();
    dropRight(1, 5, 5);
    ASSERT_EQ(game->手数, 2);
    const Form1::盤表 answered = game->将棋盤;
    const Form1::持駒表 computerHand = game->後手持駒;
    clearLog();

    game->REPLAY_Click();
    EXPECT_EQ(game->手数, 1);
    EXPECT_EQ(game->最終手数, 2);
    EXPECT_EQ(game->手番, game->COM側);
    EXPECT_EQ(game->後手持駒, kFullHand);
    EXPECT_EQ(piecesInPlay(), 40);
    EXPECT_EQ(screen.sounds, std::vector<std::string>{"駒打音"});
    EXPECT_TRUE(areaEmpty(-1, 9)) << "the computer is not thinking";

    // Any press now starts the computer's turn; from the same position it answers alike.
    press(1, 1);
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->手番, game->人間側);
    EXPECT_EQ(game->将棋盤, answered);
    EXPECT_EQ(game->後手持駒, computerHand);
    EXPECT_EQ(game->先手持駒, (Form1::持駒表{0, 8, 2, 2, 2, 2, 1, 1, 1}));
}

// A step back to the start position opens the match again: any kind may start, from the
// start position and with a record of its own.
class NavigationReopenTest : public NavigationTest,
                             public ::testing::WithParamInterface<std::tuple<Kind, int>> {};

TEST_P(NavigationReopenTest, StartAfterSteppingBackToTheStartBeginsANewRecord) {
    const auto [first, second] = GetParam();
    switch (first) {
    case Kind::Person:
        game->START_Click();
        dropRight(1, 5, 5);
        dropLeft(1, 2, 8);
        break;
    case Kind::PersonFirst:
        game->SENTE_Click();
        dropRight(1, 5, 5);
        break;
    case Kind::ComputerFirst:
        game->GOTE_Click();
        dropRightOnFreeSquare();
        break;
    }
    ASSERT_GE(game->最終手数, 2);
    while (game->手数 > 0) {
        game->REPLAY_Click();
    }
    clearLog();

    switch (second) {
    case 0:
        game->START_Click();
        EXPECT_TRUE(lastBoxIs("先手の番です", " "));
        EXPECT_EQ(game->対局モード, F::モード_人間);
        break;
    case 1:
        game->SENTE_Click();
        EXPECT_TRUE(lastBoxIs("あなたの番です", " "));
        EXPECT_EQ(game->対局モード, F::モード_COM);
        break;
    case 2:
        game->GOTE_Click();
        EXPECT_EQ(game->対局モード, F::モード_COM);
        EXPECT_EQ(game->人間側, F::手番_後手);
        break;
    }
    EXPECT_EQ(count("禁止"), 0);
    const int start = second == 2 ? 1 : 0; // the computer as 先手 has dropped at once
    EXPECT_EQ(game->手数, start);
    EXPECT_EQ(game->最終手数, start);
    EXPECT_EQ(piecesInPlay(), 40);
    EXPECT_EQ(game->取得_全持駒数(F::手番_先手), 20);
    EXPECT_EQ(game->取得_全持駒数(F::手番_後手), 20 - start);
    clearLog();
    game->AFTER_Click();
    expectRefused("進む");

    if (second == 0) {
        // Persons take turns from both columns; no computer answers.
        dropRight(1, 5, 5);
        dropLeft(1, 2, 8);
        EXPECT_EQ(game->手数, 2);
        EXPECT_EQ(game->将棋盤[5][5], F::駒_歩);
        EXPECT_EQ(game->将棋盤[2][8], F::駒_歩);
        EXPECT_EQ(piecesInPlay(), 40);
    }
}

std::string reopenName(const ::testing::TestParamInfo<std::tuple<Kind, int>>& info) {
    const char* const seconds[] = {"Start", "Sente", "Gote"};
    return kindName(std::get<0>(info.param)) + "_Then" + seconds[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Navigation, NavigationReopenTest,
                         ::testing::Combine(::testing::Values(Kind::Person, Kind::PersonFirst,
                                                              Kind::ComputerFirst),
                                            ::testing::Values(0, 1, 2)),
                         reopenName);

} // namespace
