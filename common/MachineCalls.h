// The system calls through which the programs read and change the machine, ask for the restart,
// await another program or the clock, and the install side's log: the one seam that tests replace, a table
// filled by member name. Setup and the uninstaller change what decides whether the PC starts with
// a keyboard: a test puts a model of the machine behind these calls and cuts a run after any call.
#ifndef COMMON_MACHINECALLS_H
#define COMMON_MACHINECALLS_H

#include <windows.h>

#include <string>
#include <vector>

#include "common/Outcome.h"

struct MachineCalls {
    LONG(WINAPI* regCreateKey)(HKEY, LPCSTR, PHKEY);
    LONG(WINAPI* regOpenKey)(HKEY, LPCSTR, PHKEY);
    LONG(WINAPI* regCloseKey)(HKEY);
    LONG(WINAPI* regQueryValueEx)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    LONG(WINAPI* regSetValueEx)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
    DWORD(WINAPI* getFileAttributes)(LPCSTR);
    BOOL(WINAPI* setFileAttributes)(LPCSTR, DWORD);
    BOOL(WINAPI* copyFile)(LPCSTR, LPCSTR, BOOL);
    BOOL(WINAPI* deleteFile)(LPCSTR);
    BOOL(WINAPI* moveFileEx)(LPCSTR, LPCSTR, DWORD);
    HANDLE(WINAPI* createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI* closeHandle)(HANDLE);
    DWORD(WINAPI* getPrivateProfileString)(LPCSTR, LPCSTR, LPCSTR, LPSTR, DWORD, LPCSTR);
    // Writes what the system still holds of a key's hive to the disk.
    LONG(WINAPI* regFlushKey)(HKEY);
    // The whole file.
    Outcome (*readFile)(const std::string& path, std::vector<char>& bytes);
    // Writes what the system still holds of the file to the disk.
    Outcome (*flushFile)(const std::string& path);
    // One line of the install log; a log that cannot be written loses the line, nothing else.
    void (*appendLog)(const std::string& text);
    // The restart.
    BOOL(WINAPI* openProcessToken)(HANDLE, DWORD, PHANDLE);
    BOOL(WINAPI* lookupPrivilegeValue)(LPCSTR, LPCSTR, PLUID);
    BOOL(WINAPI* adjustTokenPrivileges)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
    BOOL(WINAPI* exitWindowsEx)(UINT, DWORD);
    // Awaiting another program while the program's own windows stay painted.
    DWORD(WINAPI* waitForSingleObject)(HANDLE, DWORD);
    void (*doEvents)();
    // The runtime's clock, seconds since midnight, and a wait that ends early at input.
    double (*timer)();
    void (*waitForInput)(unsigned long ms);
};
extern const MachineCalls kWindowsCalls;

// What the programs call: kWindowsCalls unless a test has put its model in place.
extern const MachineCalls* Machine;

// While this lives, the programs call calls.
class MachineInUse {
public:
    explicit MachineInUse(const MachineCalls& calls) : previous_(Machine) { Machine = &calls; }
    ~MachineInUse() { Machine = previous_; }
    MachineInUse(const MachineInUse&) = delete;
    MachineInUse& operator=(const MachineInUse&) = delete;

private:
    const MachineCalls* previous_;
};

// Appends text to the install log as "YYYY-MM-DD hh:mm:ss PROGRAM.exe: text".
void InstallLog(const std::string& text);

#endif
