// The right-button tool's side of the driver's RBF record: registering the tool's window,
// arming the right-button function for the next touch and waiting until the driver has
// used it or the user gives up. All procedures work on the channel's one RbfWindow record
// and the channel's device handle.
#ifndef RIGHTBUTTON_BASRBF_H
#define RIGHTBUTTON_BASRBF_H

#include <windows.h>

#include <cstdint>
#include <string>

// 1 while the tool waits for the armed right click; anything that sets it to 0 ends the wait.
extern int16_t rbfWaiting;
// The form's own window procedure, which RBF_WndProc stands in front of.
extern WNDPROC oldWndProc;

// Registers ownWindow as the running tool. When a live tool is already registered, that
// one is told to show itself and this program ends here.
void RegisterRbfWindow(HWND ownWindow);
void UnregisterRbfWindow();
void ArmRightButton();
void DisarmRightButton();
// Polls the driver, letting window events run between polls and yielding the processor while
// nothing happens, until the driver has turned a touch into the right click (armed back to 0)
// or rbfWaiting was cleared.
void WaitForRightClick();

// The box text for a WM_USER command the tool does not know.
std::string RbfCommandFailureText(WPARAM wParam, LPARAM lParam);

#endif
