#include "controlpanel/frmSupport.h"

#include "common/WindowHelpers.h"
#include "controlpanel/frmMain.h"
#include "resources/resource.h"

FrmSupport frmSupport;

FrmSupport::FrmSupport() : tk::Form("frmSupport") {
    Caption("Support").ClientSize(1215, 1110).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                      control            left top  width height
    picSupport = &PictureBox("picSupport").At(0, 60, 1215, 495).AutoSize();
    cmdOK = &CommandButton("cmdOK")       .At(0, 615, 1215, 495).Text("&OK").Default().Cancel().OnClick([this] { cmdOK_Click(); });
}

void FrmSupport::Form_Load() {
    SetCaption(frmMain.GetCaption());
    tk::Control& picture = *picSupport;
    tk::Control& ok = *cmdOK;
    picture.LoadPicture(frmMain.vendorBitmapPath);
    // The picture keeps its design margin at the top; the button sits two margins below it and two
    // more margins stay free under the button.
    SetWidth(Width() - ScaleWidth() + picture.Width() + 2 * picture.Left());
    SetHeight(Height() - ScaleHeight() + picture.Height() + 5 * picture.Top() + ok.Height());
    ok.SetTop(3 * picture.Top() + picture.Height());
    ok.SetLeft((ScaleWidth() - ok.Width()) / 2);
    CenterForm(*this);
}

void FrmSupport::Form_Unload(int&) { ReturnToMainWindow(); }

void FrmSupport::cmdOK_Click() { Unload(); }
