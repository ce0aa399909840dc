// Setup: no window of its own to start with, only the start procedure.
#include <windows.h>

#include "setup/basMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Main(); }
