// The Windows, system and drivers folders, as setup and the uninstaller need them.
#ifndef COMMON_BASWINDIRS_H
#define COMMON_BASWINDIRS_H

#include <string>

#include "common/Outcome.h"

// Filled by GetWindowsPaths, each ending in "\".
extern std::string WindowsDir;
extern std::string SystemDir;
extern std::string DriversDir;  // SystemDir + "Drivers\"

// A folder as the system reports it, ending in "\": a root such as "C:\" keeps its one.
std::string AsFolder(const std::string& reported);

// Fills the three folders; fails when the Windows or the system folder is not known.
Outcome GetWindowsPaths();

#endif
