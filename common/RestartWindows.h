// The restart at the end of setup and of the uninstaller: enable the shutdown privilege in the
// program's own token and ask Windows for a reboot.
#ifndef COMMON_RESTARTWINDOWS_H
#define COMMON_RESTARTWINDOWS_H

#include <windows.h>

#include <string>
#include <vector>

#include "common/Outcome.h"

// Asks for the reboot; no failure when the request was accepted, else the text that names the
// failed step, and its cause.
Failure RequestRestart();

// RequestRestart, with a failure shown in a message box titled title. True when accepted.
bool RestartWindows(const std::string& title);

// Takes back the deletions at the next restart that were asked for these files and folders: a
// removal not yet followed by its restart would otherwise delete the copies that an installation
// has written since. Renames at the restart stay. Fails when the list could not be changed.
Outcome CancelDeletionsAtRestart(const std::vector<std::string>& paths);

#endif
