// What the player sees, pinned: a scripted match through the real window, with a checksum
// of the canvas's backing image after every step, compared with the checksums kept in
// canvas_checksums.txt for this scale factor (run once per factor through QT_SCALE_FACTOR).
// KOVALT_WRITE_CHECKSUMS=<file> appends this scale's checksums to <file> instead.
#include <QScreen>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "testkit/qt_window.h"

namespace {

// The screen's ratio (the application's is never below 1).
std::string scaleName() {
    std::ostringstream s;
    s << QGuiApplication::primaryScreen()->devicePixelRatio();
    return s.str();
}

// FNV-1a over the pixels, row by row (the padding at the end of a row is not looked at).
std::string checksum(const QImage& image) {
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int i = 0; i < image.width() * 4; ++i) {
            h = (h ^ row[i]) * 1099511628211ull;
        }
    }
    std::ostringstream s;
    s << std::hex << h;
    return s.str();
}

// Every box is answered with its first answer: OK, or Yes.
class CanvasRecord : public ::testing::Test, protected GameWindow<> {
protected:
    // "<scale> <step> <checksum>", one per step.
    std::vector<std::string> steps;

    void SetUp() override {
        ASSERT_TRUE(show());
        record("load");
    }

    void record(const std::string& step) {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        steps.push_back(scaleName() + " " + step + " " + checksum(platform->canvas()->image()));
    }
    void menu(const char* name) {
        platform->action(name)->trigger();
        record(name);
    }
    void press(int gx, int gy, Qt::MouseButton button = Qt::LeftButton) {
        GameWindow::press(gx, gy, button);
        record("press" + std::to_string(gx) + "," + std::to_string(gy));
    }
    // The person's next drop: the first piece in the right-hand column on the first square
    // that takes it. False when the match is over.
    bool dropSomething() {
        if (game->手番 == Form1::手番_無) {
            return false;
        }
        // Between persons 後手 holds the left-hand column, upside down.
        const bool left = game->対局モード == Form1::モード_人間 && game->手番 == Form1::手番_後手;
        const Form1::持駒表& hand = left ? game->後手持駒 : game->先手持駒;
        int slot = 1;
        while (slot <= 8 && hand[slot] == 0) {
            ++slot;
        }
        if (slot > 8) {
            return false;
        }
        press(left ? -1 : 11, left ? 9 - slot : slot + 1);
        const int before = game->手数;
        for (int y = 1; y <= 9; ++y) {
            for (int x = 1; x <= 9; ++x) {
                if (game->将棋盤[x][y] == Form1::空桝 && game->勢力盤[x][y] == 0) {
                    press(x, y, (x + y) % 2 ? Qt::RightButton : Qt::LeftButton);
                    if (game->手数 != before || game->手番 == Form1::手番_無) {
                        return true;
                    }
                }
            }
        }
        return false;
    }
};

TEST_F(CanvasRecord, EveryStepOfAMatchShowsThePixelsItAlwaysShowed) {
    press(5, 5); // refused: no match yet
    menu("LEVEL2");
    menu("START");
    press(11, 2);
    press(5, 5);
    press(2, 9);
    press(4, 5); // refused: covered
    press(5, 5); // refused: not empty, nothing picked
    press(3, 3);
    menu("REPLAY");
    menu("REPLAY");
    menu("AFTER");
    menu("CANCEL");
    menu("VER");
    press(11, 9);
    press(6, 6);
    menu("START2"); // a submenu: nothing happens
    menu("START");
    int drops = 0;
    while (dropSomething() && drops++ < 60) {
    }
    ASSERT_EQ(game->手番, Form1::手番_無) << "the first match did not end";
    menu("LEVEL1");
    menu("SENTE");
    while (dropSomething() && drops++ < 120) {
    }
    ASSERT_EQ(game->手番, Form1::手番_無) << "the match against the computer did not end";
    menu("REPLAY");
    menu("AFTER");
    menu("GOTE");
    menu("REPLAY");

    const char* file = std::getenv("KOVALT_WRITE_CHECKSUMS");
    if (file != nullptr) {
        std::ofstream out(file, std::ios::app);
        for (const std::string& step : steps) {
            out << step << "\n";
        }
        GTEST_SKIP() << "checksums written to " << file;
    }
    std::vector<std::string> kept;
    std::ifstream in(KOVALT_CHECKSUMS);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(scaleName() + " ", 0) == 0) {
            kept.push_back(line);
        }
    }
    ASSERT_FALSE(kept.empty()) << "no checksums kept for scale " << scaleName();
    ASSERT_EQ(steps.size(), kept.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i], kept[i]) << "step " << i;
    }
}

TEST_F(CanvasRecord, AnAnsweredDropRepaintsLittleMoreThanItChanges) {
    menu("SENTE");
    press(11, 2);
    const QImage before = platform->canvas()->image().copy();
    platform->canvas()->paintedArea = 0;
    press(5, 5); // the drop, the computer's answer and every empty square drawn again
    ASSERT_EQ(game->手数, 2);
    const QImage& after = platform->canvas()->image();
    qint64 changed = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            changed += before.pixel(x, y) != after.pixel(x, y);
        }
    }
    const qreal ratio = platform->canvas()->ratio();
    const double marked = platform->canvas()->paintedArea * ratio * ratio; // in device pixels
    EXPECT_GT(changed, 0);
    EXPECT_LE(marked, 2.0 * changed) << changed << " pixels changed";
}

} // namespace
