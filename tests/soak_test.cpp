// Long random sequences of presses, menu commands and answers, with the game's invariants
// checked after every event. KOVALT_SOAK_EVENTS sets the number of events and
// KOVALT_SOAK_SEED the first seed; both are printed so that a failing run can be replayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/form1.h"
#include "testkit/recording_platform.h"

namespace {

using F = Form1;

struct Stats {
    long events = 0;
    long drops = 0;
    long starts = 0;
    long ends = 0;
    long draws = 0;
    long towardsDraw = 0; // matches played with quiet drops
    long quits = 0;
};

int kindPicture(int kind) {
    switch (kind) {
    case F::駒_歩:
        return static_cast<int>(Picture::SitaHu0);
    case F::駒_と:
        return static_cast<int>(Picture::SitaHu1);
    case F::駒_香:
        return static_cast<int>(Picture::SitaKyou0);
    case F::駒_香成:
        return static_cast<int>(Picture::SitaKyou1);
    case F::駒_桂:
        return static_cast<int>(Picture::SitaKei0);
    case F::駒_桂成:
        return static_cast<int>(Picture::SitaKei1);
    case F::駒_銀:
        return static_cast<int>(Picture::SitaGin0);
    case F::駒_銀成:
        return static_cast<int>(Picture::SitaGin1);
    case F::駒_金:
        return static_cast<int>(Picture::SitaKin);
    case F::駒_角:
        return static_cast<int>(Picture::SitaKaku0);
    case F::駒_角成:
        return static_cast<int>(Picture::SitaKaku1);
    case F::駒_飛:
        return static_cast<int>(Picture::SitaSya0);
    case F::駒_飛成:
        return static_cast<int>(Picture::SitaSya1);
    case F::駒_王:
        return static_cast<int>(Picture::SitaOu);
    default:
        return -1;
    }
}

// The invariants of play, which hold while the application runs.
std::string brokenPlay(F& g, const RecordingPlatform& screen, int pieces) {
    if (pieces != g.手数) {
        return "pieces on the board differ from the move number";
    }
    for (const int level : {1, 2, 3}) {
        const std::string item = "LEVEL" + std::to_string(level);
        const auto check = screen.checks.find(item);
        if (check == screen.checks.end() || check->second != (g.レベル == level)) {
            return "the check mark of " + item + " differs from the level";
        }
    }
    if (g.手番 != F::手番_無) {
        // 先手 makes the odd-numbered drops in either kind of match.
        if (g.手番 != g.手番_取得(g.手数 + 1)) {
            return "the side to move does not follow from the move number";
        }
        if (g.対局モード == F::モード_COM &&
            (g.COM側 != -g.人間側 || (g.人間側 != F::手番_先手 && g.人間側 != F::手番_後手))) {
            return "the computer and the person do not play opposite sides";
        }
        if (g.調査_勢力外桝あるか() != F::判定_有) {
            return "a match goes on without a free square";
        }
    }
    return "";
}

// Every invariant of a game between events; returns the first one broken, or "".
std::string broken(F& g, const RecordingPlatform& screen) {
    if (screen.actionsAfterQuit != 0) {
        return "something was done after the quit";
    }
    int pieces = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            pieces += g.将棋盤[x][y] != F::空桝 ? 1 : 0;
        }
    }
    int right = 0;
    int left = 0;
    for (int s = 1; s <= 8; ++s) {
        if (g.先手持駒[s] < 0 || g.後手持駒[s] < 0) {
            return "a hand slot below 0";
        }
        right += g.先手持駒[s];
        left += g.後手持駒[s];
    }
    if (pieces + right + left != 40) {
        return "pieces on the board and in hand are not 40";
    }
    if (right != g.先手持駒数 || left != g.後手持駒数) {
        return "a hand total differs from its slots";
    }
    if (g.手数 < 0 || g.手数 > g.最終手数) {
        return "move number outside the record";
    }
    for (int s = 1; s <= 8; ++s) {
        if (g.先手持駒記録[g.手数][s] != g.先手持駒[s] ||
            g.後手持駒記録[g.手数][s] != g.後手持駒[s]) {
            return "the record's hands differ from the hands";
        }
    }
    if (g.盤記録[g.手数] != g.将棋盤) {
        return "the record's board differs from the board";
    }
    const F::盤表 influence = g.勢力盤;
    g.駒範囲調査();
    if (influence != g.勢力盤) {
        return "the influence map differs from a rebuild";
    }
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const int kind = g.将棋盤[x][y];
            int expected = kindPicture(kind);
            if (kind == F::空桝) {
                expected =
                    static_cast<int>(g.勢力盤[x][y] > 0 ? Picture::KaraMasu2 : Picture::KaraMasu);
            }
            if (screen.pictureAt(x, y) != expected) {
                return "board square " + std::to_string(x) + "," + std::to_string(y) +
                       " is not shown as it is";
            }
        }
    }
    static constexpr int kinds[9] = {0,        F::駒_歩, F::駒_香, F::駒_桂, F::駒_銀,
                                     F::駒_金, F::駒_角, F::駒_飛, F::駒_王};
    for (int s = 1; s <= 8; ++s) {
        const struct {
            int count;
            int column;
            int row;
            int countColumn;
        } hands[2] = {{g.先手持駒[s], 11, s + 1, 12}, {g.後手持駒[s], -1, 9 - s, 0}};
        for (const auto& h : hands) {
            const int picture =
                h.count > 0 ? kindPicture(kinds[s]) : static_cast<int>(Picture::KaraMasu);
            const std::string count = h.count > 0 ? " " + std::to_string(h.count) : "";
            if (screen.pictureAt(h.column, h.row) != picture ||
                screen.textIn(h.countColumn, h.row, F::色_明紫) != count) {
                return "hand slot " + std::to_string(s) + " in column " + std::to_string(h.column) +
                       " is not shown as it is";
            }
        }
    }
    return g.hasQuit() ? "" : brokenPlay(g, screen, pieces);
}

// The drop that leaves the most free squares: the piece from the side to move's hand, the
// square and the button whose drop covers the fewest free squares besides its own, the first
// such in a random order. Matches played this way end drawn: the hands run out before the
// free squares do. Tried on a scratch game so that the game under test stays untouched.
struct QuietDrop {
    int column = 0;
    int row = 0;
    int x = 0;
    int y = 0;
    int button = 1;
};

std::optional<QuietDrop> quietestDrop(const F& g, F& scratch, std::mt19937& rng) {
    const bool rightHand = g.対局モード == F::モード_COM || g.手番 == F::手番_先手;
    const F::持駒表& hand = rightHand ? g.先手持駒 : g.後手持駒;
    std::vector<QuietDrop> candidates;
    for (int slot = 1; slot <= 8; ++slot) {
        if (hand[slot] <= 0) {
            continue;
        }
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                if (g.将棋盤[x][y] != F::空桝 || g.勢力盤[x][y] != 0) {
                    continue;
                }
                for (const int button : {1, 2}) {
                    candidates.push_back(
                        {rightHand ? 11 : -1, rightHand ? slot + 1 : 9 - slot, x, y, button});
                }
            }
        }
    }
    std::shuffle(candidates.begin(), candidates.end(), rng);
    std::optional<QuietDrop> best;
    int fewest = 82;
    scratch.将棋盤 = g.将棋盤;
    for (const QuietDrop& c : candidates) {
        const int slot = c.column == 11 ? c.row - 1 : 9 - c.row;
        int kind = F::kSlotKinds[slot];
        if (c.button == 2 && scratch.調査_駒成(kind) == F::判定_有) {
            kind = scratch.成駒種類;
        }
        for (auto& column : scratch.勢力盤) {
            column.fill(0);
        }
        scratch.将棋盤[c.x][c.y] = kind;
        scratch.駒範囲調査_移動駒(c.x, c.y);
        scratch.将棋盤[c.x][c.y] = F::空桝;
        int lost = 0;
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                lost += scratch.勢力盤[x][y] > 0 && g.将棋盤[x][y] == F::空桝 && g.勢力盤[x][y] == 0
                            ? 1
                            : 0;
            }
        }
        if (lost < fewest) {
            fewest = lost;
            best = c;
            if (lost == 0) {
                break;
            }
        }
    }
    return best;
}

void soak(long events, unsigned seed, Stats& stats) {
    std::mt19937 rng(seed);
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    auto screen = std::make_unique<RecordingPlatform>();
    auto game = std::make_unique<F>(*screen);
    RecordingPlatform scratchScreen;
    F scratch(scratchScreen);
    game->Form_Load();
    const int buttons[] = {1, 2, 1, 2, 4, 0, 3, -1, 7};
    // Some matches are played towards a draw: almost every event is then a quiet drop.
    bool towardsDraw = false;
    for (long i = 0; i < events; ++i) {
        for (int k = 0; k < 4; ++k) {
            screen->answers.push_back(chance(90));
        }
        const std::size_t boxes = screen->boxes.size();
        const int before = game->手数;
        const bool running = game->手番 != F::手番_無;
        // Below 8 a menu command, below 45 a drop by the rules, 100 a quiet drop, else a press
        // anywhere.
        int r = static_cast<int>(rng() % 100);
        if (towardsDraw && running) {
            r = r < 2 ? 0 : r < 92 ? 100 : 50;
        }
        std::string event;
        bool pressed = true;
        if (r == 100) {
            const std::optional<QuietDrop> d = quietestDrop(*game, scratch, rng);
            if (!d) {
                continue;
            }
            event = "quiet drop from " + std::to_string(d->column) + "," + std::to_string(d->row) +
                    " on " + std::to_string(d->x) + "," + std::to_string(d->y) + " button " +
                    std::to_string(d->button);
            game->Form_MouseDown(1, 0, F::盤X + (d->column + 0.5) * F::桝幅,
                                 F::盤Y + (d->row + 0.5) * F::桝高);
            game->Form_MouseDown(d->button, 0, F::盤X + (d->x + 0.5) * F::桝幅,
                                 F::盤Y + (d->y + 0.5) * F::桝高);
        } else if (r < 8) {
            pressed = false;
            static const char* const names[] = {"START",     "SENTE",  "GOTE",  "LEVEL1", "LEVEL2",
                                                "LEVEL3",    "REPLAY", "AFTER", "CANCEL", "VER",
                                                "MATCH_MAN", "OWARI",  "UNLOAD"};
            const int which = static_cast<int>(rng() % 13);
            // Quitting ends a run; keep it rare so that matches get played.
            if (which >= 11 && !chance(5)) {
                continue;
            }
            event = names[which];
            switch (which) {
            case 0:
                game->START_Click();
                ++stats.starts;
                break;
            case 1:
                game->SENTE_Click();
                ++stats.starts;
                break;
            case 2:
                game->GOTE_Click();
                ++stats.starts;
                break;
            case 3:
                game->LEVEL1_Click();
                break;
            case 4:
                game->LEVEL2_Click();
                break;
            case 5:
                game->LEVEL3_Click();
                break;
            case 6:
                game->REPLAY_Click();
                break;
            case 7:
                game->AFTER_Click();
                break;
            case 8:
                game->CANCEL_Click();
                break;
            case 9:
                game->VER_Click();
                break;
            case 10:
                game->MATCH_MAN_Click();
                break;
            case 11:
                game->OWARI_Click();
                break;
            default:
                game->Form_Unload();
                break;
            }
        } else if (r < 45 && game->手番 != F::手番_無) {
            // A player who knows the rules: pick from the hand whose turn it is, drop on a
            // free square.
            const bool rightHand = game->対局モード == F::モード_COM || game->手番 == F::手番_先手;
            const int slot = static_cast<int>(rng() % 8) + 1;
            const int column = rightHand ? 11 : -1;
            const int row = rightHand ? slot + 1 : 9 - slot;
            game->Form_MouseDown(1, 0, F::盤X + (column + 0.5) * F::桝幅,
                                 F::盤Y + (row + 0.5) * F::桝高);
            int tx = 0;
            int ty = 0;
            for (int k = 0; k < 81 && tx == 0; ++k) {
                const int x = static_cast<int>(rng() % 9) + 1;
                const int y = static_cast<int>(rng() % 9) + 1;
                if (game->将棋盤[x][y] == F::空桝 && game->勢力盤[x][y] == 0) {
                    tx = x;
                    ty = y;
                }
            }
            event = "pick " + std::to_string(column) + "," + std::to_string(row) + " drop " +
                    std::to_string(tx) + "," + std::to_string(ty);
            if (tx != 0) {
                game->Form_MouseDown(chance(20) ? 2 : 1, 0, F::盤X + (tx + 0.5) * F::桝幅,
                                     F::盤Y + (ty + 0.5) * F::桝高);
            }
        } else {
            double x;
            double y;
            if (r < 90) {
                // Mostly on the hands and the board, where the game happens.
                const int gx = static_cast<int>(rng() % 14) - 2;
                const int gy = static_cast<int>(rng() % 12) - 1;
                x = F::盤X + (gx + (rng() % 1000) / 1000.0) * F::桝幅;
                y = F::盤Y + (gy + (rng() % 1000) / 1000.0) * F::桝高;
            } else {
                x = static_cast<double>(static_cast<int>(rng() % 40000)) - 15000.5;
                y = static_cast<double>(static_cast<int>(rng() % 40000)) - 15000.25;
            }
            const int button = buttons[rng() % 9];
            event = "press " + std::to_string(x) + "," + std::to_string(y) + " button " +
                    std::to_string(button);
            game->Form_MouseDown(button, 0, x, y);
        }
        ++stats.events;
        if (game->手数 > before) {
            stats.drops += game->手数 - before;
        }
        for (std::size_t b = boxes; b < screen->boxes.size(); ++b) {
            if (screen->boxes[b].title == "終了") {
                ++stats.ends;
                stats.draws += screen->boxes[b].text == "引き分けです" ? 1 : 0;
            }
        }
        std::string fault = broken(*game, *screen);
        // Any press while the computer is to move starts its turn, and a drop of the person's
        // that does not end the match is answered at once.
        if (fault.empty() && pressed && !game->hasQuit() && game->手番 != F::手番_無 &&
            game->対局モード == F::モード_COM && game->手番 != game->人間側) {
            fault = "the computer has not answered";
        }
        ASSERT_EQ(fault, "") << "seed " << seed << ", event " << i << ": " << event;
        if (!running && game->手番 != F::手番_無) {
            towardsDraw = chance(40);
            stats.towardsDraw += towardsDraw ? 1 : 0;
        }
        if (game->hasQuit()) {
            ++stats.quits;
            // Nothing reacts any more; every later event must leave the screen alone.
            game->Form_MouseDown(1, 0, 3000, 3000);
            game->REPLAY_Click();
            game->Form_Load();
            ASSERT_EQ(screen->actionsAfterQuit, 0) << "seed " << seed;
            ASSERT_EQ(screen->quits, 1) << "seed " << seed;
            screen = std::make_unique<RecordingPlatform>();
            game = std::make_unique<F>(*screen);
            game->Form_Load();
        }
    }
}

// A whole number from the environment, or the fallback when the variable is not set.
long fromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || errno != 0 || value < 0) {
        ADD_FAILURE() << name << " is not a whole number: \"" << text << "\"";
        return fallback;
    }
    return value;
}

TEST(Soak, RandomEventsKeepEveryInvariant) {
    constexpr long kDefaultEvents = 60000;
    const long events = fromEnvironment("KOVALT_SOAK_EVENTS", kDefaultEvents);
    const auto firstSeed = static_cast<unsigned>(fromEnvironment("KOVALT_SOAK_SEED", 1));
    std::printf("soak: KOVALT_SOAK_SEED=%u KOVALT_SOAK_EVENTS=%ld\n", firstSeed, events);
    std::fflush(stdout);
    Stats stats;
    // Six runs of a sixth each, seeds counting up from the first.
    const long perSeed = events / 6 + 1;
    for (unsigned seed = firstSeed; seed < firstSeed + 6 && !HasFatalFailure(); ++seed) {
        soak(perSeed, seed, stats);
    }
    RecordProperty("events", std::to_string(stats.events));
    std::printf("soak: %ld events, %ld drops, %ld start commands, %ld matches ended (%ld drawn, "
                "%ld matches played towards a draw), %ld quits\n",
                stats.events, stats.drops, stats.starts, stats.ends, stats.draws, stats.towardsDraw,
                stats.quits);
    EXPECT_GT(stats.ends, 0);
    EXPECT_GT(stats.drops, 100);
    if (events >= kDefaultEvents) {
        EXPECT_GT(stats.draws, 0);
    }
}

} // namespace
