// The control panel: the runtime loads the main window, and the program lives as long as it does.
#include "controlpanel/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    frmMain.Show();
    tk::Run();
    return 0;
}
