// What the setup and removal flows share: the port driver's two files, whole-file reads and
// writes, and a witness window whose end shows that Windows was asked to restart (the restart
// ends every program that owns a window; the test processes own none).
#ifndef TESTS_SETUP_FLOWSUPPORT_H
#define TESTS_SETUP_FLOWSUPPORT_H

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/uia/uia.h"
#include "tests/uia/uia_target.h"

namespace flow {

inline std::string DriversFolder() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\drivers\\";
}
inline const std::string kPortSys = DriversFolder() + "i8042prt.sys";
inline const std::string kPortOff = DriversFolder() + "i8042prt.off";

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A value as text, the strings of a list joined by "|"; "" when there is no such value.
inline std::string RegistryText(const char* key, const char* name, DWORD flags = RRF_RT_REG_SZ) {
    char data[4096] = {};
    DWORD size = sizeof data - 2;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, flags, nullptr, data, &size) != ERROR_SUCCESS) return "";
    for (DWORD i = 0; i + 1 < size; ++i) data[i] = data[i] ? data[i] : '|';
    return data;
}

inline uia::Process StartWitness() {
    uia::Process witness = uia::Process::Start(uia::ExeFolder() + "\\" + target::kExeName);
    uia::WaitForForm(target::kFormName, uia::kDefaultTimeout, witness.Pid());
    return witness;
}

}  // namespace flow

#endif
