#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>

#include "game/form1.h"
#include "testkit/recording_platform.h"

// A started game on the recording platform, with helpers that press where a player would.
class GameTest : public ::testing::Test {
protected:
    using F = Form1;
    RecordingPlatform screen;
    std::unique_ptr<Form1> game = std::make_unique<Form1>(screen);

    void SetUp() override { game->Form_Load(); }

    // A press in the middle of grid cell (gx, gy) with the given button (1 left, 2 right).
    void press(int gx, int gy, int button = 1);
    // Picks slot `slot` (1..8) of the right-hand column and drops it on (x, y).
    void dropRight(int slot, int x, int y, int button = 1);
    // The same from the left-hand column.
    void dropLeft(int slot, int x, int y, int button = 1);
    // Empties the board and puts the given pieces on it, then rebuilds the influence map.
    void place(std::initializer_list<std::tuple<int, int, int>> pieces);
    void clearLog();
    int count(const std::string& sound) const;
    bool lastBoxIs(const std::string& text, const std::string& title) const;
    // Pieces on the board plus in both hands.
    int piecesInPlay() const;
};
