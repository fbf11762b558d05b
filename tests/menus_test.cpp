// The match and level menus in every state, leaving, the about box, and the resets that bring
// back the first screen.
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "testkit/game_fixture.h"

namespace {

using Log = std::vector<std::string>;

// Sounds and boxes in the order they came (a sound that follows a modal box is heard only once
// the box is closed).
Log soundsAndBoxes(const RecordingPlatform& tap) {
    return tap.events({"sound", "box"});
}

// Every field a menu command could disturb, the level aside.
auto stateOf(const Form1& f) {
    return std::tuple(f.将棋盤, f.先手持駒, f.後手持駒, f.先手持駒数, f.後手持駒数, f.手番, f.手数,
                      f.最終手数, f.対局モード, f.人間側, f.COM側, f.選択状態);
}

// Lines of a box text, whether they end in CR, LF or both.
Log linesOf(const std::string& text) {
    Log lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            lines.back() += text[i];
        } else if (text.compare(i, 2, "\r\n") != 0) {
            lines.emplace_back();
        }
    }
    return lines;
}

using Handler = void (Form1::*)();
const Handler kCommands[] = {&Form1::START_Click, &Form1::SENTE_Click, &Form1::GOTE_Click,
                             &Form1::MATCH_MAN_Click};
const Form1::持駒表 kFullHand = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// A state of the match: its start command (-1: none since start-up), then a 歩 picked ('p')
// or dropped on (5, 5) ('d') by the person, which the computer, if playing, answers. A match
// is open before its first drop; after it another kind of match is refused and the same kind
// is let be; "対局(人間)" only opens its submenu. Outcomes of スタート, 先手, 後手, 対局(人間):
// Accepted, Refused or let be (-).
struct Row {
    int start;
    char then;
    const char* outcomes;
};
const Row kTable[] = {{-1, ' ', "AAA-"}, {0, 'p', "AAA-"}, {1, 'p', "AAA-"},
                      {0, 'd', "-RR-"},  {1, 'd', "R---"}, {2, ' ', "R---"}};

class MenusTest : public GameTest {
protected:
    RecordingPlatform tap;

    void SetUp() override {
        game = std::make_unique<Form1>(tap);
        game->Form_Load();
    }

    void click(Handler h) { (game.get()->*h)(); }

    // Forgets all that was drawn, played and shown, so that `quiet` tells whether anything
    // happened since.
    void forget() { tap = RecordingPlatform{}; }
    bool quiet() const {
        return soundsAndBoxes(tap).empty() && tap.pictures.empty() && tap.outlines.empty() &&
               tap.texts.empty() && tap.checks.empty();
    }

    bool onlyChecked(int level) const {
        return tap.checks == std::map<std::string, bool>{{"LEVEL1", level == 1},
                                                         {"LEVEL2", level == 2},
                                                         {"LEVEL3", level == 3}};
    }

    void expectLevelShown(int level) {
        EXPECT_EQ(tap.textIn(-1, 0, F::色_白), "LEVEL");
        EXPECT_EQ(tap.textIn(0, 0, F::色_白), " " + std::to_string(level));
    }

    void expectNoLevelShown() {
        for (int x = -2; x <= 0; ++x) {
            EXPECT_TRUE(tap.hasPicture(x, 0, Picture::Haikei) && tap.textsIn(x, 0).empty()) << x;
        }
    }
};

class MenuStartTest : public MenusTest,
                      public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(MenuStartTest, FollowsTheMatchStateTable) {
    const auto [row, cmd] = GetParam();
    if (kTable[row].start >= 0) {
        click(kCommands[kTable[row].start]);
    }
    if (kTable[row].then != ' ') {
        press(11, 2);
    }
    if (kTable[row].then == 'd') {
        press(5, 5);
    }
    // The level may be chosen in any state; the checked item again changes nothing, not even
    // the drawing.
    forget();
    game->LEVEL2_Click();
    EXPECT_TRUE(onlyChecked(2));
    EXPECT_EQ(game->レベル, 2);
    expectLevelShown(2);
    forget();
    game->LEVEL2_Click();
    EXPECT_TRUE(quiet());

    const auto before = stateOf(*game);
    click(kCommands[cmd]);
    const char outcome = kTable[row].outcomes[cmd];
    if (outcome != 'A') {
        EXPECT_EQ(soundsAndBoxes(tap),
                  (outcome == '-' ? Log{} : Log{"sound 禁止", "box 対局相手の変更はできません"}));
        EXPECT_TRUE(outcome == '-' ? quiet() : tap.boxes.at(0).title == "対局中です");
        EXPECT_EQ(stateOf(*game), before);
        return;
    }
    EXPECT_EQ(game->最終手数, game->手数) << "a new record";
    if (cmd == 0) {
        expectNoLevelShown(); // no computer takes part
    } else {
        expectLevelShown(2);
        EXPECT_EQ(game->選択状態, 0);
    }
    if (cmd == 2) {
        // The computer drops at once as 先手, from its own column, without a word.
        EXPECT_TRUE(tap.boxes.empty());
        EXPECT_EQ(std::tuple(game->対局モード, game->人間側, game->COM側, game->手番, game->手数),
                  std::tuple(F::モード_COM, F::手番_後手, F::手番_先手, F::手番_後手, 1));
        EXPECT_EQ(game->先手持駒, kFullHand);
        EXPECT_EQ(game->後手持駒数, 19);
        EXPECT_EQ(piecesInPlay(), 40);
        return;
    }
    EXPECT_EQ(soundsAndBoxes(tap), Log{cmd == 0 ? "box 先手の番です" : "box あなたの番です"});
    EXPECT_EQ(tap.boxes.at(0).title, " ");
    EXPECT_EQ(std::tuple(game->対局モード, game->人間側, game->COM側, game->手番, game->手数),
              std::tuple(cmd == 0 ? F::モード_人間 : F::モード_COM, F::手番_先手, F::手番_後手,
                         F::手番_先手, 0));
    // The board is drawn again, its squares uncovered.
    EXPECT_TRUE(tap.hasPicture(5, 5, Picture::KaraMasu));
    EXPECT_EQ(tap.outlineAt(5, 5), F::色_緑);
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuStartTest,
                         ::testing::Combine(::testing::Range(0, 6), ::testing::Range(0, 4)));

// 0: starting up again, 1: "最初", 2: "yes" to playing on after a finished match.
class MenuResetTest : public MenusTest, public ::testing::WithParamInterface<int> {};

TEST_P(MenuResetTest, BringsBackTheFirstScreenAndLevelThree) {
    game->LEVEL1_Click();
    game->START_Click();
    dropRight(1, 5, 5);
    dropLeft(1, 2, 8);
    press(11, 9);
    tap.sounds.clear();
    if (GetParam() == 0) {
        game->Form_Load();
    } else if (GetParam() == 1) {
        tap.pictures.clear();
        // How many cells were painted when the last sound came.
        std::size_t paintedBeforeSound = 0;
        tap.onEvent = [&](const RecordingPlatform::Event& event) {
            if (event.kind == "sound") {
                paintedBeforeSound = tap.pictures.size();
            }
        };
        game->CANCEL_Click();
        EXPECT_EQ(tap.sounds, Log{"駒打音"});
        EXPECT_EQ(paintedBeforeSound, tap.pictures.size()) << "sound once the screen is drawn";
        tap.onEvent = nullptr;
    } else {
        // A 歩 covers only the square above it: with 歩 on every other square, 先手's drop on
        // (1, 9) leaves no free square and ends the match.
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                game->将棋盤[x][y] = x == 1 && y == 9 ? F::空桝 : F::駒_歩;
            }
        }
        game->駒範囲調査();
        dropRight(1, 1, 9); // the recorder answers "yes" to "続けますか？"
    }
    EXPECT_EQ(stateOf(*game), std::tuple(Form1::盤表{}, kFullHand, kFullHand, 20, 20, F::手番_無, 0,
                                         0, F::モード_人間, F::手番_先手, F::手番_後手, 0));
    EXPECT_EQ(game->レベル, 3);
    EXPECT_TRUE(onlyChecked(3));
    expectNoLevelShown();
    for (auto [x, y] : {std::pair{-1, 9}, {0, 9}, {13, 2}, {14, 2}, {13, 3}}) {
        EXPECT_TRUE(tap.textsIn(x, y).empty()) << "no drop or move number at " << x << "," << y;
    }
    // Level 1, chosen before, is a change again.
    game->LEVEL1_Click();
    EXPECT_TRUE(onlyChecked(1));
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuResetTest, ::testing::Range(0, 3));

// The about box during a match, then leaving it: the box leaves the match as it was, the
// quit comes at once and nothing at all follows it.
TEST_F(MenusTest, AboutBoxThenQuitInTheMiddleOfAMatch) {
    for (Handler quit : {&Form1::OWARI_Click, &Form1::Form_Unload}) {
        SetUp();
        game->START_Click();
        dropRight(1, 5, 5);
        press(-1, 8); // 後手 picks a 歩, which stays picked
        const auto before = stateOf(*game);
        forget();
        game->VER_Click();
        ASSERT_EQ(soundsAndBoxes(tap).size(), 2u);
        EXPECT_EQ(soundsAndBoxes(tap)[0], "sound その他");
        const Log lines = linesOf(tap.boxes.at(0).text);
        ASSERT_EQ(lines.size(), 9u) << tap.boxes.at(0).text;
        EXPECT_NE(lines[0].find("Kovalt"), std::string::npos);
        EXPECT_NE(lines[0].find_first_of("0123456789"), std::string::npos) << "names a version";
        EXPECT_EQ(lines[1] + lines[3] + lines[6], "");
        EXPECT_EQ(lines[2].find_first_not_of(' '), 19u) << "the maker's name after 19 blanks";
        EXPECT_EQ(lines[4] + "|" + lines[7], "Home page|e-mail");
        EXPECT_NE(lines[5], "");
        EXPECT_NE(lines[8].find('@'), std::string::npos);

        forget();
        click(quit);
        for (Handler h :
             {&Form1::START_Click, &Form1::SENTE_Click, &Form1::GOTE_Click, &Form1::LEVEL1_Click,
              &Form1::REPLAY_Click, &Form1::AFTER_Click, &Form1::CANCEL_Click, &Form1::VER_Click,
              &Form1::OWARI_Click, &Form1::Form_Unload}) {
            click(h);
        }
        press(2, 8);
        EXPECT_EQ(tap.quits, 1);
        EXPECT_EQ(tap.actionsAfterQuit, 0) << "no question, no sound, no drawing";
        EXPECT_TRUE(tap.checks.empty());
        EXPECT_EQ(stateOf(*game), before);
    }
}

} // namespace
