// The removal's one way of putting the PS/2 port driver's file back, for the uninstall program
// unins000.exe, which carries this library and calls it through NSIS's System plugin: the same
// code as the uninstaller's, so that what the machine model cuts at every change is what runs.
#include <windows.h>

#include "common/BasWinDIRs.h"
#include "common/PortDriverFile.h"

// ERROR_SUCCESS when a whole i8042prt.sys is in place afterwards, else Windows' error code.
extern "C" __declspec(dllexport) DWORD WINAPI RestorePortDriver() {
    if (!GetWindowsPaths()) return ERROR_PATH_NOT_FOUND;
    return RestorePortDriverFile(DriversDir);
}
