// Calls that Windows NT 4.0 lacks (GetAncestor, MsgWaitForMultipleObjectsEx, the Toolhelp process
// list). The programs look them up when first needed, so that they still load there, and fall back
// to older calls that give the same answer. The fallbacks are public so that the tests run them on
// any system.
#ifndef TOOLKIT_SYSTEMCALLS_H
#define TOOLKIT_SYSTEMCALLS_H

#include <windows.h>

#include <string>

namespace tk {

// The top-level window that holds hwnd (itself when it is one); owners are not followed.
HWND RootWindow(HWND hwnd);

// Waits until the thread's queue holds input, also input already seen but not removed, or the
// time runs out. True when input is there.
bool WaitForQueueInput(DWORD milliseconds);

// The file name, without its folder, of the program a process runs; empty when no process has
// that ID.
std::string ProcessFileName(DWORD processId);

namespace fallback {
HWND RootWindow(HWND hwnd);
bool WaitForQueueInput(DWORD milliseconds);
std::string ProcessFileName(DWORD processId);
}  // namespace fallback

}  // namespace tk

#endif
