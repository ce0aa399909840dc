#include "controlpanel/CalibrationEdges.h"

#include <cstdlib>
#include <limits>

#include "common/Numeric.h"

namespace {

// The mean of two raw positions, truncated toward zero. Summed wider than 16 bits: two
// large readings would otherwise wrap into a negative mean.
long Mean(int16_t a, int16_t b) { return (static_cast<long>(a) + static_cast<long>(b)) / 2; }

// Raw length of `margin` pixels when the raw span from `low` to `high` covers the screen
// span less both margins.
double MarginInRaw(long low, long high, int screenSpan, int margin) {
    const int innerPixels = screenSpan - 2 * margin;
    // A screen no larger than two cross marks has no inner span to scale by.
    if (innerPixels == 0) return 0.0;
    return static_cast<double>(high - low + 1) / innerPixels * margin;
}

// Nearest integer, halves to even, held inside the 16-bit field the driver takes.
int16_t ToEdge(double v) {
    constexpr double lowest = std::numeric_limits<int16_t>::min();
    constexpr double highest = std::numeric_limits<int16_t>::max();
    if (v < lowest) v = lowest;
    if (v > highest) v = highest;
    return static_cast<int16_t>(RoundHalfEven(v));
}

}  // namespace

CalibrationEdges ComputeCalibrationEdges(const CalibrationPoint (&corners)[4], int screenWidth, int screenHeight,
                                         int marginX, int marginY) {
    const CalibrationPoint& p1 = corners[0];
    const CalibrationPoint& p2 = corners[1];
    const CalibrationPoint& p3 = corners[2];
    const CalibrationPoint& p4 = corners[3];

    long lowX, highX, lowY, highY;
    double extendX, extendY;
    if (screenHeight <= screenWidth) {
        lowX = Mean(p4.x, p1.x);   // left column
        highX = Mean(p3.x, p2.x);  // right column
        lowY = Mean(p2.y, p1.y);   // top row
        highY = Mean(p4.y, p3.y);  // bottom row
        extendX = MarginInRaw(lowX, highX, screenWidth, marginX);
        extendY = MarginInRaw(lowY, highY, screenHeight, marginY);
    } else {
        lowX = Mean(p1.x, p2.x);   // top row
        highX = Mean(p4.x, p3.x);  // bottom row
        lowY = Mean(p3.y, p2.y);   // right column
        highY = Mean(p1.y, p4.y);  // left column
        extendX = MarginInRaw(lowX, highX, screenHeight, marginY);
        extendY = MarginInRaw(lowY, highY, screenWidth, marginX);
    }

    CalibrationEdges edges;
    edges.left = ToEdge(lowX - extendX);
    edges.right = ToEdge(highX + extendX);
    edges.top = ToEdge(lowY - extendY);
    edges.bottom = ToEdge(highY + extendY);
    if (edges.left < 0) edges.left = 0;
    if (edges.right > kRawCoordinateMax) edges.right = kRawCoordinateMax;
    if (edges.top < 0) edges.top = 0;
    if (edges.bottom > kRawCoordinateMax) edges.bottom = kRawCoordinateMax;
    return edges;
}

int16_t ReadSavedCoordinate(const std::string& text) { return ToInt16(std::strtol(text.c_str(), nullptr, 10)); }
