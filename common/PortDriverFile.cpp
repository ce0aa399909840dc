#include "common/PortDriverFile.h"

#include <cstring>
#include <vector>

#include "common/MachineCalls.h"
#include "toolkit/tk.h"

namespace {

// What the next start reads of the drivers: their service keys.
constexpr char kServicesKey[] = "System\\CurrentControlSet\\Services";

}  // namespace

bool IsThere(const std::string& path) { return Machine->getFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

// Whether bytes hold a whole program image: its headers and every section's data.
bool IsWholeImageOf(const std::vector<char>& bytes) {
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
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

}  // namespace

bool IsWholeImage(const std::string& path) {
    std::vector<char> bytes;
    return Machine->readFile(path, bytes) && IsWholeImageOf(bytes);
}

std::string WholeImageProblem(const std::string& path) {
    std::vector<char> bytes;
    if (const Outcome read = Machine->readFile(path, bytes); !read) return tk::ErrorText(read.Error());
    return IsWholeImageOf(bytes) ? "" : "it is cut short.";
}

namespace {

// Copies from over to, reads the copy back and writes it and the services' keys to the disk:
// ERROR_SUCCESS only when to then holds exactly the bytes of from, and a power cut can no longer
// take them. Without the flushes, Windows may write a delete that follows to the disk first.
DWORD CopyWholeToDisk(const std::string& from, const std::string& to) {
    if (!Machine->copyFile(from.c_str(), to.c_str(), FALSE)) return GetLastError();
    std::vector<char> original, copy;
    Outcome done = Machine->readFile(from, original);
    if (done) done = Machine->readFile(to, copy);
    if (done && original != copy) done = Outcome::Failed(ERROR_FILE_CORRUPT);
    if (done) done = Machine->flushFile(to);
    if (!done) return done.Error();
    HKEY services = nullptr;
    LONG status = Machine->regOpenKey(HKEY_LOCAL_MACHINE, kServicesKey, &services);
    if (status == ERROR_SUCCESS) {
        status = Machine->regFlushKey(services);
        Machine->regCloseKey(services);
    }
    return DWORD(status);
}

// Deletes a file whose content is safe elsewhere; "" or what went wrong.
std::string DeleteCopied(const std::string& path) {
    // A read-only file would refuse the delete.
    if (!Machine->setFileAttributes(path.c_str(), FILE_ATTRIBUTE_ARCHIVE))
        InstallLog(path + " kept its attributes: " + tk::ErrorText(GetLastError()));
    if (!Machine->deleteFile(path.c_str())) return path + ": " + tk::ErrorText(GetLastError());
    return "";
}

}  // namespace

WholeMove MoveWhole(const std::string& from, const std::string& to) {
    const std::string notWhole = WholeImageProblem(from);
    if (!notWhole.empty()) return {false, from + ": " + notWhole};
    const DWORD copied = CopyWholeToDisk(from, to);
    if (copied != ERROR_SUCCESS) return {false, to + ": " + tk::ErrorText(copied)};
    return {true, DeleteCopied(from)};
}

DWORD RestorePortDriverFile(const std::string& driversDir) {
    const std::string inUse = PortDriverPath(driversDir, kPortDriverInUse);
    const std::string aside = PortDriverPath(driversDir, kPortDriverAside);
    if (IsWholeImage(inUse)) {
        InstallLog(inUse + " is whole: it stays.");
    } else {
        const bool there = IsThere(aside);
        const std::string notWhole = there ? WholeImageProblem(aside) : tk::ErrorText(ERROR_FILE_NOT_FOUND);
        const DWORD error = !there ? ERROR_FILE_NOT_FOUND : !notWhole.empty() ? ERROR_FILE_CORRUPT : CopyWholeToDisk(aside, inUse);
        if (error != ERROR_SUCCESS) {
            InstallLog("the PS/2 port driver's file is not back: " + aside + ": " +
                       (notWhole.empty() ? tk::ErrorText(error) : notWhole));
            return error;
        }
        InstallLog("put the PS/2 port driver's file back.");
    }
    if (!IsThere(aside)) return ERROR_SUCCESS;
    // The file is in place whole: a copy left beside it is untidy, not a risk.
    const std::string problem = DeleteCopied(aside);
    if (!problem.empty()) InstallLog("the copy aside stays: " + problem);
    return ERROR_SUCCESS;
}
