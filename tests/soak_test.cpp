// Long random sequences of presses, menu commands and answers, with the game's invariants
// checked after every event. KOVALT_SOAK_EVENTS sets a longer run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "game/form1.h"
#include "tests/recording_platform.h"

namespace {

using F = Form1;

struct Stats {
    long events = 0;
    long drops = 0;
    long starts = 0;
    long ends = 0;
    long draws = 0;
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
    return "";
}

void soak(long events, unsigned seed, Stats& stats) {
    std::mt19937 rng(seed);
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    auto screen = std::make_unique<RecordingPlatform>();
    auto game = std::make_unique<F>(*screen);
    game->Form_Load();
    const int buttons[] = {1, 2, 1, 2, 4, 0, 3, -1, 7};
    for (long i = 0; i < events; ++i) {
        for (int k = 0; k < 4; ++k) {
            screen->answers.push_back(chance(90));
        }
        const std::size_t boxes = screen->boxes.size();
        const int before = game->手数;
        const int r = static_cast<int>(rng() % 100);
        std::string event;
        if (r < 8) {
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
        const std::string fault = broken(*game, *screen);
        ASSERT_EQ(fault, "") << "seed " << seed << ", event " << i << ": " << event;
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

TEST(Soak, RandomEventsKeepEveryInvariant) {
    long events = 60000;
    if (const char* env = std::getenv("KOVALT_SOAK_EVENTS")) {
        events = std::atol(env);
    }
    Stats stats;
    const long perSeed = events / 6 + 1;
    for (unsigned seed = 1; seed <= 6 && !HasFatalFailure(); ++seed) {
        soak(perSeed, seed, stats);
    }
    RecordProperty("events", std::to_string(stats.events));
    std::printf("soak: %ld events, %ld drops, %ld start commands, %ld matches ended (%ld drawn), "
                "%ld quits\n",
                stats.events, stats.drops, stats.starts, stats.ends, stats.draws, stats.quits);
    EXPECT_GT(stats.ends, 0);
    EXPECT_GT(stats.drops, 100);
}

} // namespace
