#include "controlpanel/frmVirtualButton.h"

#include "common/TouchChannel.h"
#include "controlpanel/Summaries.h"
#include "controlpanel/frmMain.h"

FrmVirtualButton frmVirtualButton;

uint8_t pendingButtonMode = 0;
uint8_t pendingRightButtonFunction = 0;

namespace {

constexpr int kFirstButtonMode = 1;
constexpr int kRbfDisable = 0;
constexpr int kRbfEnable = 1;

// The on and off switch's columns inside its frame, in twips.
constexpr double kSwitchWidth = 1620;
constexpr double kSwitchPitch = 2280;

constexpr double kModeFrameHeight = SettingDialog::FrameHeight(kButtonModeCount);
constexpr double kSwitchFrameTop = SettingDialog::kBodyTop + kModeFrameHeight + SettingDialog::kSectionGap;
constexpr double kSwitchFrameHeight = SettingDialog::FrameHeight(1);

}  // namespace

FrmVirtualButton::FrmVirtualButton()
    : SettingDialog("frmVirtualButton", "Virtual Button"),
      modes_(optVirtualButton.data(), kFirstButtonMode, kButtonModeCount, pendingButtonMode),
      rightButton_(optRBFunction.data(), kRbfDisable, kRbfEnable, pendingRightButtonFunction) {
    //                              control                                         left      top              width         height
    tk::Control& fraVirtualButton = Frame("fraVirtualButton")                       .At(kMargin, kBodyTop, kFrameWidth, kModeFrameHeight).Text("  Virtual Button Option  ");
    for (int i = kFirstButtonMode; i <= kButtonModeCount; ++i) {
        const double top = kFirstOptionTop + (i - kFirstButtonMode) * kOptionPitch;
        optVirtualButton[i] = &OptionButton("optVirtualButton", i)                  .In(fraVirtualButton).At(kOptionLeft, top, kOptionWidth, kOptionHeight).Fore(kOptionColour)
                                                                                    .OnClick([this, i] { optVirtualButton_Click(i); });
    }

    tk::Control& fraRBFunction = Frame("fraRBFunction")                             .At(kMargin, kSwitchFrameTop, kFrameWidth, kSwitchFrameHeight).Text("  Right Button Function ");
    optRBFunction[kRbfEnable] = &OptionButton("optRBFunction", kRbfEnable)          .In(fraRBFunction).At(kOptionLeft, kFirstOptionTop, kSwitchWidth, kOptionHeight).Text("Enable").Fore(kOptionColour)
                                                                                    .OnClick([this] { optRBFunction_Click(kRbfEnable); });
    optRBFunction[kRbfDisable] = &OptionButton("optRBFunction", kRbfDisable)        .In(fraRBFunction).At(kOptionLeft + kSwitchPitch, kFirstOptionTop, kSwitchWidth, kOptionHeight).Text("Disable").Fore(kOptionColour)
                                                                                    .OnClick([this] { optRBFunction_Click(kRbfDisable); });

    DesignButtonRow(kSwitchFrameTop + kSwitchFrameHeight);
}

// Stored values that name no option (a mode of 0 or above the last, a function above 1) select none
// and are sent back unchanged until the user picks an option.
void FrmVirtualButton::LoadControls() {
    modes_.SetCaptions(ButtonModeNames, " ");
    modes_.Open(TouchSettings.buttonMode);
    rightButton_.Open(TouchSettings.rightButtonFunction);
}

bool FrmVirtualButton::EditedDiffers() {
    return pendingRightButtonFunction != TouchSettings.rightButtonFunction ||
           pendingButtonMode != TouchSettings.buttonMode;
}

void FrmVirtualButton::StoreEdits() {
    TouchSettings.buttonMode = pendingButtonMode;
    TouchSettings.rightButtonFunction = pendingRightButtonFunction;
}

// Runs on every Apply, also when only the mode changed: a tool that runs already is not doubled,
// since the new copy finds it registered, shows it and ends.
void FrmVirtualButton::SendSettings() {
    TouchSetButtonMode();
    if (pendingRightButtonFunction != kRbfDisable) {
        StartRightButtonTool();
    } else {
        CloseRightButtonTool();
    }
}

tk::Control& FrmVirtualButton::SummaryLabel() const { return *frmMain.lblVirtualButton; }

std::string FrmVirtualButton::SummaryText() const {
    return ButtonModeSummary(TouchSettings.buttonMode, TouchSettings.rightButtonFunction);
}

void FrmVirtualButton::optVirtualButton_Click(int index) {
    if (modes_.Click(index)) ApplyRule();
}

void FrmVirtualButton::optRBFunction_Click(int index) {
    if (rightButton_.Click(index)) ApplyRule();
}
