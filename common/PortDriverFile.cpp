#include "common/PortDriverFile.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/MachineCalls.h"
#include "toolkit/tk.h"

bool IsThere(const std::string& path) { return Machine->getFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsWholeImage(const std::string& path) {
    std::vector<char> bytes;
    if (!Machine->readFile(path, bytes) || bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
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

namespace {

// Copies from over to and reads the copy back: true only when to then holds exactly the bytes
// of from.
bool CopyWhole(const std::string& from, const std::string& to) {
    if (!Machine->copyFile(from.c_str(), to.c_str(), FALSE)) return false;
    std::vector<char> original, copy;
    if (!Machine->readFile(from, original) || !Machine->readFile(to, copy)) return false;
    if (original == copy) return true;
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
}

}  // namespace

WholeMove MoveWhole(const std::string& from, const std::string& to) {
    if (!CopyWhole(from, to)) return {false, to + ": " + tk::ErrorText(GetLastError())};
    // A read-only original would refuse the delete.
    if (!Machine->setFileAttributes(from.c_str(), FILE_ATTRIBUTE_ARCHIVE))
        InstallLog(from + " kept its attributes: " + tk::ErrorText(GetLastError()));
    if (!Machine->deleteFile(from.c_str())) return {true, from + ": " + tk::ErrorText(GetLastError())};
    return {true, ""};
}
