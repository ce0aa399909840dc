#include "controlpanel/frmMouseSpeed.h"

#include <algorithm>

#include "common/TouchChannel.h"
#include "controlpanel/Summaries.h"
#include "controlpanel/frmMain.h"

FrmMouseSpeed frmMouseSpeed;

uint8_t pendingAcceleration = 0;

namespace {

constexpr int kFirstAcceleration = 1;
constexpr int kUnchecked = 0;
constexpr int kChecked = 1;

}  // namespace

std::string SpeedPercentText(int speed) { return std::to_string(kPercentPerSpeedStep * speed) + "%"; }

bool SpeedFitsBar(uint8_t stored) { return stored >= kMinSpeed && stored <= kMaxSpeed; }

int SpeedBarPosition(uint8_t stored) { return std::clamp<int>(stored, kMinSpeed, kMaxSpeed); }

uint8_t EditedSpeed(uint8_t stored, int barValue) {
    return barValue == SpeedBarPosition(stored) ? stored : static_cast<uint8_t>(barValue);
}

int BypassBoxValue(uint8_t stored) { return stored != 0 ? kChecked : kUnchecked; }

uint8_t EditedBypass(uint8_t stored, int boxValue) {
    return boxValue == BypassBoxValue(stored) ? stored : static_cast<uint8_t>(boxValue);
}

FrmMouseSpeed::FrmMouseSpeed()
    : SettingDialog("frmMouseSpeed", "Mouse Speed"),
      accelerations_(optAcceleration.data(), kFirstAcceleration, kAccelerationCount, pendingAcceleration) {
    //                                control                                           left  top   width height
    tk::Control& fraHorizontalSpeed = Frame("fraHorizontalSpeed")                  .At(480, 1500, 3345, 975).Text("  Horizontal Speed  ");
    hscMouseHSpeed = &HScrollBar("hscMouseHSpeed")                                 .In(fraHorizontalSpeed).At(240, 300, 2865, 255)
                                                                                   .Range(kMinSpeed, kMaxSpeed, kSpeedSmallChange, kSpeedLargeChange)
                                                                                   .OnChange([this] { hscMouseHSpeed_Change(); })
                                                                                   .OnScroll([this] { hscMouseHSpeed_Scroll(); });
    Label("lblHSlow")                                                              .In(fraHorizontalSpeed).At(240, 615, 735, 195).Text("Slow");
    lblHS = &Label("lblHS")                                                        .In(fraHorizontalSpeed).At(1305, 615, 735, 195).Align(tk::Alignment::Center);
    Label("lblHFast")                                                              .In(fraHorizontalSpeed).At(2370, 615, 735, 195).Text("Fast").Align(tk::Alignment::Right);

    tk::Control& fraVerticalSpeed = Frame("fraVerticalSpeed")                      .At(480, 2595, 3345, 975).Text("  Vertical Speed  ");
    hscMouseVSpeed = &HScrollBar("hscMouseVSpeed")                                 .In(fraVerticalSpeed).At(240, 300, 2865, 255)
                                                                                   .Range(kMinSpeed, kMaxSpeed, kSpeedSmallChange, kSpeedLargeChange)
                                                                                   .OnChange([this] { hscMouseVSpeed_Change(); })
                                                                                   .OnScroll([this] { hscMouseVSpeed_Scroll(); });
    Label("lblVSlow")                                                              .In(fraVerticalSpeed).At(240, 615, 735, 195).Text("Slow");
    lblVS = &Label("lblVS")                                                        .In(fraVerticalSpeed).At(1305, 615, 735, 195).Align(tk::Alignment::Center);
    Label("lblVFast")                                                              .In(fraVerticalSpeed).At(2370, 615, 735, 195).Text("Fast").Align(tk::Alignment::Right);

    tk::Control& fraAdjustMode = Frame("fraAdjustMode")                            .At(480, 3690, 3345, 615).Text("  Adjust Mode");
    chkBoth = &CheckBox("chkBoth")                                                 .In(fraAdjustMode).At(240, 255, 2865, 255).Text("Set Both Horizontal && Vertical ").Fore(kOptionColour)
                                                                                   .OnClick([this] { chkBoth_Click(); });

    tk::Control& fraAcceleration = Frame("fraAcceleration")                        .At(3945, 1500, 2220, 2070).Text("  Acceleration  ");
    for (int i = kFirstAcceleration; i <= kAccelerationCount; ++i) {
        optAcceleration[i] = &OptionButton("optAcceleration", i)                   .In(fraAcceleration).At(360, 360 + (i - 1) * 390, 1620, 255).Fore(kOptionColour)
                                                                                   .OnClick([this, i] { optAcceleration_Click(i); });
    }

    tk::Control& fraBypassMode = Frame("fraBypassMode")                            .At(3945, 3690, 2220, 615).Text("  Bypass Mode");
    chkBypass = &CheckBox("chkBypass")                                             .In(fraBypassMode).At(360, 255, 1620, 255).Text("Enable").Fore(kOptionColour)
                                                                                   .OnClick([this] { chkBypass_Click(); });

    DesignButtonRow(4305);
}

void FrmMouseSpeed::LoadControls() {
    const TouchSettingsBlock& s = TouchSettings;
    accelerations_.SetCaptions(AccelerationNames, "");
    pendingAcceleration = s.acceleration;
    chkBypass->SetValue(BypassBoxValue(s.bypassMode));

    // The coupled bars carry the vertical speed into the horizontal bar. A speed the bars cannot show
    // must not be carried, nor be replaced by the other one, so such a dialog opens uncoupled and each
    // bar keeps standing for its own stored byte.
    tk::Control& both = *chkBoth;
    const bool coupled = SpeedFitsBar(s.hSpeed) && SpeedFitsBar(s.vSpeed);
    both.SetValue(coupled ? kChecked : kUnchecked);
    DrawChoice(both, coupled);

    tk::Control& h = *hscMouseHSpeed;
    tk::Control& v = *hscMouseVSpeed;
    h.SetValue(SpeedBarPosition(s.hSpeed));
    v.SetValue(SpeedBarPosition(s.vSpeed));
    // A bar already at its value raised no Change, so its label is filled here.
    lblHS->SetCaption(SpeedPercentText(h.Value()));
    lblVS->SetCaption(SpeedPercentText(v.Value()));

    accelerations_.Open(s.acceleration);
    chkBypass_Click();
}

uint8_t FrmMouseSpeed::EditedHSpeed() { return EditedSpeed(TouchSettings.hSpeed, hscMouseHSpeed->Value()); }

uint8_t FrmMouseSpeed::EditedVSpeed() { return EditedSpeed(TouchSettings.vSpeed, hscMouseVSpeed->Value()); }

uint8_t FrmMouseSpeed::EditedBypassMode() { return EditedBypass(TouchSettings.bypassMode, chkBypass->Value()); }

bool FrmMouseSpeed::EditedDiffers() {
    const TouchSettingsBlock& s = TouchSettings;
    return s.bypassMode != EditedBypassMode() || s.vSpeed != EditedVSpeed() || s.hSpeed != EditedHSpeed() ||
           pendingAcceleration != s.acceleration;
}

// With bypass on the speeds and the acceleration cannot be edited, but they are stored all the same.
// Each edited value is read before any field is written, since it may stand for the stored byte.
void FrmMouseSpeed::StoreEdits() {
    TouchSettingsBlock& s = TouchSettings;
    const uint8_t bypassMode = EditedBypassMode();
    const uint8_t hSpeed = EditedHSpeed();
    const uint8_t vSpeed = EditedVSpeed();
    s.bypassMode = bypassMode;
    s.hSpeed = hSpeed;
    s.vSpeed = vSpeed;
    s.acceleration = pendingAcceleration;
}

void FrmMouseSpeed::SendSettings() { TouchSetMouseSpeed(); }

tk::Control& FrmMouseSpeed::SummaryLabel() const { return *frmMain.lblMouseSpeed; }

std::string FrmMouseSpeed::SummaryText() const {
    const TouchSettingsBlock& s = TouchSettings;
    return MouseSpeedText(s.hSpeed, s.vSpeed, s.acceleration, s.bypassMode);
}

// Setting a bar raises its Change, so with both coupled a change runs through the other bar and back to
// this one, where it stops because the value is the same.
void FrmMouseSpeed::hscMouseHSpeed_Change() {
    lblHS->SetCaption(SpeedPercentText(hscMouseHSpeed->Value()));
    hscMouseHSpeed_Scroll();
    ApplyRule();
}

void FrmMouseSpeed::hscMouseHSpeed_Scroll() {
    if (chkBoth->Value() == kChecked) hscMouseVSpeed->SetValue(hscMouseHSpeed->Value());
}

void FrmMouseSpeed::hscMouseVSpeed_Change() {
    lblVS->SetCaption(SpeedPercentText(hscMouseVSpeed->Value()));
    ApplyRule();
    hscMouseVSpeed_Scroll();
}

void FrmMouseSpeed::hscMouseVSpeed_Scroll() {
    if (chkBoth->Value() == kChecked) hscMouseHSpeed->SetValue(hscMouseVSpeed->Value());
}

// Checking the box does not line the bars up; the next change of either bar does.
void FrmMouseSpeed::chkBoth_Click() {
    tk::Control& both = *chkBoth;
    DrawChoice(both, both.Value() == kChecked);
}

void FrmMouseSpeed::chkBypass_Click() {
    const bool scaling = chkBypass->Value() == kUnchecked;
    chkBoth->SetEnabled(scaling);
    hscMouseHSpeed->SetEnabled(scaling);
    hscMouseVSpeed->SetEnabled(scaling);
    accelerations_.SetEnabled(scaling);
    ApplyRule();
}

void FrmMouseSpeed::optAcceleration_Click(int index) {
    if (accelerations_.Click(index)) ApplyRule();
}
