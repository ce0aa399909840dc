#include "common/basOEM.h"

#include "common/SuiteNames.h"
#include "common/basRegistry.h"

std::string VenderName;
std::string InstallPath;
std::string WindowsPath;
std::string SystemPath;
std::string HardwareID;

HKEY RecordHive = nullptr;
std::string RecordBaseKey;
std::string RecordSubKey;

void SetRecordLocation(HKEY hive, const std::string& baseKey, const std::string& subKey) {
    RecordHive = hive;
    RecordBaseKey = baseKey;
    RecordSubKey = subKey;
}

Outcome ReadInstallationRecord() {
    HKEY key = nullptr;
    Outcome read = CreateKey(RecordHive, RecordBaseKey, RecordSubKey, key);
    if (!read) return read;
    // Every value is read even after one fails, so that what is there gets loaded.
    read &= QueryString(key, kVenderNameValue, VenderName);
    read &= QueryString(key, kInstallPathValue, InstallPath);
    read &= QueryString(key, kWindowsPathValue, WindowsPath);
    read &= QueryString(key, kSystemPathValue, SystemPath);
    read &= QueryString(key, kHardwareIdValue, HardwareID);
    CloseKey(key);
    return read;
}

Outcome LoadInstallationRecord() {
    SetRecordLocation(HKEY_LOCAL_MACHINE, kMakerKey, kModelName);
    return ReadInstallationRecord();
}
