// The virtual button dialog: how touches become mouse button events, and whether the right-button
// tool runs.
#ifndef CONTROLPANEL_FRMVIRTUALBUTTON_H
#define CONTROLPANEL_FRMVIRTUALBUTTON_H

#include <array>
#include <cstdint>
#include <string>

#include "controlpanel/SettingDialog.h"
#include "controlpanel/Summaries.h"

// The choices made in the open dialog.
extern uint8_t pendingButtonMode;
extern uint8_t pendingRightButtonFunction;

class FrmVirtualButton : public SettingDialog {
public:
    FrmVirtualButton();

private:
    void LoadControls() override;
    bool EditedDiffers() override;
    void StoreEdits() override;
    void SendSettings() override;
    tk::Control& SummaryLabel() const override;
    std::string SummaryText() const override;

    void optVirtualButton_Click(int index);
    void optRBFunction_Click(int index);

    // Indexed by the stored values: modes from 1 (entry 0 stays empty), the function 0 (Disable) and 1.
    std::array<tk::Control*, kButtonModeCount + 1> optVirtualButton{};
    std::array<tk::Control*, 2> optRBFunction{};

    OptionGroup modes_;
    OptionGroup rightButton_;
};

extern FrmVirtualButton frmVirtualButton;

#endif
