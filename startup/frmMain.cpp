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
    header = DesignVendorHeader(*this, {360, 4575, 4575, false}, "TouchScreen System Startup Version ");
    header.icon->OnDblClick([this] { imgIcon_DblClick(); });
}

void FrmMain::Form_Load() {
    SetMainWindow(*this, header);
    SetCaption(kStartupTitle);
    header.system->SetCaption(header.system->Caption() + kVersionLabel);

    EndIfAnotherCopyRuns(*this);

    LoadInstallationRecordOrEnd(*this);

    header.oemTitle->SetCaption(VenderName);
    CenterForm(*this);
    CenterIcon(header);
    SetMousePointer(tk::vbDefault);
}

void FrmMain::imgIcon_DblClick() {
    SetMousePointer(tk::vbHourglass);
    Hide();
    frmAbout.Show();
    SetMousePointer(tk::vbDefault);
}
