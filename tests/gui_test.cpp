// The real window on Qt's offscreen platform: the first screen's pixels, the menu tree,
// presses and menu commands through Qt, message boxes answered as a player would.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/translation.h"
#include "testkit/qt_window.h"

namespace {

QImage resourcePicture(const char* name) {
    return QImage(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name)))
        .convertToFormat(QImage::Format_RGB32);
}

// True when the canvas shows the picture with its top-left corner at the grid point.
bool showsPicture(const QImage& canvas, const char* name, double gx, double gy) {
    const QImage picture = resourcePicture(name);
    const int x0 = qRound((Form1::盤X + gx * Form1::桝幅) / kTwipsPerPixel);
    const int y0 = qRound((Form1::盤Y + gy * Form1::桝高) / kTwipsPerPixel);
    // Skip the frame lines, which are drawn over the picture's first row and column.
    for (int y = 1; y < picture.height() - 1; ++y) {
        for (int x = 1; x < picture.width() - 1; ++x) {
            if (canvas.pixel(x0 + x, y0 + y) != picture.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

int pixelsOfColour(const QImage& canvas, QRect area, QColor colour, int tolerance = 40) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = canvas.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance) {
                ++n;
            }
        }
    }
    return n;
}

QRect cellRect(int gx, int gy) {
    const QPoint c = cellPixel(gx, gy);
    return QRect(c.x() - 15, c.y() - 19, 31, 39);
}

class WindowTest : public ::testing::Test, protected GameWindow<> {
protected:
    void SetUp() override { ASSERT_TRUE(show()); }

    const QImage& canvas() { return platform->canvas()->image(); }

    void save(const char* name) {
        const QByteArray dir = qgetenv("KOVALT_SCREENSHOTS");
        if (!dir.isEmpty()) {
            platform->window()->grab().save(
                QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
        }
    }
};

TEST_F(WindowTest, FirstScreenShowsBoardHandsNumbersAndLogo) {
    save("first-screen.png");
    const QImage& image = canvas();
    EXPECT_TRUE(showsPicture(image, "KARA_MASU", 5, 5));
    EXPECT_TRUE(showsPicture(image, "KARA_MASU", 1, 9));
    EXPECT_TRUE(showsPicture(image, "SITA_HU_0", 11, 2));
    EXPECT_TRUE(showsPicture(image, "SITA_OU", 11, 9));
    EXPECT_TRUE(showsPicture(image, "SITA_OU", -1, 1));
    EXPECT_TRUE(showsPicture(image, "SITA_HU_0", -1, 8));
    EXPECT_TRUE(showsPicture(image, "KOVALT", 11.5, 0));
    // Cell (11, 1), where no hand slot stands, keeps the background tile.
    const QImage tile = resourcePicture("HAIKEI");
    const QPoint origin = cellPixel(11, 1) - QPoint(16, 20);
    EXPECT_EQ(image.pixel(origin + QPoint(5, 30)), tile.pixel(5, 30));
    // Counts in light magenta beside the hands, square numbers in white above the board.
    EXPECT_GT(pixelsOfColour(image, cellRect(12, 2), QColor(255, 0, 255)), 10);
    EXPECT_GT(pixelsOfColour(image, cellRect(0, 8), QColor(255, 0, 255)), 10);
    EXPECT_EQ(pixelsOfColour(image, cellRect(12, 1), QColor(255, 0, 255)), 0);
    EXPECT_GT(pixelsOfColour(image, cellRect(1, 0), QColor(255, 255, 255)), 10);
    EXPECT_GT(pixelsOfColour(image, cellRect(10, 5), QColor(255, 255, 255), 60), 5);
    // Board squares stand on green lines.
    const QPoint corner = cellPixel(5, 5) - QPoint(16, 20);
    EXPECT_EQ(image.pixelColor(corner), QColor(0, 128, 0));
    EXPECT_EQ(platform->canvas()->size(),
              QSize(QtPlatform::kClientWidth, QtPlatform::kClientHeight));
    EXPECT_EQ(platform->missingPictures(), 0);
}

TEST_F(WindowTest, MenuBarHoldsTheWholeTree) {
    QStringList top;
    for (QAction* a : platform->window()->menuBar()->actions()) {
        top << a->text();
    }
    EXPECT_EQ(top, QStringList({"対局", "局面", "戻", "進", "その他"}));
    EXPECT_EQ(platform->action("REPLAY")->menu(), nullptr);
    EXPECT_EQ(platform->action("AFTER")->menu(), nullptr);
    QStringList taikyoku;
    for (QAction* a : platform->action("TAIKYOKU")->menu()->actions()) {
        taikyoku << a->text();
    }
    EXPECT_EQ(taikyoku, QStringList({"対局(人間)", "対局(COM)", "COM対局ﾚﾍﾞﾙ", "終わり"}));
    EXPECT_EQ(platform->action("START")->parent(), platform->action("MATCH_MAN")->menu());
    EXPECT_EQ(platform->action("GOTE")->parent(), platform->action("START2")->menu());
    EXPECT_EQ(platform->action("CANCEL")->text(), "最初");
    EXPECT_TRUE(platform->action("LEVEL3")->isChecked());
    EXPECT_FALSE(platform->action("LEVEL1")->isChecked());
    EXPECT_FALSE(platform->action("LEVEL2")->isChecked());
    EXPECT_EQ(platform->window()->windowTitle(), "Kovalt");
}

TEST_F(WindowTest, LevelMenuKeepsExactlyOneCheckMark) {
    platform->action("LEVEL1")->trigger();
    EXPECT_TRUE(platform->action("LEVEL1")->isChecked());
    EXPECT_FALSE(platform->action("LEVEL3")->isChecked());
    EXPECT_EQ(game->レベル, 1);
    // Choosing the checked item again must not take its mark away.
    platform->action("LEVEL1")->trigger();
    EXPECT_TRUE(platform->action("LEVEL1")->isChecked());
    EXPECT_EQ(game->レベル, 1);
    EXPECT_GT(pixelsOfColour(canvas(), cellRect(-1, 0), QColor(255, 255, 255), 60), 5);
}

TEST_F(WindowTest, PlayerAgainstComputerThroughRealPresses) {
    platform->action("SENTE")->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], " |あなたの番です");
    press(11, 9); // the king
    press(5, 5);
    EXPECT_EQ(game->将棋盤[5][5], Form1::駒_王);
    // The computer answered within the same press.
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->手番, Form1::手番_先手);
    EXPECT_TRUE(showsPicture(canvas(), "SITA_OU", 5, 5));
    EXPECT_TRUE(showsPicture(canvas(), "KARA_MASU2", 5, 4));
    // A right-button drop of a pawn promotes it.
    press(11, 2);
    press(9, 9, Qt::RightButton);
    EXPECT_EQ(game->将棋盤[9][9], Form1::駒_と);
    EXPECT_TRUE(showsPicture(canvas(), "SITA_HU_1", 9, 9));
    save("match.png");
    // Back and forward through the menu bar.
    platform->action("REPLAY")->trigger();
    EXPECT_EQ(game->手数, 3);
    EXPECT_EQ(game->将棋盤[9][9], Form1::駒_と);
    platform->action("REPLAY")->trigger();
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->将棋盤[9][9], Form1::空桝);
    platform->action("AFTER")->trigger();
    EXPECT_EQ(game->将棋盤[9][9], Form1::駒_と);
}

TEST_F(WindowTest, HidingAndShowingAgainShowsTheSamePicture) {
    platform->action("SENTE")->trigger();
    press(11, 9);
    press(5, 5);
    const QImage before = platform->canvas()->grab().toImage();
    platform->window()->hide();
    platform->window()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(platform->window()));
    EXPECT_EQ(platform->canvas()->grab().toImage(), before);
    EXPECT_TRUE(showsPicture(before.convertToFormat(QImage::Format_RGB32), "SITA_OU", 5, 5));
}

TEST_F(WindowTest, RefusalShowsItsMessageBox) {
    press(5, 5);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], "開始|「対局」で始めて下さい");
}

TEST_F(WindowTest, EndOfMatchAnsweredYesStartsAgainAndNoQuits) {
    platform->action("START")->trigger();
    leaveOneFreeSquare();
    press(11, 2);
    press(1, 1);
    ASSERT_GE(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[1], "終了|先手の勝ちです");
    EXPECT_EQ(dialogs[2], "再ゲーム|続けますか？");
    EXPECT_EQ(game->手番, Form1::手番_無);
    EXPECT_TRUE(showsPicture(canvas(), "KARA_MASU", 1, 1));
    EXPECT_FALSE(game->hasQuit());

    answers = {false};
    platform->action("START")->trigger();
    leaveOneFreeSquare();
    press(11, 2);
    press(1, 1);
    EXPECT_TRUE(game->hasQuit());
    const std::size_t shown = dialogs.size();
    press(5, 5);
    platform->action("VER")->trigger();
    EXPECT_EQ(dialogs.size(), shown);
}

TEST(YesNoBox, EscapeAndClosingDoNotAnswer) {
    YesNoBox box(QStringLiteral("続けますか？"), QStringLiteral("再ゲーム"), nullptr);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());
    box.close();
    EXPECT_TRUE(box.isVisible());
    box.button(QMessageBox::No)->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.clickedButton(), box.button(QMessageBox::No));
}

// Qt's standard buttons in Japanese, like every other text of the game, in any locale.
TEST(QtTexts, YesNoBoxButtonsReadHaiAndIie) {
    YesNoBox box(QStringLiteral("続けますか？"), QStringLiteral("再ゲーム"), nullptr);
    auto shown = [&box](QMessageBox::StandardButton which) {
        return box.button(which)->text().remove(QLatin1Char('&'));
    };
    EXPECT_TRUE(shown(QMessageBox::Yes).startsWith(QStringLiteral("はい")))
        << shown(QMessageBox::Yes).toStdString();
    EXPECT_TRUE(shown(QMessageBox::No).startsWith(QStringLiteral("いいえ")))
        << shown(QMessageBox::No).toStdString();
    EXPECT_EQ(box.text(), QStringLiteral("続けますか？"));
}

TEST(QtTexts, MissingTranslationIsNoFailure) {
    EXPECT_FALSE(loadQtJapanese(*qApp, QStringLiteral("/nonexistent/translations")));
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("開始"),
                    QStringLiteral("「対局」で始めて下さい"), QMessageBox::Ok);
    EXPECT_NE(box.button(QMessageBox::Ok), nullptr);
}

TEST(MissingArtwork, PlaceholdersAndAGameThatStillRuns) {
    struct WithoutArtwork : QtPlatform {
        WithoutArtwork()
            : QtPlatform(QStringLiteral(":/no-such-pictures/"), QStringLiteral(":/no-sounds/")) {}
    };
    GameWindow<WithoutArtwork> window;
    window.start();
    EXPECT_EQ(window.platform->missingPictures(), kPictureCount);
    EXPECT_FALSE(window.platform->soundAvailable());
    // The placeholder is grey with a red frame: the board is still visible as cells.
    const QImage& image = window.platform->canvas()->image();
    EXPECT_EQ(image.pixelColor(cellPixel(5, 5) + QPoint(3, 0)), QColor(128, 128, 128));
    window.game->START_Click();
    window.game->音響("駒打音");
    EXPECT_FALSE(window.game->hasQuit());
}

} // namespace
