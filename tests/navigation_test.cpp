// Stepping back and forward through the positions of a match, and resuming play from an
// earlier position.
#include <algorithm>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "testkit/game_fixture.h"

namespace {

using Squares = std::vector<std::pair<int, int>>;

using F = Form1;
const int kSlotKinds[9] = {0,        F::駒_歩, F::駒_香, F::駒_桂, F::駒_銀,
                           F::駒_金, F::駒_角, F::駒_飛, F::駒_王};
const char* const kSlotNames[9] = {"", "歩", "香", "桂", "銀", "金", "角", "飛", "王"};
const Form1::持駒表 kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// The drops of a match between persons, reaching every edge of the board and both ends of
// the hands, with the squares each piece covers (forward is towards row 1 for both sides).
struct Drop {
    int slot, x, y;
    bool left;
    Picture picture;
    Squares covers;
};
const Drop kDrops[3] = {
    {1, 1, 5, false, Picture::SitaHu0, {{1, 4}}},
    {1, 2, 9, true, Picture::SitaHu0, {{2, 8}}},
    {8, 9, 1, false, Picture::SitaOu, {{8, 1}, {8, 2}, {9, 2}}},
};

class NavigationTest : public GameTest {
protected:
    // The person drops a 歩 on the first empty square nothing covers.
    void dropOnFreeSquare() {
        for (int i = 0; i < 81; ++i) {
            if (game->将棋盤[i / 9 + 1][i % 9 + 1] == F::空桝 &&
                game->勢力盤[i / 9 + 1][i % 9 + 1] == 0) {
                return dropRight(1, i / 9 + 1, i % 9 + 1);
            }
        }
        FAIL() << "no free square";
    }

    void expectRefused(const std::string& title) {
        EXPECT_EQ(screen.sounds, std::vector<std::string>{"禁止"});
        EXPECT_EQ(screen.boxes.size(), 1u);
        EXPECT_TRUE(lastBoxIs("できません", title));
        clearLog();
    }

    // Steps over one drop: going forward shows it again beside the hand column it came from,
    // as file 10 - x, row and kind; going back clears that area.
    void step(bool forward) {
        const Form1::盤表 board = game->将棋盤;
        const Form1::持駒表 left = game->後手持駒;
        forward ? game->AFTER_Click() : game->REPLAY_Click();
        Squares changed;
        for (int i = 0; i < 81; ++i) {
            if (game->将棋盤[i / 9 + 1][i % 9 + 1] != board[i / 9 + 1][i % 9 + 1]) {
                changed.emplace_back(i / 9 + 1, i % 9 + 1);
            }
        }
        ASSERT_EQ(changed.size(), 1u);
        const auto [x, y] = changed[0];
        const char* const files[] = {"", "９", "８", "７", "６", "５", "４", "３", "２", "１"};
        const char* const rows[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
        const int ax = game->後手持駒 != left ? -1 : 13, ay = ax == -1 ? 9 : 2;
        EXPECT_EQ(screen.textIn(ax, ay, F::色_黒), forward ? std::string(files[x]) + rows[y] : "");
        EXPECT_EQ(
            screen.textIn(ax + 1, ay, F::色_白),
            forward
                ? kSlotNames[std::find(kSlotKinds, kSlotKinds + 9, game->将棋盤[x][y]) - kSlotKinds]
                : "");
        EXPECT_EQ(screen.sounds, std::vector<std::string>{"駒打音"});
        EXPECT_TRUE(screen.boxes.empty());
        clearLog();
    }

    // The fields and the screen show the position after the first k drops of kDrops.
    void expectShown(int k) {
        SCOPED_TRACE("position " + std::to_string(k));
        Form1::持駒表 right = kFullHand, left = kFullHand;
        Form1::盤表 board{};
        std::map<std::pair<int, int>, Picture> pictures;
        for (int i = 0; i < k; ++i) {
            const Drop& d = kDrops[i];
            (d.left ? left : right)[d.slot] -= 1;
            board[d.x][d.y] = kSlotKinds[d.slot];
            for (const auto& square : d.covers) {
                pictures[square] = Picture::KaraMasu2;
            }
            pictures[{d.x, d.y}] = d.picture;
        }
        EXPECT_EQ(game->手数, k);
        EXPECT_EQ(game->最終手数, 3);
        EXPECT_EQ(game->手番, k % 2 == 0 ? F::手番_先手 : F::手番_後手) << "who makes move k + 1";
        EXPECT_EQ(game->選択状態, 0);
        EXPECT_EQ(game->将棋盤, board);
        EXPECT_EQ(game->先手持駒, right);
        EXPECT_EQ(game->後手持駒, left);
        // The totals are not recorded, yet must agree with the restored slots.
        EXPECT_EQ(game->先手持駒数, std::accumulate(right.begin(), right.end(), 0));
        EXPECT_EQ(game->後手持駒数, std::accumulate(left.begin(), left.end(), 0));
        for (int i = 0; i < 81; ++i) {
            const std::pair square{i / 9 + 1, i % 9 + 1};
            const auto want = pictures.count(square) ? pictures[square] : Picture::KaraMasu;
            EXPECT_TRUE(screen.hasPicture(square.first, square.second, want)) << i;
            EXPECT_EQ(screen.outlineAt(square.first, square.second), F::色_緑) << i;
        }
        // Each hand square shows its count, or an empty square once the slot is used up, in a
        // plain frame whatever was picked.
        for (int s = 1; s <= 8; ++s) {
            for (auto [gx, gy, n] : {std::tuple{11, s + 1, right[s]}, {-1, 9 - s, left[s]}}) {
                EXPECT_EQ(screen.hasPicture(gx, gy, Picture::KaraMasu), n == 0) << gx << "," << gy;
                EXPECT_EQ(screen.textIn(gx + 1, gy, F::色_明紫),
                          n > 0 ? " " + std::to_string(n) : "");
                EXPECT_EQ(screen.outlineAt(gx, gy), F::色_緑) << gx << "," << gy;
            }
        }
        EXPECT_EQ(screen.textIn(13, 3, F::色_白), " " + std::to_string(k) + "手目");
    }

    // Picks a 歩 of the side to move.
    void pick() {
        const bool right = game->手番 == F::手番_先手;
        press(right ? 11 : -1, right ? 2 : 8);
        ASSERT_EQ(game->選択状態, 1);
    }
};

// A piece picked before a step is forgotten by it. A drop after stepping back replaces the
// rest of the record.
TEST_F(NavigationTest, StepsThroughTheMatchAndResumesFromAnEarlierPosition) {
    game->START_Click();
    for (const Drop& d : kDrops) {
        d.left ? dropLeft(d.slot, d.x, d.y) : dropRight(d.slot, d.x, d.y);
    }
    clearLog();
    for (int k = 2; k >= 0; --k) {
        pick();
        step(false);
        expectShown(k);
    }
    game->REPLAY_Click();
    expectRefused("戻る");
    expectShown(0);
    for (int k = 1; k <= 3; ++k) {
        pick();
        step(true);
        expectShown(k);
    }
    game->AFTER_Click();
    expectRefused("進む");
    expectShown(3);

    // Only what changes is drawn again: a forgotten picture stays forgotten.
    screen.pictures.erase({1, 5});
    game->REPLAY_Click();
    EXPECT_EQ(screen.pictureAt(1, 5), -1);
    game->REPLAY_Click();
    dropLeft(2, 9, 9); // 後手's 香 instead of the 歩 on (2, 9)
    EXPECT_EQ(game->最終手数, 2);
    clearLog();
    game->AFTER_Click();
    expectRefused("進む");
    game->REPLAY_Click();
    clearLog();
    step(true);
    EXPECT_EQ(game->後手持駒, (Form1::持駒表{0, 9, 1, 2, 2, 2, 1, 1, 1}));
}

// With the computer moving first, its drops go beside the left column and the person's beside
// the right one. With the computer to move after a step, nothing happens until a press, and
// from the same position the computer answers alike. A step back to the start opens the match
// again: a match between persons starts from the start position with a record of its own.
TEST_F(NavigationTest, ComputerFirstMatchStepsResumesAndStartsAnew) {
    game->GOTE_Click();
    dropOnFreeSquare();
    ASSERT_EQ(game->手数, 3);
    const Form1::盤表 answered = game->将棋盤;
    clearLog();
    for (bool forward : {false, false, false, true, true, true, false}) {
        step(forward);
    }
    EXPECT_EQ(game->手番, game->COM側);
    press(1, 1);
    EXPECT_EQ(game->将棋盤, answered);
    EXPECT_EQ(game->手番, game->人間側);
    clearLog();
    while (game->手数 > 0) {
        step(false);
    }
    game->START_Click();
    EXPECT_EQ(count("禁止"), 0);
    EXPECT_EQ(game->対局モード, F::モード_人間);
    EXPECT_EQ(game->最終手数, 0) << "the old positions must not come back";
    EXPECT_EQ(piecesInPlay(), 40);
    clearLog();
    game->AFTER_Click();
    expectRefused("進む");
    dropRight(1, 5, 5);
    EXPECT_EQ(game->手数, 1) << "no computer answers in a match between persons";
}

} // namespace
