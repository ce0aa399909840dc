// The installation record: where it lies in the registry and the five values the
// programs load from it at start.
#ifndef COMMON_BASOEM_H
#define COMMON_BASOEM_H

#include <windows.h>

#include <string>

#include "common/Outcome.h"

// Names of the record's values (all REG_SZ).
constexpr char kVenderNameValue[] = "VenderName";
constexpr char kInstallPathValue[] = "InstallPath";
constexpr char kWindowsPathValue[] = "WindowsPath";
constexpr char kSystemPathValue[] = "SystemPath";
constexpr char kHardwareIdValue[] = "HardwareID";

// The loaded values. A value that could not be read keeps what it held before.
extern std::string VenderName;
extern std::string InstallPath;  // without a trailing "\"
// As the installer wrote them; the install side takes the Windows folders from the system
// (common/BasWinDIRs.h), with one rule for their ends.
extern std::string WindowsPath;
extern std::string SystemPath;
extern std::string HardwareID;

// Where the record is read from, as given to SetRecordLocation.
extern HKEY RecordHive;
extern std::string RecordBaseKey;
extern std::string RecordSubKey;

void SetRecordLocation(HKEY hive, const std::string& baseKey, const std::string& subKey);
// Opens (or creates) the record key and reads all five values, even after one fails.
// Succeeds only when the key and every value were read; else the first failure.
Outcome ReadInstallationRecord();
// Reads the record from its place under HKEY_LOCAL_MACHINE.
Outcome LoadInstallationRecord();

#endif
