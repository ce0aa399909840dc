#include "setup/basMain.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/BasWinDIRs.h"
#include "common/PortDriverFile.h"
#include "common/RestartWindows.h"
#include "common/MachineCalls.h"
#include "common/SuiteNames.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"
#include "common/basRegistry.h"
#include "common/frmMessage.h"
#include "setup/basINIfile.h"
#include "toolkit/tk.h"

uint16_t BusyCount = 0;

namespace {

constexpr char kServicesKey[] = "System\\CurrentControlSet\\Services";
constexpr char kEventLogKey[] = "System\\CurrentControlSet\\Services\\EventLog\\System";
constexpr char kParametersSubKey[] = "Parameters";
constexpr char kEnumSubKey[] = "Enum";

// Until a device is found; never written.
constexpr char kNoDevice[] = "*PNPnone";
// An Enum entry is a device instance path; its first characters name the device.
constexpr size_t kDeviceIdPrefixLength = 12;
constexpr size_t kPnpIdStart = 5;
constexpr size_t kPnpIdLength = 7;
constexpr const char* kPs2PointingDevices[] = {"ACPI\\PNP0F03", "ACPI\\PNP0F0B", "ACPI\\PNP0F0E", "ACPI\\PNP0F13"};

// The touch driver's service: a kernel driver started by the system, in the port drivers' group.
constexpr uint32_t kSystemStart = 1;
constexpr uint32_t kServiceTag = 2;
constexpr uint32_t kKernelDriver = 1;
constexpr uint32_t kAllEventTypes = 7;
constexpr uint32_t kIgnoreErrors = 0;

// The port driver's parameters the touch driver takes over, where the port driver has them with
// this type.
struct Parameter {
    const char* name;
    bool isString;
};
constexpr Parameter kPortParameters[] = {
    {"ResendIterations", false},      {"PollingIterations", false},       {"PollingIterationsMaximum", false},
    {"PollStatusIterations", false},  {"KeyboardDataQueueSize", false},   {"KeyboardDeviceBaseName", true},
    {"MouseDataQueueSize", false},    {"NumberOfButtons", false},         {"SampleRate", false},
    {"MouseResolution", false},       {"PointerDeviceBaseName", true},    {"MouseSynchIn100ns", false},
    {"EnableWheelDetection", false},  {"LayerDriver", true},              {"OverrideKeyboardIdentifier", true},
    {"OverrideKeyboardType", false},  {"OverrideKeyboardSubtype", false},
};

constexpr char kUpdatingText[] = "Setup is updating your system...";
constexpr char kRecordFailureText[] = "Fail to load data from Register File!";
constexpr char kHardwareIdFailureText[] = "Fail to Set Hardware ID!";
constexpr char kVenderNameFailureText[] = "Fail to Set Vender Name!";
constexpr char kPathsFailureText[] = "Fail to get Windows Paths!";
constexpr char kRegistryFailureText[] = "Fail to config system registry!";
constexpr char kMoveFailureText[] =
    "Setup could not set the PS/2 port driver's file aside, so it has left every file as it was and "
    "will not restart Windows.\r\n\r\n";
constexpr char kMoveFailureAdvice[] =
    "\r\n\r\nMake sure the file i8042prt.off in the drivers folder can be written, then run setup again.";
constexpr char kNoDriverFileText[] =
    "Setup cannot find the whole touch driver file, so it has changed nothing of the drivers and will "
    "not restart Windows: the PS/2 port driver stays in place.\r\n\r\n";
constexpr char kNoDriverFileAdvice[] = "\r\n\r\nRun the installation again.";
constexpr char kRegistryStepText[] = "\r\n\r\nSetup could not write ";
constexpr char kRegistryStepAdvice[] =
    "\r\n\r\nThe PS/2 port driver stays in place and Windows is not restarted; run setup again.";
constexpr char kFinishedText[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";

void CentreBusy(tk::Form& form) {
    SetBusyPointer(tk::vbHourglass);
    CenterForm(form);
    SetBusyPointer(tk::vbDefault);
}

void Tell(const std::string& text, unsigned style = MB_OK) { LoggedMsgBox(text, style, kSetupTitle); }

// Writes a key's values (created when missing), all of them even after one fails; true when the
// key opened and every write succeeded.
template <typename Writes>
bool WriteKey(HKEY hive, const std::string& keyPath, const std::string& subKeyName, Writes writes) {
    HKEY key = nullptr;
    if (!CreateKey(hive, keyPath, subKeyName, key)) return false;
    const bool written = writes(key);
    CloseKey(key);
    return written;
}

bool SaveRecordValue(const char* name, const std::string& text) {
    return WriteKey(RecordHive, RecordBaseKey, RecordSubKey, [&](HKEY key) { return SetString(key, name, text); });
}

std::string ServiceKeyPath(const char* service) { return std::string(kServicesKey) + "\\" + service; }

bool WriteServiceKey() {
    return WriteKey(HKEY_LOCAL_MACHINE, kServicesKey, kDriverBaseName, [](HKEY key) {
        bool ok = SetString(key, "DisplayName", std::string("TouchScreen - Serial Mouse Driver V.") + kVersionLabel);
        ok = SetString(key, "Group", "Pointer Port") && ok;
        ok = SetDword(key, "Start", kSystemStart) && ok;
        ok = SetDword(key, "Tag", kServiceTag) && ok;
        return SetDword(key, "Type", kKernelDriver) && ok;
    });
}

// Copies what the port driver has of its parameters; a value it lacks, or has with another type,
// is left out, and a failed copy of one value is not a failure.
bool CopyPortParameters() {
    HKEY source = nullptr, destination = nullptr;
    if (!CreateKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kPortDriverName), kParametersSubKey, source)) return false;
    if (!CreateKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kDriverBaseName), kParametersSubKey, destination)) {
        CloseKey(source);
        return false;
    }
    for (const Parameter& p : kPortParameters) {
        if (p.isString) {
            std::string text;
            if (QueryString(source, p.name, text)) SetString(destination, p.name, text);
        } else {
            uint32_t value = 0;
            if (QueryDword(source, p.name, value)) SetDword(destination, p.name, value);
        }
    }
    CloseKey(destination);
    CloseKey(source);
    return true;
}

bool CreateEnumKey() {
    return WriteKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kDriverBaseName), kEnumSubKey, [](HKEY) { return true; });
}

bool WriteEventLogSource() {
    return WriteKey(HKEY_LOCAL_MACHINE, kEventLogKey, kDriverBaseName, [](HKEY key) {
        bool ok = SetString(key, "EventMessageFile",
                            std::string("%SystemRoot%\\System32\\IoLogMsg.dll;%SystemRoot%\\System32\\drivers\\") +
                                kDriverFileName);
        return SetDword(key, "TypesSupported", kAllEventTypes) && ok;
    });
}

bool LowerPortDriverErrorControl() {
    return WriteKey(HKEY_LOCAL_MACHINE, kServicesKey, kPortDriverName,
                    [](HKEY key) { return SetDword(key, "ErrorControl", kIgnoreErrors); });
}

// Sets the port driver's file aside; "" when it is aside, else what went wrong. A whole copy aside
// beside no whole ".sys" was set aside before (a second run, or a removal cut off while it put the
// file back): a ".sys" that is not whole is never copied over it.
std::string MovePortDriverAside() {
    const std::string inUse = PortDriverPath(DriversDir, kPortDriverInUse);
    const std::string aside = PortDriverPath(DriversDir, kPortDriverAside);
    if (!IsWholeImage(inUse) && IsWholeImage(aside)) {
        InstallLog(aside + " is whole: the port driver's file was set aside before.");
        return "";
    }
    const WholeMove move = MoveWhole(inUse, aside);
    if (move.problem.empty()) InstallLog("set the PS/2 port driver's file aside.");
    return move.problem;
}

// An earlier removal whose restart has not come yet would delete what the installer has just
// written, the touch driver's file among them: after the port driver's file is set aside, the
// next start would then have no driver for the keyboard.
bool KeepTheInstalledFiles() {
    std::vector<std::string> paths = {InstallPath, WindowsDir + kUninstallerFile, DriversDir + kDriverFileName};
    for (const char* file : {kControlPanelFile, kStartupFile, kRightButtonToolFile, kSetupFile, kUninstallProgramFile})
        paths.push_back(InstallPath + "\\" + file);
    for (const char* file : {kVendorBitmapFile, kVendorCutFile, kSetupInfoFile}) paths.push_back(InstallPath + file);
    const DWORD status = CancelDeletionsAtRestart(paths);
    SetLastError(status);
    return status == ERROR_SUCCESS;
}

// The registry steps, in their order; each runs only after all before it went well.
struct RegistryStep {
    const char* what;
    bool (*run)();
};
constexpr RegistryStep kRegistrySteps[] = {
    {"the list of deletions at the restart, without the installed files", KeepTheInstalledFiles},
    {"the touch driver's service key", WriteServiceKey},
    {"the touch driver's parameters", CopyPortParameters},
    {"the touch driver's Enum key", CreateEnumKey},
    {"the touch driver's event log source", WriteEventLogSource},
    {"the PS/2 port driver's ErrorControl", LowerPortDriverErrorControl},
};

}  // namespace

void SetBusyPointer(int pointer) {
    if (pointer == tk::vbHourglass) {
        ++BusyCount;
    } else if (pointer == tk::vbDefault) {
        if (BusyCount > 0) --BusyCount;
    } else {
        tk::SetScreenMousePointer(pointer);
        return;
    }
    tk::SetScreenMousePointer(BusyCount > 0 ? tk::vbHourglass : tk::vbDefault);
}

bool DetectHardwareId() {
    HardwareID = kNoDevice;
    HKEY key = nullptr;
    if (!OpenKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kPortDriverName) + "\\" + kEnumSubKey, key)) return false;
    uint32_t count = 0;
    if (QueryDword(key, "COUNT", count)) {
        for (uint32_t i = 0; i < count; ++i) {
            std::string entry;
            if (!QueryString(key, std::to_string(i), entry)) break;
            const std::string head = entry.substr(0, kDeviceIdPrefixLength);
            bool found = false;
            for (const char* device : kPs2PointingDevices) found = found || lstrcmpiA(head.c_str(), device) == 0;
            if (found) {
                HardwareID = "*" + entry.substr(kPnpIdStart, kPnpIdLength);
                break;
            }
        }
    }
    CloseKey(key);
    return lstrcmpiA(HardwareID.c_str(), kNoDevice) != 0;
}

bool SaveHardwareId() { return SaveRecordValue(kHardwareIdValue, HardwareID); }

bool SaveVenderName() { return SaveRecordValue(kVenderNameValue, VenderName); }

SetupExit ServiceRegistrySetup() {
    if (!GetWindowsPaths()) {
        Tell(kPathsFailureText);
        return kSetupNoWindowsPaths;
    }
    // The port driver's file goes aside only for a touch driver that can take its place at the next
    // start: without either, the PC would start with neither keyboard nor mouse.
    const std::string driverFile = DriversDir + kDriverFileName;
    const std::string why = WholeImageProblem(driverFile);
    if (!why.empty()) {
        Tell(kNoDriverFileText + driverFile + ": " + why + kNoDriverFileAdvice, MB_OK | MB_ICONEXCLAMATION);
        return kSetupNoDriverFile;
    }
    for (const RegistryStep& step : kRegistrySteps) {
        SetLastError(ERROR_SUCCESS);
        if (step.run()) {
            InstallLog(std::string("wrote ") + step.what + ".");
            continue;
        }
        const DWORD error = GetLastError();
        Tell(std::string(kRegistryFailureText) + kRegistryStepText + step.what + "." +
                 (error ? " " + tk::ErrorText(error) : std::string()) + kRegistryStepAdvice,
             MB_OK | MB_ICONEXCLAMATION);
        return kSetupRegistryFailed;
    }
    const std::string problem = MovePortDriverAside();
    if (problem.empty()) return kSetupDone;
    Tell(kMoveFailureText + problem + kMoveFailureAdvice, MB_OK | MB_ICONEXCLAMATION);
    return kSetupPortDriverNotMoved;
}

SetupExit SetUpDriver() {
    if (!LoadInstallationRecord()) {
        Tell(kRecordFailureText);
        return kSetupNoRecord;
    }
    if (!DetectHardwareId()) HardwareID = kControllerHardwareId;
    if (!SaveHardwareId()) Tell(kHardwareIdFailureText);

    const std::string setupInfo = InstallPath + kSetupInfoFile;
    if (FileExists(setupInfo)) {
        const std::string title = ReadIniString(setupInfo, "SETUP", "TITLE");
        if (!title.empty()) {
            VenderName = title;
            if (!SaveVenderName()) Tell(kVenderNameFailureText);
        }
    }
    return ServiceRegistrySetup();
}

int Main() {
    InstallLog("started.");
    ShowProgressMessage(kUpdatingText, kSetupTitle, &CentreBusy);
    SetupExit result = SetUpDriver();
    frmMessage.Unload();
    if (result == kSetupDone) {
        Tell(kFinishedText, MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_OK);
        if (!RestartWindows(kSetupTitle)) result = kSetupRestartRefused;
    }
    InstallLog("ended with exit code " + std::to_string(result) + ".");
    return result;
}
