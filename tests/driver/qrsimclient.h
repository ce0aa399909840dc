// Client of the substitute driver's simulation requests, for tests and tools: reset the
// driver, feed it touch reports, read its state and request log, stop and start its service.
// Every call opens \\.\QRWNTPS2 for itself, so a call works across driver restarts and never
// shares a handle with the programs under test. Calls return true on success and leave the
// last error of the failing step for the caller.
#ifndef QRSIMCLIENT_H
#define QRSIMCLIENT_H

#include <windows.h>

#include <vector>

#include "driver/qrwntps2.h"

// One control request on a fresh handle. bytesReturned, when given, receives the byte count.
bool SimRequest(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                DWORD* bytesReturned = nullptr);

// Back to the initial state; flags are SIM_RESET_SET_NO_OUTPUT and SIM_RESET_FAIL_REQUESTS.
bool SimReset(uint32_t flags = 0);
// The same, but with block as the settings block (SIM_RESET_USE_BLOCK is added).
bool SimResetWithBlock(const TouchSettingsBlock& block, uint32_t flags = 0);

// A report of the controller; becameRightClick, when given, tells whether it used up the arming.
bool SimReport(int16_t x, int16_t y, bool touched, bool* becameRightClick = nullptr);

bool SimGetState(SimState* state);
bool SimGetLog(SimLog* log);
bool SimGetLogTimes(SimLogTimes* times);
// The logged requests, oldest first; empty when the log cannot be read.
std::vector<SimLogEntry> SimLogEntries();

// Whether \\.\QRWNTPS2 opens now.
bool SimDriverPresent();
// Stop and start the driver's service through the service control manager and wait until the
// device has gone or come back. A started driver begins in its initial state.
bool SimStopDriver();
bool SimStartDriver();

#endif  // QRSIMCLIENT_H
