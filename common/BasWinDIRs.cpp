#include "common/BasWinDIRs.h"

#include <windows.h>

std::string WindowsDir;
std::string SystemDir;
std::string DriversDir;

namespace {

constexpr UINT kFolderBufferSize = 260;

using FolderCall = UINT(WINAPI*)(LPSTR, UINT);

std::string FolderFrom(FolderCall call) {
    char buffer[kFolderBufferSize] = {};
    const UINT length = call(buffer, kFolderBufferSize);
    // A longer folder than the buffer holds leaves the buffer unfilled.
    if (length == 0 || length >= kFolderBufferSize) return "";
    return AsFolder(buffer);
}

}  // namespace

std::string AsFolder(const std::string& reported) {
    const std::string trimmed = reported.substr(0, reported.find_last_not_of(' ') + 1);
    if (!trimmed.empty() && trimmed.back() == '\\') return reported;
    return trimmed + "\\";
}

std::string GetWindowsDir() { return FolderFrom(&GetWindowsDirectoryA); }

std::string GetSystemDir() { return FolderFrom(&GetSystemDirectoryA); }

bool GetWindowsPaths() {
    WindowsDir = GetWindowsDir();
    SystemDir = GetSystemDir();
    DriversDir = SystemDir + "Drivers\\";
    return !WindowsDir.empty() && !SystemDir.empty();
}
