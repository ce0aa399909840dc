#include "rightbutton/frmMain.h"

#include "common/StartChecks.h"
#include "common/SuiteNames.h"
#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "resources/resource.h"
#include "rightbutton/basRbf.h"

FrmMain frmMain;

namespace {

// The button fills the client area: 40 x 40 pixels at 15 twips a pixel, holding a 36 x 36 picture.
constexpr double kButtonTwips = 600;
constexpr int kButtonPictureSize = 36;

// The title the window carries once it is registered: short enough for a window one button wide.
constexpr char kRunningTitle[] = QR_TOOL_CAPTION;

}  // namespace

FrmMain::FrmMain() : tk::Form("frmMain") {
    // A dialog frame keeps the caption to one close button, which leaves room for the icon in a
    // window one button wide.
    Caption("TouchScreen Right Button").ClientSize(kButtonTwips, kButtonTwips).Border(tk::BorderStyle::FixedDialog)
        .Icon(IDI_PROGRAM).KeyPreview();

    //                        control          left top  width         height
    cmdAction = &CommandButton("cmdAction").At(0, 0, kButtonTwips, kButtonTwips).Graphical(IDI_RBF_BUTTON, kButtonPictureSize)
                     .OnClick([this] { cmdAction_Click(); });
}

void FrmMain::Start() {
    HWND own = hWnd();  // loads the form: the subclass and the driver come first
    RegisterRbfWindow(own);
    SetCaption(kRunningTitle);
    SetBackColor(GetSysColor(COLOR_BTNFACE));
    rbfWaiting = 0;
    FitClientToButton();
    MoveToWorkAreaCorner();
    SetWindowPos(own, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Show();
    // The starters ask for a hidden start, and the first showing of a program's window may take
    // that state over; the button is the tool's whole purpose, so it is shown all the same.
    if (!IsWindowVisible(own)) Show();
}

void FrmMain::Form_Load() {
    HWND own = hWnd();
    oldWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(own, GWLP_WNDPROC));
    SetWindowLongPtrA(own, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RBF_WndProc));
    OpenTouchDriverOrEnd();
}

void FrmMain::Form_Unload(int&) {
    // A wait still running ends with the next poll; it must find nothing left to do.
    rbfWaiting = 0;
    UnregisterRbfWindow();
    CloseTouchDriver();
    SetWindowLongPtrA(hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc));
}

void FrmMain::Form_KeyPress(int&) { rbfWaiting = 0; }

void FrmMain::Form_MouseDown(int button, int, double, double) {
    if (button == tk::vbLeftButton || button == tk::vbRightButton) rbfWaiting = 0;
}

void FrmMain::FitClientToButton() {
    tk::Control& action = *cmdAction;
    action.Move(0, 0, action.Width(), action.Height());
    SetWidth(Width() - ScaleWidth() + action.Width());
    SetHeight(Height() - ScaleHeight() + action.Height());
}

void FrmMain::MoveToWorkAreaCorner() {
    RECT workArea = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    SetTop(workArea.bottom * tk::TwipsPerPixelY() - Height());
    SetLeft(workArea.right * tk::TwipsPerPixelX() - Width());
}

void FrmMain::cmdAction_Click() {
    cmdAction->SetVisible(false);
    ArmRightButton();
    WaitForRightClick();
    DisarmRightButton();
    // A close command during the wait has unloaded the window; touching a control would load it again.
    if (Loaded()) cmdAction->SetVisible(true);
}

LRESULT CALLBACK RBF_WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_USER) return CallWindowProcA(oldWndProc, hwnd, message, wParam, lParam);
    switch (wParam) {
        case RBF_CMD_HIDE:
            frmMain.Hide();
            break;
        case RBF_CMD_SHOW:
            frmMain.Show();
            break;
        case RBF_CMD_CLOSE:
            frmMain.Unload();
            break;
        default:
            ShowErrorBox(RbfCommandFailureText(wParam, lParam), kRightButtonTitle, FailureBox::Plain);
            break;
    }
    return 0;
}
