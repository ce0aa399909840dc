// The right-button tool: its window is the program, which lives as long as the window does.
#include "rightbutton/frmMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    frmMain.Start();
    tk::Run();
    return 0;
}
