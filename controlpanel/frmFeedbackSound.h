// The feedback sound dialog: when the controller clicks audibly (never, on touch down, on lift off, both).
#ifndef CONTROLPANEL_FRMFEEDBACKSOUND_H
#define CONTROLPANEL_FRMFEEDBACKSOUND_H

#include <cstdint>
#include <string>

#include "controlpanel/SettingDialog.h"

// The sound chosen in the open dialog.
extern uint8_t pendingFeedbackSound;

class FrmFeedbackSound : public SettingDialog {
public:
    FrmFeedbackSound();

private:
    void LoadControls() override;
    bool EditedDiffers() override;
    void StoreEdits() override;
    void SendSettings() override;
    const char* SummaryLabel() const override { return "lblFeedbackSound"; }
    std::string SummaryText() const override;

    void optFeedbackSound_Click(int index);

    OptionGroup sounds_;
};

extern FrmFeedbackSound frmFeedbackSound;

#endif
