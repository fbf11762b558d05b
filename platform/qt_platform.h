#pragma once

#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QPoint>
#include <QRegion>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/sound.h"
#include "platform/window_watch.h"

class Form1;
class QAction;

// The client area: it shows a backing image that keeps everything drawn until it is drawn
// over, and reports mouse presses. It paints nothing of its own. The image is kept in whole
// device pixels and shown one to one, so that nothing is rescaled when it is shown.
class Canvas : public QWidget {
    Q_OBJECT
public:
    Canvas(QSize logicalSize, qreal pixelRatio);
    // The backing image, in device pixels (its own pixel ratio is 1).
    QImage& image() { return image_; }
    qreal ratio() const { return ratio_; }
    // Marks these device pixels as drawn: they are shown once the current event is handled.
    void changed(const QRect& devicePixels);
    // Shows what changed at once.
    void repaintChanged();
    std::function<void(int button, double xTwips, double yTwips)> onPress;
    // Logical pixels repainted so far, summed over paint events: for tests and measurements.
    qint64 paintedArea = 0;

    // What is drawn is marked in square tiles of this many device pixels: a few hundred small
    // drawings in one event cost a few bits each, and what is shown is at most a tile's edge
    // more than what was drawn.
    static constexpr int kTile = 16;
    // Rows copied to the screen by one call.
    static constexpr int kBandRows = 64;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void flushChanged();

    QImage image_;
    qreal ratio_;
    int tilesAcross_;
    int tilesDown_;
    // One per tile: drawn into since the last flush.
    std::vector<unsigned char> drawn_;
    bool flushQueued_ = false;
    // Handed to Qt, not yet painted.
    QRegion unpainted_;
};

// The game's window: menu bar and canvas. Closing it is reported, not acted on here.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    std::function<void()> onClose;
    // Where the frame's top-left corner goes when the window is next shown.
    std::optional<QPoint> framePositionAtShow;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// A Yes/No box without a way out: Escape and the window's close button are ignored, so
// only Yes or No answers it.
class YesNoBox : public QMessageBox {
    Q_OBJECT
public:
    YesNoBox(const QString& text, const QString& title, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// The Platform on Qt Widgets: the window with its menus, the canvas, message boxes, sounds.
class QtPlatform : public Platform {
public:
    // Logical size of the client area in pixels.
    static constexpr int kClientWidth = 559;
    static constexpr int kClientHeight = 480;

    // Where the compiled-in artwork is.
    static inline const QString kCompiledPictures = QStringLiteral(":/pictures/");

    // `picturePrefix` and `soundPrefix` say where the artwork and the sounds are; the
    // defaults are the compiled-in resources.
    explicit QtPlatform(const QString& picturePrefix = kCompiledPictures,
                        const QString& soundPrefix = QStringLiteral(":/sounds/"));
    ~QtPlatform() override;

    // Routes the window's presses, menu commands and closing to the game.
    void connect(Form1& form);

    MainWindow* window() { return window_.get(); }
    Canvas* canvas() { return canvas_; }
    QAction* action(const std::string& name) const;
    // The sounds' player; its audio thread starts after the canvas is first painted.
    SoundPlayer& sound() { return sound_; }
    bool soundAvailable() const { return sound_.available(); }
    // Hides the window and ends the audio thread without waiting long for it; false when it
    // had to be left running (see SoundPlayer::leftRunning).
    bool stopSound();
    // How many pictures could not be loaded (and are drawn as placeholders).
    int missingPictures() const { return missingPictures_; }

    // Told each time the game's state may have changed for a screen reader.
    std::function<void()> onDescribe;

    // Dialogs shown so far, for tests that drive the window.
    std::function<void(QMessageBox&)> beforeDialog;

    // A picture as it is drawn on this screen: made once at the screen's pixel ratio.
    const QImage& picture(Picture picture) const { return pictures_[static_cast<int>(picture)]; }

    void paintPicture(Picture picture, double x, double y) override;
    void outlineRect(double x1, double y1, double x2, double y2, int colour) override;
    void printText(double x, double y, const std::string& text, double points, bool bold,
                   int colour) override;
    void setBackgroundColour(int colour) override;
    void repaintNow() override;
    void showMessage(const std::string& text, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void playSound(const std::string& name) override;
    int clockSeconds() override;
    void rest() override;
    void quit() override;
    void setMenuChecked(const std::string& item, bool checked) override;
    double windowTop() override;
    void placeWindow(double left, double top, double width, double height) override;

private:
    // A text's glyph coverage in device pixels, with its baseline origin.
    struct TextMask {
        QImage coverage; // Format_Alpha8
        QPoint origin;
        // Runs of pixels with some coverage, row by row.
        struct Run {
            int row, x, length;
        };
        std::vector<Run> runs;
    };
    struct FontEntry {
        QFont font;
        qreal ascent;
    };
    const FontEntry& font(int pixelSize, bool bold);
    const TextMask& textMask(const std::string& text, int pixelSize, bool bold);
    // Copies a picture's device pixels whose logical top-left corner is (x, y).
    void blit(const QImage& picture, int x, int y, PictureSize size);

    void buildMenus();
    void loadPictures(const QString& prefix);
    void dropPendingInput();
    // Top-left corner of the available area of the window's screen.
    QPoint home() const;
    // Puts the game's words for the position on the canvas for screen readers, and tells
    // them when the words change.
    void describeBoard();

    void windowDestroyed();

    std::unique_ptr<MainWindow> window_;
    Canvas* canvas_ = nullptr;
    std::map<std::string, QAction*> actions_;
    std::array<QImage, kPictureCount> pictures_;
    std::map<std::pair<int, bool>, FontEntry> fonts_;
    std::map<std::tuple<std::string, int, bool>, TextMask> masks_;
    int missingPictures_ = 0;
    SoundPlayer sound_;
    bool placed_ = false;
    bool quitting_ = false;
    std::unique_ptr<DestroyedWindowWatch> destroyedWatch_; // after window_: goes first
    std::function<std::string()> summary_;
};

// The palette colour number as a Qt colour (0 black .. 15 white).
QColor paletteColour(int number);
