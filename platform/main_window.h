#pragma once

#include <QMainWindow>
#include <QPoint>

#include <functional>
#include <map>
#include <optional>
#include <string>

class Form1;
class QAction;

// The game's window: the menu bar built from the one menu table, the canvas in the middle,
// and the window's place on the screen. Closing it and choosing a command are reported, not
// acted on here.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using Command = void (Form1::*)();

    // Takes `canvas` as its central widget; the window's size follows from it.
    explicit MainWindow(QWidget* canvas);

    // The menu item or submenu of that id, or nullptr.
    QAction* action(const std::string& id) const;
    // Runs when a menu item with a handler is chosen, with that handler.
    std::function<void(Command)> onCommand;
    std::function<void()> onClose;

    // Puts the frame's top-left corner at home, the corner of the screen's available area
    // (window managers refuse places beyond the screen edge; the title bar stays in reach).
    void placeAtHome();
    // The frame's top edge in twips, counted from where the game thinks home is; infinity
    // until the window has been placed.
    double topTwips() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QPoint homeCorner() const;

    std::map<std::string, QAction*> actions_;
    // Where the frame's top-left corner goes when the window is next shown.
    std::optional<QPoint> framePositionAtShow_;
    bool placed_ = false;
};
