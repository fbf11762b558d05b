#include "platform/changed_places.h"

#include <algorithm>
#include <cstring>

namespace {

// Where two rows of pixels first and last differ (n and -1 when they do not), eight pixels
// at a time where they agree.
int firstDifference(const QRgb* a, const QRgb* b, int n) {
    int i = 0;
    while (i + 8 <= n && std::memcmp(a + i, b + i, 8 * sizeof(QRgb)) == 0) {
        i += 8;
    }
    while (i < n && a[i] == b[i]) {
        ++i;
    }
    return i;
}
int lastDifference(const QRgb* a, const QRgb* b, int n) {
    int i = n;
    while (i >= 8 && std::memcmp(a + i - 8, b + i - 8, 8 * sizeof(QRgb)) == 0) {
        i -= 8;
    }
    while (i > 0 && a[i - 1] == b[i - 1]) {
        --i;
    }
    return i - 1;
}

} // namespace

Span copyDifferences(QRgb* to, const QRgb* from, int n) {
    if (std::memcmp(to, from, std::size_t(n) * sizeof(QRgb)) == 0) {
        return {n, -1};
    }
    const int first = firstDifference(to, from, n);
    const int last = lastDifference(to, from, n);
    std::memcpy(to + first, from + first, std::size_t(last - first + 1) * sizeof(QRgb));
    return {first, last};
}

namespace {

qint64 area(const QRect& r) {
    return qint64(r.width()) * r.height();
}

} // namespace

// Fewer, larger places: Qt puts every rectangle of a paint to the window system on its own,
// which costs as much as a few thousand pixels. Each place joins a nearby one where that adds
// fewest pixels, while all that is added stays under a third of the places' own pixels.
void joinPlaces(std::vector<QRect>& places) {
    constexpr qint64 kMostAddedPerJoin = 2048;
    constexpr std::size_t kNearby = 8;
    qint64 budget = 0;
    for (const QRect& r : places) {
        budget += area(r);
    }
    budget /= 3;
    std::sort(places.begin(), places.end(), [](const QRect& a, const QRect& b) {
        return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
    });
    std::vector<QRect> joined;
    for (const QRect& r : places) {
        std::size_t best = joined.size();
        qint64 bestAdded = kMostAddedPerJoin + 1;
        for (std::size_t i = joined.size() > kNearby ? joined.size() - kNearby : 0;
             i < joined.size(); ++i) {
            const qint64 added = area(joined[i] | r) - area(joined[i]) - area(r);
            if (added < bestAdded) {
                best = i;
                bestAdded = added;
            }
        }
        if (best < joined.size() && bestAdded <= budget) {
            joined[best] |= r;
            budget -= std::max<qint64>(0, bestAdded);
        } else {
            joined.push_back(r);
        }
    }
    places.swap(joined);
}
