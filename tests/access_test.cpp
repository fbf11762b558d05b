// The window for players who do not use the mouse or do not see the screen: the standard
// keys for back, forward and quit, the board's words for screen readers, and the desktop's
// face on the menu bar and in the boxes. Qt's offscreen platform.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTime>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/board_keys.h"
#include "testkit/qt_window.h"

// Readable failures for texts.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// The real platform, also keeping the names of the sounds asked for.
struct ListeningPlatform : QtPlatform {
    std::vector<std::string> sounds;
    void playSound(const std::string& name) override {
        sounds.push_back(name);
        QtPlatform::playSound(name);
    }
};

const QKeyCombination kUndo(Qt::ControlModifier, Qt::Key_Z);
const QKeyCombination kRedo(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
const QKeyCombination kRedoToo(Qt::ControlModifier, Qt::Key_Y);
const QKeyCombination kQuit(Qt::ControlModifier, Qt::Key_Q);

// Catches the accessibility events about one object, as a screen reader would get them.
class AccessibleEvents {
public:
    explicit AccessibleEvents(QObject* object) {
        watched_ = object;
        seen_ = &seen;
        QAccessible::setActive(true);
        before_ = QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (seen_ != nullptr && event->object() == watched_) {
                seen_->push_back(event->type());
            }
        });
    }
    ~AccessibleEvents() {
        QAccessible::installUpdateHandler(before_);
        QAccessible::setActive(false);
        seen_ = nullptr;
    }
    long count(QAccessible::Event type) const { return std::count(seen.begin(), seen.end(), type); }

    std::vector<QAccessible::Event> seen;

private:
    static inline QObject* watched_ = nullptr;
    static inline std::vector<QAccessible::Event>* seen_ = nullptr;
    QAccessible::UpdateHandler before_ = nullptr;
};

class AccessTest : public ::testing::Test, protected GameWindow<ListeningPlatform> {
protected:
    void SetUp() override {
        ASSERT_TRUE(show());
        platform->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(platform->window()));
    }
    // A key pressed and released on the target, by default the game's window, which gets
    // the keyboard back once a box has closed, as on a desktop.
    void key(QKeyCombination combination, QWidget* target = nullptr) {
        if (target == nullptr) {
            target = platform->window();
            if (QApplication::activeModalWidget() == nullptr) {
                target->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(target));
            }
        }
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    }
    void forget() {
        dialogs.clear();
        platform->sounds.clear();
    }
    static bool offscreen() {
        return QGuiApplication::platformName() == QStringLiteral("offscreen");
    }
    QString description() {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(platform->canvas());
        return face != nullptr ? face->text(QAccessible::Description) : QString();
    }
};

TEST_F(AccessTest, MenuBarAndBoxesUseTheDesktopFace) {
    const QString desktop = QApplication::font().family();
    ASSERT_FALSE(desktop.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive))
        << desktop.toStdString();
    EXPECT_EQ(platform->window()->menuBar()->font().family(), desktop);
    EXPECT_EQ(qobject_cast<QWidget*>(platform->action("OWARI")->parent())->font().family(),
              desktop);
    platform->action("REPLAY")->trigger();
    platform->askYesNo("続けますか？", "再ゲーム");
    ASSERT_EQ(dialogFaces.size(), 2u);
    EXPECT_EQ(dialogFaces[0], desktop);
    EXPECT_EQ(dialogFaces[1], desktop);
}

TEST_F(AccessTest, KeysDoWhatTheirMenuCommandsDo) {
    // Nothing to step over yet: the same refusal, sound and box as from the menu bar.
    platform->action("REPLAY")->trigger();
    platform->action("AFTER")->trigger();
    const std::vector<std::string> menuDialogs = dialogs;
    const std::vector<std::string> menuSounds = platform->sounds;
    ASSERT_EQ(menuDialogs, (std::vector<std::string>{"戻る|できません", "進む|できません"}));
    forget();
    key(kUndo);
    key(kRedo);
    EXPECT_EQ(dialogs, menuDialogs);
    EXPECT_EQ(platform->sounds, menuSounds);
    forget();
    key(kRedoToo);
    EXPECT_EQ(dialogs, std::vector<std::string>{"進む|できません"});

    platform->action("START")->trigger();
    press(11, 9); // the king
    press(5, 5);
    press(-1, 8); // a pawn of the left hand
    press(3, 4);
    ASSERT_EQ(game->手数, 2);
    forget();
    key(kUndo);
    EXPECT_EQ(game->手数, 1);
    EXPECT_EQ(game->将棋盤[3][4], Form1::空桝);
    key(kUndo);
    EXPECT_EQ(game->手数, 0);
    EXPECT_EQ(game->将棋盤[5][5], Form1::空桝);
    key(kRedoToo);
    EXPECT_EQ(game->手数, 1);
    key(kRedo);
    EXPECT_EQ(game->手数, 2);
    EXPECT_EQ(game->将棋盤[3][4], Form1::駒_歩);
    EXPECT_EQ(platform->sounds, std::vector<std::string>(4, "駒打音"));
    EXPECT_TRUE(dialogs.empty());
    EXPECT_FALSE(game->hasQuit());
    key(kQuit);
    EXPECT_TRUE(game->hasQuit());
}

TEST_F(AccessTest, KeysAreIgnoredDuringTheEndPause) {
    platform->action("START")->trigger();
    leaveOneFreeSquare();
    press(11, 2);
    forget();
    // The first timer to fire does so in the pause before the end is announced.
    bool inPause = false;
    QTimer::singleShot(0, platform->window(), [&] {
        inPause = dialogs.empty() && game->手数 == 1;
        for (QKeyCombination k : {kUndo, kRedo, kRedoToo, kQuit}) {
            key(k);
        }
    });
    press(1, 1);
    EXPECT_TRUE(inPause);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"終了|先手の勝ちです", "再ゲーム|続けますか？"}));
    EXPECT_EQ(platform->sounds, (std::vector<std::string>{"駒打音", "終局"}));
    EXPECT_FALSE(game->hasQuit());
    // Yes began a new game.
    EXPECT_EQ(game->手番, Form1::手番_無);
}

TEST_F(AccessTest, KeysAreIgnoredWhileABoxIsOpen) {
    platform->action("START")->trigger();
    press(11, 9);
    press(5, 5);
    forget();
    whileShown = [this](QMessageBox& box) {
        whileShown = nullptr;
        for (QWidget* target :
             {static_cast<QWidget*>(&box), static_cast<QWidget*>(platform->window())}) {
            for (QKeyCombination k : {kUndo, kRedo, kQuit}) {
                key(k, target);
            }
        }
    };
    // A press on a piece on the board is refused with a box.
    press(5, 5);
    EXPECT_EQ(dialogs, std::vector<std::string>{"注意|駒の移動はできません"});
    EXPECT_EQ(platform->sounds, std::vector<std::string>{"禁止"});
    EXPECT_EQ(game->手数, 1);
    EXPECT_FALSE(game->hasQuit());
}

TEST_F(AccessTest, BoardIsDescribedAfterEveryEvent) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(platform->canvas());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->text(QAccessible::Name), "将棋盤");
    EXPECT_EQ(description(), "対局していません。空き桝81。");

    platform->action("SENTE")->trigger();
    EXPECT_EQ(description(), "あなたの番。0手目。空き桝81。");
    press(11, 9);
    press(5, 5);
    // The computer's answer came within the press.
    ASSERT_EQ(game->手数, 2);
    EXPECT_TRUE(description().startsWith("あなたの番。2手目 ＣＯＭ"))
        << description().toStdString();
    EXPECT_EQ(description().toStdString(), game->boardSummary());
    platform->action("REPLAY")->trigger();
    EXPECT_EQ(description(), "ＣＯＭの番。1手目 あなた５五王。空き桝72。");
    platform->action("AFTER")->trigger();
    EXPECT_TRUE(description().startsWith("あなたの番。2手目 ＣＯＭ"));
    key(kUndo);
    EXPECT_EQ(description(), "ＣＯＭの番。1手目 あなた５五王。空き桝72。");
    platform->action("CANCEL")->trigger();
    EXPECT_EQ(description(), "対局していません。空き桝81。");
    platform->action("GOTE")->trigger();
    EXPECT_TRUE(description().startsWith("あなたの番。1手目 ＣＯＭ"));
    platform->action("CANCEL")->trigger();
    platform->action("START")->trigger();
    EXPECT_EQ(description(), "先手の番。0手目。空き桝81。");
    leaveOneFreeSquare();
    press(11, 2);
    press(1, 1);
    ASSERT_EQ(dialogs.back(), "再ゲーム|続けますか？");
    EXPECT_EQ(description(), "対局していません。空き桝81。");
}

// The board by keys alone: the same drops as the mouse's, a cursor drawn over the picture
// and never into it, and the screen reader's table of squares.
TEST_F(AccessTest, BoardKeysPlayAMatch) {
    Canvas* canvas = platform->canvas();
    auto* keys = canvas->findChild<BoardKeys*>();
    ASSERT_NE(keys, nullptr);
    const auto board = [&](std::initializer_list<QKeyCombination> combinations) {
        for (QKeyCombination k : combinations) {
            QTest::keyClick(canvas, k.key(), k.keyboardModifiers());
        }
    };
    canvas->setFocus();
    const QImage before = canvas->image().copy();
    board({Qt::Key_Left, Qt::Key_Up});
    EXPECT_EQ(keys->cursorX(), 4);
    EXPECT_EQ(keys->cursorY(), 4);
    EXPECT_EQ(canvas->image(), before) << "the cursor is not drawn into the game's picture";
    // Drawn inside the square, in a colour of its own; the neighbours keep their pixels.
    const QImage shown = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint middle = cellPixel(4, 4);
    // Inside the square's green frame lines.
    const auto pixel = [](double twips) { return qRound(twips / kTwipsPerPixel); };
    const QRect square(
        QPoint(pixel(Form1::盤X + 4 * Form1::桝幅) + 1, pixel(Form1::盤Y + 4 * Form1::桝高) + 1),
        QPoint(pixel(Form1::盤X + 5 * Form1::桝幅) - 1, pixel(Form1::盤Y + 5 * Form1::桝高) - 1));
    int cyan = 0;
    for (int y = square.top() - 4; y <= square.bottom() + 4; ++y) {
        for (int x = square.left() - 4; x <= square.right() + 4; ++x) {
            const bool differs = shown.pixel(x, y) != before.pixel(x, y);
            cyan += differs && shown.pixel(x, y) == qRgb(0, 255, 255);
            if (differs) {
                EXPECT_TRUE(square.contains(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(cyan, 100);
    EXPECT_EQ(shown.pixel(middle), before.pixel(middle));
    // Edges stop it.
    board({Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left});
    EXPECT_EQ(keys->cursorX(), 1);
    board({Qt::Key_5, Qt::Key_5});
    EXPECT_EQ(keys->cursorX(), 5);
    EXPECT_EQ(canvas->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(square),
              before.copy(square))
        << "the square left behind is as it was";

    // A key is its press: the same refusal as the mouse's when no match runs.
    board({Qt::Key_K});
    EXPECT_EQ(dialogs, std::vector<std::string>{"開始|「対局」で始めて下さい"});
    EXPECT_EQ(platform->window()->focusWidget(), canvas)
        << "the board has the keys again after a box";
    platform->action("START")->trigger();
    board({Qt::Key_K, Qt::Key_Return, Qt::Key_P, Qt::Key_7, Qt::Key_4, Qt::Key_Space, Qt::Key_B,
           Qt::Key_9, Qt::Key_9});
    board({QKeyCombination(Qt::ShiftModifier, Qt::Key_Return)});
    EXPECT_EQ(game->将棋盤[5][5], Form1::駒_王);
    EXPECT_EQ(game->将棋盤[3][4], Form1::駒_歩);
    EXPECT_EQ(game->将棋盤[1][9], Form1::駒_角成);
    EXPECT_EQ(description().toStdString(), game->boardSummary());

    // The screen reader's board.
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(canvas);
    ASSERT_NE(face, nullptr);
    QAccessibleTableInterface* table = face->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 9);
    EXPECT_EQ(table->cellAt(4, 4)->text(QAccessible::Name), "５五 王");
    EXPECT_EQ(table->cellAt(3, 4)->text(QAccessible::Name), "５四 利き筋");
    EXPECT_EQ(table->cellAt(0, 8)->text(QAccessible::Name), "１一 空き");
    platform->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(platform->window()));
    EXPECT_EQ(face->focusChild(), table->cellAt(8, 0));
    QStringList others;
    for (int i = 81; i < face->childCount(); ++i) {
        QAccessibleInterface* child = face->child(i);
        others << child->text(QAccessible::Name);
        for (int j = 0; j < child->childCount(); ++j) {
            others << child->child(j)->text(QAccessible::Name);
        }
    }
    EXPECT_TRUE(others.contains("先手の持駒") && others.contains("後手の持駒"))
        << others.join('|').toStdString();
    EXPECT_TRUE(others.contains("王 0枚") && others.contains("歩 8枚"));
    EXPECT_TRUE(others.contains("3手目") && others.contains("最後の手 後手７四歩"));

    // Ctrl+C: the match so far.
    key(QKeyCombination(Qt::ControlModifier, Qt::Key_C));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "対局(人間)\n1手目 先手 ５五王\n2手目 後手 ７四歩\n3手目 先手 ９九角成\n");
    // A mouse press on the board puts the cursor away.
    press(8, 8);
    EXPECT_FALSE(keys->cursorShown());
}

TEST_F(AccessTest, BoxesFindThePositionToldAndGiveTheBoardTheKeys) {
    // The about box from the menu bar: afterwards the keys go to the board.
    platform->window()->menuBar()->setFocus();
    platform->action("VER")->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    platform->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(platform->window()));
    EXPECT_TRUE(platform->canvas()->hasFocus());
    // The winning drop is in the description while its box is open.
    platform->action("START")->trigger();
    leaveOneFreeSquare();
    press(11, 2);
    QString whileEnded;
    whileShown = [&](QMessageBox& box) {
        if (box.windowTitle() == "終了") {
            whileEnded = description();
        }
    };
    press(1, 1);
    EXPECT_TRUE(whileEnded.contains("1手目 先手９一歩")) << whileEnded.toStdString();
}

// The news takes the reader's focus on one of two items in turn; orca takes two objects with the
// same role, name and place for one and would not speak the second (a step right after a drop).
TEST_F(AccessTest, TheTwoNewsItemsAreTwoPlacesForTheReader) {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(platform->canvas());
    ASSERT_NE(board, nullptr);
    const QAccessibleInterface* first = board->child(board->childCount() - 2);
    const QAccessibleInterface* second = board->child(board->childCount() - 1);
    EXPECT_EQ(first->role(), second->role());
    EXPECT_EQ(first->text(QAccessible::Name), second->text(QAccessible::Name));
    EXPECT_NE(first->rect(), second->rect());
}

// Needs a platform with accessibility switched on: the X11 platform with an accessibility bus
// (tests/xsession.sh --a11y). Qt's offscreen platform delivers no accessibility events.
TEST_F(AccessTest, DescriptionChangesAreAnnounced) {
    if (offscreen() || !qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")) {
        GTEST_SKIP() << "no accessibility bus";
    }
    // The bus answers shortly after start-up.
    EXPECT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 3000));
    AccessibleEvents events(platform->canvas());
    // How many description changes were announced since the last question.
    const auto changes = [&] {
        const long n = events.count(QAccessible::DescriptionChanged);
        events.seen.clear();
        return n;
    };
    platform->action("SENTE")->trigger();
    EXPECT_EQ(changes(), 1);
    press(11, 9);
    press(5, 5);
    EXPECT_EQ(changes(), 1) << "one announcement for the drop and the answer together";
    // A refusal and a command that does nothing change nothing and announce nothing.
    platform->action("START")->trigger();
    platform->action("MATCH_MAN")->trigger();
    EXPECT_EQ(changes(), 0);
    key(kUndo);
    EXPECT_EQ(changes(), 1);
}

// Real key presses through the X server, sent by xdotool.
TEST_F(AccessTest, RealKeysAreIgnoredDuringTheEndPause) {
    if (offscreen()) {
        GTEST_SKIP() << "needs an X server";
    }
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    ASSERT_FALSE(xdotool.isEmpty());
    const auto realKeys = [&](const QStringList& keys) {
        return QProcess::execute(xdotool, QStringList{QStringLiteral("key")} + keys);
    };
    ASSERT_EQ(QProcess::execute(xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                          QString::number(platform->window()->winId())}),
              0);
    // They reach the commands in a running match.
    platform->action("START")->trigger();
    press(11, 9);
    press(5, 5);
    ASSERT_EQ(game->手数, 1);
    ASSERT_EQ(realKeys({QStringLiteral("ctrl+z")}), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return game->手数 == 0; }, 3000));
    ASSERT_EQ(realKeys({QStringLiteral("ctrl+shift+z")}), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return game->手数 == 1; }, 3000));

    // 後手 drops a pawn on the last free square.
    leaveOneFreeSquare();
    press(-1, 8);
    forget();
    // The pause lasts until the clock's seconds change: begin it just after they did, and
    // let the keys come while it runs.
    const int second = QTime::currentTime().second();
    while (QTime::currentTime().second() == second) {
        QThread::msleep(2);
    }
    QProcess keys;
    keys.start(QStringLiteral("sh"),
               {QStringLiteral("-c"),
                QStringLiteral("sleep 0.3; exec \"$0\" key ctrl+z ctrl+y ctrl+q"), xdotool});
    ASSERT_TRUE(keys.waitForStarted());
    press(1, 1);
    // It may have ended during the pause already.
    keys.waitForFinished(5000);
    EXPECT_EQ(keys.state(), QProcess::NotRunning);
    EXPECT_EQ(keys.exitCode(), 0);
    // Anything still queued would act now.
    QTest::qWait(300);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"終了|後手の勝ちです", "再ゲーム|続けますか？"}));
    EXPECT_FALSE(game->hasQuit());
    EXPECT_EQ(game->手番, Form1::手番_無);
    EXPECT_EQ(game->手数, 0);
}

} // namespace
