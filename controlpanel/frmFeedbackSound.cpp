#include "controlpanel/frmFeedbackSound.h"

#include "common/TouchChannel.h"
#include "controlpanel/Summaries.h"
#include "controlpanel/frmMain.h"

FrmFeedbackSound frmFeedbackSound;

uint8_t pendingFeedbackSound = 0;

namespace {

constexpr int kFirstSound = 1;

constexpr double kFrameHeight = SettingDialog::FrameHeight(kFeedbackSoundCount);

}  // namespace

FrmFeedbackSound::FrmFeedbackSound()
    : SettingDialog("frmFeedbackSound", "Feedback Sound"),
      sounds_(optFeedbackSound.data(), kFirstSound, kFeedbackSoundCount, pendingFeedbackSound) {
    //                              control                                         left      top       width         height
    tk::Control& fraFeedbackSound = Frame("fraFeedbackSound")                       .At(kMargin, kBodyTop, kFrameWidth, kFrameHeight).Text("  Feedback Sound Option  ");
    for (int i = kFirstSound; i <= kFeedbackSoundCount; ++i) {
        const double top = kFirstOptionTop + (i - kFirstSound) * kOptionPitch;
        optFeedbackSound[i] = &OptionButton("optFeedbackSound", i)                  .In(fraFeedbackSound).At(kOptionLeft, top, kOptionWidth, kOptionHeight).Fore(kOptionColour)
                                                                                    .OnClick([this, i] { optFeedbackSound_Click(i); });
    }
    DesignButtonRow(kBodyTop + kFrameHeight);
}

// A stored sound that names no option (0, or above the last) selects none; it is kept, and sent back
// unchanged, until the user picks an option.
void FrmFeedbackSound::LoadControls() {
    sounds_.SetCaptions(FeedbackSoundNames, " ");
    sounds_.Open(TouchSettings.feedbackSound);
}

bool FrmFeedbackSound::EditedDiffers() { return pendingFeedbackSound != TouchSettings.feedbackSound; }

void FrmFeedbackSound::StoreEdits() { TouchSettings.feedbackSound = pendingFeedbackSound; }

void FrmFeedbackSound::SendSettings() { TouchSetFeedbackSound(); }

tk::Control& FrmFeedbackSound::SummaryLabel() const { return *frmMain.lblFeedbackSound; }

std::string FrmFeedbackSound::SummaryText() const { return FeedbackSoundText(TouchSettings.feedbackSound); }

void FrmFeedbackSound::optFeedbackSound_Click(int index) {
    if (sounds_.Click(index)) ApplyRule();
}
