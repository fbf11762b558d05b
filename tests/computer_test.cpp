// The computer's turn: which drop it chooses, what it shows while thinking, and what a turn
// leaves behind.
#include <cmath>
#include <functional>
#include <numeric>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/game_fixture.h"

namespace {

using Hand = Form1::持駒表;
using Square = std::pair<int, int>;
constexpr Hand kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// A position in twips to a tenth of a twip, free of rounding noise.
long tenth(double twips) {
    return std::lround(twips * 10);
}

// A platform that looks at the screen at the moment the game asks for a repaint.
class RepaintSpy : public RecordingPlatform {
public:
    std::function<void()> onRepaint;
    void repaintNow() override {
        RecordingPlatform::repaintNow();
        if (onRepaint) {
            onRepaint();
        }
    }
};

TEST(ComputerTurn, NoticeShownBeforeTheSearchThenTheKingOnTwoTwo) {
    RepaintSpy spy;
    Form1 game(spy);
    game.Form_Load();
    const auto leftArea = [&] { return spy.textIn(-1, 9, 15) + spy.textIn(0, 9, 15); };
    // At each repaint: the move number and the left-hand area; at the first one also the
    // notice's texts and whether a trial drop had been made.
    std::vector<std::pair<int, std::string>> seen;
    std::vector<std::tuple<int, long, long, double>> notices;
    int tried = -1;
    spy.onRepaint = [&] {
        if (seen.empty()) {
            tried = game.候補駒;
            for (const auto& t : spy.texts) {
                if (t.text == "思考中") {
                    notices.emplace_back(t.colour, tenth(t.x), tenth(t.y), t.points);
                }
            }
        }
        seen.emplace_back(game.手数, leftArea());
    };
    // On the empty board (2, 2) is the first square in search order whose eight neighbours
    // are all on the board: 8 new squares, which no other kind reaches before move 15.
    game.GOTE_Click();
    EXPECT_EQ(game.将棋盤[2][2], Form1::駒_王);
    EXPECT_EQ(spy.outlineAt(2, 2), Form1::色_白); // the computer's drop stays marked
    EXPECT_EQ(spy.textIn(13, 3, 15), " 1手目");
    EXPECT_EQ(spy.sounds, std::vector<std::string>{"駒打音"});
    EXPECT_EQ(tried, 0);
    // Shadow first, a tenth of a cell right of and below the white face, 12 points.
    using Notice = std::tuple<int, long, long, double>;
    EXPECT_EQ(notices, (std::vector<Notice>{
                           {Form1::色_黒, tenth(700 - 0.9 * 495), tenth(100 + 9.6 * 615), 12},
                           {Form1::色_白, tenth(700 - 495), tenth(100 + 9.5 * 615), 12}}));

    // The person's pawn onto (9, 9); the gold on (2, 5) covers six new squares.
    game.Form_MouseDown(1, 0, 700 + 11.5 * 495, 100 + 2.5 * 615);
    game.Form_MouseDown(1, 0, 700 + 9.5 * 495, 100 + 9.5 * 615);
    EXPECT_EQ(game.将棋盤[2][5], Form1::駒_金);
    // The second notice covered the king's "８二王" in both cells; the gold's drop covers it.
    using Seen = std::pair<int, std::string>;
    EXPECT_EQ(seen, (std::vector<Seen>{{0, "思考中"}, {2, "思考中"}}));
    EXPECT_EQ(leftArea(), "８五金");
}

class ComputerTest : public GameTest {
protected:
    // A match against the computer in which the computer is to move after `moves` drops.
    void computerToMove(int moves, const Hand& hand = kFullHand) {
        game->SENTE_Click();
        game->後手持駒 = hand;
        game->後手持駒数 = std::accumulate(hand.begin(), hand.end(), 0);
        game->手数 = game->最終手数 = moves;
        game->手番 = game->COM側;
        clearLog();
    }

    // Every square is occupied and covered except the pockets, which are empty and free, and
    // whose neighbours are all covered already: any drop there covers nothing new and, with
    // two pockets, does not win. Pockets need 2 <= X and 2 <= Y <= 6.
    void pockets(Square a, Square b) {
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                game->将棋盤[x][y] = y == 8 ? F::駒_金 : F::駒_歩; // golds cover rows 7 and 9
            }
        }
        for (const auto& [x, y] : {a, b}) {
            game->将棋盤[x][y] = F::空桝;
            game->将棋盤[x][y + 1] = F::駒_桂;     // a knight below does not reach the pocket
            game->将棋盤[x - 1][y - 1] = F::駒_金; // covers the square above the pocket
        }
        game->駒範囲調査();
    }
};

// On the empty board two golds and one long-range piece: a gold covers 6 at best, first at
// (2, 2); the rook covers 16 from (1, 1), the bishop 16 only from (5, 5), the lance 8 from
// (1, 9). Before move 15 all three lose 100, from move 15 on they count in full.
// In the pockets every drop covers nothing new, so every kind scores the same and the order
// of the hand decides (king, rook, bishop, gold, silver, knight, lance, pawn), then the
// smaller file, then the smaller row; long-range kinds covering nothing lose 100 even late.
TEST_F(ComputerTest, ChoiceByScoreThenKindThenFileThenRow) {
    struct Row {
        const char* name;
        Square a, b; // pockets; (0, 0): the empty board
        Hand hand;
        int moves, kind, x, y;
    };
    const Square e{0, 0}, p{3, 3}, q{7, 5};
    const Row rows[] = {
        {"RookAt14", e, e, {0, 0, 0, 0, 0, 2, 0, 1}, 14, F::駒_金, 2, 2},
        {"RookAt15", e, e, {0, 0, 0, 0, 0, 2, 0, 1}, 15, F::駒_飛, 1, 1},
        {"BishopAt14", e, e, {0, 0, 0, 0, 0, 2, 1}, 14, F::駒_金, 2, 2},
        {"BishopAt15", e, e, {0, 0, 0, 0, 0, 2, 1}, 15, F::駒_角, 5, 5},
        {"LanceAt14", e, e, {0, 0, 1, 0, 0, 2}, 14, F::駒_金, 2, 2},
        {"LanceAt15", e, e, {0, 0, 1, 0, 0, 2}, 15, F::駒_香, 1, 9},
        {"KingFirst", p, q, kFullHand, 20, F::駒_王, 3, 3},
        {"GoldBeforeRookAndBishop", p, q, {0, 9, 2, 2, 2, 2, 1, 1}, 20, F::駒_金, 3, 3},
        {"SilverNext", p, q, {0, 9, 2, 2, 2, 0, 1, 1}, 20, F::駒_銀, 3, 3},
        {"KnightNext", p, q, {0, 9, 2, 2}, 20, F::駒_桂, 3, 3},
        {"PawnBeforeLance", p, q, {0, 9, 2}, 20, F::駒_歩, 3, 3},
        {"OnlyLongRangeStillDrops", p, q, {0, 0, 1, 0, 0, 0, 1, 1}, 2, F::駒_飛, 3, 3},
        {"BishopBeforeLance", p, q, {0, 0, 1, 0, 0, 0, 1}, 2, F::駒_角, 3, 3},
        {"SmallerFile", {7, 3}, {3, 6}, {0, 1}, 4, F::駒_歩, 3, 6},
        {"SmallerRow", {5, 6}, {5, 3}, {0, 1}, 4, F::駒_歩, 5, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        game->Form_Load();
        if (r.a != e) {
            pockets(r.a, r.b);
        }
        computerToMove(r.moves, r.hand);
        game->Form_MouseDown(1, 0, 9000, 7000); // any press starts the computer's turn
        EXPECT_EQ(game->将棋盤[r.x][r.y], r.kind);
    }
}

TEST_F(ComputerTest, WithNothingToDropNothingIsDroppedAndTheNoticeGoes) {
    place({{F::駒_歩, 5, 5}});
    computerToMove(3, Hand{});
    game->com_ban();
    EXPECT_EQ(game->手数, 3);
    EXPECT_EQ(screen.textIn(-1, 9, F::色_白), "") << "the notice is gone";
    EXPECT_TRUE(screen.sounds.empty());
}

} // namespace
