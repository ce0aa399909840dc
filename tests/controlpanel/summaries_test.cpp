#include <gtest/gtest.h>

#include "controlpanel/Summaries.h"

namespace {

class Summaries : public ::testing::Test {
protected:
    void SetUp() override { FillNameTables(); }
};

struct TableCase {
    uint8_t value;
    const char* text;
};

TEST_F(Summaries, NamedValuesAndInvalidOnesOfEachTable) {
    const TableCase modes[] = {{0, "Invalid#0"}, {1, "Stream Mode"}, {2, "Lift Off Mode"}, {3, "Touch Down Mode"},
                               {4, "Drag Drop Mode"}, {5, "Invalid#5"}, {255, "Invalid#255"}};
    for (const auto& c : modes) EXPECT_EQ(ButtonModeText(c.value), c.text) << int(c.value);

    const TableCase sounds[] = {{0, "Invalid#0"}, {1, "Silence ( No Sound )"}, {2, "Touch Down Only"},
                                {3, "Lift Off Only"}, {4, "Both Touch Down && Lift Off"}, {5, "Invalid#5"}};
    for (const auto& c : sounds) EXPECT_EQ(FeedbackSoundText(c.value), c.text) << int(c.value);

    const TableCase accelerations[] = {{0, "Invalid#0"}, {1, "Slow"}, {2, "Medium"}, {3, "Fast"}, {4, "Off"},
                                       {9, "Invalid#9"}};
    for (const auto& c : accelerations) EXPECT_EQ(AccelerationText(c.value), c.text) << int(c.value);

    const TableCase rbf[] = {{0, "Disable"}, {1, "Enable"}, {2, "Invalid#2"}};
    for (const auto& c : rbf) EXPECT_EQ(RbfText(c.value), c.text) << int(c.value);
}

TEST_F(Summaries, MouseSpeedShowsPercentagesOrBypass) {
    EXPECT_EQ(MouseSpeedText(10, 10, 1, 0), "HS=50%, VS=50%, Acceleration=Slow");
    EXPECT_EQ(MouseSpeedText(1, 20, 3, 0), "HS=5%, VS=100%, Acceleration=Fast");
    // Percentages are computed without the byte overflowing.
    EXPECT_EQ(MouseSpeedText(255, 0, 4, 0), "HS=1275%, VS=0%, Acceleration=Off");
    for (uint8_t bypass : {1, 2, 255}) EXPECT_EQ(MouseSpeedText(0, 0, 0, bypass), "Enable Bypass Mode");
}

TEST_F(Summaries, ButtonModeSummaryJoinsModeAndRightButtonFunction) {
    EXPECT_EQ(ButtonModeSummary(4, 0), "Drag Drop Mode (RBF=Disable)");
    EXPECT_EQ(ButtonModeSummary(1, 1), "Stream Mode (RBF=Enable)");
    EXPECT_EQ(ButtonModeSummary(7, 3), "Invalid#7 (RBF=Invalid#3)");
}

TEST_F(Summaries, BlockOfZerosGivesTheInvalidForms) {
    EXPECT_EQ(ButtonModeSummary(0, 0), "Invalid#0 (RBF=Disable)");
    EXPECT_EQ(FeedbackSoundText(0), "Invalid#0");
    EXPECT_EQ(MouseSpeedText(0, 0, 0, 0), "HS=0%, VS=0%, Acceleration=Invalid#0");
}

}  // namespace
