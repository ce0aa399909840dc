#include "controlpanel/SettingDialog.h"

#include <utility>

#include "common/WindowHelpers.h"
#include "resources/resource.h"

void DrawChoice(tk::Control& control, bool chosen) { control.SetForeColor(chosen ? kChosenColour : kOptionColour); }

OptionGroup::OptionGroup(tk::Form& form, std::string name, int first, int last, uint8_t& pending)
    : form_(form), name_(std::move(name)), first_(first), last_(last), pending_(pending) {}

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
    DesignVendorHeader(*this, {480, 3570, 4275, false}, "TouchScreen Control Panel Version ");
}

void SettingDialog::DesignButtonRow(double bodyBottom) {
    const double top = bodyBottom + kSectionGap;
    const double apply = kBodyRight - kButtonWidth;
    const double cancel = apply - kButtonGap - kButtonWidth;
    const double ok = cancel - kButtonGap - kButtonWidth;

    //             control                  left    top  width         height
    CommandButton("cmdOK").At(ok, top, kButtonWidth, kButtonHeight).Text("&OK").Default();
    CommandButton("cmdCandel").At(cancel, top, kButtonWidth, kButtonHeight).Text("&Cancel").Cancel();
    CommandButton("cmdApply").At(apply, top, kButtonWidth, kButtonHeight).Text("&Apply").Disabled();
    ClientSize(kClientWidth, top + kButtonHeight + kBottomMargin);

    (*this)("cmdOK").Click = [this] { cmdOK_Click(); };
    (*this)("cmdCandel").Click = [this] { cmdCandel_Click(); };
    (*this)("cmdApply").Click = [this] { cmdApply_Click(); };
}

void SettingDialog::Form_Load() {
    LoadControls();
    PrepareDialog(*this);
}

void SettingDialog::Form_Unload(int&) { ReturnToMainWindow(); }

void SettingDialog::ApplyRule() { (*this)("cmdApply").SetEnabled(EditedDiffers()); }

void SettingDialog::Apply() {
    SetMousePointer(tk::vbHourglass);
    StoreEdits();
    SendSettings();
    MainWindow()(SummaryLabel()).SetCaption(SummaryText());
    tk::Control& apply = (*this)("cmdApply");
    // A disabled button cannot keep the focus; without this the keyboard would reach no control.
    if (GetFocus() == apply.hWnd()) (*this)("cmdOK").SetFocus();
    apply.SetEnabled(false);
    SetMousePointer(tk::vbDefault);
}

void SettingDialog::cmdApply_Click() { Apply(); }

void SettingDialog::cmdOK_Click() {
    if ((*this)("cmdApply").Enabled()) Apply();
    UnloadWithHourglass();
}

void SettingDialog::cmdCandel_Click() { UnloadWithHourglass(); }

void SettingDialog::UnloadWithHourglass() {
    SetMousePointer(tk::vbHourglass);
    Unload();
    SetMousePointer(tk::vbDefault);
}
