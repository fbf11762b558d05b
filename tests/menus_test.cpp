// The match menus: starting a match of each kind in every state, the level items, quitting,
// the do-nothing item, the about box, and the resets that bring the level back to 3.
#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "tests/game_fixture.h"

namespace {

// Passes every call on to the recorder and writes it down, so that a test can tell that
// nothing at all was asked of the platform, and in what order things came.
class Tap : public Platform {
public:
    explicit Tap(Platform& inner) : inner_(inner) {}
    std::vector<std::string> log;

    void paintPicture(Picture p, double x, double y) override {
        note("picture").paintPicture(p, x, y);
    }
    void outlineRect(double x1, double y1, double x2, double y2, int colour) override {
        note("outline").outlineRect(x1, y1, x2, y2, colour);
    }
    void printText(double x, double y, const std::string& text, double points, bool bold,
                   int colour) override {
        note("text").printText(x, y, text, points, bold, colour);
    }
    void setBackgroundColour(int c) override { note("background").setBackgroundColour(c); }
    void repaintNow() override { note("repaint").repaintNow(); }
    void showMessage(const std::string& text, const std::string& title) override {
        note("box " + text).showMessage(text, title);
    }
    bool askYesNo(const std::string& text, const std::string& title) override {
        return note("ask " + text).askYesNo(text, title);
    }
    void playSound(const std::string& name) override { note("sound " + name).playSound(name); }
    int clockSeconds() override { return note("clock").clockSeconds(); }
    void rest() override { note("rest").rest(); }
    void quit() override { note("quit").quit(); }
    void setMenuChecked(const std::string& item, bool on) override {
        note("check " + item).setMenuChecked(item, on);
    }
    double windowTop() override { return note("top").windowTop(); }
    void placeWindow(double left, double top, double width, double height) override {
        note("place").placeWindow(left, top, width, height);
    }

private:
    Platform& inner_;

    Platform& note(const std::string& entry) {
        log.push_back(entry);
        return inner_;
    }
};

using Log = std::vector<std::string>;

// Every field a menu command could disturb.
struct Snapshot {
    Form1::盤表 board;
    Form1::持駒表 right, left;
    std::array<Form1::盤表, Form1::記録数> record;
    std::array<Form1::持駒表, Form1::記録数> rightRecord, leftRecord;
    int turn, moves, last, mode, human, com, picked, level;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const Form1& f) {
    return {f.将棋盤, f.先手持駒, f.後手持駒,   f.盤記録, f.先手持駒記録, f.後手持駒記録, f.手番,
            f.手数,   f.最終手数, f.対局モード, f.人間側, f.COM側,        f.選択状態,     f.レベル};
}

std::string digitsOf(const std::string& text) {
    std::string d;
    std::copy_if(text.begin(), text.end(), std::back_inserter(d),
                 [](char c) { return c >= '0' && c <= '9'; });
    return d;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

using Handler = void (Form1::*)();
const Handler kStarts[] = {&Form1::START_Click, &Form1::SENTE_Click, &Form1::GOTE_Click};
const char* const kStartNames[] = {"Start", "Sente", "Gote"};
const Handler kLevels[] = {nullptr, &Form1::LEVEL1_Click, &Form1::LEVEL2_Click,
                           &Form1::LEVEL3_Click};
const Form1::持駒表 kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// The states of the match table: how they are reached, and the move number they have.
struct MatchState {
    const char* name;
    Handler start; // none for the state right after start-up
    bool drop;     // the person drops a 歩 on (5, 5); the computer, if playing, answers
    int moves;
};
const MatchState kSetups[] = {
    {"Fresh", nullptr, false, 0},
    {"PersonOpen", &Form1::START_Click, false, 0},
    {"ComOpen", &Form1::SENTE_Click, false, 0},
    {"PersonBegun", &Form1::START_Click, true, 1},
    {"PersonFirstBegun", &Form1::SENTE_Click, true, 2},
    {"ComFirstBegun", &Form1::GOTE_Click, false, 1}, // the computer has dropped at once
};

enum Outcome { Accepted, Refused, Ignored };

// Columns: START, SENTE, GOTE. A match is open before its first drop; after it only another
// kind of match is refused, and the same kind is let be.
const Outcome kOutcomes[6][3] = {
    {Accepted, Accepted, Accepted}, {Accepted, Accepted, Accepted}, {Accepted, Accepted, Accepted},
    {Ignored, Refused, Refused},    {Refused, Ignored, Ignored},    {Refused, Ignored, Ignored},
};

class MenusTest : public GameTest {
protected:
    Tap tap{screen};

    void SetUp() override {
        game = std::make_unique<Form1>(tap);
        game->Form_Load();
        forget();
    }

    void forget() {
        tap.log.clear();
        clearLog();
    }

    void click(Handler h) { (game.get()->*h)(); }

    // Brings the game into a state of the table; the logs start empty afterwards.
    void prepare(const MatchState& s) {
        if (s.start != nullptr) {
            click(s.start);
        }
        if (s.drop) {
            dropRight(1, 5, 5);
        }
        ASSERT_EQ(game->手数, s.moves);
        forget();
    }

    std::vector<std::string> checkedItems() const {
        std::vector<std::string> on;
        for (const auto& [item, checked] : screen.checks) {
            if (checked) {
                on.push_back(item);
            }
        }
        return on;
    }

    void expectLevelShown(int level) {
        EXPECT_EQ(screen.textIn(-1, 0, F::色_白), "LEVEL");
        EXPECT_EQ(digitsOf(screen.textIn(0, 0, F::色_白)), std::to_string(level));
    }

    void expectNoLevelShown() {
        for (int x = -2; x <= 0; ++x) {
            EXPECT_TRUE(screen.hasPicture(x, 0, Picture::Haikei)) << x;
            EXPECT_TRUE(screen.textsIn(x, 0).empty()) << x;
        }
    }

    bool logged(const std::string& entry) const {
        return std::find(tap.log.begin(), tap.log.end(), entry) != tap.log.end();
    }
};

// ---------------------------------------------------------------- starting a match

class MenuStartTest : public MenusTest,
                      public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(MenuStartTest, FollowsTheMatchStateTable) {
    const auto [state, cmd] = GetParam();
    prepare(kSetups[state]);
    // Forgotten board pictures show whether the start draws the covered squares.
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            screen.pictures.erase({x, y});
        }
    }
    const Snapshot before = snapshotOf(*game);
    click(kStarts[cmd]);

    switch (kOutcomes[state][cmd]) {
    case Ignored:
        EXPECT_EQ(tap.log, Log{});
        EXPECT_TRUE(snapshotOf(*game) == before);
        return;
    case Refused:
        EXPECT_EQ(tap.log, (Log{"sound 禁止", "box 対局相手の変更はできません"}));
        EXPECT_TRUE(lastBoxIs("対局相手の変更はできません", "対局中です"));
        EXPECT_FALSE(screen.boxes.back().yesNo);
        EXPECT_TRUE(snapshotOf(*game) == before);
        return;
    case Accepted:
        break;
    }
    EXPECT_EQ(count("禁止"), 0);
    if (cmd == 2) {
        // The computer drops at once as 先手, from its own column, without a word.
        EXPECT_TRUE(screen.boxes.empty());
        EXPECT_EQ(game->対局モード, F::モード_COM);
        EXPECT_EQ(game->人間側, F::手番_後手);
        EXPECT_EQ(game->COM側, F::手番_先手);
        EXPECT_EQ(game->手番, F::手番_後手);
        EXPECT_EQ(game->手数, 1);
        EXPECT_EQ(game->最終手数, 1);
        EXPECT_EQ(game->先手持駒, kFullHand);
        EXPECT_EQ(game->取得_全持駒数(F::手番_後手), 19);
        EXPECT_EQ(piecesInPlay(), 40);
        return;
    }
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_FALSE(screen.boxes[0].yesNo);
    EXPECT_TRUE(lastBoxIs(cmd == 0 ? "先手の番です" : "あなたの番です", " "));
    EXPECT_EQ(game->対局モード, cmd == 0 ? F::モード_人間 : F::モード_COM);
    EXPECT_EQ(game->人間側, F::手番_先手);
    EXPECT_EQ(game->COM側, F::手番_後手);
    EXPECT_EQ(game->手番, F::手番_先手);
    EXPECT_EQ(game->手数, 0);
    EXPECT_EQ(game->最終手数, 0);
    EXPECT_TRUE(screen.sounds.empty());
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(game->将棋盤[x][y], F::空桝);
            EXPECT_TRUE(screen.hasPicture(x, y, Picture::KaraMasu)) << x << "," << y;
            EXPECT_EQ(screen.outlineAt(x, y), F::色_緑) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuStartTest,
                         ::testing::Combine(::testing::Range(0, 6), ::testing::Range(0, 3)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                             return std::string(kSetups[std::get<0>(info.param)].name) + "_" +
                                    kStartNames[std::get<1>(info.param)];
                         });

TEST_F(MenusTest, PersonMatchRemovesTheLevelDisplayAndComputerMatchesShowTheCurrentLevel) {
    expectNoLevelShown();
    game->LEVEL2_Click();
    expectLevelShown(2);
    game->START_Click();
    expectNoLevelShown();
    game->SENTE_Click();
    expectLevelShown(2);

    game->Form_Load();
    game->LEVEL1_Click();
    game->START_Click();
    expectNoLevelShown();
    game->GOTE_Click();
    expectLevelShown(1);
}

TEST_F(MenusTest, ComputerStartForgetsAPickedPiece) {
    for (int cmd : {1, 2}) {
        SCOPED_TRACE(kStartNames[cmd]);
        game->Form_Load();
        game->START_Click();
        press(11, 2);
        ASSERT_EQ(game->選択状態, 1);
        click(kStarts[cmd]);
        EXPECT_EQ(game->選択状態, 0);
    }
}

// ---------------------------------------------------------------- levels

class MenuLevelTest : public MenusTest, public ::testing::WithParamInterface<int> {};

TEST_P(MenuLevelTest, MovesTheOnlyCheckMarkAndShowsTheLevelInAnyState) {
    prepare(kSetups[GetParam()]);
    EXPECT_EQ(game->レベル, 3);
    EXPECT_EQ(checkedItems(), std::vector<std::string>{"LEVEL3"});
    Snapshot expected = snapshotOf(*game);
    // Level 3 is checked at start-up, so each of these is a change.
    for (int level : {1, 2, 3}) {
        SCOPED_TRACE("LEVEL" + std::to_string(level));
        forget();
        click(kLevels[level]);
        EXPECT_EQ(checkedItems(), std::vector<std::string>{"LEVEL" + std::to_string(level)});
        expectLevelShown(level);
        EXPECT_TRUE(screen.sounds.empty());
        EXPECT_TRUE(screen.boxes.empty());
        expected.level = level;
        EXPECT_TRUE(snapshotOf(*game) == expected);

        // The checked item again: not even a redraw.
        forget();
        click(kLevels[level]);
        EXPECT_EQ(tap.log, Log{});
        EXPECT_TRUE(snapshotOf(*game) == expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuLevelTest, ::testing::Range(0, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(kSetups[info.param].name);
                         });

// The three ways back to a new game: starting up again, "最初", and "yes" to playing on
// after a finished match.
const char* const kResetNames[] = {"StartUp", "Cancel", "PlayOn"};

class MenuResetTest : public MenusTest, public ::testing::WithParamInterface<int> {};

TEST_P(MenuResetTest, BringsBackTheFirstScreenAndLevelThree) {
    game->LEVEL1_Click();
    game->START_Click();
    dropRight(1, 5, 5);
    dropLeft(1, 2, 8);
    press(11, 9);
    forget();
    switch (GetParam()) {
    case 0:
        game->Form_Load();
        break;
    case 1:
        game->CANCEL_Click();
        // The sound comes once the whole first screen is drawn.
        ASSERT_TRUE(logged("picture"));
        EXPECT_EQ(tap.log.back(), "sound 駒打音");
        EXPECT_EQ(screen.sounds.size(), 1u);
        break;
    case 2:
        // Every other square holds a 歩, which covers only the square above it: (1, 9) is
        // the last free square and 先手's drop there ends the match.
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                game->将棋盤[x][y] = (x == 1 && y == 9) ? F::空桝 : F::駒_歩;
            }
        }
        game->駒範囲調査();
        screen.answers = {true};
        dropRight(1, 1, 9);
        ASSERT_TRUE(logged("ask 続けますか？"));
        EXPECT_EQ(screen.quits, 0);
        break;
    }
    EXPECT_EQ(game->レベル, 3);
    EXPECT_EQ(checkedItems(), std::vector<std::string>{"LEVEL3"});
    expectNoLevelShown();
    EXPECT_TRUE(screen.textsIn(13, 3).empty()) << "no move number on the first screen";
    EXPECT_EQ(game->手番, F::手番_無);
    EXPECT_EQ(game->手数, 0);
    EXPECT_EQ(game->最終手数, 0);
    EXPECT_EQ(game->選択状態, 0);
    EXPECT_EQ(game->将棋盤, Form1::盤表{});
    EXPECT_EQ(game->先手持駒, kFullHand);
    EXPECT_EQ(game->後手持駒, kFullHand);
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuResetTest, ::testing::Range(0, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(kResetNames[info.param]);
                         });

// ---------------------------------------------------------------- quitting and the rest

class MenuQuitTest : public MenusTest, public ::testing::WithParamInterface<Handler> {};

TEST_P(MenuQuitTest, EndsAtOnceAndNothingFollows) {
    game->START_Click();
    dropRight(1, 5, 5);
    press(-1, 8);
    const Snapshot before = snapshotOf(*game);
    forget();

    click(GetParam());
    EXPECT_EQ(tap.log, Log{"quit"}) << "no question, no sound, no drawing";
    for (Handler h :
         {&Form1::START_Click, &Form1::SENTE_Click, &Form1::GOTE_Click, &Form1::LEVEL1_Click,
          &Form1::LEVEL2_Click, &Form1::MATCH_MAN_Click, &Form1::REPLAY_Click, &Form1::AFTER_Click,
          &Form1::CANCEL_Click, &Form1::VER_Click, &Form1::OWARI_Click, &Form1::Form_Unload}) {
        click(h);
    }
    press(2, 8);
    press(11, 2);
    EXPECT_EQ(tap.log, Log{"quit"});
    EXPECT_EQ(screen.quits, 1);
    EXPECT_EQ(screen.actionsAfterQuit, 0);
    EXPECT_TRUE(snapshotOf(*game) == before);
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuQuitTest,
                         ::testing::Values(&Form1::OWARI_Click, &Form1::Form_Unload),
                         [](const ::testing::TestParamInfo<Handler>& info) {
                             return std::string(info.index == 0 ? "Owari" : "WindowClosed");
                         });

TEST_F(MenusTest, MatchManItemDoesNothing) {
    for (int state : {0, 3}) {
        SCOPED_TRACE(kSetups[state].name);
        game->Form_Load();
        prepare(kSetups[state]);
        const Snapshot before = snapshotOf(*game);
        game->MATCH_MAN_Click();
        EXPECT_EQ(tap.log, Log{});
        EXPECT_TRUE(snapshotOf(*game) == before);
    }
}

TEST_F(MenusTest, AboutBoxHasItsNineLines) {
    game->VER_Click();
    ASSERT_EQ(tap.log.size(), 2u);
    EXPECT_EQ(tap.log[0], "sound その他");
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_FALSE(screen.boxes[0].yesNo);

    const std::vector<std::string> lines = linesOf(screen.boxes[0].text);
    ASSERT_EQ(lines.size(), 9u) << screen.boxes[0].text;
    EXPECT_NE(lines[0].find("Kovalt"), std::string::npos);
    EXPECT_NE(digitsOf(lines[0]), "") << "the version line names a version";
    EXPECT_EQ(lines[1], "");
    ASSERT_GT(lines[2].size(), 19u);
    EXPECT_EQ(lines[2].substr(0, 19), std::string(19, ' '));
    EXPECT_NE(lines[2][19], ' ') << "the maker's name follows 19 blanks exactly";
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Home page");
    EXPECT_NE(lines[5], "");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "e-mail");
    EXPECT_NE(lines[8].find('@'), std::string::npos);
}

TEST_F(MenusTest, AboutBoxLeavesAMatchInProgressAsItWas) {
    game->START_Click();
    dropRight(1, 5, 5);
    press(-1, 8); // 後手 picks a 歩
    const Snapshot before = snapshotOf(*game);
    forget();

    game->VER_Click();
    EXPECT_EQ(tap.log.size(), 2u);
    EXPECT_EQ(count("その他"), 1);
    EXPECT_TRUE(snapshotOf(*game) == before);

    // The pick survives: the next press drops it.
    press(2, 8);
    EXPECT_EQ(game->将棋盤[2][8], F::駒_歩);
    EXPECT_EQ(game->手数, 2);
}

} // namespace
