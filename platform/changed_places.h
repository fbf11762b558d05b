#pragma once

#include <QRect>
#include <QRgb>

#include <vector>

// Finding what a redraw really changed, and joining the changed places into fewer rectangles
// for the window system.

// Columns of a row, first to last (first > last: none).
struct Span {
    int first, last;
};
// Copies into the row `to` the pixels of `from` from the first to the last where the two
// differ, and says which. Most rows drawn over end up as they were: they cost one comparison
// of the whole row.
Span copyDifferences(QRgb* to, const QRgb* from, int n);

// Fewer, larger places: Qt puts every rectangle of a paint to the window system on its own,
// which costs as much as a few thousand pixels. Each place joins a nearby one where that adds
// fewest pixels, while all that is added stays under a third of the places' own pixels.
void joinPlaces(std::vector<QRect>& places);
