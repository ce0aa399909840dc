#include "common/frmMessage.h"

#include "resources/resource.h"

FrmMessage frmMessage;

FrmMessage::FrmMessage() : tk::Form("frmMessage") {
    Caption("Message").ClientSize(5415, 1215).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                control         left  top  width height
    imgMsg = &Image("imgMsg").At(360, 360, 480, 480).Picture(IDI_PROGRAM);
    lblMsg = &Label("lblMsg").At(1080, 510, 4095, 195).AutoSize();
}

void FrmMessage::Form_Load() { SetCaption(title); }

namespace {

// Centred vertically in the client area; the window keeps its designed size.
void CentreVertically(tk::Control& control, const tk::Form& form) {
    control.SetTop(form.ScaleHeight() / 2 - control.Height() / 2);
}

}  // namespace

void ShowProgressMessage(const std::string& text, const std::string& title, void (*centre)(tk::Form&)) {
    frmMessage.title = title;
    frmMessage.Load();
    frmMessage.lblMsg->SetCaption(text);
    CentreVertically(*frmMessage.imgMsg, frmMessage);
    CentreVertically(*frmMessage.lblMsg, frmMessage);
    centre(frmMessage);
    frmMessage.Show();
    // The program goes straight on with its work: paint now, not when it next waits for messages.
    RedrawWindow(frmMessage.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
