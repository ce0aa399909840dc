#include "common/PortDriverFile.h"

#include <windows.h>

#include <vector>

#include "toolkit/tk.h"

namespace {

// The whole file, or false when it cannot be read.
bool ReadWhole(const std::string& path, std::vector<char>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(file);
    return ok;
}

}  // namespace

bool CopyWhole(const std::string& from, const std::string& to) {
    if (!tk::FileCopy(from, to)) return false;
    std::vector<char> original, copy;
    return ReadWhole(from, original) && ReadWhole(to, copy) && original == copy;
}
