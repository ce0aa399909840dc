#include "uninstall/basMain.h"

#include "common/BasWinDIRs.h"
#include "common/PortDriverFile.h"
#include "common/RestartWindows.h"
#include "common/SuiteNames.h"
#include "common/MachineCalls.h"
#include "common/TouchChannel.h"
#include "common/WindowHelpers.h"
#include "common/basOEM.h"
#include "common/frmMessage.h"
#include "toolkit/tk.h"

namespace {

constexpr char kProgressText[] = "Removing files from your system...";
constexpr char kUninstallProgram[] = "\\unins000.exe";
constexpr char kUninstallSwitch[] = " /SILENT";
constexpr char kStartupFailureText[] = "Fail to remove files! (Startup)";
constexpr char kWaitFailedText[] = "Fail to remove files! (WAIT_FAILED)";
constexpr char kWaitAbandonedText[] = "Fail to remove files! (WAIT_ABANDONED)";
constexpr char kWaitTimeoutText[] = "Fail to remove files! (WAIT_TIMEOUT)";
constexpr char kPathsFailureText[] = "Fail to get Windows Paths!";
constexpr char kCompleteText[] =
    "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\nThe Windows must be restarted.";
constexpr char kNotRestorableText[] =
    "The PS/2 port driver's file could not be put back, so nothing has been removed.\r\n\r\n";
constexpr char kNotRestorableAdvice[] =
    "\r\n\r\nThat driver serves the keyboard and the mouse. Run the removal again once its file can be put back.";
constexpr unsigned kFailureBoxStyle = MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL;

void ShowFailureBox(const std::string& text) { LoggedMsgBox(text, kFailureBoxStyle, kUninstallerTitle); }

// Ends the program, its exit code in the install log.
[[noreturn]] void EndRemoval(RemovalExit code) {
    InstallLog("ended with exit code " + std::to_string(code) + ".");
    tk::End(code);
}

// Opened for writing without sharing, as the copy will open it: a file held open by anyone, a
// read-only file and a folder all fail. A file that is not there must be creatable; the probe
// leaves none behind.
bool CanBeWritten(const std::string& path) {
    const bool there = IsThere(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, there ? OPEN_EXISTING : CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | (there ? 0 : FILE_FLAG_DELETE_ON_CLOSE), nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// The process handle comes from the start itself: an uninstall program that ends at once could
// be gone before it was opened by its ID, and its quick success would read as a failed start.
HANDLE StartUninstallProgram() {
    std::string commandLine = UninstallCommandLine(InstallPath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

void GetWindowsPathsOrEnd() {
    if (GetWindowsPaths()) return;
    LoggedMsgBox(kPathsFailureText, MB_OK, kUninstallerTitle);
    EndRemoval(kRemovalNoWindowsPaths);
}

}  // namespace

const UninstallWaitCalls kSystemUninstallWaitCalls = {WaitForSingleObject, tk::DoEvents};

std::string UninstallCommandLine(const std::string& installPath) {
    return "\"" + installPath + kUninstallProgram + "\"" + kUninstallSwitch;
}

std::string WaitForUninstall(HANDLE process, const UninstallWaitCalls& calls) {
    for (int i = 0; i < kUninstallWaits; ++i) {
        calls.doEvents();
        switch (calls.waitForSingleObject(process, kUninstallWaitMs)) {
        case WAIT_OBJECT_0:
            return "";
        case WAIT_FAILED:
            return kWaitFailedText;
        case WAIT_ABANDONED:
            return kWaitAbandonedText;
        default:
            break;
        }
    }
    return kWaitTimeoutText;
}

std::string PortDriverRestoreProblem(const std::string& driversDir) {
    const std::string inUse = PortDriverPath(driversDir, kPortDriverInUse);
    const std::string aside = PortDriverPath(driversDir, kPortDriverAside);
    if (!IsThere(aside)) {
        if (FileExists(inUse)) return "";
        return "Neither " + aside + " nor " + inUse + " is there.";
    }
    if (!FileExists(aside)) return aside + " cannot be read.";
    if (!CanBeWritten(inUse)) return inUse + " cannot be written.";
    return "";
}

bool RestorePortDriver(const std::string& driversDir) {
    const std::string inUse = PortDriverPath(driversDir, kPortDriverInUse);
    const std::string aside = PortDriverPath(driversDir, kPortDriverAside);
    if (!IsThere(aside)) return IsThere(inUse);
    const WholeMove move = MoveWhole(aside, inUse);
    if (!move.copied) {
        InstallLog("the PS/2 port driver's file is not back: " + move.problem);
        return false;
    }
    InstallLog("put the PS/2 port driver's file back.");
    // The file is back whole: a copy left beside it is untidy, not a risk.
    if (!move.problem.empty()) InstallLog("the copy aside stays: " + move.problem);
    return true;
}

void CloseToolThroughDriver() {
    if (!OpenTouchDriver()) return;
    CloseRightButtonTool();
    CloseTouchDriver();
}

void RemoveSoftware() {
    // Once the uninstall program has run, the touch driver is gone: without the port driver's
    // file the machine would start with neither keyboard nor mouse. So that is checked first.
    InstallLog("removal started.");
    GetWindowsPathsOrEnd();
    const std::string problem = PortDriverRestoreProblem(DriversDir);
    if (!problem.empty()) {
        ShowFailureBox(kNotRestorableText + problem + kNotRestorableAdvice);
        EndRemoval(kRemovalPortDriverAtRisk);
    }

    CloseToolThroughDriver();
    ShowProgressMessage(kProgressText, kUninstallerTitle, &CenterForm);

    HANDLE process = StartUninstallProgram();
    if (process == nullptr) {
        InstallLog("the uninstall program did not start: " + tk::ErrorText(GetLastError()));
        ShowFailureBox(kStartupFailureText);
        EndRemoval(kRemovalNotStarted);
    }
    const std::string failure = WaitForUninstall(process);
    DWORD exitCode = 0;
    if (failure.empty() && GetExitCodeProcess(process, &exitCode))
        InstallLog("the uninstall program ended with exit code " + std::to_string(exitCode) + ".");
    CloseHandle(process);
    if (!failure.empty()) {
        ShowFailureBox(failure);
        EndRemoval(kRemovalNotAwaited);
    }

    const std::string self = WindowsPath + "\\" + kUninstallerFile;
    if (!Machine->moveFileEx(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        InstallLog(self + " is not to be deleted at the restart: " + tk::ErrorText(GetLastError()));

    const bool restored = RestorePortDriver(DriversDir);
    frmMessage.Unload();
    if (!restored) {
        const std::string inUse = PortDriverPath(DriversDir, kPortDriverInUse);
        const std::string aside = PortDriverPath(DriversDir, kPortDriverAside);
        ShowFailureBox("The PS/2 port driver's file could not be put back, so Windows is not restarted.\r\n\r\n"
                       "Copy " + aside + " to " + inUse + " before you restart Windows.");
        EndRemoval(kRemovalPortDriverNotBack);
    }
    tk::MsgBox(kCompleteText, MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_OK, kUninstallerTitle);
    EndRemoval(RestartWindows(kUninstallerTitle) ? kRemovalDone : kRemovalRestartRefused);
}
