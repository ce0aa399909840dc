// The startup program's start procedure and its steps. Run at every logon: shows the splash
// window, fixes the user's double-click area, writes the screen size into the touch driver,
// starts the right-button tool when its function is on, and ends after about a second.
#ifndef STARTUP_BASMAIN_H
#define STARTUP_BASMAIN_H

#include "common/Outcome.h"

// The whole run; the program ends inside it.
[[noreturn]] void Main();

// Writes "32" as DoubleClickWidth and DoubleClickHeight under HKEY_CURRENT_USER\Control Panel\Mouse.
// Only the registry changes: running programs are not told. Succeeds when the key opened and both
// values were written.
Outcome SetDoubleClickSize();

// Reads the driver's settings block and sends it back whole with the current screen size in it.
void WriteScreenSizeToDriver(int screenWidth, int screenHeight);

// With the right-button function on and no live tool registered, starts the tool. Fails only
// when a start was needed and failed.
Outcome StartRightButtonToolIfNeeded();

#endif
