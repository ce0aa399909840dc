#include "common/frmAbout.h"

#include "common/Copyright.h"
#include "common/WindowHelpers.h"
#include "resources/resource.h"

FrmAbout frmAbout;

namespace {
constexpr COLORREF kCopyrightBlue = RGB(0, 0, 128);
}  // namespace

FrmAbout::FrmAbout() : tk::Form("frmAbout") {
    Caption(" About").ClientSize(6975, 2880).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                        title top  width  version width  sized to text
    header = DesignVendorHeader(*this, {480, 3570, 4275, false}, "");

    //                        control                 left  top   width height
    lblCopyright = &Label("lblCopyright").At(480, 1500, 6135, 195).WithFont("MS Sans Serif", 8.25, true).Fore(kCopyrightBlue);
    CommandButton("cmdOK")          .At(2880, 2040, 1215, 495).Text("&OK").Default().Cancel().OnClick([this] { cmdOK_Click(); });
}

void FrmAbout::Form_Load() {
    CopyMainHeader(header);
    lblCopyright->SetCaption(kCopyrightNotice);
    CenterForm(*this);
    CenterIcon(header);
}

void FrmAbout::Form_Unload(int&) { ReturnToMainWindow(); }

void FrmAbout::cmdOK_Click() { Unload(); }
