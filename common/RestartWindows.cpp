#include "common/RestartWindows.h"

#include "common/MachineCalls.h"
#include "toolkit/tk.h"

const RestartCalls kSystemRestartCalls = {&OpenProcessToken, &LookupPrivilegeValueA, &AdjustTokenPrivileges,
                                          &ExitWindowsEx};

namespace {

// The previous state the privilege change hands back: room for one privilege and then some.
constexpr DWORD kPreviousStateBytes = 28;

std::string Failure(const char* step, DWORD code) {
    return "Fail to restart system! (" + std::string(step) + std::to_string(code) + ")";
}

}  // namespace

std::string RequestRestart(const RestartCalls& calls) {
    HANDLE token = nullptr;
    if (calls.openProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token) == 0)
        return Failure("OpenProcessToken=", 0);

    // Both calls are judged by the last error alone, which a successful call need not clear: a
    // code left over from an earlier call would otherwise fail a restart that went well.
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(ERROR_SUCCESS);
    calls.lookupPrivilegeValue("", SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    DWORD code = GetLastError();
    if (code != ERROR_SUCCESS) {
        CloseHandle(token);
        return Failure("LookupPrivilegeValue = ", code);
    }

    alignas(TOKEN_PRIVILEGES) BYTE previous[kPreviousStateBytes] = {};
    DWORD returned = 0;
    SetLastError(ERROR_SUCCESS);
    calls.adjustTokenPrivileges(token, FALSE, &privileges, kPreviousStateBytes,
                                reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &returned);
    code = GetLastError();
    CloseHandle(token);
    if (code != ERROR_SUCCESS) return Failure("AdjustTokenPrivileges = ", code);

    if (calls.exitWindowsEx(EWX_REBOOT, 0) == 0) return Failure("ExitWindowsEx=", 0);
    return "";
}

bool RestartWindows(const std::string& title) {
    const std::string failure = RequestRestart();
    if (failure.empty()) {
        InstallLog("asked Windows to restart.");
        return true;
    }
    LoggedMsgBox(failure, MB_OK, title);
    return false;
}
