#include "rightbutton/basRbf.h"

#include <cstdio>

#include "common/TouchChannel.h"
#include "toolkit/tk.h"

int16_t rbfWaiting = 0;
WNDPROC oldWndProc = nullptr;

namespace {

constexpr int16_t kArmed = 1;
constexpr int16_t kNotArmed = 0;
constexpr int16_t kWaiting = 1;

// Between two polls of the driver the wait gives the processor away until window input arrives or
// this time has passed. The driver's answer changes only when the screen is touched, and the
// button coming back a tenth of a second after the touch goes unnoticed; each poll crosses into
// the driver and back (about a millisecond of processor time under Wine, counting wineserver
// and the driver's host), so polling flat out would keep a processor busy for as long as the
// user takes to touch, and even 125 polls a second cost about 9 % of one.
constexpr DWORD kPollPauseMs = 100;

// Upper-case hexadecimal without leading zeros, as wide as the value needs.
std::string Hex(unsigned long long value) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

}  // namespace

// A registration whose window is not a live tool was left behind by a tool that ended without
// unloading; it is taken over as if no tool were registered.
void RegisterRbfWindow(HWND ownWindow) {
    if (HWND running = RunningRightButtonTool()) {
        SendMessageA(running, WM_USER, RBF_CMD_SHOW, 0);
        tk::End();
    }
    RbfWindow.armed = kNotArmed;
    RbfWindow.hwnd = RbfFieldFromHwnd(ownWindow);
    TouchSetRbfWindow();
}

void UnregisterRbfWindow() {
    RbfWindow.hwnd = RBF_NO_WINDOW;
    RbfWindow.armed = kNotArmed;
    TouchSetRbfWindow();
}

void ArmRightButton() {
    RbfWindow.armed = kArmed;
    TouchSetRbfWindow();
    rbfWaiting = kWaiting;
}

void DisarmRightButton() {
    RbfWindow.armed = kNotArmed;
    TouchSetRbfWindow();
    rbfWaiting = 0;
}

void WaitForRightClick() {
    const auto stillWaiting = [] { return RbfWindow.armed != kNotArmed && rbfWaiting == kWaiting; };
    do {
        tk::DoEvents();
        TouchGetRbfWindow();
        tk::DoEvents();
        if (stillWaiting()) tk::WaitForInput(kPollPauseMs);
    } while (stillWaiting());
}

std::string RbfCommandFailureText(WPARAM wParam, LPARAM lParam) {
    return "RBF_WndProc Fail! wParam=" + Hex(wParam) + "h, lParam=" + Hex(static_cast<ULONG_PTR>(lParam)) + "h";
}
