// What the game leaves on the screen: the first screen, the drawing primitives, the board and
// hand columns, the status texts and the marks of a drop.
#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "testkit/game_fixture.h"

namespace {

// A text as "[text colour/size@gx,gy]", its point in grid units to a hundredth of a cell.
std::string text(double gx, double gy, const std::string& s, int colour, double points,
                 bool bold = true) {
    char out[160];
    std::snprintf(out, sizeof out, "[%s %d/%g%s@%g,%g]", s.c_str(), colour, points,
                  bold ? "" : " regular", std::round(gx * 100) / 100, std::round(gy * 100) / 100);
    return out;
}
// A status text: first its black shadow a tenth of a cell right and below, then its face.
std::string status(double gx, double gy, const std::string& s, int colour, double points) {
    return text(gx + 0.1, gy + 0.1, s, 0, points) + text(gx, gy, s, colour, points);
}
// The visible texts whose first glyph lies in cells gx0..gx1 of row gy (of any row when gy is
// left out), in drawing order.
std::string in(const RecordingPlatform& screen, int gx0 = -9, int gx1 = 99, int gy = 99) {
    std::string all;
    for (const auto& t : screen.texts) {
        const auto [x, y] = RecordingPlatform::glyphCell(t);
        if (std::floor(x) >= gx0 && std::floor(x) <= gx1 && (gy == 99 || std::floor(y) == gy)) {
            all += text((t.x - 700) / 495, (t.y - 100) / 615, t.text, t.colour, t.points, t.bold);
        }
    }
    return all;
}

// The board squares that do not show the empty square framed green.
std::string square(int x, int y, Picture picture, int frame) {
    return std::to_string(x) + "," + std::to_string(y) + ":" +
           std::to_string(static_cast<int>(picture)) + "/" + std::to_string(frame) + " ";
}
std::string board(const RecordingPlatform& screen) {
    std::string odd;
    for (int i = 0; i < 81; ++i) {
        const int x = i / 9 + 1, y = i % 9 + 1, frame = screen.outlineAt(x, y);
        if (!screen.hasPicture(x, y, Picture::KaraMasu) || frame != 2) {
            odd += square(x, y, Picture(screen.pictureAt(x, y)), frame);
        }
    }
    return odd;
}

// The n-th (1..9) of nine three-byte characters.
std::string nth(const std::string& s, int n) {
    return s.substr(3 * (n - 1), 3);
}
const std::string kNumerals = "一二三四五六七八九";
// "手目" stands 120 twips right of and 160 twips below its point.
constexpr double kWordX = 120 / 495.0, kWordY = 160 / 615.0;

// Hand slot 1..8: its picture and count at the start of a game.
const Picture kSlotPicture[9] = {Picture::KaraMasu,  Picture::SitaHu0,  Picture::SitaKyou0,
                                 Picture::SitaKei0,  Picture::SitaGin0, Picture::SitaKin,
                                 Picture::SitaKaku0, Picture::SitaSya0, Picture::SitaOu};
const int kStartCount[9] = {0, 9, 2, 2, 2, 2, 1, 1, 1};

// Every picture's exact point since the log was cleared, from the recorder's log.
std::vector<std::tuple<Picture, double, double>> paints(const RecordingPlatform& screen) {
    std::vector<std::tuple<Picture, double, double>> found;
    for (const auto& e : screen.log) {
        if (e.kind == "picture") {
            found.emplace_back(Picture(e.numbers[0]), e.numbers[1], e.numbers[2]);
        }
    }
    return found;
}
// The numbers of the last event of a kind: a frame's corners and colour, the window's place.
std::vector<double> last(const RecordingPlatform& screen, const std::string& kind) {
    for (auto e = screen.log.rbegin(); e != screen.log.rend(); ++e) {
        if (e->kind == kind) {
            return e->numbers;
        }
    }
    return {};
}

class DrawingTest : public GameTest {};

} // namespace

TEST(DrawingGeometry, PicturesFramesLogoAndWindowLandWhereTheyBelong) {
    RecordingPlatform screen;
    auto game = std::make_unique<Form1>(screen);
    game->Form_Load();
    auto logos = paints(screen);
    std::erase_if(logos, [](const auto& p) { return std::get<0>(p) != Picture::Kovalt; });
    EXPECT_EQ(logos, (std::vector{std::tuple{Picture::Kovalt, 700 + 11.5 * 495, 100.0}}));
    EXPECT_EQ(last(screen, "place"), (std::vector<double>{-50, -60, 8500, 8000}));
    // A new run puts the window back only when its top edge has moved.
    screen.left = 400;
    game->Form_Load();
    EXPECT_EQ(screen.placements, 1);
    screen.top = 900;
    game->Form_Load();
    EXPECT_EQ(screen.placements, 2);

    // Every kind a hand holds, its promoted kind and each picture code draws a picture of its
    // own at the grid point, fractions and negatives kept; together they are all the pictures,
    // and whatever may stand on a square fills exactly one cell.
    std::vector<int> codes = {Form1::絵_空桝, Form1::絵_勢力桝, Form1::絵_ロゴ, Form1::絵_背景};
    for (int kind : Form1::kSlotKinds) {
        if (kind == 0) {
            continue;
        }
        codes.push_back(kind);
        if (game->調査_駒成(kind) == Form1::判定_有) {
            codes.push_back(game->成駒種類);
        }
    }
    std::set<Picture> drawn;
    for (int code : codes) {
        screen.log.clear();
        game->描画_絵(code, 0.5, -2.25);
        const auto drawnHere = paints(screen);
        ASSERT_EQ(drawnHere.size(), 1u) << code;
        const auto [picture, x, y] = drawnHere[0];
        EXPECT_EQ(std::pair(x, y), std::pair(947.5, -1283.75)) << code;
        EXPECT_TRUE(drawn.insert(picture).second) << code;
        const PictureSize size = pictureSize(picture);
        if (code != Form1::絵_ロゴ && code != Form1::絵_背景) {
            EXPECT_EQ(std::pair(size.width * kTwipsPerPixel, size.height * kTwipsPerPixel),
                      std::pair(double{Form1::桝幅}, double{Form1::桝高}))
                << code;
        }
    }
    EXPECT_EQ(drawn.size(), std::size_t(kPictureCount));
    screen.log.clear();
    for (int code : {-1, 4, 12, 111, 951}) {
        game->描画_絵(code, 5, 5);
    }
    EXPECT_TRUE(paints(screen).empty());
    game->描画_桝輪郭(15, 1, 1); // from the point of (1, 1) to the point of (2, 2)
    EXPECT_EQ(last(screen, "frame"), (std::vector<double>{1195, 715, 1690, 1330, 15}));
}

// The first screen, and the same again when a new run follows a match.
TEST_F(DrawingTest, FirstScreenAndAgainAfterAMatch) {
    for (int run = 0; run < 2; ++run) {
        if (run == 1) {
            game->START_Click();
            dropRight(1, 3, 4);
            dropLeft(2, 8, 8);
            game->LEVEL1_Click();
            ASSERT_NE(in(screen, 13, 14, 3), "");
            game->Form_Load();
        }
        SCOPED_TRACE(run);
        EXPECT_EQ(board(screen), "");
        for (int s = 1; s <= 8; ++s) {
            const std::string n = " " + std::to_string(kStartCount[s]);
            EXPECT_TRUE(screen.hasPicture(11, s + 1, kSlotPicture[s])) << s;
            EXPECT_TRUE(screen.hasPicture(-1, 9 - s, kSlotPicture[s])) << s;
            EXPECT_EQ(std::pair(screen.outlineAt(11, s + 1), screen.outlineAt(-1, 9 - s)),
                      std::pair(2, 2));
            EXPECT_EQ(in(screen, 12, 12, s + 1), status(12, s + 1.2, n, 13, 14));
            EXPECT_EQ(in(screen, 0, 0, 9 - s), status(0, 9.2 - s, n, 13, 14));
        }
        // Where slot 0 would stand there is only the background.
        EXPECT_TRUE(screen.hasPicture(11, 1, Picture::Haikei));
        EXPECT_TRUE(screen.hasPicture(-1, 9, Picture::Haikei));
        for (int i = 1; i <= 9; ++i) { // files are counted from the right-hand edge
            EXPECT_EQ(in(screen, i, i, 0),
                      status(i + 0.1, 0.4, " " + std::to_string(10 - i), 15, 16));
            EXPECT_EQ(in(screen, 10, 10, i), status(10.1, i + 0.3, nth(kNumerals, i), 15, 12));
        }
        // Nothing else: 9 file numbers, 9 numerals and 16 counts, each with its shadow.
        EXPECT_EQ(screen.texts.size(), 68u);
        EXPECT_EQ(screen.background, 2);
        EXPECT_TRUE(screen.checks["LEVEL3"] && !screen.checks["LEVEL1"] &&
                    !screen.checks["LEVEL2"]);
    }
}

TEST_F(DrawingTest, TextPrimitivesWriteAtTheirGridPoint) {
    screen.texts.clear();
    game->描画_数値(3, 5, -5, 0, 0, 12); // the sign takes the blank's place
    game->描画_数値(3, 6, 0, 15, 0, 10);
    game->描画_数値(4, 4, 3, 15, 2, 12); // any mode but 0: a kanji numeral 1..9, or nothing
    game->描画_数値(5, 5, 0, 15, 1, 12);
    game->描画_数値(5, 5, 10, 15, 1, 12);
    game->描画_文字列(5, 5, 11, 15, 10); // 99 is its only text
    game->描画_文字列(5, 5, 100, 15, 10);
    EXPECT_EQ(in(screen),
              text(3, 5, "-5", 0, 12) + text(3, 6, " 0", 15, 10) + text(4, 4, "三", 15, 12));

    // The texts of a drop: file digits, row numerals and kind names.
    screen.texts.clear();
    std::string want;
    for (int n = 1; n <= 9; ++n) {
        game->描画_移動駒種類(13, 2, n, 15);
        game->描画_移動駒種類(13, 2, 1000 + n, 15);
        want += text(13, 2, nth("１２３４５６７８９", n), 15, 12) +
                text(13, 2, nth(kNumerals, n), 15, 12);
    }
    const std::pair<int, const char*> kinds[] = {
        {10, "歩"},    {11, "と"},  {20, "香"},    {21, "香成"}, {30, "桂"},
        {31, "桂成"},  {100, "銀"}, {101, "銀成"}, {110, "金"},  {800, "角"},
        {801, "角成"}, {900, "飛"}, {901, "飛成"}, {950, "王"}};
    for (const auto& [code, name] : kinds) {
        game->描画_移動駒種類(13, 2, code, 15);
        want += text(13, 2, name, 15, 12);
    }
    for (int code : {0, 12, 111, 1000, 1010}) { // codes beside the table write nothing
        game->描画_移動駒種類(13, 2, code, 15);
    }
    EXPECT_EQ(in(screen), want);
}

TEST_F(DrawingTest, MoveNumberAndLevelReplaceWhatStoodThere) {
    // Each further digit moves the number a tenth of a cell left; a shorter number leaves no
    // trace of a longer one.
    screen.texts.clear();
    for (const auto& [number, faceX] : {std::pair{99, 12.8}, {10, 12.8}, {9, 12.9}, {100, 12.7}}) {
        game->描画_絵(F::駒_歩, 14, 3); // whatever stood there must go
        game->描画_手数(number, 15);
        EXPECT_TRUE(screen.hasPicture(14, 3, Picture::Haikei)) << number;
        EXPECT_EQ(in(screen), status(faceX, 3.3, " " + std::to_string(number), 15, 12) +
                                  status(13.7 + kWordX, 3.1 + kWordY, "手目", 15, 10));
    }

    game->描画_レベル(3);
    game->描画_絵(F::駒_王, -2, 0); // nothing is written in this cell, but it is cleared too
    game->描画_レベル(1);
    EXPECT_EQ(in(screen, -2, 0, 0),
              status(-1, 0.1, "LEVEL", 15, 10) + status(0.5, 0, " 1", 15, 12));
    EXPECT_TRUE(screen.hasPicture(-2, 0, Picture::Haikei));
}

// The right-hand redraws take a slot, the left-hand ones a grid row; a drop clears the count
// cell of its slot, so the last piece leaves neither picture nor count behind.
TEST_F(DrawingTest, HandSlotsShowWhatTheHandHolds) {
    game->先手持駒 = {0, 0, 0, 7, 0, 2}; // 7 桂 and 2 金
    game->後手持駒 = game->先手持駒;
    game->描画_先持盤(3);
    game->描画_後持盤(6);
    game->描画_先持盤(1); // 歩, now empty; its count cell is the caller's business
    game->描画_後持盤(8);
    game->描画_先持駒(6); // 角, now empty
    game->描画_後持駒(3);
    for (int drop = 1; drop <= 2; ++drop) {
        game->描画_桝輪郭(13, 11, 6); // the pick's highlight
        game->駒移動(11, 6, 5, 5, F::駒_金);
        game->駒移動(-1, 4, 7, 7, F::駒_金);
        for (const auto& [hand, count] : {std::pair{11, 12}, std::pair{-1, 0}}) {
            const auto row = [&](int slot) { return hand == 11 ? slot + 1 : 9 - slot; };
            const auto slot = [&](int s, Picture p, const char* n) {
                EXPECT_TRUE(screen.hasPicture(hand, row(s), p)) << hand << " slot " << s;
                EXPECT_EQ(screen.outlineAt(hand, row(s)), 2) << hand << " slot " << s;
                if (n != nullptr) {
                    EXPECT_EQ(in(screen, count, count, row(s)),
                              *n == 0 ? "" : status(count, row(s) + 0.2, n, 13, 14));
                }
            };
            slot(1, Picture::KaraMasu, nullptr);
            slot(3, Picture::SitaKei0, " 7");
            slot(6, Picture::KaraMasu, "");
            slot(5, drop == 1 ? Picture::SitaKin : Picture::KaraMasu, drop == 1 ? " 1" : "");
            slot(2, Picture::SitaKyou0, " 2"); // not redrawn
            slot(4, Picture::SitaGin0, " 2");
        }
    }
    EXPECT_EQ(board(screen), square(5, 5, Picture::SitaKin, 2) + square(7, 7, Picture::SitaKin, 2));
}

TEST_F(DrawingTest, CoveredSquaresFollowTheBoardAndThePlainRedrawIgnoresThem) {
    game->描画_絵(F::絵_勢力桝, 1, 1); // the corners start dark: every square must be redrawn
    game->描画_絵(F::絵_勢力桝, 9, 9);
    game->将棋盤[5][5] = F::駒_歩; // the map is not rebuilt here: the drawing must do it
    game->描画_絵(F::駒_歩, 5, 5);
    game->描画_桝輪郭(15, 5, 5);
    game->描画_勢力範囲(); // occupied squares are left as they are
    EXPECT_EQ(board(screen),
              square(5, 4, Picture::KaraMasu2, 2) + square(5, 5, Picture::SitaHu0, 15));
    game->将棋盤[5][5] = F::空桝; // a step back: its squares are free again
    game->描画_勢力範囲();
    EXPECT_EQ(board(screen), "");

    place({{F::駒_と, 3, 4}});
    game->描画_勢力範囲();
    game->描画_桝輪郭(14, 6, 6);
    ASSERT_TRUE(screen.hasPicture(3, 3, Picture::KaraMasu2));
    game->描画_盤();
    EXPECT_EQ(board(screen), square(3, 4, Picture::SitaHu1, 2));
}

TEST_F(DrawingTest, ReachableSquaresAreOutlinedAndTheGridResetTouchesOnlyBoardFrames) {
    const auto frames = [&] { // the board's frames row by row: '.' green, '*' colour 14
        std::string rows;
        for (int i = 0; i < 81; ++i) {
            const int colour = screen.outlineAt(i % 9 + 1, i / 9 + 1);
            rows += colour == 2 ? '.' : colour == 14 ? '*' : '?';
        }
        return rows;
    };
    // 歩 on (5, 5) covers (5, 4); 金 on (2, 2) covers the three squares above it, its two
    // sides and the one below.
    const std::string green(81, '.');
    const std::string reachable = std::string("...******"
                                              "...******"
                                              "*.*******"
                                              "****.****") +
                                  "****.****" + std::string(36, '*');
    place({{F::駒_歩, 5, 5}, {F::駒_金, 2, 2}});
    game->描画_勢力範囲();
    game->描画_桝輪郭(13, 11, 2); // the pick
    game->描画_桝輪郭(13, -1, 8);
    game->描画_桝輪郭(14, 5, 5);
    game->描画_桝輪郭(14, 1, 1);
    const auto pictures = screen.pictures;
    game->描画_移動可能桝色(11, 2, 2, F::駒_歩); // in the grid colour: the marks go
    EXPECT_EQ(frames(), green);
    game->先手持駒[7] = 0; // whether the hand still holds the kind does not matter
    for (const auto& [row, kind] : {std::pair{2, F::駒_歩}, std::pair{8, F::駒_飛}}) {
        game->描画_移動可能桝色(11, row, 14, kind);
        EXPECT_EQ(frames(), reachable) << kind;
    }
    game->描画_将棋盤桝();
    EXPECT_EQ(frames(), green);
    EXPECT_EQ(screen.pictures, pictures);
    EXPECT_EQ(std::pair(screen.outlineAt(11, 2), screen.outlineAt(-1, 8)), std::pair(13, 13));
}

TEST_F(DrawingTest, DropIsWrittenInNotationBesideTheColumnItCameFrom) {
    const auto drop = [](double gx, double gy, const char* file, const char* row,
                         const char* kind) {
        return status(gx, gy + 0.5, file, 15, 12) + status(gx + 0.4, gy + 0.5, row, 15, 12) +
               status(gx + 1, gy + 0.5, kind, 15, 12);
    };
    game->START_Click();
    game->描画_桝輪郭(15, -1, 8); // clearing either area covers this square's lower edge
    dropRight(1, 3, 4);
    EXPECT_EQ(screen.outlineAt(-1, 8), 2);
    EXPECT_EQ(in(screen, 13, 14, 2), drop(13, 2, "７", "四", "歩"));
    EXPECT_EQ(in(screen, -1, 0, 9), "");
    dropLeft(2, 8, 8);
    dropRight(6, 9, 9, 2); // 角 promoted with the right button
    EXPECT_EQ(in(screen, 13, 14, 2), drop(13, 2, "１", "九", "角成"));
    EXPECT_EQ(in(screen, -1, 0, 9), drop(-1, 9, "２", "八", "香"));
}
