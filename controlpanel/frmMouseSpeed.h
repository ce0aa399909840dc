// The mouse speed dialog: horizontal and vertical speed, acceleration curve and bypass of the scaling,
// edited together and applied with one request.
#ifndef CONTROLPANEL_FRMMOUSESPEED_H
#define CONTROLPANEL_FRMMOUSESPEED_H

#include <array>
#include <cstdint>
#include <string>

#include "controlpanel/SettingDialog.h"
#include "controlpanel/Summaries.h"

// Range of the speed bars: steps of 5 %, from 5 % to 100 %.
constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 20;
constexpr int kSpeedSmallChange = 1;
constexpr int kSpeedLargeChange = 2;
constexpr int kPercentPerSpeedStep = 5;

// The acceleration chosen in the open dialog.
extern uint8_t pendingAcceleration;

// "50%" for speed 10.
std::string SpeedPercentText(int speed);

// Stored values the controls cannot show. A speed outside the bar's range opens the bar at the nearer
// end; a non-zero bypass mode other than 1 opens the box checked, which is what the driver makes of it.
// The position a control opens at then stands for the stored byte, which is written back unchanged
// while the control holds that position; only a value the user sets replaces it.
bool SpeedFitsBar(uint8_t stored);
int SpeedBarPosition(uint8_t stored);
uint8_t EditedSpeed(uint8_t stored, int barValue);
int BypassBoxValue(uint8_t stored);
uint8_t EditedBypass(uint8_t stored, int boxValue);

class FrmMouseSpeed : public SettingDialog {
public:
    FrmMouseSpeed();

private:
    void LoadControls() override;
    bool EditedDiffers() override;
    void StoreEdits() override;
    void SendSettings() override;
    tk::Control& SummaryLabel() const override;
    std::string SummaryText() const override;

    void hscMouseHSpeed_Change();
    void hscMouseHSpeed_Scroll();
    void hscMouseVSpeed_Change();
    void hscMouseVSpeed_Scroll();
    void chkBoth_Click();
    void chkBypass_Click();
    void optAcceleration_Click(int index);

    uint8_t EditedHSpeed();
    uint8_t EditedVSpeed();
    uint8_t EditedBypassMode();

    tk::Control* hscMouseHSpeed = nullptr;
    tk::Control* lblHS = nullptr;
    tk::Control* hscMouseVSpeed = nullptr;
    tk::Control* lblVS = nullptr;
    tk::Control* chkBoth = nullptr;
    tk::Control* chkBypass = nullptr;
    // Indexed by the stored acceleration, from 1; entry 0 stays empty.
    std::array<tk::Control*, kAccelerationCount + 1> optAcceleration{};

    OptionGroup accelerations_;
};

extern FrmMouseSpeed frmMouseSpeed;

#endif
