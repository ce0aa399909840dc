#include "toolkit/SystemCalls.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

namespace tk {

namespace {

// The function a system module exports under that name, or null where this Windows lacks it.
template <typename Function>
Function LookUp(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) return nullptr;
    // Through a plain function pointer: FARPROC does not convert to another signature directly.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

using GetAncestorCall = HWND(WINAPI*)(HWND, UINT);
using MsgWaitCall = DWORD(WINAPI*)(DWORD, const HANDLE*, DWORD, DWORD, DWORD);
using SnapshotCall = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkCall = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using QuerySystemCall = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

std::string WithoutFolder(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// NtQuerySystemInformation answers this when the buffer is too small for the list.
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr ULONG kFirstListBytes = 64 * 1024;
constexpr int kListTries = 8;

}  // namespace

HWND RootWindow(HWND hwnd) {
    static const auto getAncestor = LookUp<GetAncestorCall>("user32.dll", "GetAncestor");
    return getAncestor != nullptr ? getAncestor(hwnd, GA_ROOT) : fallback::RootWindow(hwnd);
}

bool WaitForQueueInput(DWORD milliseconds) {
    static const auto msgWait = LookUp<MsgWaitCall>("user32.dll", "MsgWaitForMultipleObjectsEx");
    if (msgWait == nullptr) return fallback::WaitForQueueInput(milliseconds);
    return msgWait(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT;
}

std::string ProcessFileName(DWORD processId) {
    static const auto snapshotOf = LookUp<SnapshotCall>("kernel32.dll", "CreateToolhelp32Snapshot");
    static const auto first = LookUp<ProcessWalkCall>("kernel32.dll", "Process32First");
    static const auto next = LookUp<ProcessWalkCall>("kernel32.dll", "Process32Next");
    if (snapshotOf == nullptr || first == nullptr || next == nullptr) return fallback::ProcessFileName(processId);

    HANDLE snapshot = snapshotOf(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return {};
    std::string name;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = first(snapshot, &entry); more; more = next(snapshot, &entry)) {
        if (entry.th32ProcessID != processId) continue;
        // The entry may carry a path on some systems.
        name = WithoutFolder(entry.szExeFile);
        break;
    }
    CloseHandle(snapshot);
    return name;
}

namespace fallback {

HWND RootWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return nullptr;
    // A child's parent is its container; a top-level window's "parent" is its owner.
    while ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        HWND parent = GetParent(hwnd);
        if (parent == nullptr) break;
        hwnd = parent;
    }
    return hwnd;
}

bool WaitForQueueInput(DWORD milliseconds) {
    // MsgWaitForMultipleObjects wakes only for input that arrived since the queue was last looked
    // at, so look first.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) return true;
    return MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT) != WAIT_TIMEOUT;
}

// The process list of the native API, which every Windows NT has.
std::string ProcessFileName(DWORD processId) {
    static const auto query = LookUp<QuerySystemCall>("ntdll.dll", "NtQuerySystemInformation");
    if (query == nullptr) return {};
    std::vector<BYTE> list(kFirstListBytes);
    NTSTATUS status = kInfoLengthMismatch;
    for (int tries = 0; tries < kListTries && status == kInfoLengthMismatch; ++tries) {
        ULONG needed = 0;
        status = query(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), &needed);
        if (status == kInfoLengthMismatch) list.resize(std::max<size_t>(list.size() * 2, needed));
    }
    if (status < 0) return {};

    for (size_t at = 0;;) {
        const auto* process = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + at);
        if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process->UniqueProcessId)) == processId) {
            const UNICODE_STRING& image = process->ImageName;
            const int chars = image.Length / sizeof(WCHAR);
            const int bytes = WideCharToMultiByte(CP_ACP, 0, image.Buffer, chars, nullptr, 0, nullptr, nullptr);
            std::string name(bytes, '\0');
            WideCharToMultiByte(CP_ACP, 0, image.Buffer, chars, name.data(), bytes, nullptr, nullptr);
            return WithoutFolder(name);
        }
        if (process->NextEntryOffset == 0) return {};
        at += process->NextEntryOffset;
    }
}

}  // namespace fallback

}  // namespace tk
