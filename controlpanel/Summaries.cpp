#include "controlpanel/Summaries.h"

std::string ButtonModeNames[kButtonModeCount + 1];
std::string FeedbackSoundNames[kFeedbackSoundCount + 1];
std::string AccelerationNames[kAccelerationCount + 1];
std::string EnableNames[kRbfStateCount + 1];

namespace {

// Speeds are stored in steps of 5 %.
constexpr int kPercentPerSpeedStep = 5;

std::string Invalid(unsigned v) { return "Invalid#" + std::to_string(v); }

// Entries 1..count of a table; 0 and anything above count name no setting.
std::string TableText(const std::string* table, int count, uint8_t v) {
    if (v == 0 || v > count) return Invalid(v);
    return table[v];
}

}  // namespace

void FillNameTables() {
    ButtonModeNames[0] = "";
    ButtonModeNames[1] = "Stream Mode";
    ButtonModeNames[2] = "Lift Off Mode";
    ButtonModeNames[3] = "Touch Down Mode";
    ButtonModeNames[4] = "Drag Drop Mode";

    FeedbackSoundNames[0] = "";
    FeedbackSoundNames[1] = "Silence ( No Sound )";
    FeedbackSoundNames[2] = "Touch Down Only";
    FeedbackSoundNames[3] = "Lift Off Only";
    FeedbackSoundNames[4] = "Both Touch Down && Lift Off";

    AccelerationNames[0] = "";
    AccelerationNames[1] = "Slow";
    AccelerationNames[2] = "Medium";
    AccelerationNames[3] = "Fast";
    AccelerationNames[4] = "Off";

    EnableNames[0] = "Disable";
    EnableNames[1] = "Enable";
}

std::string ButtonModeText(uint8_t buttonMode) { return TableText(ButtonModeNames, kButtonModeCount, buttonMode); }

std::string FeedbackSoundText(uint8_t feedbackSound) {
    return TableText(FeedbackSoundNames, kFeedbackSoundCount, feedbackSound);
}

std::string AccelerationText(uint8_t acceleration) {
    return TableText(AccelerationNames, kAccelerationCount, acceleration);
}

std::string RbfText(uint8_t rightButtonFunction) {
    if (rightButtonFunction > kRbfStateCount) return Invalid(rightButtonFunction);
    return EnableNames[rightButtonFunction];
}

std::string MouseSpeedText(uint8_t hSpeed, uint8_t vSpeed, uint8_t acceleration, uint8_t bypassMode) {
    if (bypassMode != 0) return "Enable Bypass Mode";
    return "HS=" + std::to_string(kPercentPerSpeedStep * hSpeed) + "%, VS=" +
           std::to_string(kPercentPerSpeedStep * vSpeed) + "%, Acceleration=" + AccelerationText(acceleration);
}

std::string ButtonModeSummary(uint8_t buttonMode, uint8_t rightButtonFunction) {
    return ButtonModeText(buttonMode) + " (RBF=" + RbfText(rightButtonFunction) + ")";
}
