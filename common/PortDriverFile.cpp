#include "common/PortDriverFile.h"

#include <windows.h>

#include <cstring>
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

bool IsWholeImage(const std::string& path) {
    std::vector<char> bytes;
    if (!ReadWhole(path, bytes) || bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0) return false;
    const size_t ntAt = static_cast<size_t>(dos.e_lfanew);
    if (ntAt + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER) > bytes.size()) return false;
    DWORD signature = 0;
    IMAGE_FILE_HEADER file;
    std::memcpy(&signature, bytes.data() + ntAt, sizeof signature);
    std::memcpy(&file, bytes.data() + ntAt + sizeof signature, sizeof file);
    if (signature != IMAGE_NT_SIGNATURE) return false;
    size_t sectionAt = ntAt + sizeof signature + sizeof file + file.SizeOfOptionalHeader;
    for (WORD i = 0; i < file.NumberOfSections; ++i, sectionAt += sizeof(IMAGE_SECTION_HEADER)) {
        if (sectionAt + sizeof(IMAGE_SECTION_HEADER) > bytes.size()) return false;
        IMAGE_SECTION_HEADER section;
        std::memcpy(&section, bytes.data() + sectionAt, sizeof section);
        if (size_t(section.PointerToRawData) + section.SizeOfRawData > bytes.size()) return false;
    }
    return true;
}

bool CopyWhole(const std::string& from, const std::string& to) {
    if (!tk::FileCopy(from, to)) return false;
    std::vector<char> original, copy;
    return ReadWhole(from, original) && ReadWhole(to, copy) && original == copy;
}
