#include "platform/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <limits>
#include <set>

#include "game/form1.h"

namespace {

// Which standard command's keys an item answers to.
enum class Keys { None, Undo, Redo, Quit };

// The menu tree, in order: every item and submenu with its parent (nullptr: the menu bar) and
// the game's handler for it. An item that others name as parent is a submenu.
struct MenuItem {
    const char* id;
    const char* caption;
    const char* parent;
    Keys keys;
    MainWindow::Command handler;
    bool checkable;
};

constexpr MenuItem kMenu[] = {
    {"TAIKYOKU", "対局", nullptr, Keys::None, nullptr, false},
    {"MATCH_MAN", "対局(人間)", "TAIKYOKU", Keys::None, &Form1::MATCH_MAN_Click, false},
    {"START", "スタート", "MATCH_MAN", Keys::None, &Form1::START_Click, false},
    {"START2", "対局(COM)", "TAIKYOKU", Keys::None, nullptr, false},
    {"SENTE", "先手", "START2", Keys::None, &Form1::SENTE_Click, false},
    {"GOTE", "後手", "START2", Keys::None, &Form1::GOTE_Click, false},
    {"LEVEL", "COM対局ﾚﾍﾞﾙ", "TAIKYOKU", Keys::None, nullptr, false},
    {"LEVEL1", "LEVEL1", "LEVEL", Keys::None, &Form1::LEVEL1_Click, true},
    {"LEVEL2", "LEVEL2", "LEVEL", Keys::None, &Form1::LEVEL2_Click, true},
    {"LEVEL3", "LEVEL3", "LEVEL", Keys::None, &Form1::LEVEL3_Click, true},
    {"OWARI", "終わり", "TAIKYOKU", Keys::Quit, &Form1::OWARI_Click, false},
    {"STOP", "局面", nullptr, Keys::None, nullptr, false},
    {"CANCEL", "最初", "STOP", Keys::None, &Form1::CANCEL_Click, false},
    {"REPLAY", "戻", nullptr, Keys::Undo, &Form1::REPLAY_Click, false},
    {"AFTER", "進", nullptr, Keys::Redo, &Form1::AFTER_Click, false},
    {"VER", "その他", nullptr, Keys::None, &Form1::VER_Click, false},
};

// The platform's own keys for a standard command, and the usual ones wherever the platform
// knows none (Qt's Windows key scheme has no key to quit, for example).
QList<QKeySequence> commandKeys(Keys keys) {
    QKeySequence::StandardKey command = QKeySequence::UnknownKey;
    QList<QKeySequence> usual;
    switch (keys) {
    case Keys::None:
        return {};
    case Keys::Undo:
        command = QKeySequence::Undo;
        usual = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
        break;
    case Keys::Redo:
        command = QKeySequence::Redo;
        usual = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                 QKeySequence(Qt::CTRL | Qt::Key_Y)};
        break;
    case Keys::Quit:
        command = QKeySequence::Quit;
        usual = {QKeySequence(Qt::CTRL | Qt::Key_Q)};
        break;
    }
    QList<QKeySequence> all = QKeySequence::keyBindings(command);
    for (const QKeySequence& key : usual) {
        if (!all.contains(key)) {
            all.append(key);
        }
    }
    return all;
}

} // namespace

MainWindow::MainWindow(QWidget* canvas) {
    setCentralWidget(canvas);
    setWindowTitle(QStringLiteral("Kovalt"));
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::buildMenus() {
    std::set<std::string> submenus;
    for (const MenuItem& item : kMenu) {
        if (item.parent != nullptr) {
            submenus.insert(item.parent);
        }
    }
    std::map<std::string, QMenu*> menus;
    for (const MenuItem& item : kMenu) {
        QWidget* parent = item.parent ? static_cast<QWidget*>(menus.at(item.parent)) : menuBar();
        const QString caption = QString::fromUtf8(item.caption);
        QAction* action = nullptr;
        if (submenus.count(item.id) != 0) {
            auto* menu = new QMenu(caption, parent);
            menu->setObjectName(QString::fromLatin1(item.id));
            menus[item.id] = menu;
            action = menu->menuAction();
        } else {
            action = new QAction(caption, parent);
            action->setObjectName(QString::fromLatin1(item.id));
        }
        parent->addAction(action);
        actions_[item.id] = action;
        action->setCheckable(item.checkable);
        // Keys reach the same actions as the mouse, so they run the same handlers.
        action->setShortcuts(commandKeys(item.keys));
        if (item.handler != nullptr) {
            QObject::connect(action, &QAction::triggered, this, [this, action, &item] {
                // The game alone decides the check marks: undo Qt's own toggling first.
                if (action->isCheckable()) {
                    action->setChecked(!action->isChecked());
                }
                if (onCommand) {
                    onCommand(item.handler);
                }
            });
        }
    }
}

QAction* MainWindow::action(const std::string& id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QPoint MainWindow::homeCorner() const {
    QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
    return on ? on->availableGeometry().topLeft() : QPoint(0, 0);
}

void MainWindow::placeAtHome() {
    const QPoint at = homeCorner();
    move(at);
    if (!isVisible()) {
        // Before the first showing the frame's size is unknown: the window manager is asked to
        // put the frame's corner there when the window is mapped.
        framePositionAtShow_ = at;
    }
    placed_ = true;
}

double MainWindow::topTwips() const {
    // A window at home reports the home top edge, one that was moved reports where it is now.
    if (!placed_) {
        return std::numeric_limits<double>::infinity();
    }
    return Form1::kWindowTop + (frameGeometry().top() - homeCorner().y()) * kTwipsPerPixel;
}

void MainWindow::showEvent(QShowEvent* event) {
    // The last moment before the window is mapped, with its final size: the place given now
    // is taken by the window manager as the frame's corner (north-west gravity).
    if (framePositionAtShow_ && windowHandle() != nullptr) {
        windowHandle()->resize(size());
        windowHandle()->setFramePosition(*framePositionAtShow_);
    }
    framePositionAtShow_.reset();
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClose) {
        onClose();
    }
}
