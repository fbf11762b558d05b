#pragma once

#include <iterator>
#include <string>

// The pictures the game draws, one for each line of picture_table.def. The game picks one by
// its own code; the platform knows where the artwork comes from.
enum class Picture {
#define PICTURE(id, stem, width, height, code) id,
#include "platform/picture_table.def"
#undef PICTURE
};

struct PictureSize {
    int width;
    int height;
};

namespace picture_table {
inline constexpr PictureSize kSizes[] = {
#define PICTURE(id, stem, width, height, code) {width, height},
#include "platform/picture_table.def"
#undef PICTURE
};
inline constexpr const char* kNames[] = {
#define PICTURE(id, stem, width, height, code) stem,
#include "platform/picture_table.def"
#undef PICTURE
};
} // namespace picture_table

inline constexpr int kPictureCount = static_cast<int>(std::size(picture_table::kSizes));

// Size of a picture in logical pixels (15 twips each).
constexpr PictureSize pictureSize(Picture picture) {
    return picture_table::kSizes[static_cast<int>(picture)];
}

// File stem of a picture's artwork (also its resource name).
constexpr const char* pictureName(Picture picture) {
    return picture_table::kNames[static_cast<int>(picture)];
}

inline constexpr double kTwipsPerPixel = 15.0;

// Everything the game needs from a window system, in the game's own units: positions in
// twips of the client area, colours as numbers 0..15 of the classic 16-colour palette,
// sounds by name. It is not a widget toolkit: it draws, asks, plays and quits, nothing more.
class Platform {
public:
    virtual ~Platform() = default;

    // Copies the picture unscaled with its top-left corner at (x, y).
    virtual void paintPicture(Picture picture, double x, double y) = 0;
    // A one-pixel frame on the rectangle (x1, y1)-(x2, y2); the inside is not touched.
    virtual void outlineRect(double x1, double y1, double x2, double y2, int colour) = 0;
    // One line of text whose first character cell has its top-left corner at (x, y).
    // Only the glyphs are painted.
    virtual void printText(double x, double y, const std::string& text, double points, bool bold,
                           int colour) = 0;
    virtual void setBackgroundColour(int colour) = 0;
    // Makes everything drawn so far visible before the caller goes on.
    virtual void repaintNow() = 0;

    // Modal boxes: one with an OK button, one with Yes and No (true for Yes).
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;

    // Plays a named sound in the background; unknown names and busy channels play nothing.
    virtual void playSound(const std::string& name) = 0;

    // The seconds value (0..59) of the time of day.
    virtual int clockSeconds() = 0;
    // A short rest between two readings of the clock, so that waiting for it does not spin a
    // core. Presses and keys made meanwhile are thrown away: the game does not act on input
    // made while it waits; everything else, painting included, goes on.
    virtual void rest() = 0;

    // Ends the application. The game draws, asks and plays nothing after it.
    virtual void quit() = 0;

    virtual void setMenuChecked(const std::string& item, bool checked) = 0;

    // The window's top edge in twips, and placing the window (outer size in twips).
    virtual double windowTop() = 0;
    virtual void placeWindow(double left, double top, double width, double height) = 0;
};
