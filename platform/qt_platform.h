#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/client_size.h"
#include "platform/device_pixels.h"
#include "platform/main_window.h"
#include "platform/message_boxes.h"
#include "platform/picture_store.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "platform/text_masks.h"
#include "platform/window_watch.h"

class Form1;
class QAction;

// Registers the resources compiled into this static library (pictures, sounds, icon); a
// member declared before every member that reads them.
struct CompiledResources {
    CompiledResources();
};

// The Platform on Qt Widgets: each call handed to the part that does it (the canvas, the
// pictures, the text masks, the window, the boxes, the sounds), and the game wired to the
// window's presses, commands and closing.
class QtPlatform : public Platform {
public:
    static constexpr int kClientWidth = ::kClientWidth;
    static constexpr int kClientHeight = ::kClientHeight;
    static inline const QString kCompiledPictures = PictureStore::kCompiledPictures;

    // `picturePrefix` and `soundPrefix` say where the artwork and the sounds are; the
    // defaults are the compiled-in resources.
    explicit QtPlatform(const QString& picturePrefix = kCompiledPictures,
                        const QString& soundPrefix = QStringLiteral(":/sounds/"));
    ~QtPlatform() override;

    // Routes the window's presses, menu commands and closing to the game.
    void connect(Form1& form);

    MainWindow* window() { return window_.get(); }
    Canvas* canvas() { return canvas_; }
    QAction* action(const std::string& name) const { return window_->action(name); }
    // The sounds' player; its audio thread starts after the window is first painted.
    SoundPlayer& sound() { return sound_; }
    bool soundAvailable() const { return sound_.available(); }
    // Hides the window and ends the audio thread without waiting long for it; false when it
    // had to be left running (see SoundPlayer::leftRunning).
    bool stopSound();
    // How many pictures could not be loaded (and are drawn as placeholders).
    int missingPictures() const { return pictures_.missing(); }

    // Told each time the game's state may have changed for a screen reader.
    std::function<void()> onDescribe;
    // Told just before a message box opens, once the board's words are current.
    std::function<void()> onBoxOpening;

    // Called with every message box just before it is shown, for tests that answer them.
    BeforeBox beforeDialog;

    // A picture as it is drawn on this screen: made once at the screen's pixel ratio.
    const QImage& picture(Picture picture) const { return pictures_[picture]; }

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
    // Puts the game's words for the position on the canvas for screen readers, and tells
    // them when the words change.
    void describeBoard();
    void windowDestroyed();

    CompiledResources resources_; // first: the members below read them
    Canvas* canvas_;              // owned by the window
    std::unique_ptr<MainWindow> window_;
    PictureStore pictures_;
    TextMasks masks_;
    SoundPlayer sound_;
    bool quitting_ = false;
    std::unique_ptr<DestroyedWindowWatch> destroyedWatch_; // after window_: goes first
    std::function<std::string()> summary_;
};
