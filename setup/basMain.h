// Setup's start procedure and its steps: completes the installation record, registers the touch
// driver in place of the PS/2 port driver, moves the port driver's file aside and restarts Windows.
#ifndef SETUP_BASMAIN_H
#define SETUP_BASMAIN_H

#include <cstdint>

// The whole run.
void Main();

// The hourglass, nested: 11 counts one more busy step, 0 one less; the screen pointer is the
// hourglass while any step is busy. Any other pointer is set directly.
extern uint16_t BusyCount;
void SetBusyPointer(int pointer);

// Looks for an ACPI PS/2 pointing device in the port driver's Enum list and sets HardwareID to
// "*" and its ID. False (and HardwareID "*PNPnone") when there is none or no list.
bool DetectHardwareId();

// Write HardwareID, or VenderName, into the installation record; true when the key opened and the
// value was written.
bool SaveHardwareId();
bool SaveVenderName();

// The driver's registry keys and the port driver's file moved aside, each failure said in a
// message box. False when the run must not go on to the restart: the file could not be moved
// without risk to it.
bool ServiceRegistrySetup();

#endif
