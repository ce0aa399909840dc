// The uninstaller: its confirmation window is where it starts.
#include <windows.h>

#include "toolkit/tk.h"
#include "uninstall/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    frmMain.Show();
    tk::Run();
    return 0;
}
