// The uninstaller's steps after the user said Yes: the right-button tool closed, the suite's own
// uninstall program run and awaited, the PS/2 port driver's file checked back in place, the
// uninstaller's file scheduled for deletion once all of that went well, and the restart.
#ifndef UNINSTALL_BASMAIN_H
#define UNINSTALL_BASMAIN_H

#include <windows.h>

#include <string>

#include "common/Outcome.h"

// How the uninstaller ends (also 0 after No), so that a script can tell what happened.
enum RemovalExit : unsigned long {
    kRemovalDone = 0,                  // removed; the restart was asked for
    kRemovalNoRecord = 10,             // nothing removed
    kRemovalNoWindowsPaths = 11,       // nothing removed
    kRemovalPortDriverAtRisk = 12,     // the port driver's file could not be put back: nothing removed
    kRemovalNotStarted = 13,           // the uninstall program did not start: nothing removed
    kRemovalNotAwaited = 14,           // the uninstall program failed or outlasted the waits
    kRemovalPortDriverNotBack = 15,    // removed, but the port driver's file is not back: no restart
    kRemovalRestartRefused = 16,       // removed, but Windows did not take the restart request
    kRemovalUninstallFailed = 17,      // the uninstall program ended with a failure: no restart
};

// The whole removal, from the hidden confirmation window to the restart request; ends the program.
[[noreturn]] void RemoveSoftware();

// Closes the running right-button tool through the driver; nothing when the driver cannot be
// opened or no tool runs.
void CloseToolThroughDriver();

// The uninstall program's command line for an installation folder, its path quoted: unquoted, a
// folder with blanks would start the file named by the path's first words.
std::string UninstallCommandLine(const std::string& installPath);

// The wait for the uninstall program: up to kUninstallWaits waits of kUninstallWaitMs, each
// after the pending window events have run, so that the progress window stays painted.
constexpr int kUninstallWaits = 10;
constexpr DWORD kUninstallWaitMs = 1000;
// No failure when the process ended within the waits.
Failure WaitForUninstall(HANDLE process);

// Whether the port driver's file in driversDir can be put back (RestorePortDriverFile): "" when
// it is whole in place, or when its copy aside is whole and its own file can be written; else
// what stands in the way.
std::string PortDriverRestoreProblem(const std::string& driversDir);

// The failure text for the uninstall program's exit code: "" for 0 (removed).
std::string UninstallProgramFailure(DWORD exitCode);

#endif
