// The channel to the touch driver: the device handle, the buffers every request sends
// and receives, one wrapper per request and the commands to the right-button tool.
//
// The state is module-level and exists once per program. Callers fill a buffer before a
// request and read it afterwards; the same buffer goes in and comes back out. A request's
// result lands in lastRequestOk and nowhere else: failures are not reported.
#ifndef COMMON_TOUCHCHANNEL_H
#define COMMON_TOUCHCHANNEL_H

#include <windows.h>

#include <cstdint>

#include "common/Outcome.h"
#include "driver/qrwntps2.h"

// Device handle; INVALID_HANDLE_VALUE while the device is not open.
extern HANDLE TouchDriverHandle;
// Result of the most recent request.
extern BOOL lastRequestOk;
// Byte count of the most recent request.
extern DWORD TouchBytesReturned;
// Passed as lpOverlapped, zeroed before every request. The handle is synchronous, so each
// request still completes before DeviceIoControl returns.
extern OVERLAPPED TouchOverlapped;

extern TouchSettingsBlock TouchSettings;      // GET_SETTINGS and the five "set" requests
extern TouchCalibrationSignal TouchCalSignal; // CALIBRATION_SIGNAL
extern TouchRawSample TouchSample;            // GET_RAW_SAMPLE
extern RbfWindowRecord RbfWindow;             // GET_RBF_WINDOW and SET_RBF_WINDOW

// Opens \\.\QRWNTPS2 for reading (enough for every request). Shows nothing on failure:
// each program reacts in its own way.
Outcome OpenTouchDriver();
void CloseTouchDriver();

void TouchGetSettings();
void TouchGetRawSample();
void TouchSignalCalibration(int32_t signal); // stores signal in TouchCalSignal, then sends it
void TouchSetButtonMode();
void TouchSetFeedbackSound();
void TouchSetMouseSpeed();
void TouchSetCalibration();
void TouchSetScreenSize();
void TouchGetRbfWindow();
void TouchSetRbfWindow();

// Window handles travel in the 32-bit hwnd field of RbfWindowRecord. Handles of windows
// are 32-bit values on 64-bit Windows too, sign-extended, so nothing is lost.
inline int32_t RbfFieldFromHwnd(HWND hwnd) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd)); }
inline HWND HwndFromRbfField(int32_t field) { return reinterpret_cast<HWND>(static_cast<intptr_t>(field)); }

// Asks the driver which right-button tool is registered: its window, or nullptr when none
// is (or the driver could not say). The one place that decides whether there is a tool
// to command.
HWND RegisteredRightButtonTool();

// Whether a window is the form of a running right-button tool: a TkForm named frmMain in a
// process of QRWNTPrb.exe. A handle alone proves nothing, since a tool that ended without
// unloading leaves its handle registered and Windows may give it to another window.
bool IsRightButtonToolWindow(HWND hwnd);
// The registered tool's window when it is a live tool (IsRightButtonToolWindow), else nullptr.
// Whoever decides whether a tool runs, to start one or not, asks this.
HWND RunningRightButtonTool();

// Send the running tool (RunningRightButtonTool) WM_USER with RBF_CMD_SHOW / HIDE / CLOSE;
// nothing without one.
void ShowRightButtonTool();
void HideRightButtonTool();
void CloseRightButtonTool();
// Starts QRWNTPrb.exe from InstallPath, hidden, and gives it up to kToolStartWaitMs to wait for
// input, as a start by WinExec does: whoever goes on then finds its window.
constexpr DWORD kToolStartWaitMs = 30000;
Outcome StartRightButtonTool();

#endif
