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
