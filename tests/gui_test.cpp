// The real window on Qt's offscreen platform: the first screen's pixels, the menu tree,
// presses and menu commands through Qt, message boxes answered as a player would.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/form1.h"
#include "platform/qt_platform.h"
#include "platform/sound.h"
#include "platform/translation.h"

namespace {

QPoint cellPixel(double gx, double gy) {
    // The centre of a grid cell in logical pixels of the client area.
    return QPoint(qRound((Form1::盤X + (gx + 0.5) * Form1::桝幅) / kTwipsPerPixel),
                  qRound((Form1::盤Y + (gy + 0.5) * Form1::桝高) / kTwipsPerPixel));
}

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

class WindowTest : public ::testing::Test {
protected:
    std::unique_ptr<QtPlatform> platform = std::make_unique<QtPlatform>();
    std::unique_ptr<Form1> game = std::make_unique<Form1>(*platform);
    std::vector<std::string> dialogs;
    // Yes/No answers to give, Yes when empty.
    std::vector<bool> answers;

    void SetUp() override {
        platform->connect(*game);
        platform->beforeDialog = [this](QMessageBox& box) {
            dialogs.push_back(box.windowTitle().toStdString() + "|" + box.text().toStdString());
            QPushButton* yes = qobject_cast<QPushButton*>(box.button(QMessageBox::Yes));
            QPushButton* no = qobject_cast<QPushButton*>(box.button(QMessageBox::No));
            QAbstractButton* answer = box.button(QMessageBox::Ok);
            if (yes != nullptr) {
                const bool sayYes = answers.empty() || answers.front();
                if (!answers.empty()) {
                    answers.erase(answers.begin());
                }
                answer = sayYes ? static_cast<QAbstractButton*>(yes) : no;
            }
            QTimer::singleShot(0, answer, &QAbstractButton::click);
        };
        game->Form_Load();
        platform->window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(platform->window()));
    }

    const QImage& canvas() { return platform->canvas()->image(); }

    // Pawns everywhere but (1, 1) and (1, 2): (1, 1) is the only free square, and a drop
    // there leaves none.
    void leaveOneFreeSquare() {
        for (auto& column : game->将棋盤) {
            column.fill(Form1::駒_歩);
        }
        game->将棋盤[1][1] = Form1::空桝;
        game->将棋盤[1][2] = Form1::空桝;
        game->駒範囲調査();
    }

    void press(int gx, int gy, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(platform->canvas(), button, Qt::NoModifier, cellPixel(gx, gy));
    }

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
    QtPlatform platform(QStringLiteral(":/no-such-pictures/"), QStringLiteral(":/no-sounds/"));
    Form1 game(platform);
    platform.connect(game);
    platform.beforeDialog = [](QMessageBox& box) {
        QTimer::singleShot(0, &box, &QMessageBox::accept);
    };
    game.Form_Load();
    EXPECT_EQ(platform.missingPictures(), kPictureCount);
    EXPECT_FALSE(platform.soundAvailable());
    // The placeholder is grey with a red frame: the board is still visible as cells.
    const QImage& image = platform.canvas()->image();
    EXPECT_EQ(image.pixelColor(cellPixel(5, 5) + QPoint(3, 0)), QColor(128, 128, 128));
    game.START_Click();
    game.音響("駒打音");
    EXPECT_FALSE(game.hasQuit());
}

TEST(Sounds, EveryShippedSoundIsAPcmWaveOfAShortLength) {
    for (const char* file : {"koma.wav", "kinshi.wav", "shuukyoku.wav", "sonota.wav"}) {
        const qint64 ms =
            SoundPlayer::wavDurationMs(QStringLiteral(":/sounds/") + QLatin1String(file));
        EXPECT_GT(ms, 30) << file;
        EXPECT_LT(ms, 2000) << file;
    }
    EXPECT_EQ(SoundPlayer::wavDurationMs(QStringLiteral(":/pictures/HAIKEI.png")), 0);
    EXPECT_EQ(SoundPlayer::wavDurationMs(QStringLiteral(":/nothing.wav")), 0);
    SoundPlayer player;
    EXPECT_FALSE(player.play("鳴らない名前"));
}

TEST(Sounds, ASoundAskedForWhileAnotherPlaysIsSkipped) {
    SoundGate gate;
    EXPECT_TRUE(gate.admit(1000, 100));  // plays until 1100
    EXPECT_FALSE(gate.admit(1050, 300)); // skipped: the first still plays
    EXPECT_FALSE(gate.admit(1099, 50));
    EXPECT_TRUE(gate.admit(1100, 50)); // the first has ended
    EXPECT_FALSE(gate.admit(1120, 10));
    EXPECT_TRUE(gate.admit(5000, 10));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        // As the program does: Qt's own texts in Japanese.
        if (!loadQtJapanese(app)) {
            std::fprintf(stderr, "Qt's Japanese translation is missing (qt6-translations-l10n)\n");
        }
        status = RUN_ALL_TESTS();
    }
    // As the program does: a thread stuck in the sound library is not waited for.
    if (SoundPlayer::leftRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
