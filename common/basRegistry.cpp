#include "common/basRegistry.h"

#include <algorithm>

#include "common/MachineCalls.h"

namespace {

constexpr char kKeySeparator = '\\';
// The registry's own limit for a value in its standard format. A value that claims more is read as
// missing, with ERROR_NOT_ENOUGH_MEMORY, rather than allocated: the programs have no exceptions to
// report a failed allocation with.
constexpr DWORD kMaxStringBytes = 1024 * 1024;

BYTE* AsBytes(char* text) { return reinterpret_cast<BYTE*>(text); }
const BYTE* AsBytes(const char* text) { return reinterpret_cast<const BYTE*>(text); }

// The registry answers with a code of its own and leaves the thread's last error alone; a failed
// call keeps its code there, so that a caller who reports the failure can say why.
bool Succeeded(LONG result) {
    if (result == ERROR_SUCCESS) return true;
    SetLastError(static_cast<DWORD>(result));
    return false;
}

}  // namespace

bool CreateKey(HKEY parent, const std::string& keyPath, const std::string& subKey, HKEY& key) {
    if (keyPath.empty()) return false;
    // RegCreateKeyA rejects a relative path that starts with a separator.
    const size_t from = !subKey.empty() && subKey.front() == kKeySeparator ? 1 : 0;
    const std::string path = subKey.size() == from ? keyPath : keyPath + kKeySeparator + subKey.substr(from);
    HKEY opened = nullptr;
    if (!Succeeded(Machine->regCreateKey(parent, path.c_str(), &opened))) return false;
    key = opened;
    return true;
}

bool OpenKey(HKEY parent, const std::string& keyPath, HKEY& key) {
    HKEY opened = nullptr;
    if (!Succeeded(Machine->regOpenKey(parent, keyPath.c_str(), &opened))) return false;
    key = opened;
    return true;
}

bool CloseKey(HKEY key) { return Machine->regCloseKey(key) == ERROR_SUCCESS; }

bool QueryString(HKEY key, const std::string& valueName, std::string& text) {
    DWORD type = 0;
    DWORD size = 0;
    if (Machine->regQueryValueEx(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ) return false;
    if (size > kMaxStringBytes) return Succeeded(ERROR_NOT_ENOUGH_MEMORY);
    std::string buffer(size, ' ');
    // The value may have changed since the size was learnt: a longer one fails with
    // ERROR_MORE_DATA, a shorter one reports fewer bytes, a retyped one a new type.
    DWORD read = size;
    if (Machine->regQueryValueEx(key, valueName.c_str(), nullptr, &type, AsBytes(buffer.data()), &read) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ) return false;
    buffer.resize(std::min(read, size));
    text = TrimAtNul(buffer);
    return true;
}

bool QueryDword(HKEY key, const std::string& valueName, uint32_t& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (Machine->regQueryValueEx(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        return false;
    // A REG_DWORD may be stored with fewer than four bytes; that is not a number to trust.
    if (type != REG_DWORD || size != sizeof data) return false;
    value = data;
    return true;
}

bool SetString(HKEY key, const std::string& valueName, const std::string& text) {
    if (key == nullptr) return false;
    const DWORD length = static_cast<DWORD>(text.size() + 1);
    return Succeeded(Machine->regSetValueEx(key, valueName.c_str(), 0, REG_SZ, AsBytes(text.c_str()), length));
}

bool SetDword(HKEY key, const std::string& valueName, uint32_t value) {
    const DWORD data = value;
    return Succeeded(Machine->regSetValueEx(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data));
}

std::string TrimAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }
