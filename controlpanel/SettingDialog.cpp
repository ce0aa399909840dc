#include "controlpanel/SettingDialog.h"

#include "common/WindowHelpers.h"
#include "resources/resource.h"

void DrawChoice(tk::Control& control, bool chosen) { control.SetForeColor(chosen ? kChosenColour : kOptionColour); }

OptionGroup::OptionGroup(tk::Control* const* options, int first, int last, uint8_t& pending)
    : options_(options), first_(first), last_(last), pending_(pending) {}

void OptionGroup::SetCaptions(const std::string names[], const std::string& prefix) {
    for (int i = first_; i <= last_; ++i) Option(i).SetCaption(prefix + names[i]);
}

void OptionGroup::Open(uint8_t stored) {
    pending_ = stored;
    if (!HasOption(pending_)) return;
    tk::Control& option = Option(pending_);
    // Selecting raises Click, which finds the pending value equal and does nothing.
    option.SetValue(1);
    DrawChoice(option, true);
}

bool OptionGroup::Click(int index) {
    if (index == pending_) return false;
    // The old choice is cleared while pending still names it, so the Click this raises does nothing.
    if (HasOption(pending_)) {
        tk::Control& old = Option(pending_);
        old.SetValue(0);
        DrawChoice(old, false);
    }
    pending_ = static_cast<uint8_t>(index);
    tk::Control& chosen = Option(index);
    chosen.SetValue(1);
    DrawChoice(chosen, true);
    return true;
}

void OptionGroup::SetEnabled(bool on) {
    for (int i = first_; i <= last_; ++i) Option(i).SetEnabled(on);
}

SettingDialog::SettingDialog(const std::string& formName, const std::string& designTitle) : tk::Form(formName) {
    Caption(designTitle).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                        title top  width  version width  sized to text
    header = DesignVendorHeader(*this, {480, 3570, 4275, false}, "TouchScreen Control Panel Version ");
}

void SettingDialog::DesignButtonRow(double bodyBottom) {
    const double top = bodyBottom + kSectionGap;
    const double apply = kBodyRight - kButtonWidth;
    const double cancel = apply - kButtonGap - kButtonWidth;
    const double ok = cancel - kButtonGap - kButtonWidth;

    //                  control                  left    top  width         height
    cmdOK = &CommandButton("cmdOK")           .At(ok, top, kButtonWidth, kButtonHeight).Text("&OK").Default()
                                              .OnClick([this] { cmdOK_Click(); });
    CommandButton("cmdCandel")                .At(cancel, top, kButtonWidth, kButtonHeight).Text("&Cancel").Cancel()
                                              .OnClick([this] { cmdCandel_Click(); });
    cmdApply = &CommandButton("cmdApply")     .At(apply, top, kButtonWidth, kButtonHeight).Text("&Apply").Disabled()
                                              .OnClick([this] { cmdApply_Click(); });
    ClientSize(kClientWidth, top + kButtonHeight + kBottomMargin);
}

void SettingDialog::Form_Load() {
    LoadControls();
    PrepareDialog(*this, header);
}

void SettingDialog::Form_Unload(int&) { ReturnToMainWindow(); }

void SettingDialog::ApplyRule() { cmdApply->SetEnabled(EditedDiffers()); }

void SettingDialog::Apply() {
    SetMousePointer(tk::vbHourglass);
    StoreEdits();
    SendSettings();
    SummaryLabel().SetCaption(SummaryText());
    tk::Control& apply = *cmdApply;
    // A disabled button cannot keep the focus; without this the keyboard would reach no control.
    if (GetFocus() == apply.hWnd()) cmdOK->SetFocus();
    apply.SetEnabled(false);
    SetMousePointer(tk::vbDefault);
}

void SettingDialog::cmdApply_Click() { Apply(); }

void SettingDialog::cmdOK_Click() {
    if (cmdApply->Enabled()) Apply();
    UnloadWithHourglass();
}

void SettingDialog::cmdCandel_Click() { UnloadWithHourglass(); }

void SettingDialog::UnloadWithHourglass() {
    SetMousePointer(tk::vbHourglass);
    Unload();
    SetMousePointer(tk::vbDefault);
}
