#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

// A Platform for tests: it remembers what is on the screen cell by cell, which sounds and
// boxes came, and answers Yes/No boxes from a script. Not a pixel model: it keeps the last
// picture per whole grid cell, the last frame colour per cell and the texts not yet drawn
// over.
class RecordingPlatform : public Platform {
public:
    struct Text {
        double x;
        double y;
        std::string text;
        double points;
        bool bold;
        int colour;
    };
    struct Box {
        std::string text;
        std::string title;
        bool yesNo;
    };
    // One call through the platform, in the order they came: "picture" (picture, x, y),
    // "frame" (x1, y1, x2, y2, colour), "place" (left, top, width, height), "repaint", and
    // "sound", "box" and "yesno" with their text.
    struct Event {
        std::string kind;
        std::string text;
        std::vector<double> numbers;
    };
    using Cell = std::pair<int, int>;

    void paintPicture(Picture picture, double x, double y) override;
    void outlineRect(double x1, double y1, double x2, double y2, int colour) override;
    void printText(double x, double y, const std::string& text, double points, bool bold,
                   int colour) override;
    void setBackgroundColour(int colour) override { background = colour; }
    void repaintNow() override;
    void showMessage(const std::string& text, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void playSound(const std::string& name) override;
    int clockSeconds() override;
    void rest() override { ++rests; }
    void quit() override { ++quits; }
    void setMenuChecked(const std::string& item, bool checked) override { checks[item] = checked; }
    double windowTop() override { return top; }
    void placeWindow(double left, double t, double width, double height) override;

    // The picture whose top-left corner is the top-left corner of grid cell (gx, gy), if it
    // is still there; -1 otherwise.
    int pictureAt(int gx, int gy) const;
    bool hasPicture(int gx, int gy, Picture picture) const;
    // Frame colour last drawn on the cell, -1 when a picture has covered it since.
    int outlineAt(int gx, int gy) const;
    // Texts whose first visible glyph stands in the cell.
    std::vector<Text> textsIn(int gx, int gy) const;
    // The visible texts of a cell in one colour, in drawing order, joined.
    std::string textIn(int gx, int gy, int colour) const;
    // Where a text's first visible glyph starts, as grid coordinates.
    static std::pair<double, double> glyphCell(const Text& text);
    // The logged events of these kinds as "kind text", in order.
    std::vector<std::string> events(std::initializer_list<std::string_view> kinds) const;

    // Whole-cell pictures by cell, texts visible now, frames by cell.
    std::map<Cell, int> pictures;
    std::map<Cell, int> outlines;
    std::vector<Text> texts;
    std::vector<Picture> otherPictures;
    std::vector<Event> log;
    // Called with each event as it is logged, while the game waits for the call to return.
    std::function<void(const Event&)> onEvent;

    std::vector<std::string> sounds;
    std::vector<Box> boxes;
    std::deque<bool> answers; // Yes/No answers to give, Yes when empty
    std::map<std::string, bool> checks;
    int background = -1;
    int repaints = 0;
    int rests = 0;
    int quits = 0;
    int placements = 0;
    double top = 0;
    double left = 0;
    int seconds = 0;
    int readsPerSecond = 3; // the clock's seconds value changes every this many readings
    int clockReads = 0;
    // Anything done through the platform after a quit.
    int actionsAfterQuit = 0;

private:
    void note(std::string kind, std::string text, std::vector<double> numbers = {});
    void noteAction() {
        if (quits > 0) {
            ++actionsAfterQuit;
        }
    }
};
