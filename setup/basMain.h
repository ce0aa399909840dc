// Setup's start procedure and its steps: completes the installation record, registers the touch
// driver in place of the PS/2 port driver, moves the port driver's file aside and restarts Windows.
#ifndef SETUP_BASMAIN_H
#define SETUP_BASMAIN_H

#include <cstdint>

#include "common/Outcome.h"

// How setup ends. The installer passes every code but kSetupDone on as its own exit code.
enum SetupExit : int {
    kSetupDone = 0,                 // the restart was requested
    kSetupNoRecord = 10,            // no installation record: nothing changed
    kSetupNoWindowsPaths = 11,      // nothing of the driver registered
    kSetupNoDriverFile = 12,        // the touch driver's file missing or not whole: nothing registered
    kSetupRegistryFailed = 13,      // a registry step failed: the port driver's file in place, no restart
    kSetupPortDriverNotMoved = 14,  // the port driver's file could not be set aside: no restart
    kSetupRestartRefused = 15,      // everything in place, but Windows did not take the restart request
};

// The whole run; its exit code.
int Main();

// Main's steps from the installation record to the port driver's file set aside, without the
// progress window and the restart; each failure said in a message box.
SetupExit SetUpDriver();

// The hourglass, nested: 11 counts one more busy step, 0 one less; the screen pointer is the
// hourglass while any step is busy. Any other pointer is set directly.
extern uint16_t BusyCount;
void SetBusyPointer(int pointer);

// Looks for an ACPI PS/2 pointing device in the port driver's Enum list and sets HardwareID to
// "*" and its ID. False (and HardwareID "*PNPnone") when there is none or no list.
bool DetectHardwareId();

// Write HardwareID, or VenderName, into the installation record.
Outcome SaveHardwareId();
Outcome SaveVenderName();

// The driver's registry keys and the port driver's file moved aside, each failure said in a
// message box. kSetupDone when the run may go on to the restart; otherwise the PS/2 port driver
// is still the one that starts with Windows, and the run must end without the restart.
SetupExit ServiceRegistrySetup();

#endif
