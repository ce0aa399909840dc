#include "common/RestartWindows.h"

#include "common/MachineCalls.h"
#include "common/WindowHelpers.h"
#include "toolkit/tk.h"

namespace {

// The previous state the privilege change hands back: room for one privilege and then some.
constexpr DWORD kPreviousStateBytes = 28;

// Where Windows keeps what it renames and deletes at the next start: pairs of a source and a
// target, the source as "\??\" and its path, an empty target for a deletion.
constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingValue[] = "PendingFileRenameOperations";
constexpr char kNtPathPrefix[] = "\\??\\";

bool IsDeletionOfAny(const std::string& source, const std::string& target, const std::vector<std::string>& paths) {
    if (!target.empty()) return false;
    for (const std::string& path : paths)
        if (lstrcmpiA(source.c_str(), (kNtPathPrefix + path).c_str()) == 0) return true;
    return false;
}

Failure RestartFailure(const char* step, DWORD code, DWORD cause) {
    return {"Fail to restart system! (" + std::string(step) + std::to_string(code) + ")", cause};
}

}  // namespace

Failure RequestRestart() {
    HANDLE token = nullptr;
    if (Machine->openProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token) == 0)
        return RestartFailure("OpenProcessToken=", 0, GetLastError());

    // Both calls are judged by the last error alone, which a successful call need not clear: a
    // code left over from an earlier call would otherwise fail a restart that went well.
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(ERROR_SUCCESS);
    Machine->lookupPrivilegeValue("", SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    DWORD code = GetLastError();
    if (code != ERROR_SUCCESS) {
        CloseHandle(token);
        return RestartFailure("LookupPrivilegeValue = ", code, code);
    }

    alignas(TOKEN_PRIVILEGES) BYTE previous[kPreviousStateBytes] = {};
    DWORD returned = 0;
    SetLastError(ERROR_SUCCESS);
    Machine->adjustTokenPrivileges(token, FALSE, &privileges, kPreviousStateBytes,
                                reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &returned);
    code = GetLastError();
    CloseHandle(token);
    if (code != ERROR_SUCCESS) return RestartFailure("AdjustTokenPrivileges = ", code, code);

    if (Machine->exitWindowsEx(EWX_REBOOT, 0) == 0) return RestartFailure("ExitWindowsEx=", 0, GetLastError());
    return {};
}

bool RestartWindows(const std::string& title) {
    const Failure failure = RequestRestart();
    if (!failure.Happened()) {
        InstallLog("asked Windows to restart.");
        return true;
    }
    ShowErrorBox(failure.text, title, FailureBox::Plain, failure.cause);
    return false;
}

Outcome CancelDeletionsAtRestart(const std::vector<std::string>& paths) {
    HKEY key = nullptr;
    LONG status = Machine->regOpenKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, &key);
    if (status == ERROR_FILE_NOT_FOUND) return Outcome();
    if (status != ERROR_SUCCESS) return Outcome::From(status);
    DWORD type = 0, size = 0;
    status = Machine->regQueryValueEx(key, kPendingValue, nullptr, &type, nullptr, &size);
    std::string list(size, '\0');
    if (status == ERROR_SUCCESS && size > 0)
        status = Machine->regQueryValueEx(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(&list[0]), &size);
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ) {
        Machine->regCloseKey(key);
        return status == ERROR_FILE_NOT_FOUND ? Outcome() : Outcome::From(status);
    }
    list.resize(size);
    std::string kept;
    bool cancelled = false;
    for (size_t at = 0; at < list.size() && list[at] != '\0';) {
        const std::string source = list.c_str() + at;
        at += source.size() + 1;
        const std::string target = at < list.size() ? list.c_str() + at : "";
        at += target.size() + 1;
        if (IsDeletionOfAny(source, target, paths)) {
            InstallLog("took back the deletion of " + source.substr(sizeof kNtPathPrefix - 1) + " at the restart.");
            cancelled = true;
            continue;
        }
        kept += source + '\0' + target + '\0';
    }
    if (cancelled) {
        kept += '\0';
        status = Machine->regSetValueEx(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                                        DWORD(kept.size()));
        // On the disk before setup sets the port driver's file aside: a power cut must not bring
        // the touch driver's deletion back.
        if (status == ERROR_SUCCESS) status = Machine->regFlushKey(key);
    }
    Machine->regCloseKey(key);
    return Outcome::From(status);
}
