// What the mouse speed dialog makes of stored bytes its controls cannot show, and what it writes back.
#include <gtest/gtest.h>

#include "controlpanel/frmMouseSpeed.h"

namespace {

struct SpeedCase {
    uint8_t stored;
    bool fits;
    int position;
};

TEST(SpeedBar, StoredSpeedsOutsideTheRangeOpenAtTheNearerEnd) {
    const SpeedCase cases[] = {{0, false, 1},  {1, true, 1},    {2, true, 2},   {12, true, 12},
                               {20, true, 20}, {21, false, 20}, {255, false, 20}};
    for (const auto& c : cases) {
        EXPECT_EQ(SpeedFitsBar(c.stored), c.fits) << int(c.stored);
        EXPECT_EQ(SpeedBarPosition(c.stored), c.position) << int(c.stored);
    }
}

struct EditCase {
    uint8_t stored;
    int control;
    uint8_t written;
};

TEST(SpeedBar, TheOpeningPositionStandsForTheStoredByte) {
    const EditCase cases[] = {
        // In range: the bar's value is the speed.
        {10, 10, 10}, {10, 11, 11}, {8, 12, 12}, {1, 20, 20},
        // Out of range: kept while the bar stays where it opened, replaced once the user moves it.
        {0, 1, 0}, {0, 2, 2}, {21, 20, 21}, {255, 20, 255}, {255, 19, 19}, {0, 20, 20}};
    for (const auto& c : cases) EXPECT_EQ(EditedSpeed(c.stored, c.control), c.written) << int(c.stored) << " " << c.control;
}

TEST(BypassBox, AnyNonZeroModeOpensCheckedAndIsKeptWhileChecked) {
    EXPECT_EQ(BypassBoxValue(0), 0);
    for (uint8_t mode : {1, 2, 255}) EXPECT_EQ(BypassBoxValue(mode), 1) << int(mode);

    const EditCase cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 1, 1}, {1, 0, 0}, {2, 1, 2}, {2, 0, 0}, {255, 1, 255}};
    for (const auto& c : cases) EXPECT_EQ(EditedBypass(c.stored, c.control), c.written) << int(c.stored) << " " << c.control;
}

TEST(SpeedLabel, FivePercentASpeedStep) {
    EXPECT_EQ(SpeedPercentText(1), "5%");
    EXPECT_EQ(SpeedPercentText(10), "50%");
    EXPECT_EQ(SpeedPercentText(20), "100%");
}

}  // namespace
