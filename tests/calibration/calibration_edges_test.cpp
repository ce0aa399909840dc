#include <gtest/gtest.h>

#include "controlpanel/CalibrationEdges.h"

namespace {

constexpr int kMargin = 16;

struct EdgeCase {
    const char* what;
    CalibrationPoint corners[4];  // TOP-LEFT, TOP-RIGHT, DOWN-RIGHT, DOWN-LEFT
    int width;
    int height;
    CalibrationEdges expected;
};

void ExpectEdges(const EdgeCase& c) {
    const CalibrationEdges e = ComputeCalibrationEdges(c.corners, c.width, c.height, kMargin, kMargin);
    EXPECT_EQ(e.left, c.expected.left) << c.what;
    EXPECT_EQ(e.top, c.expected.top) << c.what;
    EXPECT_EQ(e.right, c.expected.right) << c.what;
    EXPECT_EQ(e.bottom, c.expected.bottom) << c.what;
}

// Each corner differs a little from its neighbours, so a wrong pairing of corners shows.
TEST(CalibrationEdges, PairsCornersByScreenOrientation) {
    const EdgeCase cases[] = {
        // Panel raw = 40 + x * 940 / 1024, 60 + y * 900 / 768; cross centres at 15 and 1006 / 750.
        // Left column 53 / 55, right 963 / 961, top row 77 / 79, bottom 938 / 940.
        {"landscape 1024 x 768", {{53, 77}, {963, 79}, {961, 938}, {55, 940}}, 1024, 768, {39, 59, 977, 958}},
        // Turned panel: raw X runs down the screen, raw Y from right to left. Top row X 53 / 55,
        // bottom 961 / 963, right column Y 81 / 79, left 941 / 939.
        {"portrait 768 x 1024", {{53, 941}, {55, 81}, {961, 79}, {963, 939}}, 768, 1024, {39, 61, 977, 959}},
        // A square screen is taken as landscape.
        {"square 800 x 800", {{100, 100}, {900, 100}, {900, 900}, {100, 900}}, 800, 800, {83, 83, 917, 917}},
    };
    for (const auto& c : cases) ExpectEdges(c);
}

TEST(CalibrationEdges, ClampsOnlyTheOutwardSideOfEachAxis) {
    const EdgeCase cases[] = {
        {"left and top below 0", {{5, 3}, {900, 3}, {900, 700}, {5, 700}}, 1024, 768, {0, 0, 914, 715}},
        {"right and bottom above 1023", {{200, 200}, {1020, 200}, {1020, 1015}, {200, 1015}}, 1024, 768,
         {187, 182, 1023, 1023}},
        // A panel mounted mirror-wise: the left edge lands above 1023 and the right edge below 0,
        // and both go to the driver as computed.
        {"left above 1023, right below 0", {{1020, 100}, {10, 100}, {10, 700}, {1020, 700}}, 1024, 768,
         {1036, 87, -6, 713}},
    };
    for (const auto& c : cases) ExpectEdges(c);
}

TEST(CalibrationEdges, MeansOfLargeReadingsDoNotWrap) {
    // 30000 + 30000 does not fit 16 bits; the mean must still be 30000 (the right edge is clamped).
    ExpectEdges({"large readings", {{30000, 0}, {30002, 0}, {30002, 0}, {30000, 0}}, 1024, 768, {30000, 0, 1023, 0}});
    // Means truncate toward zero: (-3 + 0) / 2 is -1, not -2. On 64 pixels across (32 inner)
    // the margin is then (9 - -1 + 1) / 2 = 5.5 and the right edge 14.5 -> 14; a mean of -2
    // would give 15.
    const CalibrationPoint negative[4] = {{-3, 0}, {9, 0}, {9, 0}, {0, 0}};
    EXPECT_EQ(ComputeCalibrationEdges(negative, 64, 48, kMargin, kMargin).right, 14);
}

TEST(CalibrationEdges, RoundsHalvesToEven) {
    // 64 x 48: 32 inner pixels across, so the X margin is (span + 1) / 2 raw; 16 inner pixels
    // down, so the Y margin is span + 1.
    const EdgeCase cases[] = {
        // X means 100 and 104: margin 2.5 -> left 97.5 -> 98, right 106.5 -> 106.
        {"to even below", {{100, 10}, {104, 10}, {104, 20}, {100, 20}}, 64, 48, {98, 0, 106, 31}},
        // X means 101 and 105: left 98.5 -> 98, right 107.5 -> 108.
        {"to even above", {{101, 10}, {105, 10}, {105, 20}, {101, 20}}, 64, 48, {98, 0, 108, 31}},
    };
    for (const auto& c : cases) ExpectEdges(c);
}

TEST(CalibrationEdges, ScreenOfTwoCrossMarksAddsNoMargin) {
    const CalibrationPoint corners[4] = {{100, 200}, {300, 200}, {300, 400}, {100, 400}};
    const CalibrationEdges e = ComputeCalibrationEdges(corners, 2 * kMargin, 2 * kMargin, kMargin, kMargin);
    EXPECT_EQ(e.left, 100);
    EXPECT_EQ(e.right, 300);
    EXPECT_EQ(e.top, 200);
    EXPECT_EQ(e.bottom, 400);
}

TEST(CalibrationEdges, SavedCoordinatesReadBackAsNumbers) {
    struct {
        const char* text;
        int16_t value;
    } cases[] = {{"512", 512}, {"0", 0}, {"-7", -7}, {"    ", 0}, {"????", 0}, {"", 0}, {" 42", 42},
                 {"70000", 4464}};
    for (const auto& c : cases) EXPECT_EQ(ReadSavedCoordinate(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
