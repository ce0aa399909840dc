// Files and the registry, as the setup and removal flows find and leave them.
#include <fstream>
#include <sstream>

#include "tests/uia/uia.h"
#include "tests/uia/uia_target.h"

namespace uia {

std::string DriversFolder() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\drivers\\";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const char* name) {
    RegistryValue v;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    if (RegQueryValueExA(opened, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.data.resize(size);
        if (size > 0) RegQueryValueExA(opened, name, nullptr, &v.type, reinterpret_cast<BYTE*>(&v.data[0]), &size);
        v.data.resize(size);
        v.exists = true;
    }
    RegCloseKey(opened);
    return v;
}

void WriteRegistryValue(HKEY root, const std::string& key, const char* name, const RegistryValue& value) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &opened);
    if (status != ERROR_SUCCESS) throw Error("cannot write to the registry key " + key + ": " + ErrorText(DWORD(status)));
    if (value.exists)
        RegSetValueExA(opened, name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                       DWORD(value.data.size()));
    else
        RegDeleteValueA(opened, name);
    RegCloseKey(opened);
}

std::string RegistryText(const std::string& key, const char* name, DWORD types) {
    char data[4096] = {};
    DWORD size = sizeof data - 2;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, types, nullptr, data, &size) != ERROR_SUCCESS) return "";
    for (DWORD i = 0; i + 1 < size; ++i) data[i] = data[i] ? data[i] : '|';
    return data;
}

Process StartWitness() {
    Process witness = Process::Start(ExeFolder() + "\\" + target::kExeName);
    WaitForForm(target::kFormName, kDefaultTimeout, witness.Pid());
    return witness;
}

}  // namespace uia
