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

}  // namespace

Outcome CreateKey(HKEY parent, const std::string& keyPath, const std::string& subKey, HKEY& key) {
    if (keyPath.empty()) return Outcome::Failed(ERROR_INVALID_PARAMETER);
    // RegCreateKeyA rejects a relative path that starts with a separator.
    const size_t from = !subKey.empty() && subKey.front() == kKeySeparator ? 1 : 0;
    const std::string path = subKey.size() == from ? keyPath : keyPath + kKeySeparator + subKey.substr(from);
    HKEY opened = nullptr;
    const Outcome created = Outcome::From(Machine->regCreateKey(parent, path.c_str(), &opened));
    if (created) key = opened;
    return created;
}

Outcome OpenKey(HKEY parent, const std::string& keyPath, HKEY& key) {
    HKEY opened = nullptr;
    const Outcome open = Outcome::From(Machine->regOpenKey(parent, keyPath.c_str(), &opened));
    if (open) key = opened;
    return open;
}

Outcome CloseKey(HKEY key) { return Outcome::From(Machine->regCloseKey(key)); }

Outcome QueryString(HKEY key, const std::string& valueName, std::string& text) {
    DWORD type = 0;
    DWORD size = 0;
    Outcome read = Outcome::From(Machine->regQueryValueEx(key, valueName.c_str(), nullptr, &type, nullptr, &size));
    if (!read) return read;
    if (type != REG_SZ) return Outcome::Failed(ERROR_INVALID_DATA);
    if (size > kMaxStringBytes) return Outcome::Failed(ERROR_NOT_ENOUGH_MEMORY);
    std::string buffer(size, ' ');
    // The value may have changed since the size was learnt: a longer one fails with
    // ERROR_MORE_DATA, a shorter one reports fewer bytes, a retyped one a new type.
    DWORD got = size;
    read = Outcome::From(Machine->regQueryValueEx(key, valueName.c_str(), nullptr, &type, AsBytes(buffer.data()), &got));
    if (!read) return read;
    if (type != REG_SZ) return Outcome::Failed(ERROR_INVALID_DATA);
    buffer.resize(std::min(got, size));
    text = TrimAtNul(buffer);
    return Outcome();
}

Outcome QueryDword(HKEY key, const std::string& valueName, uint32_t& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    const Outcome read = Outcome::From(
        Machine->regQueryValueEx(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size));
    if (!read) return read;
    // A REG_DWORD may be stored with fewer than four bytes; that is not a number to trust.
    if (type != REG_DWORD || size != sizeof data) return Outcome::Failed(ERROR_INVALID_DATA);
    value = data;
    return Outcome();
}

Outcome SetString(HKEY key, const std::string& valueName, const std::string& text) {
    if (key == nullptr) return Outcome::Failed(ERROR_INVALID_HANDLE);
    const DWORD length = static_cast<DWORD>(text.size() + 1);
    return Outcome::From(Machine->regSetValueEx(key, valueName.c_str(), 0, REG_SZ, AsBytes(text.c_str()), length));
}

Outcome SetDword(HKEY key, const std::string& valueName, uint32_t value) {
    const DWORD data = value;
    return Outcome::From(
        Machine->regSetValueEx(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data));
}

std::string TrimAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }
