#include "common/TouchChannel.h"

#include <cstring>
#include <string>

#include "common/SuiteNames.h"
#include "common/basOEM.h"
#include "toolkit/SystemCalls.h"
#include "toolkit/automation.h"
#include "toolkit/tk.h"

HANDLE TouchDriverHandle = INVALID_HANDLE_VALUE;
BOOL lastRequestOk = FALSE;
DWORD TouchBytesReturned = 0;
OVERLAPPED TouchOverlapped = {};

TouchSettingsBlock TouchSettings = {};
TouchCalibrationSignal TouchCalSignal = 0;
TouchRawSample TouchSample = {};
RbfWindowRecord RbfWindow = {};

namespace {

// The tool's one window, as the forms runtime names it.
constexpr char kToolFormName[] = "frmMain";
constexpr int kNameBufferSize = 64;

bool HasClass(HWND hwnd, const char* className) {
    char name[kNameBufferSize] = {};
    return GetClassNameA(hwnd, name, sizeof name) > 0 && std::strcmp(name, className) == 0;
}

bool HasFormName(HWND hwnd, const char* formName) {
    const ATOM atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, TK_PROP_NAME)));
    char name[kNameBufferSize] = {};
    return atom != 0 && GlobalGetAtomNameA(atom, name, sizeof name) > 0 && std::strcmp(name, formName) == 0;
}

// The process list gives every process's file name without the rights that opening the
// process would need.
bool ProcessRunsFile(DWORD processId, const char* fileName) {
    const std::string name = tk::ProcessFileName(processId);
    return !name.empty() && lstrcmpiA(name.c_str(), fileName) == 0;
}


// The buffer is both input and output of the request.
void SendRequest(DWORD code, void* buffer, DWORD size) {
    // A handle that never opened would otherwise reach the driver stack as the
    // current-process pseudo handle.
    if (TouchDriverHandle == INVALID_HANDLE_VALUE) {
        lastRequestOk = FALSE;
        return;
    }
    // The system stores the request's status in the record; every request starts from zeros.
    TouchOverlapped = OVERLAPPED{};
    lastRequestOk = DeviceIoControl(TouchDriverHandle, code, buffer, size, buffer, size, &TouchBytesReturned,
                                    &TouchOverlapped);
}

template <typename Record>
void SendRecord(DWORD code, Record& record) {
    SendRequest(code, &record, sizeof record);
}

// Only to a live tool: a handle left registered by a tool that died may by now belong to another
// program's window, for which WM_USER means something else.
void CommandRightButtonTool(WPARAM command) {
    if (HWND tool = RunningRightButtonTool()) SendMessageA(tool, WM_USER, command, 0);
}

}  // namespace

Outcome OpenTouchDriver() {
    CloseTouchDriver();
    SECURITY_ATTRIBUTES security = {};
    TouchDriverHandle = CreateFileA(kDevicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return Outcome::Of(TouchDriverHandle != INVALID_HANDLE_VALUE, GetLastError());
}

void CloseTouchDriver() {
    if (TouchDriverHandle == INVALID_HANDLE_VALUE) return;
    CloseHandle(TouchDriverHandle);
    TouchDriverHandle = INVALID_HANDLE_VALUE;
}

void TouchGetSettings() { SendRecord(IOCTL_TOUCH_GET_SETTINGS, TouchSettings); }
void TouchGetRawSample() { SendRecord(IOCTL_TOUCH_GET_RAW_SAMPLE, TouchSample); }

void TouchSignalCalibration(int32_t signal) {
    TouchCalSignal = signal;
    SendRecord(IOCTL_TOUCH_CALIBRATION_SIGNAL, TouchCalSignal);
}

void TouchSetButtonMode() { SendRecord(IOCTL_TOUCH_SET_BUTTON_MODE, TouchSettings); }
void TouchSetFeedbackSound() { SendRecord(IOCTL_TOUCH_SET_FEEDBACK_SOUND, TouchSettings); }
void TouchSetMouseSpeed() { SendRecord(IOCTL_TOUCH_SET_MOUSE_SPEED, TouchSettings); }
void TouchSetCalibration() { SendRecord(IOCTL_TOUCH_SET_CALIBRATION, TouchSettings); }
void TouchSetScreenSize() { SendRecord(IOCTL_TOUCH_SET_SCREEN_SIZE, TouchSettings); }
void TouchGetRbfWindow() { SendRecord(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindow); }
void TouchSetRbfWindow() { SendRecord(IOCTL_TOUCH_SET_RBF_WINDOW, RbfWindow); }

HWND RegisteredRightButtonTool() {
    TouchGetRbfWindow();
    // After a failed request the record holds stale or never-read bytes: no tool to address.
    if (!lastRequestOk || RbfWindow.hwnd == RBF_NO_WINDOW) return nullptr;
    return HwndFromRbfField(RbfWindow.hwnd);
}

bool IsRightButtonToolWindow(HWND hwnd) {
    if (hwnd == nullptr || !IsWindow(hwnd)) return false;
    if (!HasClass(hwnd, TK_FORM_CLASS) || !HasFormName(hwnd, kToolFormName)) return false;
    DWORD processId = 0;
    if (GetWindowThreadProcessId(hwnd, &processId) == 0) return false;
    return ProcessRunsFile(processId, kRightButtonToolFile);
}

HWND RunningRightButtonTool() {
    HWND tool = RegisteredRightButtonTool();
    return IsRightButtonToolWindow(tool) ? tool : nullptr;
}

void ShowRightButtonTool() { CommandRightButtonTool(RBF_CMD_SHOW); }
void HideRightButtonTool() { CommandRightButtonTool(RBF_CMD_HIDE); }
void CloseRightButtonTool() { CommandRightButtonTool(RBF_CMD_CLOSE); }

Outcome StartRightButtonTool() {
    // Quoted, so that an install folder with blanks cannot start a file named after the
    // folder path's first words instead of the tool.
    HANDLE tool = tk::Shell("\"" + InstallPath + "\\" + kRightButtonToolFile + "\"", SW_HIDE);
    if (tool == nullptr) return Outcome::Failed(GetLastError());
    // A tool still starting has not registered its window yet: the caller's next look at the
    // driver, or a second start, would not find it.
    WaitForInputIdle(tool, kToolStartWaitMs);
    CloseHandle(tool);
    return Outcome();
}
