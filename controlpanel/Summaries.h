// Name tables of the touch settings and the one-line summaries built from them.
#ifndef CONTROLPANEL_SUMMARIES_H
#define CONTROLPANEL_SUMMARIES_H

#include <cstdint>
#include <string>

constexpr int kButtonModeCount = 4;
constexpr int kFeedbackSoundCount = 4;
constexpr int kAccelerationCount = 4;
constexpr int kRbfStateCount = 1;

// Filled once by the main window's load, before any dialog can open; entry 0 of the first three
// is never shown. The dialogs take their option captions from here.
extern std::string ButtonModeNames[kButtonModeCount + 1];
extern std::string FeedbackSoundNames[kFeedbackSoundCount + 1];
extern std::string AccelerationNames[kAccelerationCount + 1];
extern std::string EnableNames[kRbfStateCount + 1];

void FillNameTables();

std::string ButtonModeText(uint8_t buttonMode);
std::string FeedbackSoundText(uint8_t feedbackSound);
std::string AccelerationText(uint8_t acceleration);
std::string RbfText(uint8_t rightButtonFunction);
std::string MouseSpeedText(uint8_t hSpeed, uint8_t vSpeed, uint8_t acceleration, uint8_t bypassMode);
std::string ButtonModeSummary(uint8_t buttonMode, uint8_t rightButtonFunction);

#endif
