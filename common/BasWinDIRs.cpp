#include "common/BasWinDIRs.h"

#include <windows.h>

std::string WindowsDir;
std::string SystemDir;
std::string DriversDir;

namespace {

constexpr UINT kFolderBufferSize = 260;

using FolderCall = UINT(WINAPI*)(LPSTR, UINT);

// The folder, or "" and why not.
Outcome FolderFrom(FolderCall call, std::string& folder) {
    char buffer[kFolderBufferSize] = {};
    const UINT length = call(buffer, kFolderBufferSize);
    if (length == 0) return Outcome::Failed(GetLastError());
    // A longer folder than the buffer holds leaves the buffer unfilled.
    if (length >= kFolderBufferSize) return Outcome::Failed(ERROR_FILENAME_EXCED_RANGE);
    folder = AsFolder(buffer);
    return Outcome();
}

}  // namespace

std::string AsFolder(const std::string& reported) {
    const std::string trimmed = reported.substr(0, reported.find_last_not_of(' ') + 1);
    if (!trimmed.empty() && trimmed.back() == '\\') return reported;
    return trimmed + "\\";
}

Outcome GetWindowsPaths() {
    WindowsDir.clear();
    SystemDir.clear();
    Outcome known = FolderFrom(&GetWindowsDirectoryA, WindowsDir);
    known &= FolderFrom(&GetSystemDirectoryA, SystemDir);
    DriversDir = SystemDir + "Drivers\\";
    return known;
}
