// The uninstaller end to end, in the bed where the setup flow ran (the touch driver registered
// by setup runs): tests/setup/setup_flow.sh runs these steps after setup's, and restarts the bed
// before the last one. The unins000.exe stand-in notes each command line it was started with.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/SuiteNames.h"
#include "tests/setup/FlowSupport.h"
#include "tests/uia/uia.h"

namespace {

using flow::Contents;
using flow::Exists;
using flow::kPortOff;
using flow::kPortSys;
using flow::WriteFileText;

constexpr char kTitle[] = "TouchScreen Software Removal";
constexpr char kPortDriverBytes[] = "The PS/2 port driver, set aside by setup.";
constexpr char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kUninstallProgram[] = "unins000.exe";
constexpr DWORD kTimeOutAfter = 10 * 1000;

std::string WindowsFile(const std::string& name) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\" + name;
}

// The port driver's files as setup leaves them: the file set aside.
void LayOutAsSetupLeftIt() {
    DeleteFileA(kPortSys.c_str());
    WriteFileText(kPortOff, kPortDriverBytes);
}

std::string RecordString(const char* name) {
    char data[MAX_PATH] = {};
    DWORD size = sizeof data;
    RegGetValueA(HKEY_LOCAL_MACHINE, kRecordKey, name, RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

void SetRecordString(const char* name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, kRecordKey, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    RegCloseKey(key);
}

// The renames and deletions Windows carries out at its next start, as one text.
std::string PendingRenames() {
    char data[4096] = {};
    DWORD size = sizeof data - 2;
    RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManagerKey, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                 data, &size);
    std::string text(data, size);
    std::replace(text.begin(), text.end(), '\0', '|');
    return text;
}
bool DeletionPending() {
    std::string pending = PendingRenames();
    CharUpperBuffA(&pending[0], DWORD(pending.size()));
    return pending.find("\\QRWNTPDE.EXE") != std::string::npos;
}

// The uninstall stand-in's notes: one line per start.
std::string Starts(const std::string& folder) { return Contents(folder + "\\unins000.log"); }

class Removal : public ::testing::Test {
protected:
    void SetUp() override {
        driver.Open();
        uia::KillAll(kRightButtonToolFile);
        uia::KillAll(kUninstallProgram);
        SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", nullptr);
        LayOutAsSetupLeftIt();
        startsBefore = Starts(uia::InstallFolder());
    }
    void TearDown() override {
        uia::KillAll(kRightButtonToolFile);
        uia::KillAll(kUninstallProgram);
        SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", nullptr);
    }

    HWND StartUninstaller() {
        uninstaller = uia::Process::Start(WindowsFile(kUninstallerFile));
        return uia::WaitForForm("frmMain", uia::kDefaultTimeout, uninstaller.Pid());
    }
    void PressYes(HWND window) { uia::PostClick(uia::Control(window, "cmdYes")); }

    // A failure box of the uninstaller: its text, the exclamation, answered; then the program ends
    // without having asked for a restart (the witness lives on).
    void ExpectStopWith(const std::string& text, const char* screenshot = nullptr, DWORD timeout = uia::kDefaultTimeout) {
        HWND box = uia::WaitForMessageBox(timeout, uninstaller.Pid());
        EXPECT_EQ(uia::Text(box), kTitle);
        EXPECT_EQ(uia::MessageBoxText(box).substr(0, text.size()), text) << uia::MessageBoxText(box);
        EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Exclamation);
        EXPECT_TRUE(uia::IsTopmost(box)) << "system-modal";
        if (screenshot) uia::SaveScreenshot(screenshot);
        uia::Answer(box, IDOK);
        EXPECT_TRUE(uninstaller.WaitForExit());
        EXPECT_EQ(uia::FindMessageBox(uninstaller.Pid()), nullptr);
        EXPECT_TRUE(witness.Running()) << "a restart was requested";
    }
    // Nothing of the port driver moved and no deletion scheduled.
    void ExpectNothingLost() {
        EXPECT_EQ(Contents(kPortOff), kPortDriverBytes);
        EXPECT_FALSE(Exists(kPortSys));
        EXPECT_FALSE(DeletionPending()) << PendingRenames();
        EXPECT_TRUE(Exists(WindowsFile(kUninstallerFile)));
    }

    uia::Driver driver;
    uia::Process uninstaller;
    uia::Process witness = flow::StartWitness();
    std::string startsBefore;
};

TEST_F(Removal, TheWindowAsksAndNoChangesNothingAndClosesNoTool) {
    HWND toolWindow = nullptr;
    uia::Process tool = uia::StartRegisteredTool(driver, toolWindow);
    HWND window = StartUninstaller();
    uia::WaitForPainted(window);

    EXPECT_EQ(uia::Text(window), kTitle);
    EXPECT_EQ(uia::Text(uia::Control(window, "lblOemTitle")), RecordString("VenderName"));
    EXPECT_EQ(uia::Text(uia::Control(window, "lblSystem")), "TouchScreen Software Removal Version K520.PS2");
    EXPECT_EQ(uia::Text(uia::Control(window, "lblText")),
              "If Removal is complete, TouchScreen will not work next time when you start Windows!");
    EXPECT_EQ(uia::Text(uia::Control(window, "lblAsk")),
              "Are you sure you want to completely remove TouchScreen V.K520.PS2 and all of its components?");
    EXPECT_EQ(uia::Text(uia::Control(window, "cmdYes")), "&Yes");
    EXPECT_EQ(uia::Text(uia::Control(window, "cmdNo")), "&No");

    // The frame and the pair of buttons centred, to the pixel that the halving may cost.
    RECT client;
    GetClientRect(window, &client);
    const RECT shape = uia::RectInForm(uia::Control(window, "shpRemoval"));
    const RECT yes = uia::RectInForm(uia::Control(window, "cmdYes"));
    const RECT no = uia::RectInForm(uia::Control(window, "cmdNo"));
    EXPECT_NEAR(shape.left, client.right - shape.right, 1);
    EXPECT_NEAR(yes.left, client.right - no.right, 1);
    EXPECT_GT(no.left, yes.right);

    // The etched rule between them: a shadow row with a highlight row below, a little wider
    // than the frame on each side.
    const RECT onScreen = uia::ScreenRect(uia::Control(window, "shpRemoval"));
    const int x = onScreen.left - 2;
    const int below = onScreen.bottom, above = onScreen.bottom + (yes.top - shape.bottom);
    int shadowRow = -1;
    for (int y = below; y < above && shadowRow < 0; ++y)
        if (uia::ScreenPixel(x, y) == GetSysColor(COLOR_BTNSHADOW)) shadowRow = y;
    ASSERT_GE(shadowRow, 0) << "no etched rule between the frame and the buttons";
    EXPECT_EQ(uia::ScreenPixel(x, shadowRow + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(uia::ScreenPixel(onScreen.right + 1, shadowRow), GetSysColor(COLOR_BTNSHADOW));
    uia::SaveScreenshot("uninstall_question");

    uia::PostClick(uia::Control(window, "cmdNo"));
    EXPECT_TRUE(uninstaller.WaitForExit());
    EXPECT_TRUE(tool.Running());
    EXPECT_EQ(driver.State().rbf.hwnd, uia::WindowField(toolWindow));
    EXPECT_EQ(Starts(uia::InstallFolder()), startsBefore);
    ExpectNothingLost();
}

// Checked before anything is removed: the tool stays, the uninstall program is not started.
TEST_F(Removal, APortDriverThatCannotBePutBackStopsItBeforeAnythingIsRemoved) {
    HWND toolWindow = nullptr;
    uia::Process tool = uia::StartRegisteredTool(driver, toolWindow);
    HANDLE held = CreateFileA(kPortOff.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    PressYes(StartUninstaller());
    ExpectStopWith("The PS/2 port driver's file could not be put back, so nothing has been removed.",
                   "uninstall_port_driver_blocked");
    CloseHandle(held);
    EXPECT_TRUE(tool.Running());
    EXPECT_EQ(Starts(uia::InstallFolder()), startsBefore);
    ExpectNothingLost();
}

// A registration left by a tool that died names a window of another program: it gets nothing.
TEST_F(Removal, AMissingUninstallProgramStopsItAndAStaleRegistrationGetsNoMessage) {
    uia::StandInWindow other("another program's window");
    driver.RegisterTool(other.Window());
    const std::string program = uia::InstallFile(kUninstallProgram), away = program + ".away";
    ASSERT_TRUE(MoveFileA(program.c_str(), away.c_str()));
    PressYes(StartUninstaller());
    ExpectStopWith("Fail to remove files! (Startup)");
    MoveFileA(away.c_str(), program.c_str());
    EXPECT_TRUE(other.Commands().empty());
    ExpectNothingLost();
}

TEST_F(Removal, AnUninstallProgramThatNeverEndsTimesOutWithoutRestoreOrRestart) {
    SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", "600000");
    PressYes(StartUninstaller());
    HWND progress = uia::WaitForForm("frmMessage", uia::kDefaultTimeout, uninstaller.Pid());
    EXPECT_EQ(uia::Text(uia::Control(progress, "lblMsg")), "Removing files from your system...");
    EXPECT_EQ(uia::Text(progress), kTitle);
    uia::Require([&] { return uia::ProcessIds(kUninstallProgram).size() == 1; }, "the uninstall program running");
    uia::WaitForPainted(progress);
    uia::SaveScreenshot("uninstall_progress");
    ExpectStopWith("Fail to remove files! (WAIT_TIMEOUT)", nullptr, kTimeOutAfter + uia::kDefaultTimeout);
    EXPECT_EQ(uia::ProcessIds(kUninstallProgram).size(), 1u) << "the uninstall program was left running";
    ExpectNothingLost();
}

// The uninstall program lies in a folder with a blank, and a file named after the folder's first
// word lies beside it, which an unquoted command line would start instead.
TEST_F(Removal, YesClosesTheToolWaitsForTheUninstallProgramPutsThePortDriverBackAndRestarts) {
    HWND toolWindow = nullptr;
    uia::Process tool = uia::StartRegisteredTool(driver, toolWindow);
    const std::string folder = "C:\\QR Touch", decoy = "C:\\QR.exe";
    const std::string installPath = RecordString("InstallPath");
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(uia::InstallFile(kUninstallProgram).c_str(), (folder + "\\" + kUninstallProgram).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(uia::InstallFile(kUninstallProgram).c_str(), decoy.c_str(), FALSE));
    SetRecordString("InstallPath", folder);
    // Longer than one wait, so that the loop waits more than once.
    SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", "1500");

    PressYes(StartUninstaller());
    HWND box = uia::WaitForMessageBox(kTimeOutAfter + uia::kDefaultTimeout, uninstaller.Pid());
    SetRecordString("InstallPath", installPath);
    EXPECT_EQ(uia::Text(box), kTitle);
    EXPECT_EQ(uia::MessageBoxText(box),
              "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\nThe Windows must be restarted.");
    EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Information);
    EXPECT_TRUE(uia::IsTopmost(box)) << "system-modal";
    EXPECT_EQ(uia::FindForm("frmMessage", uninstaller.Pid()), nullptr) << "the progress window is still there";
    uia::SaveScreenshot("uninstall_complete");

    EXPECT_TRUE(tool.WaitForExit()) << "the right-button tool was not closed";
    EXPECT_EQ(driver.State().rbf.hwnd, RBF_NO_WINDOW);
    EXPECT_EQ(Starts(folder), "\"C:\\QR Touch\\unins000.exe\" /SILENT\r\n");
    EXPECT_FALSE(Exists("C:\\unins000.log")) << "the unquoted command line started " << decoy;
    EXPECT_TRUE(uia::ProcessIds(kUninstallProgram).empty());
    EXPECT_EQ(Contents(kPortSys), kPortDriverBytes);
    EXPECT_FALSE(Exists(kPortOff));
    EXPECT_TRUE(DeletionPending()) << PendingRenames();

    uia::Answer(box, IDOK);
    EXPECT_TRUE(witness.WaitForExit()) << "no restart requested: the witness window lives on";
    EXPECT_TRUE(uninstaller.WaitForExit());
    DeleteFileA(decoy.c_str());
}

TEST(AfterTheRemoval, ThePortDriverIsBackAndTheUninstallerIsGone) {
    EXPECT_EQ(Contents(kPortSys), kPortDriverBytes);
    EXPECT_FALSE(Exists(kPortOff));
    EXPECT_FALSE(Exists(WindowsFile(kUninstallerFile)));
}

}  // namespace
