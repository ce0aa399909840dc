// The feedback sound dialog: when the controller clicks audibly (never, on touch down, on lift off, both).
#ifndef CONTROLPANEL_FRMFEEDBACKSOUND_H
#define CONTROLPANEL_FRMFEEDBACKSOUND_H

#include <array>
#include <cstdint>
#include <string>

#include "controlpanel/SettingDialog.h"
#include "controlpanel/Summaries.h"

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
    tk::Control& SummaryLabel() const override;
    std::string SummaryText() const override;

    void optFeedbackSound_Click(int index);

    // Indexed by the stored sound, from 1; entry 0 stays empty.
    std::array<tk::Control*, kFeedbackSoundCount + 1> optFeedbackSound{};

    OptionGroup sounds_;
};

extern FrmFeedbackSound frmFeedbackSound;

#endif
