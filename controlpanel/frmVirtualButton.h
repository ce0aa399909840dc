// The virtual button dialog: how touches become mouse button events, and whether the right-button
// tool runs.
#ifndef CONTROLPANEL_FRMVIRTUALBUTTON_H
#define CONTROLPANEL_FRMVIRTUALBUTTON_H

#include <cstdint>
#include <string>

#include "controlpanel/SettingDialog.h"

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
    const char* SummaryLabel() const override { return "lblVirtualButton"; }
    std::string SummaryText() const override;

    void optVirtualButton_Click(int index);
    void optRBFunction_Click(int index);

    OptionGroup modes_;
    OptionGroup rightButton_;
};

extern FrmVirtualButton frmVirtualButton;

#endif
