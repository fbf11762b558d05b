// The computer's turn: which drop it chooses, what it shows while thinking, and what a turn
// leaves behind.
#include <cmath>
#include <cstdint>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "testkit/game_fixture.h"

namespace {

using F = Form1;
using Hand = Form1::持駒表;
using Square = std::pair<int, int>;
constexpr Hand kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// A position in twips to a tenth of a twip, free of rounding noise.
long tenth(double twips) {
    return std::lround(twips * 10);
}

// A platform that looks at the screen at the moment the game asks for a repaint.
TEST(ComputerTurn, NoticeShownBeforeTheSearchThenTheKingOnTwoTwo) {
    RecordingPlatform spy;
    Form1 game(spy);
    game.Form_Load();
    const auto leftArea = [&] { return spy.textIn(-1, 9, 15) + spy.textIn(0, 9, 15); };
    // At each repaint: the move number and the left-hand area; at the first one also the
    // notice's texts and whether a trial drop had been made.
    std::vector<std::pair<int, std::string>> seen;
    std::vector<std::tuple<int, long, long, double>> notices;
    int tried = -1;
    spy.onEvent = [&](const RecordingPlatform::Event& event) {
        if (event.kind != "repaint") {
            return;
        }
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

// The search done the straightforward way, trial by trial on the board itself: each legal
// drop is put on the board, its coverage added, the position scored by 盤評価, and the board
// and the saved map restored. The computer's own search must agree with it in every choice
// and in every field it leaves behind.
bool searchByTrial(Form1& g, Form1::ComDrop& drop) {
    g.移動情報[0] = -99999;
    g.駒範囲調査();
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            g.勢力盤_保存[X][Y] = g.勢力盤[X][Y];
        }
    }
    g.COM持駒数 = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        if (g.後手持駒[slot] > 0) {
            g.COM持駒数 += g.後手持駒[slot];
        }
    }
    g.基準_駒範囲数 = g.調査_駒範囲数();
    if (g.COM持駒数 <= 0) {
        return false;
    }
    bool chosen = false;
    for (int R = 1; R <= 8; ++R) {
        if (g.後手持駒[9 - R] <= 0) {
            continue;
        }
        g.候補駒 = Form1::kSlotKinds[9 - R];
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                if (g.移動チェック(-1, R, X, Y, g.候補駒) != Form1::判定_有) {
                    continue;
                }
                g.将棋盤[X][Y] = g.候補駒;
                g.駒範囲調査_移動駒(X, Y);
                const int v = g.盤評価(Form1::空桝, g.候補駒, X, Y);
                for (int x = 1; x <= 9; ++x) {
                    for (int y = 1; y <= 9; ++y) {
                        g.勢力盤[x][y] = g.勢力盤_保存[x][y];
                    }
                }
                g.将棋盤[X][Y] = Form1::空桝;
                if (v > g.移動情報[0]) {
                    g.移動情報[0] = v;
                    chosen = true;
                    drop = {R, X, Y, g.候補駒};
                }
            }
        }
    }
    return chosen;
}

// The first field in which two games differ, by name; "" when they agree in all that a
// search may touch or the rest of the game reads.
std::string firstDifference(const Form1& a, const Form1& b) {
    const std::pair<const char*, bool> fields[] = {
        {"将棋盤", a.将棋盤 == b.将棋盤},
        {"勢力盤", a.勢力盤 == b.勢力盤},
        {"勢力盤_保存", a.勢力盤_保存 == b.勢力盤_保存},
        {"先手持駒", a.先手持駒 == b.先手持駒},
        {"後手持駒", a.後手持駒 == b.後手持駒},
        {"持駒数", a.先手持駒数 == b.先手持駒数 && a.後手持駒数 == b.後手持駒数},
        {"手番", a.手番 == b.手番},
        {"手数", a.手数 == b.手数 && a.最終手数 == b.最終手数},
        {"移動情報", a.移動情報 == b.移動情報},
        {"候補駒", a.候補駒 == b.候補駒},
        {"COM持駒数", a.COM持駒数 == b.COM持駒数},
        {"基準_駒範囲数", a.基準_駒範囲数 == b.基準_駒範囲数},
        {"選択状態", a.選択状態 == b.選択状態},
        {"成駒種類", a.成駒種類 == b.成駒種類},
    };
    for (const auto& [name, same] : fields) {
        if (!same) {
            return name;
        }
    }
    return "";
}

// Random positions as play reaches them: random kinds, promoted ones too, dropped one by one
// on free squares; some games stopped early, some a few free squares short of the end, some
// run until no free square is left. The computer's hand and the move number vary freely, and
// the working fields start out holding leftovers.
class RandomPositions {
public:
    explicit RandomPositions(unsigned seed) : rng_(seed) {}

    void make(Form1& g) {
        static constexpr int kinds[] = {F::駒_歩,   F::駒_と, F::駒_香,   F::駒_香成, F::駒_桂,
                                        F::駒_桂成, F::駒_銀, F::駒_銀成, F::駒_金,   F::駒_角,
                                        F::駒_角成, F::駒_飛, F::駒_飛成, F::駒_王};
        for (auto& column : g.将棋盤) {
            column.fill(F::空桝);
        }
        g.駒範囲調査();
        const int style = below(4);
        const int length = style == 0 ? below(20) : style == 1 ? 20 + below(30) : 81;
        const int leaveFree = style == 2 ? 1 + below(4) : 0;
        for (int i = 0; i < length; ++i) {
            std::vector<Square> free;
            for (int x = 1; x <= 9; ++x) {
                for (int y = 1; y <= 9; ++y) {
                    if (g.将棋盤[x][y] == F::空桝 && g.勢力盤[x][y] == 0) {
                        free.emplace_back(x, y);
                    }
                }
            }
            if (static_cast<int>(free.size()) <= leaveFree) {
                break;
            }
            const auto [x, y] = free[below(static_cast<int>(free.size()))];
            g.将棋盤[x][y] = kinds[below(14)];
            g.駒範囲調査();
        }
        const bool emptyHand = below(20) == 0;
        for (int slot = 1; slot <= 8; ++slot) {
            g.後手持駒[slot] = emptyHand || below(3) == 0 ? 0 : 1 + below(kFullHand[slot]);
        }
        g.後手持駒数 = std::accumulate(g.後手持駒.begin(), g.後手持駒.end(), 0);
        g.手数 = g.最終手数 = below(40);
        // Leftovers of an earlier turn, which the search must not depend on.
        g.移動情報[0] = below(2000) - 1000;
        g.候補駒 = kinds[below(14)];
        g.COM持駒数 = below(40);
        g.基準_駒範囲数 = below(82);
        for (int x = 0; x <= 9; ++x) {
            for (int y = 0; y <= 9; ++y) {
                g.勢力盤_保存[x][y] = below(5);
                if (below(10) == 0) {
                    g.勢力盤[x][y] = below(5); // a map out of date with the board
                }
            }
        }
    }

private:
    std::mt19937 rng_;
    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
};

// 20,000 random positions: the computer's search picks the same drop as the trial-by-trial
// search and leaves every field as it does. The generator must keep reaching the cases that
// matter, or the comparison proves little.
TEST(ComputerSearch, AgreesWithTheTrialByTrialSearchOnRandomPositions) {
    RecordingPlatform screenA;
    RecordingPlatform screenB;
    Form1 game(screenA);
    Form1 reference(screenB);
    game.Form_Load();
    reference.Form_Load();
    RandomPositions positions(20261208);
    int chosen = 0, none = 0, wins = 0, longRange = 0, early = 0, late = 0, promoted = 0;
    for (int i = 0; i < 20000; ++i) {
        positions.make(game);
        reference.将棋盤 = game.将棋盤;
        reference.勢力盤 = game.勢力盤;
        reference.勢力盤_保存 = game.勢力盤_保存;
        reference.後手持駒 = game.後手持駒;
        reference.後手持駒数 = game.後手持駒数;
        reference.手数 = game.手数;
        reference.最終手数 = game.最終手数;
        reference.移動情報 = game.移動情報;
        reference.候補駒 = game.候補駒;
        reference.COM持駒数 = game.COM持駒数;
        reference.基準_駒範囲数 = game.基準_駒範囲数;
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                promoted += game.将棋盤[x][y] % 10 == 1 ? 1 : 0;
            }
        }

        Form1::ComDrop a{-1, -1, -1, -1};
        Form1::ComDrop b{-1, -1, -1, -1};
        const bool foundA = game.chooseDrop(a);
        const bool foundB = searchByTrial(reference, b);
        ASSERT_EQ(foundA, foundB) << "position " << i;
        ASSERT_EQ(std::make_tuple(a.row, a.x, a.y, a.kind),
                  std::make_tuple(b.row, b.x, b.y, b.kind))
            << "position " << i << ", best score " << reference.移動情報[0];
        ASSERT_EQ(firstDifference(game, reference), "") << "position " << i;

        chosen += foundB ? 1 : 0;
        none += foundB ? 0 : 1;
        wins += foundB && reference.移動情報[0] == 1000 ? 1 : 0;
        const bool isLongRange = b.kind == F::駒_飛 || b.kind == F::駒_角 || b.kind == F::駒_香;
        longRange += foundB && isLongRange ? 1 : 0;
        early += foundB && game.手数 < 15 ? 1 : 0;
        late += foundB && game.手数 >= 15 ? 1 : 0;
    }
    EXPECT_GT(none, 1000);
    EXPECT_GT(wins, 1000);
    EXPECT_GT(chosen - wins, 5000);
    EXPECT_GT(longRange, 500);
    EXPECT_GT(early, 3000);
    EXPECT_GT(late, 3000);
    EXPECT_GT(promoted, 10000);
}

// The computer's drops in a series of whole matches against a person who plays by a fixed
// pseudo-random rule, in both seats, written as "kind@XY" per drop and "|" at each match end.
std::string computerDropsOverMatches(int matches) {
    // Told of the end of a match while its last position is still on the board.
    RecordingPlatform screen;
    Form1 game(screen);
    game.Form_Load();
    std::uint32_t state = 12345;
    const auto next = [&state](int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
    };
    const auto press = [&game](int gx, int gy) {
        game.Form_MouseDown(1, 0, F::盤X + (gx + 0.5) * F::桝幅, F::盤Y + (gy + 0.5) * F::桝高);
    };
    std::string drops;
    const auto noteComputerDrop = [&] {
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                if (game.盤記録[game.手数][x][y] != game.盤記録[game.手数 - 1][x][y]) {
                    drops +=
                        std::to_string(game.将棋盤[x][y]) + "@" + std::to_string(x * 10 + y) + " ";
                }
            }
        }
    };
    // The computer's last drop, the winning one or the one before a draw, is followed by the
    // announcement with the person to move.
    screen.onEvent = [&](const RecordingPlatform::Event& event) {
        if (event.kind == "box" && event.text != "あなたの勝ちです" && game.手番 == game.人間側) {
            noteComputerDrop();
        }
    };
    for (int m = 0; m < matches; ++m) {
        if (m % 2 == 0) {
            game.SENTE_Click();
        } else {
            game.GOTE_Click();
            noteComputerDrop();
        }
        while (game.手番 != F::手番_無) {
            std::vector<int> slots;
            for (int slot = 1; slot <= 8; ++slot) {
                if (game.先手持駒[slot] > 0) {
                    slots.push_back(slot);
                }
            }
            std::vector<Square> free;
            for (int x = 1; x <= 9; ++x) {
                for (int y = 1; y <= 9; ++y) {
                    if (game.将棋盤[x][y] == F::空桝 && game.勢力盤[x][y] == 0) {
                        free.emplace_back(x, y);
                    }
                }
            }
            const auto [x, y] = free[next(static_cast<int>(free.size()))];
            press(11, slots[next(static_cast<int>(slots.size()))] + 1);
            press(x, y);
            if (game.手番 == game.人間側 && game.手数 >= 2) {
                noteComputerDrop();
            }
        }
        drops += "| ";
    }
    return drops;
}

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

// The computer's play, pinned: the first two matches drop by drop, a hundred matches by a
// hash of all their drops.
TEST(ComputerPlay, DropsOfWholeMatchesStayTheSame) {
    const std::string drops = computerDropsOverMatches(100);
    const std::size_t firstTwo = drops.find("| ", drops.find("| ") + 2) + 2;
    EXPECT_EQ(drops.substr(0, firstTwo),
              "950@22 110@25 110@28 100@52 100@53 30@48 30@57 900@95 800@47 20@54 | "
              "950@22 110@25 110@82 100@45 100@29 30@43 30@53 10@46 900@49 800@52 20@19 | ");
    EXPECT_EQ(fnv1a(drops), 9177301969991077440u);
}

} // namespace
