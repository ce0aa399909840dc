// The startup program: no window of its own to start with, only the start procedure.
#include <windows.h>

#include "startup/BasMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { Main(); }
