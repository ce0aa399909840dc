// Helpers shared by the parts of the automation library.
#ifndef TESTS_UIA_UIA_INTERNAL_H
#define TESTS_UIA_UIA_INTERNAL_H

#include <windows.h>

#include <string>

#include "toolkit/automation.h"

namespace uia {
namespace detail {

// How long a message sent to another program may take before we call it hung.
constexpr UINT kSendTimeout = 5000;

// "text" in double quotes, so that leading blanks show in failure messages.
std::string Quote(const std::string& text);
// The text the system keeps for a window, read without sending it a message: never
// blocks on a busy program and never fails on a window that is going away. For a
// top-level window it is the caption.
std::string StoredText(HWND w);
// A window's handle, caption and class, for failure messages.
std::string Describe(HWND w);
[[noreturn]] void Fail(const std::string& what);

// Labels, shapes and images have no window. FindControl hands out a handle of its own for each,
// odd-valued so that it is never a window's (Wine's window handles are even), and the queries
// answer for it from its form's table.
bool IsWindowless(HWND w);
// The control's record as its form holds it now; fails when the form has unloaded.
TkWindowlessRecord Record(HWND w);
// Fails with the text of GetLastError().
[[noreturn]] void FailWin32(const std::string& what);

}  // namespace detail
}  // namespace uia

#endif
