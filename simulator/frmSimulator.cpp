#include "simulator/frmSimulator.h"

#include <string>

#include "common/SuiteNames.h"
#include "resources/resource.h"
#include "simulator/TouchHook.h"

FrmSimulator frmSimulator;

namespace {

constexpr char kTitle[] = "Touch Simulator";
constexpr double kScreenMargin = 120;  // twips from the work area's top
// From its right edge: calibration puts a cross into each corner of the screen (32 pixels), and
// a touch on our window is never one.
constexpr double kCornerClearance = 720;

}  // namespace

FrmSimulator::FrmSimulator() : tk::Form("frmSimulator") {
    Caption(kTitle).ClientSize(4575, 1815).Border(tk::BorderStyle::FixedDialog).Icon(IDI_PROGRAM);

    //                        control                left   top  width height
    Label("lblHelp")                           .At(120,  120, 4335, 585)
        .Text("The mouse is the touch panel: a left-button press, drag and release anywhere else on the screen "
              "is a touch, and lands where the driver's calibration puts it.");
    lblRaw = &Label("lblRaw")                  .At(120,  825, 4335, 195).Text("No touch yet.");
    chkPlainMouse = &CheckBox("chkPlainMouse") .At(120, 1260, 2535, 255).Text("&Plain mouse (no touches)")
                                               .OnClick([this] { chkPlainMouse_Click(); });
    tk::Control& cmdClose = CommandButton("cmdClose").At(3240, 1200, 1215, 375).Text("&Close").Cancel()
                                               .OnClick([this] { cmdClose_Click(); });
    TabOrder({chkPlainMouse, &cmdClose});
}

void FrmSimulator::Form_Load() {
    TouchHook.ownWindow = hWnd();
    TouchHook.touched = [this](RawPoint raw, bool touched) {
        lblRaw->SetCaption("Last touch: raw " + std::to_string(raw.x) + ", " + std::to_string(raw.y) +
                           (touched ? " (touching)" : " (lifted)"));
    };
    if (!StartTouchHook()) {
        tk::MsgBox(std::string("The touch driver ") + kDevicePath + " cannot be opened, or the mouse cannot be watched.",
                   MB_OK | MB_ICONSTOP, kTitle);
        tk::End();
    }
    // Top right of the work area, above the other windows, where it covers the least.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    Move(tk::PixelsToTwipsX(work.right) - Width() - kCornerClearance, tk::PixelsToTwipsY(work.top) + kScreenMargin);
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void FrmSimulator::Form_Unload(int&) { StopTouchHook(); }

void FrmSimulator::chkPlainMouse_Click() { TouchHook.plainMouse = chkPlainMouse->Value() == 1; }

void FrmSimulator::cmdClose_Click() { Unload(); }
