// Playing with the mouse: picking and dropping, the refusals, whole matches and their end.
#include <string>
#include <utility>
#include <vector>

#include "testkit/game_fixture.h"

namespace {

using Hand = Form1::持駒表;
using Sounds = std::vector<std::string>;
constexpr Hand kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// Everything a refused press must leave as it was.
struct Snapshot {
    Form1::盤表 board;
    Hand first, second;
    int turn, moves, picked;
    bool operator==(const Snapshot&) const = default;
};

struct Drop {
    int slot, x, y, button = 1;
};
// One press of the person and the computer's answer within it.
struct Turn {
    Drop person;
    int kind, x, y;
};

class PlayTest : public GameTest {
protected:
    Snapshot snap() const {
        return {game->将棋盤, game->先手持駒, game->後手持駒,
                game->手番,   game->手数,     game->選択状態};
    }
    std::string area(int gx, int gy) const {
        return screen.textIn(gx, gy, 15) + screen.textIn(gx + 1, gy, 15);
    }
    // The result of the match from box `from` on, then the question whether to go on.
    bool endBoxes(std::size_t from, const std::string& result) const {
        const auto& b = screen.boxes;
        return b.size() == from + 2 && b[from].text == result && b[from].title == "終了" &&
               !b[from].yesNo && b[from + 1].text == "続けますか？" &&
               b[from + 1].title == "再ゲーム" && b[from + 1].yesNo;
    }
    // A match between persons: 先手 drops from the right-hand column, 後手 from the left.
    void play(const std::vector<Drop>& drops) {
        game->START_Click();
        for (std::size_t i = 0; i < drops.size(); ++i) {
            const Drop& d = drops[i];
            i % 2 == 0 ? dropRight(d.slot, d.x, d.y) : dropLeft(d.slot, d.x, d.y);
        }
    }
    // Against the computer: the person's drops and the answers; `moves` drops came before.
    void playTurns(const std::vector<Turn>& turns, int moves) {
        for (const Turn& t : turns) {
            SCOPED_TRACE(moves + 1);
            dropRight(t.person.slot, t.person.x, t.person.y, t.person.button);
            moves += 2;
            ASSERT_EQ(game->将棋盤[t.x][t.y], t.kind);
            EXPECT_EQ(game->手数, moves);
            EXPECT_TRUE(screen.quits > 0 || game->手番 == game->人間側);
        }
    }
};

const char* const kKovalt = "Ｋｏｖａｌｔ";

struct Refusal {
    const char* name;
    int match; // 0 none, 1 persons (先手 to move), 2 persons (後手 to move), 3 computer
    bool pawnOn55, pickPawn, emptySlot; // emptySlot: the pressed hand slot holds nothing
    int gx, gy;
    bool ring;
    const char* text; // nullptr: no box
    const char* title;
};

const Refusal kRefusals[] = {
    {"NoMatch", 0, false, false, false, 5, 5, true, "「対局」で始めて下さい", "開始"},
    {"Occupied", 1, true, false, false, 5, 5, true, "駒の移動はできません", "注意"},
    {"EmptyNothingPicked", 1, false, false, false, 3, 3, false, nullptr, nullptr},
    {"Covered", 1, true, true, false, 5, 4, true, "利き筋に打つ事はできません", "注意"},
    {"OccupiedUncovered", 1, true, true, false, 5, 5, true, nullptr, nullptr},
    {"RightOnGoteTurn", 2, false, false, false, 11, 2, true, "後手の持駒ではありません", kKovalt},
    // Column 11 asks for the side before the emptiness of the slot.
    {"RightEmptyGote", 2, false, false, true, 11, 2, true, "後手の持駒ではありません", kKovalt},
    {"RightEmptySlot", 1, false, false, true, 11, 9, true, nullptr, nullptr},
    {"LeftOnSenteTurn", 1, false, false, false, -1, 8, true, "先手の持駒ではありません", kKovalt},
    // Column -1 asks for emptiness first, and an empty slot is silent.
    {"LeftEmptySente", 1, false, false, true, -1, 8, false, nullptr, nullptr},
    {"LeftAgainstComputer", 3, false, false, false, -1, 4, true, "あなたの持駒ではありません",
     kKovalt},
    // Beside the hands but no hand squares.
    {"RightRowOne", 2, false, false, false, 11, 1, false, nullptr, nullptr},
    {"LeftRowNine", 2, false, false, false, -1, 9, false, nullptr, nullptr},
};

TEST_F(PlayTest, RefusalsSoundAndSayWhyAndChangeNothing) {
    for (const Refusal& c : kRefusals) {
        SCOPED_TRACE(c.name);
        game->Form_Load();
        if (c.match == 1 || c.match == 2) {
            game->START_Click();
            game->手番 = c.match == 1 ? F::手番_先手 : F::手番_後手;
        } else if (c.match == 3) {
            game->SENTE_Click();
        }
        if (c.pawnOn55) {
            place({{F::駒_歩, 5, 5}});
        }
        if (c.emptySlot) {
            (c.gx == 11 ? game->先手持駒[c.gy - 1] : game->後手持駒[9 - c.gy]) = 0;
        }
        if (c.pickPawn) {
            press(11, 2);
            EXPECT_EQ(screen.outlineAt(11, 2), F::色_明紫);
        }
        clearLog();
        const Snapshot before = snap();
        press(c.gx, c.gy);
        EXPECT_TRUE(snap() == before);
        EXPECT_EQ(screen.sounds, c.ring ? Sounds{"禁止"} : Sounds{});
        ASSERT_EQ(screen.boxes.size(), c.text != nullptr ? 1u : 0u);
        EXPECT_TRUE(c.text == nullptr || lastBoxIs(c.text, c.title));
    }
}

TEST_F(PlayTest, PickSurvivesRefusalsAndPressesBesideTheBoard) {
    game->START_Click();
    dropRight(1, 5, 5);
    EXPECT_TRUE(screen.hasPicture(5, 4, Picture::KaraMasu2)) << "shown as covered";
    // (600 - 700) / 495 = -0.2 and (3000 - 100) / 615 = 4.7 round down: column -1, row 4,
    // which is 後手's slot 5, the gold.
    game->Form_MouseDown(1, 0, 600, 3000);
    EXPECT_EQ(screen.outlineAt(-1, 4), F::色_明紫);
    clearLog();
    press(5, 4);  // covered by the pawn
    press(5, 5);  // occupied
    press(13, 6); // empty space beside the board: the mark goes, the pick stays
    EXPECT_EQ(screen.outlineAt(-1, 4), F::桝輪郭色);
    EXPECT_EQ(screen.sounds, (Sounds{"禁止", "禁止"}));
    press(1, 1);
    EXPECT_EQ(game->将棋盤[1][1], F::駒_金);
    EXPECT_EQ(area(-1, 9), "９一金");
}

TEST_F(PlayTest, OnlyTheRightButtonPromotesAndNeverGoldOrKing) {
    struct Row {
        int slot, button, kind;
        const char* shown; // the drop beside the board: file from the right, row, kind
    };
    const Row rows[] = {{1, 2, F::駒_と, "６六と"}, {1, 4, F::駒_歩, "６六歩"},
                        {3, 1, F::駒_桂, "６六桂"}, {6, 2, F::駒_角成, "６六角成"},
                        {5, 2, F::駒_金, "６六金"}, {8, 2, F::駒_王, "６六王"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.shown);
        game->Form_Load();
        game->START_Click();
        clearLog();
        dropRight(r.slot, 4, 6, r.button);
        EXPECT_EQ(game->将棋盤[4][6], r.kind);
        EXPECT_EQ(area(13, 2), r.shown);
        EXPECT_EQ(screen.sounds, Sounds{"駒打音"});
        EXPECT_EQ(game->選択状態, 0);
        EXPECT_EQ(screen.textIn(13, 3, F::色_白), " 1手目");
    }
}

// Rooks on (1, 1) and (2, 2) close rows 1-2 and files 1-2, lances on row 9 files 3-6, the
// king on (8, 4) files 7-9 from row 3 to row 5; a king on (8, 8) and a gold on (8, 6) close
// the rest. With the gold first, a pawn on (9, 9) closes nothing and 後手 wins.
std::vector<Drop> opening(std::vector<Drop> rest) {
    rest.insert(rest.begin(),
                {{7, 1, 1}, {7, 2, 2}, {2, 3, 9}, {2, 4, 9}, {2, 5, 9}, {2, 6, 9}, {8, 8, 4}});
    return rest;
}
const std::vector<Drop> kSenteWins = opening({{8, 8, 8}, {5, 8, 6}});
const std::vector<Drop> kGoteWins = opening({{5, 8, 6}, {1, 9, 9}, {8, 8, 8}});

TEST_F(PlayTest, WinBetweenPersonsAnsweredYesStartsAfresh) {
    screen.readsPerSecond = 4;
    game->LEVEL1_Click();
    play(kGoteWins);
    // A repaint, then one change of the clock's seconds, resting between readings.
    EXPECT_GT(screen.repaints, 0);
    EXPECT_EQ(screen.clockReads, 4);
    EXPECT_GT(screen.rests, 0);
    EXPECT_EQ(screen.sounds.back(), "終局");
    ASSERT_TRUE(endBoxes(1, "後手の勝ちです"));
    EXPECT_EQ(game->レベル, 3);
    EXPECT_EQ(game->先手持駒, kFullHand);
    EXPECT_EQ(game->後手持駒, kFullHand);
    EXPECT_EQ(piecesInPlay(), 40) << "an empty board";
    EXPECT_TRUE(screen.hasPicture(8, 8, Picture::KaraMasu));
    EXPECT_EQ(screen.textIn(13, 3, F::色_白), "") << "no move number";
    press(5, 5);
    EXPECT_TRUE(lastBoxIs("「対局」で始めて下さい", "開始"));
    clearLog();
    play(kSenteWins);
    EXPECT_TRUE(endBoxes(1, "先手の勝ちです"));
}

// All forty pieces go down and free squares remain: pawns fill rows 1 and 2 (row 1 first,
// so each pawn covers only an occupied square), lances and knights on row 3 reach only
// rows 1-2, then silvers, bishops, rooks, golds and kings. (4, 7) is reached by none.
TEST_F(PlayTest, FortyDropsEndInADrawAndNoQuitsWithNothingAfter) {
    std::vector<Drop> drops;
    for (int i = 0; i < 26; ++i) {
        drops.push_back(i < 18 ? Drop{1, i % 9 + 1, i / 9 + 1} : Drop{i < 22 ? 2 : 3, i - 17, 3});
    }
    const Drop rest[] = {{4, 9, 3}, {4, 1, 4}, {4, 3, 4}, {4, 5, 4}, {6, 2, 4},
                         {6, 4, 4}, {7, 6, 4}, {7, 9, 5}, {5, 1, 9}, {5, 3, 9},
                         {5, 5, 9}, {5, 7, 8}, {8, 2, 7}, {8, 8, 9}};
    drops.insert(drops.end(), std::begin(rest), std::end(rest));
    screen.answers = {false};
    play(drops);
    EXPECT_TRUE(endBoxes(1, "引き分けです"));
    EXPECT_EQ(game->手数, 40);
    const Snapshot after = snap();
    press(1, 1); // a piece, which would be refused with a message
    game->START_Click();
    game->GOTE_Click();
    EXPECT_EQ(screen.actionsAfterQuit, 0);
    EXPECT_EQ(screen.quits, 1);
    EXPECT_TRUE(snap() == after);
}

// The computer wins with a rook at move 10, long before move 15. King on (2, 5): the first
// square whose eight neighbours the horse on (5, 5) leaves free. Gold on (4, 2): the first
// square where a gold covers six free squares once the dragon on (8, 7) closes file 8 and
// row 7. The rest follows the same rule, square by square.
TEST_F(PlayTest, PersonFirstComputerWins) {
    game->SENTE_Click();
    clearLog();
    screen.answers = {false};
    playTurns({{{6, 5, 5, 2}, F::駒_王, 2, 5},
               {{7, 8, 7, 2}, F::駒_金, 4, 2},
               {{1, 5, 9, 2}, F::駒_金, 6, 2},
               {{1, 2, 9, 2}, F::駒_銀, 1, 2},
               // Free are (1, 3), (5, 3), (9, 2)-(9, 5): a rook on (9, 3) reaches them all.
               {{2, 7, 9}, F::駒_飛, 9, 3}},
              0);
    EXPECT_TRUE(endBoxes(0, "ＣＯＭの勝ちです"));
}

// The computer moves first, at levels 1 and 3 alike; the person fills the last free square
// at move 12 and the computer does not answer. After the king on (2, 2) and the dragon on
// (8, 4), (2, 6) is the first square where a gold covers six free squares (row 5 to row 7 of
// files 1-3); after the horse on (5, 6), (5, 2) is the next.
TEST_F(PlayTest, ComputerFirstPersonWinsAtLevelsOneAndThree) {
    const std::pair<void (Form1::*)(), int> levels[] = {{&Form1::LEVEL1_Click, 1},
                                                        {&Form1::LEVEL3_Click, 3}};
    for (const auto& [click, level] : levels) {
        SCOPED_TRACE(level);
        (game.get()->*click)();
        ASSERT_EQ(game->レベル, level);
        clearLog();
        game->GOTE_Click();
        ASSERT_EQ(game->将棋盤[2][2], F::駒_王);
        playTurns({{{7, 8, 4, 2}, F::駒_金, 2, 6},
                   {{6, 5, 6, 2}, F::駒_金, 5, 2},
                   {{1, 5, 9, 2}, F::駒_銀, 2, 8},
                   {{2, 9, 9}, F::駒_銀, 6, 3},
                   {{2, 7, 9}, F::駒_桂, 1, 8}},
                  1);
        dropRight(1, 4, 3);
        EXPECT_TRUE(endBoxes(0, "あなたの勝ちです"));
        // Answered Yes: a fresh game in which the computer has not moved.
        EXPECT_EQ(game->手番, F::手番_無);
        EXPECT_EQ(game->後手持駒, kFullHand);
    }
}

// A side to move with nothing in hand ends the match in a draw. Against the computer the
// person always drops from the right-hand pieces and the computer from the left-hand ones.
TEST_F(PlayTest, ASideWithNothingInHandEndsInADraw) {
    for (const bool computerEmpty : {true, false}) {
        SCOPED_TRACE(computerEmpty ? "the computer's hand" : "the person's hand");
        game->GOTE_Click(); // the king on (2, 2)
        (computerEmpty ? game->後手持駒 : game->先手持駒) = computerEmpty ? Hand{} : Hand{0, 1};
        (computerEmpty ? game->後手持駒数 : game->先手持駒数) = computerEmpty ? 0 : 1;
        clearLog();
        dropRight(1, 9, 9); // then the computer's gold on (2, 5) if it has one
        EXPECT_TRUE(endBoxes(0, "引き分けです"));
        EXPECT_EQ(count("駒打音"), computerEmpty ? 1 : 2);
    }
}

} // namespace
