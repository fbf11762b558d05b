// What the game leaves on the screen: the first screen, the drawing primitives, the board and
// hand columns, the status texts and the marks of a drop, checked cell by cell.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/game_fixture.h"

namespace {

using Text = RecordingPlatform::Text;

// Grid (gx, gy) in twips of the client area, plus an offset in twips.
struct Point {
    double x, y;
};
Point at(double gx, double gy, double dx = 0, double dy = 0) {
    return {700 + gx * 495 + dx, 100 + gy * 615 + dy};
}

// The newest visible text that starts exactly at the point.
const Text* textAt(const RecordingPlatform& screen, Point p) {
    for (auto it = screen.texts.rbegin(); it != screen.texts.rend(); ++it) {
        if (std::fabs(it->x - p.x) < 1e-3 && std::fabs(it->y - p.y) < 1e-3) {
            return &*it;
        }
    }
    return nullptr;
}

::testing::AssertionResult isText(const Text* t, const std::string& text, int colour,
                                  double points) {
    if (t == nullptr) {
        return ::testing::AssertionFailure() << "no text there";
    }
    if (t->text != text || t->colour != colour || t->points != points || !t->bold) {
        return ::testing::AssertionFailure()
               << "\"" << t->text << "\" colour " << t->colour << " size " << t->points
               << (t->bold ? " bold" : " regular") << ", wanted \"" << text << "\" colour "
               << colour << " size " << points << " bold";
    }
    return ::testing::AssertionSuccess();
}

// A status text: the face at the point, a black copy a tenth of a cell right and below.
::testing::AssertionResult shadowed(const RecordingPlatform& screen, Point face,
                                    const std::string& text, int colour, double points) {
    auto result = isText(textAt(screen, face), text, colour, points);
    if (!result) {
        return result << " (face at " << face.x << ", " << face.y << ")";
    }
    result = isText(textAt(screen, {face.x + 49.5, face.y + 61.5}), text, 0, points);
    if (!result) {
        return result << " (shadow of \"" << text << "\")";
    }
    return result;
}

// Every visible text of the cells (gx0..gx1, gy), in one string.
std::string allTextIn(const RecordingPlatform& screen, int gx0, int gx1, int gy) {
    std::string joined;
    for (int gx = gx0; gx <= gx1; ++gx) {
        for (const Text& t : screen.textsIn(gx, gy)) {
            joined += "[" + t.text + "]";
        }
    }
    return joined;
}

// Hand slot 1..8: its picture and count at the start of a game.
const Picture kSlotPicture[9] = {Picture::KaraMasu,  Picture::SitaHu0,  Picture::SitaKyou0,
                                 Picture::SitaKei0,  Picture::SitaGin0, Picture::SitaKin,
                                 Picture::SitaKaku0, Picture::SitaSya0, Picture::SitaOu};
const int kStartCount[9] = {0, 9, 2, 2, 2, 2, 1, 1, 1};
const char* const kKanji[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

class DrawingTest : public GameTest {};

// A recording platform that also keeps every picture call with its exact point, and the
// window's size.
class LoggingPlatform : public RecordingPlatform {
public:
    struct Paint {
        Picture picture;
        double x, y;
    };
    std::vector<Paint> paints;
    double width = 0, height = 0;
    std::vector<double> lastFrame;

    void paintPicture(Picture picture, double x, double y) override {
        paints.push_back({picture, x, y});
        RecordingPlatform::paintPicture(picture, x, y);
    }
    void outlineRect(double x1, double y1, double x2, double y2, int colour) override {
        lastFrame = {x1, y1, x2, y2};
        RecordingPlatform::outlineRect(x1, y1, x2, y2, colour);
    }
    void placeWindow(double l, double t, double w, double h) override {
        width = w;
        height = h;
        RecordingPlatform::placeWindow(l, t, w, h);
    }
};

class PlacementTest : public ::testing::Test {
protected:
    using F = Form1;
    LoggingPlatform screen;
    std::unique_ptr<Form1> game = std::make_unique<Form1>(screen);
    void SetUp() override { game->Form_Load(); }
};

} // namespace

// ------------------------------------------------------------------ the first screen

TEST_F(DrawingTest, FirstScreenShowsBothHandsFullWithTheirCounts) {
    for (int s = 1; s <= 8; ++s) {
        SCOPED_TRACE("slot " + std::to_string(s));
        const std::string n = " " + std::to_string(kStartCount[s]);
        const int right = s + 1, left = 9 - s;
        EXPECT_TRUE(screen.hasPicture(11, right, kSlotPicture[s]));
        EXPECT_TRUE(screen.hasPicture(-1, left, kSlotPicture[s]));
        EXPECT_EQ(screen.outlineAt(11, right), 2);
        EXPECT_EQ(screen.outlineAt(-1, left), 2);
        EXPECT_TRUE(shadowed(screen, at(12, right + 0.2), n, 13, 14));
        EXPECT_TRUE(shadowed(screen, at(0, left + 0.2), n, 13, 14));
    }
    // Where slot 0 would stand there is nothing but the background.
    EXPECT_TRUE(screen.hasPicture(11, 1, Picture::Haikei));
    EXPECT_TRUE(screen.hasPicture(-1, 9, Picture::Haikei));
    EXPECT_TRUE(screen.textsIn(12, 1).empty());
    EXPECT_TRUE(screen.textsIn(0, 9).empty());
}

TEST_F(DrawingTest, FirstScreenShowsEmptyBoardWithSquareNumbers) {
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_TRUE(screen.hasPicture(x, y, Picture::KaraMasu)) << x << "," << y;
            EXPECT_EQ(screen.outlineAt(x, y), 2) << x << "," << y;
        }
    }
    for (int i = 1; i <= 9; ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        // Files are counted from the right-hand edge.
        EXPECT_TRUE(shadowed(screen, at(i + 0.1, 0.4), " " + std::to_string(10 - i), 15, 16));
        EXPECT_TRUE(shadowed(screen, at(10.1, i + 0.3), kKanji[i], 15, 12));
    }
}

TEST_F(DrawingTest, FirstScreenHasNoMoveNumberNoLevelAndOnlyBoldText) {
    EXPECT_EQ(allTextIn(screen, 13, 14, 3), "");
    EXPECT_EQ(allTextIn(screen, -2, 0, 0), "");
    EXPECT_EQ(allTextIn(screen, -1, 0, 9), "");
    EXPECT_EQ(allTextIn(screen, 13, 14, 2), "");
    // 9 file numbers, 9 row numerals and 16 counts, each with its shadow.
    EXPECT_EQ(screen.texts.size(), 68u);
    for (const Text& t : screen.texts) {
        EXPECT_TRUE(t.bold) << t.text;
    }
    EXPECT_EQ(screen.background, 2);
    EXPECT_TRUE(screen.checks["LEVEL3"]);
    EXPECT_FALSE(screen.checks["LEVEL1"]);
    EXPECT_FALSE(screen.checks["LEVEL2"]);
    EXPECT_EQ(std::count(screen.otherPictures.begin(), screen.otherPictures.end(), Picture::Kovalt),
              1);
}

TEST_F(DrawingTest, NewRunWipesTheTextsOfTheLastMatch) {
    game->START_Click();
    dropRight(1, 3, 4);
    dropLeft(2, 8, 8);
    game->LEVEL1_Click();
    ASSERT_NE(allTextIn(screen, 13, 14, 3), "");
    game->Form_Load();
    EXPECT_EQ(screen.texts.size(), 68u);
    EXPECT_EQ(allTextIn(screen, 13, 14, 3), "");
    EXPECT_EQ(allTextIn(screen, -2, 0, 0), "");
    EXPECT_TRUE(screen.hasPicture(3, 4, Picture::KaraMasu));
    EXPECT_TRUE(screen.hasPicture(8, 8, Picture::KaraMasu));
    EXPECT_TRUE(shadowed(screen, at(12, 2.2), " 9", 13, 14));
    EXPECT_TRUE(shadowed(screen, at(0, 7.2), " 2", 13, 14));
    EXPECT_TRUE(screen.checks["LEVEL3"]);
    EXPECT_FALSE(screen.checks["LEVEL1"]);
}

TEST_F(PlacementTest, LogoStandsAboveTheRightHandColumn) {
    int logos = 0;
    for (const auto& p : screen.paints) {
        if (p.picture == Picture::Kovalt) {
            ++logos;
            EXPECT_DOUBLE_EQ(p.x, 700 + 11.5 * 495);
            EXPECT_DOUBLE_EQ(p.y, 100);
        }
    }
    EXPECT_EQ(logos, 1);
}

TEST_F(PlacementTest, WindowIsPlacedOnlyWhenItsTopEdgeMoved) {
    EXPECT_EQ(screen.placements, 1);
    EXPECT_EQ(screen.left, -50);
    EXPECT_EQ(screen.top, -60);
    EXPECT_EQ(screen.width, 8500);
    EXPECT_EQ(screen.height, 8000);

    game->Form_Load();
    EXPECT_EQ(screen.placements, 1);

    screen.left = 400; // moved sideways only
    game->Form_Load();
    EXPECT_EQ(screen.placements, 1);
    EXPECT_EQ(screen.left, 400);

    screen.top = 900;
    game->Form_Load();
    EXPECT_EQ(screen.placements, 2);
    EXPECT_EQ(screen.left, -50);
    EXPECT_EQ(screen.top, -60);
}

// ------------------------------------------------------------------ primitives

TEST_F(PlacementTest, EveryCodeDrawsItsOwnPictureAtTheGridPoint) {
    const std::pair<int, Picture> table[] = {
        {10, Picture::SitaHu0},    {11, Picture::SitaHu1},    {20, Picture::SitaKyou0},
        {21, Picture::SitaKyou1},  {30, Picture::SitaKei0},   {31, Picture::SitaKei1},
        {100, Picture::SitaGin0},  {101, Picture::SitaGin1},  {110, Picture::SitaKin},
        {800, Picture::SitaKaku0}, {801, Picture::SitaKaku1}, {900, Picture::SitaSya0},
        {901, Picture::SitaSya1},  {950, Picture::SitaOu},    {0, Picture::KaraMasu},
        {1, Picture::KaraMasu2},   {2, Picture::Kovalt},      {3, Picture::Haikei},
    };
    for (const auto& [code, picture] : table) {
        screen.paints.clear();
        game->描画_絵(code, 5, 5);
        ASSERT_EQ(screen.paints.size(), 1u) << "code " << code;
        EXPECT_EQ(screen.paints[0].picture, picture) << "code " << code;
        EXPECT_DOUBLE_EQ(screen.paints[0].x, 700 + 5 * 495);
        EXPECT_DOUBLE_EQ(screen.paints[0].y, 100 + 5 * 615);
    }
    screen.paints.clear();
    game->描画_絵(F::絵_背景, -2, -2);
    ASSERT_EQ(screen.paints.size(), 1u);
    EXPECT_DOUBLE_EQ(screen.paints[0].x, 700 - 2 * 495);
    EXPECT_DOUBLE_EQ(screen.paints[0].y, 100 - 2 * 615);
    game->描画_絵(F::駒_歩, 0.5, 3.25);
    ASSERT_EQ(screen.paints.size(), 2u);
    EXPECT_DOUBLE_EQ(screen.paints[1].x, 700 + 0.5 * 495);
    EXPECT_DOUBLE_EQ(screen.paints[1].y, 100 + 3.25 * 615);
}

TEST_F(PlacementTest, UnknownCodesDrawNothing) {
    game->描画_絵(F::駒_と, 5, 5);
    screen.paints.clear();
    for (int code : {111, 4, -1, 12, 5, 951, 1000, 802}) {
        game->描画_絵(code, 5, 5);
    }
    EXPECT_TRUE(screen.paints.empty());
    EXPECT_TRUE(screen.hasPicture(5, 5, Picture::SitaHu1));
}

TEST_F(PlacementTest, FrameTakesItsColourAndGreenRestoresTheGridLine) {
    game->描画_桝輪郭(15, 1, 1);
    EXPECT_EQ(screen.outlineAt(1, 1), 15);
    // From the point of (1, 1) to the point of (2, 2).
    EXPECT_EQ(screen.lastFrame, (std::vector<double>{1195, 715, 1690, 1330}));
    game->描画_桝輪郭(2, 1, 1);
    EXPECT_EQ(screen.outlineAt(1, 1), 2);
    // The inside is not touched.
    EXPECT_TRUE(screen.hasPicture(1, 1, Picture::KaraMasu));
    game->描画_桝輪郭(13, -1, 8);
    EXPECT_EQ(screen.outlineAt(-1, 8), 13);
    EXPECT_TRUE(screen.hasPicture(-1, 8, Picture::SitaHu0));
}

TEST_F(DrawingTest, NumbersAreWrittenWithTheirSignPlaceAndKanjiInModeOne) {
    screen.texts.clear();
    game->描画_数値(12, 2.2, 9, 13, 0, 14);
    EXPECT_TRUE(isText(textAt(screen, at(12, 2.2)), " 9", 13, 14));
    game->描画_数値(3, 5, -5, 0, 0, 12);
    EXPECT_TRUE(isText(textAt(screen, at(3, 5)), "-5", 0, 12));
    game->描画_数値(3, 6, 0, 15, 0, 10);
    EXPECT_TRUE(isText(textAt(screen, at(3, 6)), " 0", 15, 10));
    game->描画_数値(3, 7, 123, 15, 0, 16);
    EXPECT_TRUE(isText(textAt(screen, at(3, 7)), " 123", 15, 16));
    game->描画_数値(-1, 0.1, "LEVEL", 15, 0, 10);
    EXPECT_TRUE(isText(textAt(screen, at(-1, 0.1)), "LEVEL", 15, 10));
    for (int n = 1; n <= 9; ++n) {
        game->描画_数値(12, n + 0.5, n, 13, 1, 14);
        EXPECT_TRUE(isText(textAt(screen, at(12, n + 0.5)), kKanji[n], 13, 14)) << n;
    }
    game->描画_数値(4, 4, 3, 15, 2, 12); // any mode but 0 writes kanji
    EXPECT_TRUE(isText(textAt(screen, at(4, 4)), "三", 15, 12));
    const std::size_t written = screen.texts.size();
    for (int n : {0, 10, -1, 1001}) {
        game->描画_数値(5, 5, n, 15, 1, 12);
    }
    EXPECT_EQ(screen.texts.size(), written);
}

TEST_F(DrawingTest, StringNinetyNineIsMoveNumberWordAndOthersNothing) {
    screen.texts.clear();
    game->描画_文字列(13.7, 3.1, 99, 15, 10);
    ASSERT_EQ(screen.texts.size(), 1u);
    EXPECT_TRUE(isText(textAt(screen, at(13.7, 3.1, 120, 160)), "手目", 15, 10));
    for (int n : {11, 0, 98, 100, -99}) {
        game->描画_文字列(5, 5, n, 15, 10);
    }
    EXPECT_EQ(screen.texts.size(), 1u);
}

TEST_F(DrawingTest, MovedPieceTextsByCode) {
    std::vector<std::pair<int, std::string>> table = {
        {1, "１"},    {2, "２"},     {3, "３"},    {4, "４"},     {5, "５"},     {6, "６"},
        {7, "７"},    {8, "８"},     {9, "９"},    {10, "歩"},    {11, "と"},    {20, "香"},
        {21, "香成"}, {30, "桂"},    {31, "桂成"}, {100, "銀"},   {101, "銀成"}, {110, "金"},
        {800, "角"},  {801, "角成"}, {900, "飛"},  {901, "飛成"}, {950, "王"},
    };
    for (int n = 1; n <= 9; ++n) {
        table.push_back({1000 + n, kKanji[n]});
    }
    for (const auto& [code, text] : table) {
        screen.texts.clear();
        game->描画_移動駒種類(13, 2, code, 15);
        ASSERT_EQ(screen.texts.size(), 1u) << "code " << code;
        EXPECT_TRUE(isText(textAt(screen, at(13, 2)), text, 15, 12)) << "code " << code;
    }
    screen.texts.clear();
    for (int code : {111, 1010, 1000, 0, 12, 999, -7}) {
        game->描画_移動駒種類(13, 2, code, 15);
    }
    EXPECT_TRUE(screen.texts.empty());
}

// ------------------------------------------------------------------ status texts

TEST_F(DrawingTest, MoveNumberMovesLeftForEachFurtherDigit) {
    struct Case {
        int number;
        double faceX;
    };
    for (const Case c : {Case{9, 12.9}, Case{10, 12.8}, Case{40, 12.8}, Case{100, 12.7}}) {
        SCOPED_TRACE("move " + std::to_string(c.number));
        game->描画_絵(F::駒_歩, 13, 3); // whatever stood there must go
        game->描画_絵(F::駒_歩, 14, 3);
        game->描画_手数(c.number, 15);
        EXPECT_TRUE(screen.hasPicture(13, 3, Picture::Haikei));
        EXPECT_TRUE(screen.hasPicture(14, 3, Picture::Haikei));
        EXPECT_TRUE(shadowed(screen, at(c.faceX, 3.3), " " + std::to_string(c.number), 15, 12));
        EXPECT_TRUE(shadowed(screen, at(13.7, 3.1, 120, 160), "手目", 15, 10));
    }
}

TEST_F(DrawingTest, ShorterMoveNumberLeavesNoTraceOfTheLongerOne) {
    game->描画_手数(10, 15);
    game->描画_手数(9, 15);
    EXPECT_EQ(allTextIn(screen, 13, 14, 3), "[ 9][ 9][手目][手目]");
    for (const Text& t : screen.texts) {
        EXPECT_EQ(t.text.find("10"), std::string::npos);
    }
}

TEST_F(DrawingTest, LevelDisplayShowsOnlyTheNewLevel) {
    game->描画_レベル(3);
    for (int gx = -2; gx <= 0; ++gx) {
        game->描画_絵(F::駒_王, gx, 0); // whatever stands there must go
    }
    game->描画_レベル(1);
    EXPECT_TRUE(shadowed(screen, at(-1, 0.1), "LEVEL", 15, 10));
    EXPECT_TRUE(shadowed(screen, at(0.5, 0), " 1", 15, 12));
    EXPECT_EQ(allTextIn(screen, -2, 0, 0), "[LEVEL][LEVEL][ 1][ 1]");
    for (int gx = -2; gx <= 0; ++gx) {
        EXPECT_TRUE(screen.hasPicture(gx, 0, Picture::Haikei)) << gx;
    }
}

// ------------------------------------------------------------------ board and hands

TEST_F(DrawingTest, LastPieceOfASlotLeavesEmptySquareAndNoCount) {
    game->先手持駒[5] = 1;
    game->後手持駒[5] = 1;
    game->描画_桝輪郭(13, 11, 6); // the pick's highlight
    game->駒移動(11, 6, 5, 5, F::駒_金);
    EXPECT_TRUE(screen.hasPicture(11, 6, Picture::KaraMasu));
    EXPECT_EQ(screen.outlineAt(11, 6), 2);
    EXPECT_TRUE(screen.hasPicture(12, 6, Picture::Haikei));
    EXPECT_TRUE(screen.textsIn(12, 6).empty());
    EXPECT_TRUE(screen.hasPicture(5, 5, Picture::SitaKin));
    EXPECT_EQ(screen.outlineAt(5, 5), 2);

    game->駒移動(-1, 4, 7, 7, F::駒_金); // row 4 of the left column is 金
    EXPECT_TRUE(screen.hasPicture(-1, 4, Picture::KaraMasu));
    EXPECT_EQ(screen.outlineAt(-1, 4), 2);
    EXPECT_TRUE(screen.hasPicture(0, 4, Picture::Haikei));
    EXPECT_TRUE(screen.textsIn(0, 4).empty());
    // The neighbouring slots are untouched.
    EXPECT_TRUE(shadowed(screen, at(0, 5.2), " 2", 13, 14));
    EXPECT_TRUE(shadowed(screen, at(12, 5.2), " 2", 13, 14));
}

TEST_F(DrawingTest, CountGoingDownIsRewrittenOnAClearedCell) {
    game->駒移動(11, 6, 5, 5, F::駒_金);
    game->駒移動(-1, 4, 7, 7, F::駒_金);
    for (const auto& [hand, count] : {std::pair{11, 12}, std::pair{-1, 0}}) {
        const int row = hand == 11 ? 6 : 4;
        SCOPED_TRACE("column " + std::to_string(hand));
        EXPECT_TRUE(screen.hasPicture(hand, row, Picture::SitaKin));
        EXPECT_EQ(screen.outlineAt(hand, row), 2);
        EXPECT_TRUE(shadowed(screen, at(count, row + 0.2), " 1", 13, 14));
        EXPECT_EQ(allTextIn(screen, count, count, row), "[ 1][ 1]");
    }
}

// The right-hand redraw takes a slot, the left-hand one a grid row.
TEST_F(DrawingTest, HandRedrawsTakeSlotOnTheRightAndRowOnTheLeft) {
    for (int s = 1; s <= 8; ++s) {
        SCOPED_TRACE("slot " + std::to_string(s));
        game->Form_Load();
        // Only slot s holds pieces, so a redraw that reads another slot shows it empty.
        game->先手持駒 = {};
        game->後手持駒 = {};
        game->先手持駒[s] = 7;
        game->後手持駒[s] = 7;
        game->描画_先持盤(s);
        game->描画_後持盤(9 - s);
        for (int t = 1; t <= 8; ++t) {
            const std::string n = " " + std::to_string(t == s ? 7 : kStartCount[t]);
            EXPECT_EQ(screen.textIn(12, t + 1, 13), n) << "right slot " << t;
            EXPECT_EQ(screen.textIn(0, 9 - t, 13), n) << "left slot " << t;
        }
        EXPECT_TRUE(screen.hasPicture(11, s + 1, kSlotPicture[s]));
        EXPECT_TRUE(screen.hasPicture(-1, 9 - s, kSlotPicture[s]));

        game->先手持駒[s] = 0;
        game->後手持駒[s] = 0;
        game->描画_先持盤(s);
        game->描画_後持盤(9 - s);
        EXPECT_TRUE(screen.hasPicture(11, s + 1, Picture::KaraMasu));
        EXPECT_TRUE(screen.hasPicture(-1, 9 - s, Picture::KaraMasu));
        EXPECT_EQ(screen.outlineAt(11, s + 1), 2);
        EXPECT_EQ(screen.outlineAt(-1, 9 - s), 2);
    }
}

TEST_F(DrawingTest, EmptySlotRedrawnFromTheRecordShowsNoPieceAndNoCount) {
    game->先手持駒[5] = 0;
    game->後手持駒[5] = 0;
    game->描画_先持駒(5);
    game->描画_後持駒(4);
    for (const auto& [hand, count, row] : {std::tuple{11, 12, 6}, std::tuple{-1, 0, 4}}) {
        EXPECT_TRUE(screen.hasPicture(hand, row, Picture::KaraMasu)) << hand;
        EXPECT_EQ(screen.outlineAt(hand, row), 2) << hand;
        EXPECT_TRUE(screen.hasPicture(count, row, Picture::Haikei)) << hand;
        EXPECT_TRUE(screen.textsIn(count, row).empty()) << hand;
    }
}

TEST_F(DrawingTest, BoardIsDrawnPlainWhateverTheInfluenceMapSays) {
    place({{F::駒_と, 3, 4}});
    ASSERT_GT(game->勢力盤[3][3], 0);
    game->描画_勢力範囲();
    game->描画_桝輪郭(14, 6, 6);
    ASSERT_TRUE(screen.hasPicture(3, 3, Picture::KaraMasu2));
    game->描画_盤();
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            const Picture want = x == 3 && y == 4 ? Picture::SitaHu1 : Picture::KaraMasu;
            EXPECT_TRUE(screen.hasPicture(x, y, want)) << x << "," << y;
            EXPECT_EQ(screen.outlineAt(x, y), 2) << x << "," << y;
        }
    }
}

TEST_F(DrawingTest, BoardFramesResetLeavesPicturesAndHandFramesAlone) {
    place({{F::駒_銀, 4, 4}});
    game->描画_勢力範囲();
    game->描画_桝輪郭(13, 11, 2);
    game->描画_桝輪郭(13, -1, 8);
    game->描画_移動可能桝色(11, 2, 14, F::駒_歩);
    const auto pictures = screen.pictures;
    game->描画_将棋盤桝();
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(screen.outlineAt(x, y), 2) << x << "," << y;
        }
    }
    EXPECT_EQ(screen.pictures, pictures);
    EXPECT_EQ(screen.outlineAt(11, 2), 13);
    EXPECT_EQ(screen.outlineAt(-1, 8), 13);
}

// ------------------------------------------------------------------ covered squares

TEST_F(DrawingTest, CoveredEmptySquaresAreDrawnDarkAndPiecesKept) {
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            game->描画_絵(F::絵_勢力桝, x, y);
            game->描画_桝輪郭(15, x, y);
        }
    }
    game->描画_勢力範囲();
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_TRUE(screen.hasPicture(x, y, Picture::KaraMasu)) << x << "," << y;
            EXPECT_EQ(screen.outlineAt(x, y), 2) << x << "," << y;
        }
    }

    // The map is rebuilt from the board by the drawing itself.
    game->将棋盤[5][5] = F::駒_歩;
    game->描画_絵(F::駒_歩, 5, 5);
    game->描画_桝輪郭(15, 5, 5);
    game->描画_勢力範囲();
    EXPECT_TRUE(screen.hasPicture(5, 4, Picture::KaraMasu2));
    EXPECT_EQ(screen.outlineAt(5, 4), 2);
    EXPECT_TRUE(screen.hasPicture(5, 5, Picture::SitaHu0));
    EXPECT_EQ(screen.outlineAt(5, 5), 15); // occupied squares are left as they are
    EXPECT_TRUE(screen.hasPicture(5, 6, Picture::KaraMasu));
    EXPECT_TRUE(screen.hasPicture(4, 4, Picture::KaraMasu));

    // Once the piece is gone (a step back), its square is free again.
    game->将棋盤[5][5] = F::空桝;
    game->描画_勢力範囲();
    EXPECT_TRUE(screen.hasPicture(5, 4, Picture::KaraMasu));
    EXPECT_TRUE(screen.hasPicture(5, 5, Picture::KaraMasu));
}

// ------------------------------------------------------------------ marks of a drop

TEST_F(DrawingTest, DropIsWrittenInNotationBesideTheBoard) {
    game->START_Click();
    dropRight(1, 3, 4);
    EXPECT_TRUE(shadowed(screen, at(13, 2.5), "７", 15, 12));
    EXPECT_TRUE(shadowed(screen, at(13.4, 2.5), "四", 15, 12));
    EXPECT_TRUE(shadowed(screen, at(14, 2.5), "歩", 15, 12));
    EXPECT_EQ(allTextIn(screen, 13, 14, 2), "[７][７][四][四][歩][歩]");
    EXPECT_EQ(allTextIn(screen, -1, 0, 9), "");

    dropLeft(2, 8, 8); // 香 from the left column
    EXPECT_EQ(screen.textIn(-1, 9, 15), "２八");
    EXPECT_EQ(screen.textIn(0, 9, 15), "香");
    EXPECT_TRUE(shadowed(screen, at(0, 9.5), "香", 15, 12));
    EXPECT_EQ(screen.outlineAt(-1, 8), 2);

    dropRight(6, 9, 9, 2); // 角 promoted with the right button
    EXPECT_TRUE(screen.hasPicture(9, 9, Picture::SitaKaku1));
    EXPECT_EQ(allTextIn(screen, 13, 14, 2), "[１][１][九][九][角成][角成]");
    EXPECT_TRUE(shadowed(screen, at(14, 2.5), "角成", 15, 12));
    // The other side's area keeps its last drop.
    EXPECT_EQ(screen.textIn(-1, 9, 15), "２八");
    EXPECT_EQ(screen.textIn(0, 9, 15), "香");
}

TEST_F(DrawingTest, EitherResultAreaRestoresTheFrameAboveTheLeftOne) {
    for (const auto& [wx, wy] : {std::pair{13, 2}, std::pair{-1, 9}}) {
        game->描画_桝輪郭(15, -1, 8);
        game->描画_移動結果(wx, wy, 1, 1, F::駒_王, 15);
        EXPECT_EQ(screen.outlineAt(-1, 8), 2) << wx;
        EXPECT_TRUE(screen.hasPicture(wx, wy, Picture::Haikei)) << wx;
        EXPECT_TRUE(screen.hasPicture(wx + 1, wy, Picture::Haikei)) << wx;
        EXPECT_EQ(screen.textIn(wx, wy, 15), "９一") << wx;
        EXPECT_EQ(screen.textIn(wx + 1, wy, 15), "王") << wx;
    }
    EXPECT_TRUE(screen.hasPicture(-1, 8, Picture::SitaHu0));
}

namespace {
// With 歩 on (5, 5) and 金 on (2, 2) these board squares are occupied or covered.
bool closed(int x, int y) {
    const std::pair<int, int> squares[] = {{5, 5}, {5, 4}, {2, 2}, {1, 1}, {2, 1},
                                           {3, 1}, {1, 2}, {3, 2}, {2, 3}};
    for (const auto& [cx, cy] : squares) {
        if (cx == x && cy == y) {
            return true;
        }
    }
    return false;
}
} // namespace

TEST_F(DrawingTest, ReachableSquaresAreOutlinedExactly) {
    place({{F::駒_歩, 5, 5}, {F::駒_金, 2, 2}});
    game->描画_桝輪郭(13, 11, 2);
    game->描画_桝輪郭(14, 5, 5);
    game->描画_桝輪郭(14, 1, 1);

    game->描画_移動可能桝色(11, 2, 2, F::駒_歩);
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            EXPECT_EQ(screen.outlineAt(x, y), 2) << x << "," << y;
        }
    }

    game->先手持駒[7] = 0; // the kind's hand being empty does not matter
    for (const auto& [row, kind] : {std::pair{2, F::駒_歩}, std::pair{8, F::駒_飛}}) {
        game->描画_移動可能桝色(11, row, 14, kind);
        int outlined = 0;
        for (int x = 1; x <= 9; ++x) {
            for (int y = 1; y <= 9; ++y) {
                EXPECT_EQ(screen.outlineAt(x, y), closed(x, y) ? 2 : 14) << x << "," << y;
                outlined += screen.outlineAt(x, y) == 14 ? 1 : 0;
            }
        }
        EXPECT_EQ(outlined, 72) << "kind " << kind;
    }
    EXPECT_EQ(screen.outlineAt(11, 2), 13);
}
