#include "startup/frmMain.h"

#include "common/StartChecks.h"
#include "common/SuiteNames.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"
#include "common/frmAbout.h"
#include "resources/resource.h"

FrmMain frmMain;

FrmMain::FrmMain() : tk::Form("frmMain") {
    Caption("MAIN").ClientSize(6975, 1500).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                        title top  width  version width  sized to text
    DesignVendorHeader(*this, {360, 4575, 4575, false}, "TouchScreen System Startup Version ");

    (*this)("imgIcon").DblClick = [this] { imgIcon_DblClick(); };
}

void FrmMain::Form_Load() {
    SetMainWindow(*this);
    SetCaption(kStartupTitle);
    (*this)("lblSystem").SetCaption((*this)("lblSystem").Caption() + kVersionLabel);

    EndIfAnotherCopyRuns(*this);

    LoadInstallationRecordOrEnd(*this);

    (*this)("lblOemTitle").SetCaption(VenderName);
    CenterForm(*this);
    CenterIcon(*this);
    SetMousePointer(tk::vbDefault);
}

void FrmMain::imgIcon_DblClick() {
    SetMousePointer(tk::vbHourglass);
    Hide();
    frmAbout.Show();
    SetMousePointer(tk::vbDefault);
}
