// What the setting dialogs of the control panel have in common: the vendor header, the OK / Cancel /
// Apply row, the Apply rule and the life of a dialog from Load to Unload, and the option groups drawn
// black for the choice and teal for the rest.
//
// A dialog derives from SettingDialog, designs its own controls from kBodyTop down (frames end at
// kBodyRight), then calls DesignButtonRow below them, and supplies: how its controls open from the
// settings block (LoadControls), whether any edited value differs from the block (EditedDiffers), how the
// edited values go into the block and to the driver (StoreEdits, SendSettings), and its summary line in
// the main window (SummaryLabel, SummaryText). Every handler that changes a control ends with ApplyRule().
//
// Nothing here keeps state between openings: each Load reads the settings block again.
#ifndef CONTROLPANEL_SETTINGDIALOG_H
#define CONTROLPANEL_SETTINGDIALOG_H

#include <cstdint>
#include <string>

#include "common/WindowHelpers.h"
#include "toolkit/tk.h"

// The chosen option (or a checked box that means "on") is black; every other option and box is teal,
// which is also their design colour.
constexpr COLORREF kChosenColour = tk::kBlack;
constexpr COLORREF kOptionColour = tk::kTeal;

// Draws an option or check box as chosen or not.
void DrawChoice(tk::Control& control, bool chosen);

// The choice of an option group is a pending variable of the dialog's module, not the buttons' own
// state: the buttons only show it. Elements first..last exist; a pending value outside that range (a
// stored value that names no option) selects none of them and stays what it was until the user picks
// an option, so the dialog never sends a value the user did not choose.
//
// options[first..last] are the buttons of the group as the dialog's design keeps them; the group reads
// them only after the design, so it may be built before they are designed.
class OptionGroup {
public:
    OptionGroup(tk::Control* const* options, int first, int last, uint8_t& pending);

    bool HasOption(int index) const { return index >= first_ && index <= last_; }
    int First() const { return first_; }
    int Last() const { return last_; }
    tk::Control& Option(int index) const { return *options_[index]; }

    // Captions prefix + names[i] for every element.
    void SetCaptions(const std::string names[], const std::string& prefix);
    // Load: pending := stored, and the option that stands for it is selected and drawn black.
    void Open(uint8_t stored);
    // The Click handler of element index. Clicking the current choice changes nothing; otherwise the old
    // choice is cleared and drawn teal, pending := index, and index is selected and drawn black. True
    // when the choice changed: the dialog then runs its Apply rule.
    bool Click(int index);
    void SetEnabled(bool on);

private:
    tk::Control* const* options_;
    int first_;
    int last_;
    uint8_t& pending_;
};

class SettingDialog : public tk::Form {
public:
    // Layout of the common parts, in twips. The header is the main window's; the body starts below it.
    static constexpr double kClientWidth = 6645;
    static constexpr double kMargin = 480;
    static constexpr double kSectionGap = 240;
    static constexpr double kButtonWidth = 1215;
    static constexpr double kButtonHeight = 375;
    static constexpr double kButtonGap = 120;
    static constexpr double kBottomMargin = 360;
    // Where the dialog's own controls begin (below the header) and where their frames end at the right.
    static constexpr double kBodyTop = 1500;
    static constexpr double kBodyRight = kClientWidth - kMargin;
    // The frames of option rows: their width, and the rows inside them.
    static constexpr double kFrameWidth = kBodyRight - kMargin;
    static constexpr double kOptionLeft = 360;
    static constexpr double kFirstOptionTop = 360;
    static constexpr double kOptionPitch = 330;
    static constexpr double kOptionWidth = 4965;
    static constexpr double kOptionHeight = 255;
    // The height of a frame that holds rows option rows.
    static constexpr double FrameHeight(int rows) {
        return kFirstOptionTop + (rows - 1) * kOptionPitch + kOptionHeight + kSectionGap;
    }

    void ApplyRule();
    void Apply();

    void Form_Load() final;
    void Form_Unload(int& cancel) override;

protected:
    // Designs the frame and the header; designTitle is shown until Load gives the dialog the main
    // window's title.
    SettingDialog(const std::string& formName, const std::string& designTitle);
    // Designs OK, Cancel and Apply in a row at the bottom right, kSectionGap below bodyBottom, sizes the
    // dialog to end under them and binds their handlers. Called last by the dialog's design, so that
    // the buttons come after the dialog's own controls in the tab order.
    void DesignButtonRow(double bodyBottom);

    // Load steps before the header is filled: controls from the settings block (and from pending
    // selections). Setting a control's value raises its event, so labels and Apply follow from the
    // ordinary handlers.
    virtual void LoadControls() = 0;
    // The Apply rule: true when any edited value differs from the settings block.
    virtual bool EditedDiffers() = 0;
    // Writes the edited values into the settings block.
    virtual void StoreEdits() = 0;
    // Sends the dialog's request with the whole block; the reply replaces the block.
    virtual void SendSettings() = 0;
    // The main window's summary label of this setting and its text from the block.
    virtual tk::Control& SummaryLabel() const = 0;
    virtual std::string SummaryText() const = 0;

private:
    void cmdOK_Click();
    void cmdCandel_Click();
    void cmdApply_Click();
    void UnloadWithHourglass();

    VendorHeader header;
    tk::Control* cmdOK = nullptr;
    tk::Control* cmdApply = nullptr;
};

#endif
