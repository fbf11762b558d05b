#include "testkit/recording_platform.h"

#include <cmath>

namespace {

constexpr double kOriginX = 700;
constexpr double kOriginY = 100;
constexpr double kCellW = 495;
constexpr double kCellH = 615;

bool wholeCell(double x, double y, RecordingPlatform::Cell& cell) {
    const double gx = (x - kOriginX) / kCellW;
    const double gy = (y - kOriginY) / kCellH;
    const double rx = std::round(gx);
    const double ry = std::round(gy);
    if (std::fabs(gx - rx) > 1e-6 || std::fabs(gy - ry) > 1e-6) {
        return false;
    }
    cell = {static_cast<int>(rx), static_cast<int>(ry)};
    return true;
}

} // namespace

std::pair<double, double> RecordingPlatform::glyphCell(const Text& text) {
    // A blank is taken as half an em wide; a point is 20 twips.
    std::size_t blanks = 0;
    while (blanks < text.text.size() && text.text[blanks] == ' ') {
        ++blanks;
    }
    const double x = text.x + static_cast<double>(blanks) * text.points * 20 * 0.5;
    return {(x - kOriginX) / kCellW, (text.y - kOriginY) / kCellH};
}

void RecordingPlatform::note(std::string kind, std::string text, std::vector<double> numbers) {
    log.push_back({std::move(kind), std::move(text), std::move(numbers)});
    if (onEvent) {
        onEvent(log.back());
    }
}

std::vector<std::string>
RecordingPlatform::events(std::initializer_list<std::string_view> kinds) const {
    std::vector<std::string> found;
    for (const Event& e : log) {
        for (std::string_view kind : kinds) {
            if (e.kind == kind) {
                found.push_back(e.kind + " " + e.text);
            }
        }
    }
    return found;
}

void RecordingPlatform::paintPicture(Picture picture, double x, double y) {
    noteAction();
    const PictureSize size = pictureSize(picture);
    // The background tile's one-pixel overhang into the next cell hides no text there.
    const double width = picture == Picture::Haikei ? kCellW : size.width * kTwipsPerPixel;
    const double right = x + width;
    const double bottom = y + size.height * kTwipsPerPixel;
    std::erase_if(texts, [&](const Text& t) {
        const auto [gx, gy] = glyphCell(t);
        const double tx = kOriginX + gx * kCellW;
        const double ty = kOriginY + gy * kCellH;
        return tx >= x - 1e-6 && tx < right && ty >= y - 1e-6 && ty < bottom;
    });
    Cell cell;
    if (picture != Picture::Kovalt && wholeCell(x, y, cell)) {
        pictures[cell] = static_cast<int>(picture);
        outlines[cell] = -1;
    } else {
        otherPictures.push_back(picture);
    }
    note("picture", "", {static_cast<double>(picture), x, y});
}

void RecordingPlatform::outlineRect(double x1, double y1, double x2, double y2, int colour) {
    noteAction();
    Cell cell;
    if (wholeCell(x1, y1, cell)) {
        outlines[cell] = colour;
    }
    note("frame", "", {x1, y1, x2, y2, static_cast<double>(colour)});
}

void RecordingPlatform::repaintNow() {
    ++repaints;
    note("repaint", "");
}

void RecordingPlatform::printText(double x, double y, const std::string& text, double points,
                                  bool bold, int colour) {
    noteAction();
    texts.push_back({x, y, text, points, bold, colour});
}

void RecordingPlatform::showMessage(const std::string& text, const std::string& title) {
    noteAction();
    boxes.push_back({text, title, false});
    note("box", text);
}

bool RecordingPlatform::askYesNo(const std::string& text, const std::string& title) {
    noteAction();
    boxes.push_back({text, title, true});
    note("yesno", text);
    if (answers.empty()) {
        return true;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingPlatform::playSound(const std::string& name) {
    noteAction();
    sounds.push_back(name);
    note("sound", name);
}

int RecordingPlatform::clockSeconds() {
    ++clockReads;
    return (seconds + clockReads / readsPerSecond) % 60;
}

void RecordingPlatform::placeWindow(double l, double t, double width, double height) {
    noteAction();
    ++placements;
    left = l;
    top = t;
    note("place", "", {l, t, width, height});
}

int RecordingPlatform::pictureAt(int gx, int gy) const {
    const auto it = pictures.find({gx, gy});
    return it == pictures.end() ? -1 : it->second;
}

bool RecordingPlatform::hasPicture(int gx, int gy, Picture picture) const {
    return pictureAt(gx, gy) == static_cast<int>(picture);
}

int RecordingPlatform::outlineAt(int gx, int gy) const {
    const auto it = outlines.find({gx, gy});
    return it == outlines.end() ? -1 : it->second;
}

std::vector<RecordingPlatform::Text> RecordingPlatform::textsIn(int gx, int gy) const {
    std::vector<Text> found;
    for (const Text& t : texts) {
        const auto [x, y] = glyphCell(t);
        if (std::floor(x) == gx && std::floor(y) == gy) {
            found.push_back(t);
        }
    }
    return found;
}

std::string RecordingPlatform::textIn(int gx, int gy, int colour) const {
    std::string joined;
    for (const Text& t : textsIn(gx, gy)) {
        if (t.colour == colour) {
            joined += t.text;
        }
    }
    return joined;
}
