// The touch simulator: the mouse becomes the touch panel of the substitute driver.
#include <windows.h>

#include "simulator/frmSimulator.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    frmSimulator.Show();
    tk::Run();
    return 0;
}
