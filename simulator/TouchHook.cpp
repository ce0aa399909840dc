#include "simulator/TouchHook.h"

#include "common/SuiteNames.h"

TouchHookState TouchHook;

namespace {

// A touched panel keeps reporting its point, as the controller does, so that whoever waits for
// steady reports gets them while the button is held still.
constexpr UINT kRepeatMs = 20;

HHOOK gHook = nullptr;
HANDLE gDriver = INVALID_HANDLE_VALUE;
bool gTouching = false;
DWORD gUpFlag = MOUSEEVENTF_LEFTUP;
UINT_PTR gRepeat = 0;
SimReportInput gLastReport = {};

bool Request(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize) {
    DWORD got = 0;
    return DeviceIoControl(gDriver, code, in, inSize, out, outSize, &got, nullptr) != FALSE;
}

// The pointer to a screen point, with a button change when buttonFlag is not 0.
void Inject(POINT at, DWORD buttonFlag) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // 0 to 65536 over the screen; rounded up, the pixel comes out exactly when scaled back.
    input.mi.dx = LONG((LONGLONG(at.x) * 65536 + width - 1) / width);
    input.mi.dy = LONG((LONGLONG(at.y) * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlag;
    input.mi.dwExtraInfo = kSimulatorInput;
    SendInput(1, &input, sizeof input);
}

// One report of the panel; the pointer goes where the driver's edges put it. A press that the
// driver turned into a right click presses the right button instead.
void Touch(POINT at, bool touched, bool pressed) {
    const PanelMapping mapping(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const RawPoint raw = mapping.ToRaw(at);
    SimReportInput report = {raw.x, raw.y, uint8_t(touched ? 1 : 0), {}};
    SimReportOutput answer = {};
    Request(IOCTL_SIM_REPORT, &report, sizeof report, &answer, sizeof answer);
    gLastReport = report;
    TouchSettingsBlock block = {};
    Request(IOCTL_TOUCH_GET_SETTINGS, &block, sizeof block, &block, sizeof block);
    const POINT target = mapping.ToScreen({block.calLeft, block.calTop, block.calRight, block.calBottom}, raw);
    DWORD button = 0;
    if (pressed) {
        button = answer.becameRightClick ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        gUpFlag = answer.becameRightClick ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    } else if (!touched) {
        button = gUpFlag;
    }
    // Injecting waits for the hooks, and Wine hands this thread the next real event meanwhile:
    // whatever this touch leaves behind must be in place before, or a lift that comes in
    // between would be overwritten by the older touch.
    if (TouchHook.touched) TouchHook.touched(raw, touched);
    Inject(target, button);
}

void CALLBACK RepeatReport(HWND, UINT, UINT_PTR, DWORD) {
    SimReportOutput answer = {};
    if (gTouching) Request(IOCTL_SIM_REPORT, &gLastReport, sizeof gLastReport, &answer, sizeof answer);
}

bool OverOwnWindow(POINT at) {
    HWND under = WindowFromPoint(at);
    return under != nullptr && TouchHook.ownWindow != nullptr &&
           (under == TouchHook.ownWindow || IsChild(TouchHook.ownWindow, under));
}

LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM lParam) {
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    if (code != HC_ACTION || mouse->dwExtraInfo == kSimulatorInput || TouchHook.plainMouse)
        return CallNextHookEx(gHook, code, message, lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
        if (OverOwnWindow(mouse->pt)) break;
        gTouching = true;
        if (gRepeat == 0) gRepeat = SetTimer(nullptr, 0, kRepeatMs, RepeatReport);
        Touch(mouse->pt, true, true);
        return 1;
    case WM_MOUSEMOVE:
        if (!gTouching) break;
        Touch(mouse->pt, true, false);
        return 1;
    case WM_LBUTTONUP:
        if (!gTouching) break;
        gTouching = false;
        if (gRepeat != 0) KillTimer(nullptr, gRepeat);
        gRepeat = 0;
        Touch(mouse->pt, false, false);
        return 1;
    default:
        break;
    }
    return CallNextHookEx(gHook, code, message, lParam);
}

}  // namespace

bool StartTouchHook() {
    gDriver = CreateFileA(kDevicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (gDriver == INVALID_HANDLE_VALUE) return false;
    gHook = SetWindowsHookExA(WH_MOUSE_LL, MouseProc, GetModuleHandleA(nullptr), 0);
    return gHook != nullptr;
}

void StopTouchHook() {
    if (gHook != nullptr) UnhookWindowsHookEx(gHook);
    if (gDriver != INVALID_HANDLE_VALUE) CloseHandle(gDriver);
    gHook = nullptr;
    gDriver = INVALID_HANDLE_VALUE;
}
