// The canvas at the screen's own scale factor (run once per factor through QT_SCALE_FACTOR):
// what a press repaints, what reaches the screen, texts drawn twice, frames and pictures in
// device pixels.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "game/form1.h"
#include "platform/qt_platform.h"

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

QPoint cellPixel(double gx, double gy) {
    return QPoint(qRound((Form1::盤X + (gx + 0.5) * Form1::桝幅) / kTwipsPerPixel),
                  qRound((Form1::盤Y + (gy + 0.5) * Form1::桝高) / kTwipsPerPixel));
}

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

qreal ratio() {
    return qApp->devicePixelRatio();
}

// Device pixel of a whole logical pixel.
int dev(int logical) {
    return static_cast<int>(std::lround(logical * ratio()));
}

class CanvasTest : public ::testing::Test {
protected:
    std::unique_ptr<TextLog> platform = std::make_unique<TextLog>();
    std::unique_ptr<Form1> game = std::make_unique<Form1>(*platform);

    void SetUp() override {
        platform->connect(*game);
        platform->beforeDialog = [](QMessageBox& box) {
            QTimer::singleShot(0, &box, &QMessageBox::accept);
        };
        game->Form_Load();
        platform->window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(platform->window()));
        settle();
    }
    const QImage& image() { return platform->canvas()->image(); }
    void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }
    void press(int gx, int gy) {
        QTest::mousePress(platform->canvas(), Qt::LeftButton, Qt::NoModifier, cellPixel(gx, gy));
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
    EXPECT_GE(shown.width(), QtPlatform::kClientWidth);
    EXPECT_GE(shown.height(), QtPlatform::kClientHeight);
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
        int between = 0, inked = 0;
        for (int j = 0; j < once.height(); ++j) {
            for (int i = 0; i < once.width(); ++i) {
                const QColor c = once.pixelColor(i, j);
                const int distance = std::abs(c.red() - ink.red()) +
                                     std::abs(c.green() - ink.green()) +
                                     std::abs(c.blue() - ink.blue());
                inked += distance < 60;
                between += c != ink && c != ground;
            }
        }
        EXPECT_GT(inked, 0);
        EXPECT_GT(between, 0);
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
