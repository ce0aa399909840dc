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

bool ReadInstallationRecord() {
    HKEY key = nullptr;
    if (!CreateKey(RecordHive, RecordBaseKey, RecordSubKey, key)) return false;
    // Every value is read even after one fails, so that what is there gets loaded.
    bool ok = QueryString(key, kVenderNameValue, VenderName);
    ok = QueryString(key, kInstallPathValue, InstallPath) && ok;
    ok = QueryString(key, kWindowsPathValue, WindowsPath) && ok;
    ok = QueryString(key, kSystemPathValue, SystemPath) && ok;
    ok = QueryString(key, kHardwareIdValue, HardwareID) && ok;
    CloseKey(key);
    return ok;
}

bool LoadInstallationRecord() {
    SetRecordLocation(HKEY_LOCAL_MACHINE, kMakerKey, kModelName);
    return ReadInstallationRecord();
}
