// Playing with the mouse: picking and dropping, the refusals, whole matches and their end.
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/game_fixture.h"

namespace {

using Hand = Form1::持駒表;
constexpr Hand kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// What a drop is written as beside the board: file counted from the right, row, kind.
std::string notation(int x, int y, int kind) {
    static const char* const files[10] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    static const char* const rows[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static const std::map<int, std::string> names = {
        {10, "歩"},    {11, "と"},  {20, "香"},    {21, "香成"}, {30, "桂"},
        {31, "桂成"},  {100, "銀"}, {101, "銀成"}, {110, "金"},  {800, "角"},
        {801, "角成"}, {900, "飛"}, {901, "飛成"}, {950, "王"}};
    return std::string(files[10 - x]) + rows[y] + names.at(kind);
}

constexpr int kSlotKind[9] = {0, 10, 20, 30, 100, 110, 800, 900, 950};

// Everything a refused press must leave as it was.
struct Snapshot {
    Form1::盤表 board;
    Hand first;
    Hand second;
    int turn;
    int moves;
    int picked;
    bool operator==(const Snapshot&) const = default;
};

class PlayTest : public GameTest {
protected:
    Snapshot snap() const {
        return {game->将棋盤, game->先手持駒, game->後手持駒,
                game->手番,   game->手数,     game->選択状態};
    }
    std::string leftArea() const { return screen.textIn(-1, 9, 15) + screen.textIn(0, 9, 15); }
    std::string rightArea() const { return screen.textIn(13, 2, 15) + screen.textIn(14, 2, 15); }
    bool boxesAre(std::size_t from, const std::string& result) const {
        return screen.boxes.size() == from + 2 && screen.boxes[from].text == result &&
               screen.boxes[from].title == "終了" && !screen.boxes[from].yesNo &&
               screen.boxes[from + 1].text == "続けますか？" &&
               screen.boxes[from + 1].title == "再ゲーム" && screen.boxes[from + 1].yesNo;
    }
};

TEST_F(PlayTest, PressPositionsRoundTowardsMinusInfinity) {
    game->START_Click();
    dropRight(1, 9, 9);
    // (600 - 700) / 495 = -0.2 and (3000 - 100) / 615 = 4.7: column -1, row 4, slot 5.
    game->Form_MouseDown(1, 0, 600, 3000);
    EXPECT_EQ(game->選択状態, 1);
    EXPECT_EQ(game->移動情報[1], -1);
    EXPECT_EQ(game->移動情報[2], 4);
    EXPECT_EQ(game->移動情報[6], F::駒_金);
    EXPECT_EQ(screen.outlineAt(-1, 4), F::色_明紫);
    // One twip left of the board origin is still column -1; the new pick replaces the old.
    game->Form_MouseDown(1, 0, 699, 100 + 8.5 * 615);
    EXPECT_EQ(game->移動情報[2], 8);
    EXPECT_EQ(game->移動情報[6], F::駒_歩);
    EXPECT_EQ(screen.outlineAt(-1, 4), F::桝輪郭色);
    EXPECT_EQ(screen.outlineAt(-1, 8), F::色_明紫);
    game->Form_MouseDown(1, 0, 700 + 5.5 * 495, 99); // one twip above row 0: row -1
    EXPECT_EQ(game->選択状態, 1);
    press(5, 5);
    EXPECT_EQ(game->将棋盤[5][5], F::駒_歩);
    EXPECT_EQ(game->後手持駒[1], 8);
}

struct RefusalCase {
    const char* name;
    int match; // 0 none, 1 persons, 2 computer second, 3 computer first
    int turn;  // side to move between persons, 0 for 先手
    bool pawnOn55;
    int pickRow;    // row of column 11 picked first, 0 for none
    int emptyRight; // slot of 先手持駒 emptied first, 0 for none
    int emptyLeft;  // the same for 後手持駒
    int gx;
    int gy;
    bool ring;
    const char* text; // nullptr: no box
    const char* title;
};

class Refusal : public PlayTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusal, SoundMessageAndNothingChanged) {
    const auto& c = GetParam();
    if (c.match == 1) {
        game->START_Click();
        game->手番 = c.turn == 0 ? F::手番_先手 : c.turn;
    } else if (c.match == 2) {
        game->SENTE_Click();
    } else if (c.match == 3) {
        game->GOTE_Click(); // the computer's king goes to (2, 2)
    }
    if (c.pawnOn55) {
        place({{F::駒_歩, 5, 5}});
    }
    if (c.emptyRight != 0) {
        game->先手持駒[c.emptyRight] = 0;
    }
    if (c.emptyLeft != 0) {
        game->後手持駒[c.emptyLeft] = 0;
    }
    if (c.pickRow != 0) {
        press(11, c.pickRow);
        ASSERT_EQ(game->選択状態, 1);
    }
    clearLog();
    const Snapshot before = snap();
    press(c.gx, c.gy);

    EXPECT_TRUE(snap() == before);
    EXPECT_EQ(screen.sounds,
              c.ring ? std::vector<std::string>{"禁止"} : std::vector<std::string>{});
    if (c.text == nullptr) {
        EXPECT_TRUE(screen.boxes.empty());
    } else {
        ASSERT_EQ(screen.boxes.size(), 1u);
        EXPECT_TRUE(lastBoxIs(c.text, c.title));
    }
}

const char* const kNoMatch = "「対局」で始めて下さい";
const char* const kNotMoving = "駒の移動はできません";
const char* const kCovered = "利き筋に打つ事はできません";
const char* const kKovalt = "Ｋｏｖａｌｔ";
const int kGote = Form1::手番_後手;

INSTANTIATE_TEST_SUITE_P(
    PlayTest, Refusal,
    ::testing::Values(
        RefusalCase{"NoMatchOnBoard", 0, 0, false, 0, 0, 0, 5, 5, true, kNoMatch, "開始"},
        RefusalCase{"OccupiedNothingPicked", 1, 0, true, 0, 0, 0, 5, 5, true, kNotMoving, "注意"},
        RefusalCase{"CoveredSquare", 1, 0, true, 2, 0, 0, 5, 4, true, kCovered, "注意"},
        RefusalCase{"OccupiedUncovered", 1, 0, true, 2, 0, 0, 5, 5, true, nullptr, nullptr},
        RefusalCase{"RightOnGoteTurn", 1, kGote, false, 0, 0, 0, 11, 2, true,
                    "後手の持駒ではありません", kKovalt},
        // Column 11 asks for the side before the emptiness of the slot.
        RefusalCase{"RightEmptyOnGoteTurn", 1, kGote, false, 0, 1, 0, 11, 2, true,
                    "後手の持駒ではありません", kKovalt},
        RefusalCase{"RightEmptySlot", 1, 0, false, 0, 8, 0, 11, 9, true, nullptr, nullptr},
        RefusalCase{"LeftOnSenteTurn", 1, 0, false, 0, 0, 0, -1, 8, true,
                    "先手の持駒ではありません", kKovalt},
        // Column -1 asks for emptiness first, and an empty slot is silent.
        RefusalCase{"LeftEmptyOnSenteTurn", 1, 0, false, 0, 0, 1, -1, 8, false, nullptr, nullptr},
        RefusalCase{"LeftEmptySlot", 1, kGote, false, 0, 0, 8, -1, 1, false, nullptr, nullptr},
        RefusalCase{"LeftAgainstComputer", 2, 0, false, 0, 0, 0, -1, 4, true,
                    "あなたの持駒ではありません", kKovalt},
        RefusalCase{"LeftAgainstComputerAsSecond", 3, 0, false, 0, 0, 0, -1, 8, true,
                    "あなたの持駒ではありません", kKovalt},
        // Squares beside the hands that are no hand squares: nothing happens.
        RefusalCase{"RightRowOne", 1, kGote, false, 0, 0, 0, 11, 1, false, nullptr, nullptr},
        RefusalCase{"LeftRowNine", 1, kGote, false, 0, 0, 0, -1, 9, false, nullptr, nullptr},
        RefusalCase{"EmptySquareNothingPicked", 1, 0, false, 0, 0, 0, 3, 3, false, nullptr,
                    nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayTest, PickSurvivesRefusedDrops) {
    game->START_Click();
    dropRight(1, 5, 5); // covers (5, 4)
    press(-1, 4);       // 後手's gold
    press(5, 4);
    EXPECT_TRUE(lastBoxIs(kCovered, "注意"));
    press(5, 5);
    EXPECT_EQ(game->選択状態, 1);
    press(1, 1);
    EXPECT_EQ(game->将棋盤[1][1], F::駒_金);
    EXPECT_EQ(game->後手持駒[5], 1);
    EXPECT_EQ(game->後手持駒数, 19);
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->手番, F::手番_先手);
    EXPECT_EQ(leftArea(), "９一金");
}

TEST_F(PlayTest, PressBesideTheBoardRemovesTheMarksAndKeepsThePick) {
    game->START_Click();
    press(11, 2);
    EXPECT_EQ(screen.outlineAt(11, 2), F::色_明紫);
    press(13, 6);
    EXPECT_EQ(screen.outlineAt(11, 2), F::桝輪郭色);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(screen.outlineAt(x, y), F::桝輪郭色);
        }
    }
    EXPECT_EQ(game->選択状態, 1);
    EXPECT_TRUE(screen.sounds.empty());
    press(3, 3);
    EXPECT_EQ(game->将棋盤[3][3], F::駒_歩);
    EXPECT_EQ(game->先手持駒[1], 8);
}

// Hand slot of 先手 and mouse button (1 left, 2 right, 4 middle).
class Promotion : public PlayTest, public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(Promotion, OnlyTheRightButtonPromotesAndNeverGoldOrKing) {
    const auto [slot, button] = GetParam();
    const int base = kSlotKind[slot];
    const bool promotes = button == F::ボタン_右 && base != F::駒_金 && base != F::駒_王;
    const int kind = promotes ? base + 1 : base;
    game->START_Click();
    dropRight(slot, 4, 6, button);
    EXPECT_EQ(game->将棋盤[4][6], kind);
    EXPECT_EQ(game->盤記録[1][4][6], kind);
    EXPECT_EQ(game->先手持駒[slot], kFullHand[slot] - 1);
    EXPECT_EQ(rightArea(), notation(4, 6, kind));
}

INSTANTIATE_TEST_SUITE_P(PlayTest, Promotion,
                         ::testing::Combine(::testing::Range(1, 9), ::testing::Values(1, 2, 4)));

TEST_F(PlayTest, WhatADropLeavesBehind) {
    game->START_Click();
    clearLog();
    dropRight(1, 3, 4);
    EXPECT_EQ(screen.sounds, std::vector<std::string>{"駒打音"});
    EXPECT_EQ(game->手数, 1);
    EXPECT_EQ(game->最終手数, 1);
    EXPECT_EQ(game->手番, F::手番_後手);
    EXPECT_EQ(game->選択状態, 0);
    EXPECT_EQ(game->先手持駒[1], 8);
    EXPECT_EQ(game->先手持駒数, 19);
    EXPECT_EQ(game->先手持駒記録[1][1], 8);
    EXPECT_EQ(game->盤記録[1][3][4], F::駒_歩);
    EXPECT_EQ(game->勢力盤[3][3], 1);
    EXPECT_EQ(screen.textIn(13, 3, F::色_白), " 1手目");
    EXPECT_EQ(rightArea(), "７四歩");
    EXPECT_EQ(screen.textIn(13, 2, F::色_黒), "７四"); // the shadow
    EXPECT_TRUE(screen.hasPicture(3, 4, Picture::SitaHu0));
    EXPECT_TRUE(screen.hasPicture(3, 3, Picture::KaraMasu2));
    EXPECT_TRUE(screen.hasPicture(3, 5, Picture::KaraMasu));

    dropLeft(1, 7, 7);
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->後手持駒[1], 8);
    EXPECT_EQ(game->後手持駒数, 19);
    EXPECT_EQ(screen.textIn(13, 3, F::色_白), " 2手目");
    EXPECT_EQ(leftArea(), "３七歩");
    EXPECT_EQ(rightArea(), "７四歩");
    EXPECT_TRUE(screen.hasPicture(7, 6, Picture::KaraMasu2));
    EXPECT_EQ(game->手番, F::手番_先手);
}

struct Drop {
    int slot;
    int x;
    int y;
    int button = 1;
};

// Rooks on (1, 1) and (2, 2) close rows 1-2 and files 1-2, lances on row 9 close files 3-6,
// kings on (8, 4) and (8, 8) close files 7-9 but for row 6, which (8, 6) closes.
const std::vector<Drop> kSenteWins = {{7, 1, 1}, {7, 2, 2}, {2, 3, 9}, {2, 4, 9}, {2, 5, 9},
                                      {2, 6, 9}, {8, 8, 4}, {8, 8, 8}, {5, 8, 6}};
// The same start; the gold on (8, 6) and the pawn on (9, 9) leave six squares round (8, 8).
const std::vector<Drop> kGoteWins = {{7, 1, 1}, {7, 2, 2}, {2, 3, 9}, {2, 4, 9}, {2, 5, 9},
                                     {2, 6, 9}, {8, 8, 4}, {5, 8, 6}, {1, 9, 9}, {8, 8, 8}};

class PersonsMatch : public PlayTest {
protected:
    // Drops from..to-1 of the list: 先手 from the right-hand column, 後手 from the left.
    void play(const std::vector<Drop>& drops, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const Drop& d = drops[i];
            i % 2 == 0 ? dropRight(d.slot, d.x, d.y, d.button)
                       : dropLeft(d.slot, d.x, d.y, d.button);
        }
    }
    void playAllButLast(const std::vector<Drop>& drops) {
        game->START_Click();
        play(drops, 0, drops.size() - 1);
        ASSERT_EQ(game->手数, static_cast<int>(drops.size()) - 1) << "every drop was taken";
        ASSERT_EQ(screen.boxes.size(), 1u) << "only the start message so far";
    }
    void playLast(const std::vector<Drop>& drops) { play(drops, drops.size() - 1, drops.size()); }
};

TEST_F(PersonsMatch, TheSideMakingTheLastDropWins) {
    const std::vector<std::pair<std::vector<Drop>, std::string>> matches = {{kSenteWins, "先手"},
                                                                            {kGoteWins, "後手"}};
    for (const auto& [drops, winner] : matches) {
        SCOPED_TRACE(winner);
        playAllButLast(drops);
        playLast(drops);
        EXPECT_TRUE(boxesAre(1, winner + "の勝ちです"));
        EXPECT_EQ(screen.sounds.back(), "終局");
        EXPECT_EQ(game->手番, F::手番_無); // answered Yes: a new game, no match yet
        clearLog();
    }
}

TEST_F(PersonsMatch, YesStartsAfreshAfterTheAnnouncement) {
    screen.readsPerSecond = 4;
    playAllButLast(kSenteWins);
    game->LEVEL1_Click();
    playLast(kSenteWins);
    // One change of the clock's seconds, resting between readings, after a repaint.
    EXPECT_EQ(screen.clockReads, 4);
    EXPECT_GT(screen.rests, 0);
    EXPECT_GT(screen.repaints, 0);
    ASSERT_TRUE(boxesAre(1, "先手の勝ちです"));
    EXPECT_EQ(game->手番, F::手番_無);
    EXPECT_EQ(game->手数, 0);
    EXPECT_EQ(game->最終手数, 0);
    EXPECT_EQ(game->レベル, 3);
    EXPECT_TRUE(screen.checks["LEVEL3"]);
    EXPECT_FALSE(screen.checks["LEVEL1"]);
    EXPECT_FALSE(screen.checks["LEVEL2"]);
    EXPECT_EQ(game->先手持駒, kFullHand);
    EXPECT_EQ(game->後手持駒, kFullHand);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(game->将棋盤[x][y], F::空桝);
            EXPECT_TRUE(screen.hasPicture(x, y, Picture::KaraMasu));
        }
    }
    EXPECT_EQ(rightArea(), "");
    EXPECT_EQ(screen.textIn(13, 3, F::色_白), "") << "no move number before the first drop";
    EXPECT_EQ(screen.quits, 0);
    press(5, 5);
    EXPECT_TRUE(lastBoxIs(kNoMatch, "開始"));
}

TEST_F(PersonsMatch, NoQuitsAndNothingHappensAfterwards) {
    screen.answers = {false};
    playAllButLast(kSenteWins);
    playLast(kSenteWins);
    ASSERT_TRUE(boxesAre(1, "先手の勝ちです"));
    EXPECT_EQ(screen.quits, 1);
    EXPECT_TRUE(game->hasQuit());
    const Snapshot after = snap();
    const auto boxes = screen.boxes.size();
    const auto sounds = screen.sounds.size();
    press(5, 5);
    press(11, 2);
    game->START_Click();
    game->SENTE_Click();
    game->GOTE_Click();
    game->LEVEL1_Click();
    game->REPLAY_Click();
    game->AFTER_Click();
    game->CANCEL_Click();
    game->VER_Click();
    game->OWARI_Click();
    game->Form_Unload();
    EXPECT_EQ(screen.actionsAfterQuit, 0);
    EXPECT_EQ(screen.quits, 1);
    EXPECT_TRUE(snap() == after);
    EXPECT_EQ(game->レベル, 3);
    EXPECT_EQ(screen.boxes.size(), boxes);
    EXPECT_EQ(screen.sounds.size(), sounds);
}

// All forty pieces go down and free squares remain: pawns fill rows 1 and 2 (row 1 first,
// so each pawn covers only an occupied square), lances and knights on row 3 reach only
// rows 1-2, then silvers, bishops, rooks, golds and kings. (4, 7) is reached by none.
TEST_F(PersonsMatch, FortyDropsWithFreeSquaresLeftEndInADraw) {
    std::vector<Drop> drops;
    for (int y = 1; y <= 2; ++y) {
        for (int x = 1; x <= 9; ++x) {
            drops.push_back({1, x, y});
        }
    }
    for (int x = 1; x <= 8; ++x) {
        drops.push_back({x <= 4 ? 2 : 3, x, 3});
    }
    const std::vector<Drop> rest = {{4, 9, 3}, {4, 1, 4}, {4, 3, 4}, {4, 5, 4}, {6, 2, 4},
                                    {6, 4, 4}, {7, 6, 4}, {7, 9, 5}, {5, 1, 9}, {5, 3, 9},
                                    {5, 5, 9}, {5, 7, 8}, {8, 2, 7}, {8, 8, 9}};
    drops.insert(drops.end(), rest.begin(), rest.end());
    ASSERT_EQ(drops.size(), 40u);
    screen.answers = {false};
    playAllButLast(drops);
    playLast(drops);
    EXPECT_TRUE(boxesAre(1, "引き分けです"));
    EXPECT_EQ(screen.sounds.back(), "終局");
    EXPECT_EQ(game->手数, 40);
    EXPECT_EQ(game->先手持駒数 + game->後手持駒数, 0);
    EXPECT_EQ(game->将棋盤[4][7], F::空桝);
    EXPECT_EQ(game->勢力盤[4][7], 0);
    EXPECT_EQ(screen.quits, 1);
}

// One press of the person and the computer's answer in it; kind 0: the match ends first.
struct Turn {
    Drop person;
    int kind;
    int x;
    int y;
};

class ComputerMatch : public PlayTest {
protected:
    void play(const std::vector<Turn>& turns, int movesBefore) {
        int mine = 20;
        int its = 20 - movesBefore;
        int moves = movesBefore;
        for (const Turn& t : turns) {
            SCOPED_TRACE(moves + 1);
            const Drop& p = t.person;
            dropRight(p.slot, p.x, p.y, p.button);
            const bool promoted = p.button == F::ボタン_右 && p.slot != 5 && p.slot != 8;
            const int kind = kSlotKind[p.slot] + (promoted ? 1 : 0);
            --mine;
            ++moves;
            ASSERT_EQ(game->将棋盤[p.x][p.y], kind);
            EXPECT_EQ(rightArea(), notation(p.x, p.y, kind));
            if (t.kind != 0) {
                --its;
                ++moves;
                ASSERT_EQ(game->将棋盤[t.x][t.y], t.kind);
                EXPECT_EQ(leftArea(), notation(t.x, t.y, t.kind));
                EXPECT_EQ(screen.outlineAt(t.x, t.y), F::色_白);
            }
            EXPECT_EQ(game->手数, moves);
            EXPECT_EQ(game->先手持駒数, mine);
            EXPECT_EQ(game->後手持駒数, its);
            EXPECT_EQ(piecesInPlay(), 40);
            if (screen.quits == 0) {
                EXPECT_EQ(game->手番, game->人間側);
            }
        }
    }
};

// The person moves first; the computer wins with a rook at move 10, long before move 15.
// King on (2, 5): the first square whose eight neighbours the bishop's horse on (5, 5)
// leaves free ((2, 2) lies on its diagonal, (2, 3) and (2, 4) touch it). Gold on (4, 2): the
// first square where a gold covers six free squares once the dragon on (8, 7) closes file 8
// and row 7. The rest follows the same rule, square by square.
TEST_F(ComputerMatch, PersonFirstComputerWins) {
    game->SENTE_Click();
    clearLog();
    screen.answers = {false};
    play({{{6, 5, 5, 2}, F::駒_王, 2, 5},
          {{7, 8, 7, 2}, F::駒_金, 4, 2},
          {{1, 5, 9, 2}, F::駒_金, 6, 2},
          {{1, 2, 9, 2}, F::駒_銀, 1, 2},
          // Free are (1, 3), (5, 3), (9, 2)-(9, 5): a rook on (9, 3) reaches them all.
          {{2, 7, 9}, F::駒_飛, 9, 3}},
         0);
    EXPECT_TRUE(boxesAre(0, "ＣＯＭの勝ちです"));
    EXPECT_EQ(screen.sounds.back(), "終局");
    EXPECT_EQ(screen.quits, 1);
}

// The computer moves first; the person fills the last free square at move 12 and the
// computer does not answer. After the king on (2, 2) and the dragon on (8, 4), (2, 6) is the
// first square where a gold covers six free squares (row 5 to row 7 of files 1-3); after the
// horse on (5, 6), (5, 2) is the next.
TEST_F(ComputerMatch, ComputerFirstPersonWins) {
    game->GOTE_Click();
    ASSERT_EQ(game->将棋盤[2][2], F::駒_王);
    screen.answers = {false};
    play({{{7, 8, 4, 2}, F::駒_金, 2, 6},
          {{6, 5, 6, 2}, F::駒_金, 5, 2},
          {{1, 5, 9, 2}, F::駒_銀, 2, 8},
          {{2, 9, 9}, F::駒_銀, 6, 3},
          {{2, 7, 9}, F::駒_桂, 1, 8},
          {{1, 4, 3}, 0, 0, 0}},
         1);
    EXPECT_TRUE(boxesAre(0, "あなたの勝ちです"));
    EXPECT_EQ(game->手数, 12);
}

TEST_F(ComputerMatch, ComputerWithNothingInHandEndsInADraw) {
    // The computer plays 先手 here but always drops from the left-hand pieces.
    game->GOTE_Click();
    game->後手持駒 = Hand{};
    game->後手持駒数 = 0;
    screen.answers = {false};
    dropRight(1, 9, 9);
    EXPECT_TRUE(boxesAre(0, "引き分けです"));
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(piecesInPlay(), 2 + 19); // the king, the pawn and the person's hand
}

TEST_F(ComputerMatch, PersonWithNothingInHandEndsInADraw) {
    // The person plays 後手 here but always drops from the right-hand pieces.
    game->GOTE_Click();
    game->先手持駒 = Hand{0, 1};
    game->先手持駒数 = 1;
    screen.answers = {false};
    dropRight(1, 9, 9);
    EXPECT_EQ(game->将棋盤[2][5], F::駒_金);
    EXPECT_TRUE(boxesAre(0, "引き分けです"));
    EXPECT_EQ(game->手数, 3);
}

} // namespace
