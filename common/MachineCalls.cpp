#include "common/MachineCalls.h"

#include "common/SuiteNames.h"
#include "toolkit/tk.h"

namespace {

Outcome ReadWholeFile(const std::string& path, std::vector<char>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Outcome::Failed(GetLastError());
    bytes.clear();
    char chunk[4096];
    DWORD got = 0;
    Outcome read;
    while ((read = Outcome::Of(ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE, GetLastError())) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(file);
    return read;
}

Outcome FlushWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Outcome::Failed(GetLastError());
    const Outcome flushed = Outcome::Of(FlushFileBuffers(file) != FALSE, GetLastError());
    CloseHandle(file);
    return flushed;
}

// A number with leading zeros to the width: no printf, whose floating-point formatting would
// double the size of a program.
std::string Digits(unsigned value, size_t width) {
    std::string text = std::to_string(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

// Appended by every program of the install side, the installer's scripts too: opened for each
// line and shared, so that lines of programs that run one inside the other stay whole.
void AppendToLogFile(const std::string& text) {
    // Not GetWindowsPaths: every program that reads the registry links this table, and most of them
    // have no other use for the Windows folders' globals.
    char folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        const std::string stamp = Digits(now.wYear, 4) + "-" + Digits(now.wMonth, 2) + "-" + Digits(now.wDay, 2) + " " +
                                  Digits(now.wHour, 2) + ":" + Digits(now.wMinute, 2) + ":" + Digits(now.wSecond, 2);
        const std::string line = stamp + " " + tk::ProgramName() + ": " + text + "\r\n";
        const std::string path = std::string(folder) + (folder[length - 1] == '\\' ? "" : "\\") + kInstallLogFile;
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    // A debug viewer shows the same line as it happens, also where the log cannot be written.
    tk::Trace(text);
}

}  // namespace

const MachineCalls kWindowsCalls = {
    .regCreateKey = RegCreateKeyA,
    .regOpenKey = RegOpenKeyA,
    .regCloseKey = RegCloseKey,
    .regQueryValueEx = RegQueryValueExA,
    .regSetValueEx = RegSetValueExA,
    .getFileAttributes = GetFileAttributesA,
    .setFileAttributes = SetFileAttributesA,
    .copyFile = CopyFileA,
    .deleteFile = DeleteFileA,
    .moveFileEx = MoveFileExA,
    .createFile = CreateFileA,
    .closeHandle = CloseHandle,
    .getPrivateProfileString = GetPrivateProfileStringA,
    .regFlushKey = RegFlushKey,
    .readFile = ReadWholeFile,
    .flushFile = FlushWholeFile,
    .appendLog = AppendToLogFile,
    .openProcessToken = OpenProcessToken,
    .lookupPrivilegeValue = LookupPrivilegeValueA,
    .adjustTokenPrivileges = AdjustTokenPrivileges,
    .exitWindowsEx = ExitWindowsEx,
    .waitForSingleObject = WaitForSingleObject,
    .doEvents = tk::DoEvents,
    .timer = tk::Timer,
    .waitForInput = tk::WaitForInput,
};

const MachineCalls* Machine = &kWindowsCalls;

void InstallLog(const std::string& text) { Machine->appendLog(text); }
