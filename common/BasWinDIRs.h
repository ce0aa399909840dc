// The Windows, system and drivers folders, as setup and the uninstaller need them.
#ifndef COMMON_BASWINDIRS_H
#define COMMON_BASWINDIRS_H

#include <string>

// Filled by GetWindowsPaths, each ending in "\".
extern std::string WindowsDir;
extern std::string SystemDir;
extern std::string DriversDir;  // SystemDir + "Drivers\"

// A folder as the system reports it, ending in "\": a root such as "C:\" keeps its one.
std::string AsFolder(const std::string& reported);

// One folder each, ending in "\", or "" when the system does not tell.
std::string GetWindowsDir();
std::string GetSystemDir();

// Fills the three folders; true when both the Windows and the system folder are known.
bool GetWindowsPaths();

#endif
