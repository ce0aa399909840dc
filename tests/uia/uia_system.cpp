// Files and the registry, as the setup and removal flows find and leave them.
#include <fstream>
#include <sstream>

#include "tests/uia/uia.h"

#include <sddl.h>
#include "tests/uia/uia_target.h"

namespace uia {

std::string DriversFolder() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\drivers\\";
}

std::string PortDriverImage(const std::string& mark) {
    static const std::string image = Contents(ExeFolder() + "\\..\\standins\\i8042prt.sys");
    if (image.empty()) throw Error("the bed's port driver file is missing from the build's standins folder");
    return image + mark;
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

bool DeletionPending(const std::string& path) {
    const RegistryValue pending = ReadRegistryValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                                    "PendingFileRenameOperations");
    // Pairs of strings, each a source and its target; a deletion has an empty target.
    std::istringstream list(pending.data);
    std::string source, target;
    while (std::getline(list, source, '\0') && std::getline(list, target, '\0'))
        if (target.empty() && lstrcmpiA(source.c_str(), ("\\??\\" + path).c_str()) == 0) return true;
    return false;
}

KeyWritesDenied::KeyWritesDenied(HKEY root, const std::string& path) : root_(root), path_(path) {
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, &key_, &disposition) !=
        ERROR_SUCCESS)
        throw Error("cannot open " + path + " for its access list");
    created_ = disposition == REG_CREATED_NEW_KEY;
    DWORD size = 0;
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.assign(size, 0);
    if (RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
        throw Error("cannot read the access list of " + path);
    // Everyone is denied setting values, and allowed all the rest.
    PSECURITY_DESCRIPTOR denied = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &denied, nullptr);
    const LONG rc = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, denied);
    LocalFree(denied);
    HKEY probe = nullptr;
    const bool writable = RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &probe) == ERROR_SUCCESS;
    if (probe != nullptr) RegCloseKey(probe);
    if (rc != ERROR_SUCCESS || writable) throw Error("cannot deny writes to " + path);
}

KeyWritesDenied::~KeyWritesDenied() {
    RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
    RegCloseKey(key_);
    if (created_) RegDeleteKeyA(root_, path_.c_str());
}

Process StartWitness() {
    Process witness = Process::Start(ExeFolder() + "\\" + target::kExeName);
    WaitForForm(target::kFormName, kDefaultTimeout, witness.Pid());
    return witness;
}

}  // namespace uia
