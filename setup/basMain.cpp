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

// Writes a key's values (created when missing), all of them even after one fails; the first
// failure of the key or a write.
template <typename Writes>
Outcome WriteKey(HKEY hive, const std::string& keyPath, const std::string& subKeyName, Writes writes) {
    HKEY key = nullptr;
    Outcome written = CreateKey(hive, keyPath, subKeyName, key);
    if (!written) return written;
    written = writes(key);
    CloseKey(key);
    return written;
}

Outcome SaveRecordValue(const char* name, const std::string& text) {
    return WriteKey(RecordHive, RecordBaseKey, RecordSubKey, [&](HKEY key) { return SetString(key, name, text); });
}

std::string ServiceKeyPath(const char* service) { return std::string(kServicesKey) + "\\" + service; }

Outcome WriteServiceKey() {
    return WriteKey(HKEY_LOCAL_MACHINE, kServicesKey, kDriverBaseName, [](HKEY key) {
        Outcome written = SetString(key, "DisplayName", std::string("TouchScreen - Serial Mouse Driver V.") + kVersionLabel);
        written &= SetString(key, "Group", "Pointer Port");
        written &= SetDword(key, "Start", kSystemStart);
        written &= SetDword(key, "Tag", kServiceTag);
        return written &= SetDword(key, "Type", kKernelDriver);
    });
}

// Copies what the port driver has of its parameters; a value it lacks, or has with another type,
// is left out, and a failed copy of one value is not a failure.
Outcome CopyPortParameters() {
    HKEY source = nullptr, destination = nullptr;
    Outcome opened = CreateKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kPortDriverName), kParametersSubKey, source);
    if (!opened) return opened;
    opened = CreateKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kDriverBaseName), kParametersSubKey, destination);
    if (!opened) {
        CloseKey(source);
        return opened;
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
    return Outcome();
}

Outcome CreateEnumKey() {
    return WriteKey(HKEY_LOCAL_MACHINE, ServiceKeyPath(kDriverBaseName), kEnumSubKey, [](HKEY) { return Outcome(); });
}

Outcome WriteEventLogSource() {
    return WriteKey(HKEY_LOCAL_MACHINE, kEventLogKey, kDriverBaseName, [](HKEY key) {
        Outcome written = SetString(key, "EventMessageFile",
                                    std::string("%SystemRoot%\\System32\\IoLogMsg.dll;%SystemRoot%\\System32\\drivers\\") +
                                        kDriverFileName);
        return written &= SetDword(key, "TypesSupported", kAllEventTypes);
    });
}

Outcome LowerPortDriverErrorControl() {
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
Outcome KeepTheInstalledFiles() {
    std::vector<std::string> paths = {InstallPath, WindowsDir + kUninstallerFile, DriversDir + kDriverFileName};
    for (const char* file : {kControlPanelFile, kStartupFile, kRightButtonToolFile, kSetupFile, kUninstallProgramFile})
        paths.push_back(InstallPath + "\\" + file);
    for (const char* file : {kVendorBitmapFile, kVendorCutFile, kSetupInfoFile}) paths.push_back(InstallPath + file);
    return CancelDeletionsAtRestart(paths);
}

// The registry steps, in their order; each runs only after all before it went well.
struct RegistryStep {
    const char* what;
    Outcome (*run)();
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

Outcome SaveHardwareId() { return SaveRecordValue(kHardwareIdValue, HardwareID); }

Outcome SaveVenderName() { return SaveRecordValue(kVenderNameValue, VenderName); }

SetupExit ServiceRegistrySetup() {
    if (const Outcome known = GetWindowsPaths(); !known) {
        ShowErrorBox(kPathsFailureText, kSetupTitle, FailureBox::Plain, known.Error());
        return kSetupNoWindowsPaths;
    }
    // The port driver's file goes aside only for a touch driver that can take its place at the next
    // start: without either, the PC would start with neither keyboard nor mouse.
    const std::string driverFile = DriversDir + kDriverFileName;
    const std::string why = WholeImageProblem(driverFile);
    if (!why.empty()) {
        ShowErrorBox(kNoDriverFileText + driverFile + ": " + why + kNoDriverFileAdvice, kSetupTitle, FailureBox::Exclamation);
        return kSetupNoDriverFile;
    }
    for (const RegistryStep& step : kRegistrySteps) {
        const Outcome written = step.run();
        if (written) {
            InstallLog(std::string("wrote ") + step.what + ".");
            continue;
        }
        ShowErrorBox(std::string(kRegistryFailureText) + kRegistryStepText + step.what + "." + kRegistryStepAdvice,
                     kSetupTitle, FailureBox::Exclamation, written.Error());
        return kSetupRegistryFailed;
    }
    const std::string problem = MovePortDriverAside();
    if (problem.empty()) return kSetupDone;
    ShowErrorBox(kMoveFailureText + problem + kMoveFailureAdvice, kSetupTitle, FailureBox::Exclamation);
    return kSetupPortDriverNotMoved;
}

SetupExit SetUpDriver() {
    if (const Outcome loaded = LoadInstallationRecord(); !loaded) {
        ShowErrorBox(kRecordFailureText, kSetupTitle, FailureBox::Plain, loaded.Error());
        return kSetupNoRecord;
    }
    if (!DetectHardwareId()) HardwareID = kControllerHardwareId;
    if (const Outcome saved = SaveHardwareId(); !saved)
        ShowErrorBox(kHardwareIdFailureText, kSetupTitle, FailureBox::Plain, saved.Error());

    const std::string setupInfo = InstallPath + kSetupInfoFile;
    if (FileExists(setupInfo)) {
        const std::string title = ReadIniString(setupInfo, "SETUP", "TITLE");
        if (!title.empty()) {
            VenderName = title;
            if (const Outcome saved = SaveVenderName(); !saved)
                ShowErrorBox(kVenderNameFailureText, kSetupTitle, FailureBox::Plain, saved.Error());
        }
    }
    return ServiceRegistrySetup();
}

int Main() {
    LogFailuresWith(InstallLog);
    InstallLog("started.");
    ShowProgressMessage(kUpdatingText, kSetupTitle, &CentreBusy);
    SetupExit result = SetUpDriver();
    frmMessage.Unload();
    if (result == kSetupDone) {
        InstallLog(kFinishedText);
        tk::MsgBox(kFinishedText, MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_OK, kSetupTitle);
        if (!RestartWindows(kSetupTitle)) result = kSetupRestartRefused;
    }
    InstallLog("ended with exit code " + std::to_string(result) + ".");
    return result;
}
