#include "startup/frmMain.h"

#include "common/StartChecks.h"
#include "common/SuiteNames.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"
#include "common/frmAbout.h"
#include "resources/resource.h"

FrmMain frmMain;

namespace {
constexpr COLORREF kTitleRed = RGB(255, 0, 0);
constexpr COLORREF kVersionBlue = RGB(0, 0, 255);
}  // namespace

FrmMain::FrmMain() : tk::Form("frmMain") {
    Caption("MAIN").ClientSize(6975, 1500).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //         control                      left  top   width height
    Label("lblOemTitle").At(480, 360, 4575, 390).Text("Vender").WithFont("Times New Roman", 18, true).Fore(kTitleRed);
    Label("lblSystem").At(480, 960, 4575, 195).Text("TouchScreen System Startup Version ").WithFont("MS Sans Serif", 8.25, true).Fore(kVersionBlue);
    PictureBox("picIcon").At(5280, 360, 780, 780);
    Image("imgIcon").In("picIcon").At(150, 150, 480, 480).Picture(IDI_PROGRAM);

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
