// The uninstaller: its confirmation window is where it starts.
#include <windows.h>

#include "common/MachineCalls.h"
#include "common/WindowHelpers.h"
#include "toolkit/tk.h"
#include "uninstall/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A support person reads afterwards in the install log what the user was told.
    LogFailuresWith(InstallLog);
    frmMain.Show();
    tk::Run();
    return 0;
}
