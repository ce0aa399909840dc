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
constexpr char kUninstallSwitch[] = " /SILENT";
constexpr char kStartupFailureText[] = "Fail to remove files! (Startup)";
constexpr char kWaitFailedText[] = "Fail to remove files! (WAIT_FAILED)";
constexpr char kWaitAbandonedText[] = "Fail to remove files! (WAIT_ABANDONED)";
constexpr char kWaitTimeoutText[] = "Fail to remove files! (WAIT_TIMEOUT)";
constexpr char kExitCodeText[] = "Fail to remove files! (exit code ";
// unins000.exe's own exit code when it could not put the port driver's file back.
constexpr DWORD kUninstallPortDriverNotBack = 3;
constexpr char kUninstallPortDriverNotBackText[] =
    "The uninstall program could not put the PS/2 port driver's file back, so it has removed nothing and "
    "Windows is not restarted. That driver serves the keyboard and the mouse: run the removal again once "
    "its file can be put back.";
constexpr char kUninstallFailedText[] =
    "The uninstall program did not finish, so Windows is not restarted. Run the removal again.";
constexpr char kPathsFailureText[] = "Fail to get Windows Paths!";
constexpr char kCompleteText[] =
    "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\nThe Windows must be restarted.";
constexpr char kNotRestorableText[] =
    "The PS/2 port driver's file could not be put back, so nothing has been removed.\r\n\r\n";
constexpr char kNotRestorableAdvice[] =
    "\r\n\r\nThat driver serves the keyboard and the mouse. Run the removal again once its file can be put back.";
// Every failure of the removal: OK with the exclamation mark, system-modal.
constexpr FailureBox kRemovalFailure = FailureBox::SystemExclamation;

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
    HANDLE file = Machine->createFile(path.c_str(), GENERIC_WRITE, 0, nullptr, there ? OPEN_EXISTING : CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | (there ? 0 : FILE_FLAG_DELETE_ON_CLOSE), nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    Machine->closeHandle(file);
    return true;
}

void GetWindowsPathsOrEnd() {
    const Outcome known = GetWindowsPaths();
    if (known) return;
    ShowErrorBox(kPathsFailureText, kUninstallerTitle, FailureBox::Plain, known.Error());
    EndRemoval(kRemovalNoWindowsPaths);
}

}  // namespace

std::string UninstallCommandLine(const std::string& installPath) {
    return "\"" + installPath + "\\" + kUninstallProgramFile + "\"" + kUninstallSwitch;
}

Failure WaitForUninstall(HANDLE process) {
    for (int i = 0; i < kUninstallWaits; ++i) {
        Machine->doEvents();
        switch (Machine->waitForSingleObject(process, kUninstallWaitMs)) {
        case WAIT_OBJECT_0:
            return {};
        case WAIT_FAILED:
            return {kWaitFailedText, GetLastError()};
        case WAIT_ABANDONED:
            return {kWaitAbandonedText};
        default:
            break;
        }
    }
    return {kWaitTimeoutText};
}

std::string PortDriverRestoreProblem(const std::string& driversDir) {
    const std::string inUse = PortDriverPath(driversDir, kPortDriverInUse);
    const std::string aside = PortDriverPath(driversDir, kPortDriverAside);
    if (IsWholeImage(inUse)) return "";
    if (!IsThere(aside)) return "Neither " + aside + " nor a whole " + inUse + " is there.";
    const std::string notWhole = WholeImageProblem(aside);
    if (!notWhole.empty()) return aside + ": " + notWhole;
    if (!CanBeWritten(inUse)) return inUse + " cannot be written.";
    return "";
}

std::string UninstallProgramFailure(DWORD exitCode) {
    if (exitCode == 0) return "";
    return kExitCodeText + std::to_string(exitCode) + ")\r\n\r\n" +
           (exitCode == kUninstallPortDriverNotBack ? kUninstallPortDriverNotBackText : kUninstallFailedText);
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
        ShowErrorBox(kNotRestorableText + problem + kNotRestorableAdvice, kUninstallerTitle, kRemovalFailure);
        EndRemoval(kRemovalPortDriverAtRisk);
    }

    CloseToolThroughDriver();
    ShowProgressMessage(kProgressText, kUninstallerTitle, &CenterForm);

    HANDLE process = tk::Shell(UninstallCommandLine(InstallPath), SW_SHOWNORMAL);
    if (process == nullptr) {
        ShowErrorBox(kStartupFailureText, kUninstallerTitle, kRemovalFailure, GetLastError());
        EndRemoval(kRemovalNotStarted);
    }
    Failure awaited = WaitForUninstall(process);
    DWORD exitCode = 0;
    if (!awaited.Happened() && !GetExitCodeProcess(process, &exitCode)) awaited = {kWaitFailedText, GetLastError()};
    CloseHandle(process);
    if (awaited.Happened()) {
        ShowErrorBox(awaited.text, kUninstallerTitle, kRemovalFailure, awaited.cause);
        EndRemoval(kRemovalNotAwaited);
    }
    InstallLog("the uninstall program ended with exit code " + std::to_string(exitCode) + ".");
    const std::string failure = UninstallProgramFailure(exitCode);
    if (!failure.empty()) {
        frmMessage.Unload();
        ShowErrorBox(failure, kUninstallerTitle, kRemovalFailure);
        EndRemoval(kRemovalUninstallFailed);
    }

    // The uninstall program put the file back before it removed anything; this sees it in place,
    // also where the uninstall program is another one.
    const DWORD restored = RestorePortDriverFile(DriversDir);
    frmMessage.Unload();
    if (restored != ERROR_SUCCESS) {
        const std::string inUse = PortDriverPath(DriversDir, kPortDriverInUse);
        const std::string aside = PortDriverPath(DriversDir, kPortDriverAside);
        ShowErrorBox("The PS/2 port driver's file could not be put back, so Windows is not restarted.\r\n\r\n"
                     "Copy " + aside + " to " + inUse + " before you restart Windows.",
                     kUninstallerTitle, kRemovalFailure, restored);
        EndRemoval(kRemovalPortDriverNotBack);
    }
    // Only now: a removal that failed keeps its uninstaller, so that it can be run again.
    const std::string self = WindowsDir + kUninstallerFile;
    if (!Machine->moveFileEx(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        InstallLog(self + " is not to be deleted at the restart: " + tk::ErrorText(GetLastError()));
    InstallLog(kCompleteText);
    tk::MsgBox(kCompleteText, MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_OK, kUninstallerTitle);
    EndRemoval(RestartWindows(kUninstallerTitle) ? kRemovalDone : kRemovalRestartRefused);
}
