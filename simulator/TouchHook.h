// The mouse as the touch panel: a low-level mouse hook turns left-button presses, drags and
// releases into touch reports to the substitute driver, and puts the pointer where the driver's
// current edges put the raw point, as the real driver would. An armed touch becomes a right click.
#ifndef SIMULATOR_TOUCHHOOK_H
#define SIMULATOR_TOUCHHOOK_H

#include <windows.h>

#include <functional>

#include "simulator/PanelMapping.h"

// Marks the input the simulator makes itself, which it never takes for a touch.
constexpr ULONG_PTR kSimulatorInput = 0x51525453;

struct TouchHookState {
    HWND ownWindow = nullptr;    // presses on it stay mouse presses
    bool plainMouse = false;     // the mouse is only a mouse
    std::function<void(RawPoint, bool touched)> touched;  // after each report
};
extern TouchHookState TouchHook;

// False when the hook could not be set or the driver not opened.
bool StartTouchHook();
void StopTouchHook();

#endif
