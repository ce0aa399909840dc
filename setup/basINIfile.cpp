#include "setup/basINIfile.h"

#include <windows.h>

#include "common/MachineCalls.h"

namespace {
constexpr DWORD kEntryBufferSize = 255;
}  // namespace

std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key) {
    char buffer[kEntryBufferSize] = {};
    const DWORD length =
        Machine->getPrivateProfileString(section.c_str(), key.c_str(), "", buffer, kEntryBufferSize, file.c_str());
    if (length == 0) return "";
    const std::string text(buffer);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}
