#include "simulator/PanelMapping.h"

#include <algorithm>
#include <cmath>

namespace {

// The panel's raw area: a margin before the first point and a span that is not the screen's.
constexpr int kRawX0 = 40, kRawXSpan = 940;
constexpr int kRawY0 = 60, kRawYSpan = 900;

// Where raw lies between the two edges, 0 at the first and 1 just past the second.
double Along(int raw, int first, int last) {
    const int span = last - first + 1;
    return span == 0 ? 0.0 : double(raw - first) / span;
}

int Clamp(double v, int size) { return std::clamp(static_cast<int>(std::lround(v)), 0, size - 1); }

}  // namespace

RawPoint PanelMapping::ToRaw(POINT p) const {
    if (height_ > width_)
        return {int16_t(kRawX0 + p.y * kRawXSpan / height_), int16_t(kRawY0 + (width_ - 1 - p.x) * kRawYSpan / width_)};
    return {int16_t(kRawX0 + p.x * kRawXSpan / width_), int16_t(kRawY0 + p.y * kRawYSpan / height_)};
}

POINT PanelMapping::ToScreen(const PanelEdges& e, RawPoint r) const {
    const double alongX = Along(r.x, e.left, e.right);
    const double alongY = Along(r.y, e.top, e.bottom);
    if (height_ > width_) return {Clamp(width_ - 1 - alongY * width_, width_), Clamp(alongX * height_, height_)};
    return {Clamp(alongX * width_, width_), Clamp(alongY * height_, height_)};
}
