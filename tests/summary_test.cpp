// The words a screen reader gets for the board: the turn, the move number, the last drop as
// the game writes it beside the board, and the free squares, through whole matches.
#include <string>

#include "testkit/game_fixture.h"

namespace {

class SummaryTest : public GameTest {
protected:
    std::string summary() const { return game->boardSummary(); }
    // The last drop as written in the left-hand or right-hand result area.
    std::string leftArea() const {
        return screen.textIn(-1, 9, F::色_白) + screen.textIn(0, 9, F::色_白);
    }
    std::string rightArea() const {
        return screen.textIn(13, 2, F::色_白) + screen.textIn(14, 2, F::色_白);
    }
};

TEST_F(SummaryTest, BetweenPersonsThroughDropsStepsAndReset) {
    EXPECT_EQ(summary(), "対局していません。空き桝81。");
    game->START_Click();
    EXPECT_EQ(summary(), "先手の番。0手目。空き桝81。");
    // A king covers its eight neighbours.
    dropRight(8, 5, 5);
    EXPECT_EQ(summary(), "後手の番。1手目 先手５五王。空き桝72。");
    EXPECT_EQ(rightArea(), "５五王");
    dropLeft(1, 3, 4);
    EXPECT_EQ(summary(), "先手の番。2手目 後手７四歩。空き桝70。");
    EXPECT_EQ(leftArea(), "７四歩");
    // A promoted bishop on the corner: its diagonal up to the king and two neighbours.
    dropRight(6, 1, 9, F::ボタン_右);
    EXPECT_EQ(summary(), "後手の番。3手目 先手９九角成。空き桝65。");
    // Picking a piece changes nothing that is said.
    press(-1, 8);
    EXPECT_EQ(summary(), "後手の番。3手目 先手９九角成。空き桝65。");

    game->REPLAY_Click();
    EXPECT_EQ(summary(), "先手の番。2手目 後手７四歩。空き桝70。");
    game->REPLAY_Click();
    game->REPLAY_Click();
    EXPECT_EQ(summary(), "先手の番。0手目。空き桝81。");
    game->AFTER_Click();
    EXPECT_EQ(summary(), "後手の番。1手目 先手５五王。空き桝72。");
    game->CANCEL_Click();
    EXPECT_EQ(summary(), "対局していません。空き桝81。");
}

TEST_F(SummaryTest, AgainstTheComputerNamesThePersonAndTheComputer) {
    game->SENTE_Click();
    EXPECT_EQ(summary(), "あなたの番。0手目。空き桝81。");
    dropRight(8, 5, 5);
    // The computer answered within the press; its drop is said as it is written.
    ASSERT_EQ(game->手数, 2);
    ASSERT_FALSE(leftArea().empty());
    const std::string prefix = "あなたの番。2手目 ＣＯＭ" + leftArea() + "。空き桝";
    EXPECT_EQ(summary().substr(0, prefix.size()), prefix) << summary();
    // Stepping back to the computer's turn: it waits for the next press.
    game->REPLAY_Click();
    EXPECT_EQ(summary(), "ＣＯＭの番。1手目 あなた５五王。空き桝72。");

    game->CANCEL_Click();
    game->GOTE_Click();
    ASSERT_EQ(game->手数, 1);
    EXPECT_EQ(summary().substr(0, std::string("あなたの番。1手目 ＣＯＭ").size()),
              "あなたの番。1手目 ＣＯＭ");
    EXPECT_NE(summary().find(leftArea()), std::string::npos) << summary();
}

TEST_F(SummaryTest, TheEndOfAMatchLeavesNoMatchRunning) {
    game->START_Click();
    for (auto& column : game->将棋盤) {
        column.fill(F::駒_歩);
    }
    game->将棋盤[1][1] = F::空桝;
    game->将棋盤[1][2] = F::空桝;
    game->駒範囲調査();
    EXPECT_EQ(summary(), "先手の番。0手目。空き桝1。");
    dropRight(1, 1, 1);
    ASSERT_EQ(screen.boxes.size(), 3u);
    EXPECT_EQ(summary(), "対局していません。空き桝81。");
}

} // namespace

// The keys' presses: a piece letter presses the side to move's hand square of that kind, a
// drop key the middle of a board square; every refusal, box and sound is the mouse's own.
TEST_F(SummaryTest, KeysPressWhereTheMouseWould) {
    RecordingPlatform keyScreen;
    Form1 keyed(keyScreen);
    keyed.Form_Load();
    // Each step once by mouse on `game`, once by the keys' places on `keyed`.
    const auto both = [&](int gx, int gy, int kind, int button = 1) {
        press(gx, gy, button);
        const Form1::Twips at = kind != 0 ? keyed.handSquareOf(kind) : Form1::squareCentre(gx, gy);
        keyed.Form_MouseDown(button, 0, at.x, at.y);
    };
    both(11, 9, F::駒_王); // no match yet: refused
    game->START_Click();
    keyed.START_Click();
    both(11, 9, F::駒_王);
    both(5, 5, 0);
    both(-1, 8, F::駒_歩); // 後手 holds the left-hand column
    both(5, 5, 0);         // occupied: refused, the pick stays
    both(3, 4, 0);
    both(11, 7, F::駒_角);
    both(1, 9, 0, F::ボタン_右);
    both(-1, 1, F::駒_王);
    both(5, 4, 0); // covered: refused
    EXPECT_EQ(keyed.将棋盤, game->将棋盤);
    EXPECT_EQ(keyed.先手持駒, game->先手持駒);
    EXPECT_EQ(keyed.後手持駒, game->後手持駒);
    EXPECT_EQ(keyed.手数, 3);
    EXPECT_EQ(keyScreen.pictures, screen.pictures);
    EXPECT_EQ(keyScreen.outlines, screen.outlines);
    EXPECT_EQ(keyScreen.sounds, screen.sounds);
    ASSERT_EQ(keyScreen.boxes.size(), 3u);
    ASSERT_EQ(screen.boxes.size(), 3u);
    for (std::size_t i = 0; i < screen.boxes.size(); ++i) {
        EXPECT_EQ(keyScreen.boxes[i].text, screen.boxes[i].text);
    }
    // Against the computer the person's letters always press the right-hand column, and
    // on the computer's turn any press lets it move.
    keyed.CANCEL_Click();
    keyed.SENTE_Click();
    const Form1::Twips king = keyed.handSquareOf(F::駒_王);
    EXPECT_EQ(king.x, Form1::squareCentre(11, 9).x);
    keyed.Form_MouseDown(1, 0, king.x, king.y);
    const Form1::Twips centre = Form1::squareCentre(5, 5);
    keyed.Form_MouseDown(1, 0, centre.x, centre.y);
    EXPECT_EQ(keyed.手数, 2);
}

TEST_F(SummaryTest, SquaresHandsAndTheRecordInWords) {
    EXPECT_EQ(game->recordText(), "対局していません\n");
    game->START_Click();
    dropRight(8, 5, 5);
    dropLeft(1, 3, 4);
    dropRight(1, 1, 9, F::ボタン_右);
    EXPECT_EQ(game->squareText(5, 5), "５五 王");
    EXPECT_EQ(game->squareText(5, 4), "５四 利き筋");
    EXPECT_EQ(game->squareText(9, 1), "１一 空き");
    EXPECT_EQ(game->squareText(1, 9), "９九 と");
    EXPECT_EQ(game->handOwnerName(true), "先手");
    EXPECT_EQ(game->handItemText(true, 8), "王 0枚");
    EXPECT_EQ(game->handItemText(false, 1), "歩 8枚");
    EXPECT_EQ(game->lastDropOf(F::手番_先手), "先手９九と");
    EXPECT_EQ(game->lastDropOf(F::手番_後手), "後手７四歩");
    EXPECT_EQ(game->recordText(),
              "対局(人間)\n1手目 先手 ５五王\n2手目 後手 ７四歩\n3手目 先手 ９九と\n");
    // The record goes as far as the position shown.
    game->REPLAY_Click();
    EXPECT_EQ(game->recordText(), "対局(人間)\n1手目 先手 ５五王\n2手目 後手 ７四歩\n");
    EXPECT_EQ(game->lastDropOf(F::手番_先手), "先手５五王");

    // After the end, with no match running, the finished match and its result.
    game->CANCEL_Click();
    game->SENTE_Click();
    EXPECT_EQ(game->handOwnerName(false), "ＣＯＭ");
    dropRight(8, 5, 5);
    const std::string answer = game->dropText(2);
    ASSERT_FALSE(answer.empty());
    for (auto& column : game->将棋盤) {
        column.fill(F::駒_歩);
    }
    game->将棋盤[1][1] = F::空桝;
    game->将棋盤[1][2] = F::空桝;
    game->駒範囲調査();
    dropRight(1, 1, 1);
    ASSERT_EQ(game->手番, F::手番_無);
    EXPECT_EQ(game->recordText(), "対局(COM) あなた先手\n1手目 あなた ５五王\n2手目 ＣＯＭ " +
                                      answer + "\n3手目 あなた ９一歩\nあなたの勝ちです\n");
}
