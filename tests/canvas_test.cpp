// The canvas at the screen's own scale factor (run once per factor through QT_SCALE_FACTOR):
// what a press repaints, what reaches the screen, texts drawn twice, frames and pictures in
// device pixels, and the backing store's wait taken while idle.
#include <QApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cmath>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/canvas.h"
#include "platform/idle_put_wait.h"
#include "testkit/qt_window.h"

namespace {

// Keeps every text the game asks for, so that each can be drawn again on its own.
class TextLog : public QtPlatform {
public:
    std::set<std::tuple<std::string, double, bool, int>> texts;
    void printText(double x, double y, const std::string& text, double points, bool bold,
                   int colour) override {
        texts.emplace(text, points, bold, colour);
        QtPlatform::printText(x, y, text, points, bold, colour);
    }
};

// How many pixels differ (all of them when the sizes differ).
qint64 differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return qint64(std::max(a.width(), b.width())) * std::max(a.height(), b.height());
    }
    qint64 n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            n += (a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff);
        }
    }
    return n;
}

// The screen's own ratio (not the application's, which is never below 1).
qreal ratio() {
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

// Device pixel of a whole logical pixel.
int dev(int logical) {
    return static_cast<int>(std::lround(logical * ratio()));
}

class CanvasTest : public ::testing::Test, protected GameWindow<TextLog> {
protected:
    void SetUp() override {
        ASSERT_TRUE(show());
        ASSERT_EQ(platform->window()->devicePixelRatioF(), ratio());
        settle();
    }
    const QImage& image() { return platform->canvas()->image(); }
    void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }
    void press(double gx, double gy) {
        GameWindow::press(gx, gy);
        settle();
    }
    // What the window system shows of the canvas, in device pixels, beside the same part of
    // the canvas image (the last device column or row may be cut off at fractional scales).
    std::pair<QImage, QImage> shownAndImage() {
        QWidget* canvas = platform->canvas();
        const QPoint at = canvas->mapTo(platform->window(), QPoint(0, 0));
        const QImage window = platform->window()
                                  ->screen()
                                  ->grabWindow(platform->window()->winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        const QRect part =
            QRect(QPoint(0, 0), window.size() - QSize(dev(at.x()), dev(at.y()))) & image().rect();
        return {window.copy(part.translated(dev(at.x()), dev(at.y()))), image().copy(part)};
    }
};

TEST_F(CanvasTest, APickRepaintsLittleAndTheScreenKeepsUpWithTheCanvas) {
    game->START_Click();
    settle();
    platform->canvas()->paintedArea = 0;
    press(11, 2); // pick a pawn from the hand: only its frame changes
    const double window = QtPlatform::kClientWidth * QtPlatform::kClientHeight;
    EXPECT_GT(platform->canvas()->paintedArea, 0);
    EXPECT_LE(platform->canvas()->paintedArea, 0.02 * window);

    // Whatever was repainted piece by piece, the screen ends up showing the canvas exactly,
    // one canvas pixel to one screen pixel.
    press(5, 5);
    press(11, 9);
    press(3, 7);
    game->REPLAY_Click();
    settle();
    const auto [shown, drawn] = shownAndImage();
    EXPECT_GE(shown.width(), int(QtPlatform::kClientWidth * ratio()));
    EXPECT_GE(shown.height(), int(QtPlatform::kClientHeight * ratio()));
    // The whole canvas is on the screen, but for a last cut column or row.
    EXPECT_LE(image().width() - shown.width(), 1);
    EXPECT_LE(image().height() - shown.height(), 1);
    EXPECT_EQ(differing(shown, drawn), 0);
}

TEST_F(CanvasTest, TextsDrawnTwiceLeaveThePixelsOfOnceAndStaySmooth) {
    game->SENTE_Click();
    press(11, 2);
    press(5, 5);
    press(11, 9);
    press(2, 2);
    game->LEVEL1_Click();
    ASSERT_GT(platform->texts.size(), 20u);
    const double x = Form1::盤X + 2 * Form1::桝幅, y = Form1::盤Y + 3 * Form1::桝高;
    for (const auto& [text, points, bold, colour] : platform->texts) {
        SCOPED_TRACE(text + " " + std::to_string(colour));
        platform->setBackgroundColour(2);
        platform->printText(x, y, text, points, bold, colour);
        const QRect around(dev(qRound(x / kTwipsPerPixel) - 8), dev(qRound(y / kTwipsPerPixel) - 8),
                           dev(100), dev(50));
        const QImage once = image().copy(around);
        platform->printText(x, y, text, points, bold, colour);
        EXPECT_EQ(differing(image().copy(around), once), 0);
        // Smooth: some pixels lie between the background and the text colour.
        const QColor ground = paletteColour(2), ink = paletteColour(colour);
        const auto distance = [](QColor a, QColor b) {
            return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue());
        };
        int between = 0, inked = 0;
        for (int j = 0; j < once.height(); ++j) {
            for (int i = 0; i < once.width(); ++i) {
                const QColor c = once.pixelColor(i, j);
                // Below a scale of 1 a thin stroke is narrower than a pixel: it shows, but
                // only part of the way to the ink.
                inked += distance(c, ink) < (ratio() < 1 ? distance(c, ground) : 60);
                between += c != ink && c != ground;
            }
        }
        EXPECT_GT(inked, 0);
        EXPECT_GT(between, 0);
    }
}

// The board's grid lines along one row or column of device pixels: every run of the line
// colour, in order.
std::vector<int> lineRuns(const QImage& image, QPoint from, QPoint step, int count) {
    std::vector<int> runs;
    int run = 0;
    for (int i = 0; i < count; ++i, from += step) {
        if (image.pixel(from) == paletteColour(2).rgb()) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run > 0) {
        runs.push_back(run);
    }
    return runs;
}

TEST_F(CanvasTest, GridLinesAreEvenAndPicturesAreCopiedPixelForPixel) {
    game->START_Click();
    press(11, 2);
    press(5, 5);
    const int line = std::max(1, qRound(ratio()));
    // Cell corners in logical pixels: the board spans cells 1..9.
    const auto cornerX = [](double gx) { return qRound((Form1::盤X + gx * Form1::桝幅) / 15); };
    const auto cornerY = [](double gy) { return qRound((Form1::盤Y + gy * Form1::桝高) / 15); };
    const int left = dev(cornerX(1)), right = dev(cornerX(10)) + line;
    const int top = dev(cornerY(1)), bottom = dev(cornerY(10)) + line;
    for (int gy = 1; gy <= 9; ++gy) { // a row of device pixels through every cell row
        const int y = dev(cornerY(gy) + 10);
        EXPECT_EQ(lineRuns(image(), QPoint(left, y), QPoint(1, 0), right - left),
                  std::vector<int>(10, line))
            << gy;
    }
    for (int gx = 1; gx <= 9; ++gx) {
        const int x = dev(cornerX(gx) + 10);
        EXPECT_EQ(lineRuns(image(), QPoint(x, top), QPoint(0, 1), bottom - top),
                  std::vector<int>(10, line))
            << gx;
    }

    // Inside its frame a cell shows its picture's own pixels: nothing blurred or shifted.
    const struct {
        double gx, gy;
        Picture picture;
    } cells[] = {{5, 5, Picture::SitaHu0},  {5, 4, Picture::KaraMasu2}, {1, 1, Picture::KaraMasu},
                 {4, 9, Picture::KaraMasu}, {11, 9, Picture::SitaOu},   {-1, 1, Picture::SitaOu},
                 {11.5, 0, Picture::Kovalt}};
    for (const auto& cell : cells) {
        const QImage& picture = platform->picture(cell.picture);
        const PictureSize size = pictureSize(cell.picture);
        const int x0 = dev(cornerX(cell.gx)), y0 = dev(cornerY(cell.gy));
        const int x1 = dev(cornerX(cell.gx) + size.width) - line;
        const int y1 = dev(cornerY(cell.gy) + size.height) - line;
        int wrong = 0;
        for (int y = y0 + line; y < y1; ++y) {
            for (int x = x0 + line; x < x1; ++x) {
                wrong += image().pixel(x, y) != picture.pixel(x - x0, y - y0);
            }
        }
        EXPECT_EQ(wrong, 0) << cell.gx << "," << cell.gy;
        EXPECT_EQ(picture.size(),
                  QSize(qCeil(size.width * ratio() - 1e-9), qCeil(size.height * ratio() - 1e-9)));
    }
}

// The device pixels inside the frame around `inside`, as the image shows them.
QRect framedArea(const QImage& image, QPoint inside) {
    const auto edge = [&](QPoint step) {
        QPoint p = inside;
        while (image.valid(p + step) && image.pixel(p + step) != paletteColour(2).rgb()) {
            p += step;
        }
        return p;
    };
    return QRect(QPoint(edge({-1, 0}).x(), edge({0, -1}).y()),
                 QPoint(edge({1, 0}).x(), edge({0, 1}).y()));
}

TEST_F(CanvasTest, APressInTheMiddleOfEveryDrawnSquareLandsOnThatSquare) {
    game->START_Click();
    settle();
    std::pair<int, int> landed;
    platform->canvas()->onPress = [&landed](int, double x, double y) {
        landed = {int(std::floor((x - Form1::盤X) / Form1::桝幅)),
                  int(std::floor((y - Form1::盤Y) / Form1::桝高))};
    };
    std::vector<std::pair<int, int>> squares;
    for (int gy = 1; gy <= 9; ++gy) {
        for (int gx = 1; gx <= 9; ++gx) {
            squares.emplace_back(gx, gy);
        }
    }
    for (int slot = 1; slot <= 8; ++slot) { // the hands: the player's right, the other left
        squares.emplace_back(11, slot + 1);
        squares.emplace_back(-1, slot);
    }
    // Where the image has a square, whatever ratio it was drawn at; the screen shows the
    // image pixel for pixel.
    const double drawnScale = double(image().width()) / QtPlatform::kClientWidth;
    for (const auto& [gx, gy] : squares) {
        const QRect drawn =
            framedArea(image(), (QPointF(cellPixel(gx, gy)) * drawnScale).toPoint());
        landed = {-100, -100};
        QTest::mousePress(platform->canvas(), Qt::LeftButton, Qt::NoModifier,
                          (QRectF(drawn).center() / ratio()).toPoint());
        EXPECT_EQ(landed, std::pair(gx, gy)) << "drawn at " << drawn.x() << "," << drawn.y();
    }
}

TEST_F(CanvasTest, PicturesAreTheirArtworkScaledOnceAtMost) {
    const int whole = qRound(ratio());
    const bool belowOne = ratio() < 1;
    if (!belowOne && std::abs(ratio() - whole) > 1e-9) {
        GTEST_SKIP() << "no artwork is drawn for a fractional scale above 1";
    }
    // Whole scales use their own artwork; scales below 1 the 1x artwork made smaller.
    const QString suffix = belowOne || whole == 1 ? QString() : QStringLiteral("@%1x").arg(whole);
    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        QImage art(QStringLiteral(":/pictures/%1%2.png")
                       .arg(QString::fromLatin1(pictureName(picture)), suffix));
        ASSERT_FALSE(art.isNull()) << pictureName(picture) << suffix.toStdString();
        art = art.convertToFormat(QImage::Format_RGB32);
        art.setDevicePixelRatio(1);
        if (belowOne) {
            const PictureSize size = pictureSize(picture);
            art = art.scaled(qCeil(size.width * ratio()), qCeil(size.height * ratio()),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        QImage made = platform->picture(picture);
        made.setDevicePixelRatio(1);
        EXPECT_TRUE(made == art) << pictureName(picture) << suffix.toStdString();
    }
}

// Qt's X11 backing store waits for the server to have read its last put before it paints over
// it; after a quiet moment that wait has already been taken, and a paint sends one request
// fewer (the round trip's), counted by the requests' sequence numbers.
TEST_F(CanvasTest, OnceQuietAPaintOverTheLastOneMakesNoRoundTrip) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || x11 == nullptr ||
        qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        GTEST_SKIP() << "no X11 shared-memory puts here";
    }
    xcb_connection_t* x = x11->connection();
    Canvas* canvas = platform->canvas();
    const auto requestsOfRepaint = [&] {
        const unsigned before = xcb_get_input_focus(x).sequence;
        xcb_discard_reply(x, before);
        canvas->repaint(canvas->rect());
        const unsigned after = xcb_get_input_focus(x).sequence;
        xcb_discard_reply(x, after);
        return after - before - 1;
    };
    canvas->repaint(canvas->rect());
    const unsigned straightAfter = requestsOfRepaint();
    QTest::qWait(5 * IdlePutWait::kQuietMs);
    EXPECT_EQ(requestsOfRepaint(), straightAfter - 1);
}

// The canvas skips a picture and its frame, or a frame alone, drawn again over themselves, and
// writes them otherwise: whatever the order of pictures, frames, clears and flushes, it shows
// what writing each call's pixels in turn shows. Cells of 10 pixels whose frames share edges.
TEST(CanvasWrites, PicturesAndFramesInAnyOrderShowWhatEachWriteLeaves) {
    Canvas canvas(QSize(40, 40), 1, qRgb(9, 9, 9));
    QImage model(40, 40, QImage::Format_RGB32);
    model.fill(qRgb(9, 9, 9));
    std::mt19937 random(16);
    std::vector<QImage> pictures;
    for (int i = 0; i < 3; ++i) {
        QImage picture(11, 11, QImage::Format_RGB32);
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 11; ++x) {
                picture.setPixel(x, y, qRgb(40 * i + x, 10 * y, 200 - 50 * i));
            }
        }
        pictures.push_back(picture);
    }
    const QRgb colours[] = {qRgb(0, 0, 0), qRgb(255, 0, 0)};
    const auto picture = [&](int cx, int cy, const QImage& p) {
        canvas.drawPicture(p, QPoint(10 * cx, 10 * cy), QSize(11, 11));
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 11; ++x) {
                if (model.valid(10 * cx + x, 10 * cy + y)) {
                    model.setPixel(10 * cx + x, 10 * cy + y, p.pixel(x, y));
                }
            }
        }
    };
    const auto frame = [&](int cx, int cy, QRgb colour) {
        canvas.drawFrame(10 * cx, 10 * cy, 10 * cx + 10, 10 * cy + 10, colour);
        for (int i = 0; i <= 10; ++i) {
            for (const QPoint p : {QPoint(i, 0), QPoint(i, 10), QPoint(0, i), QPoint(10, i)}) {
                if (model.valid(10 * cx + p.x(), 10 * cy + p.y())) {
                    model.setPixel(10 * cx + p.x(), 10 * cy + p.y(), colour);
                }
            }
        }
    };
    for (int step = 0; step < 2000; ++step) {
        const int cx = random() % 4, cy = random() % 4;
        const QImage& p = pictures[random() % 2 ? 0 : random() % 3];
        const QRgb colour = colours[random() % 8 == 0];
        switch (random() % 8) {
        case 0: // a picture alone
            picture(cx, cy, p);
            break;
        case 1: // a frame alone
            frame(cx, cy, colour);
            break;
        case 2: // the event handled, or now and then everything cleared
            if (random() % 16 == 0) {
                canvas.clear(colour);
                model.fill(colour);
            }
            QCoreApplication::processEvents();
            break;
        default: // a square drawn again: its picture, then its frame
            picture(cx, cy, p);
            frame(cx, cy, colour);
        }
        ASSERT_EQ(canvas.image(), model) << "step " << step;
    }
}

} // namespace
