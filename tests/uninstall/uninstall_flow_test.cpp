// The uninstaller end to end, in the bed where the setup flow ran (the touch driver that setup
// registered runs): tests/setup/setup_flow.sh runs these steps after setup's and restarts the bed
// before the last. The unins000.exe stand-in notes each command line it was started with.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

using uia::Contents;
using uia::Exists;
using uia::kPortOff;
using uia::kPortSys;
using uia::RegistryText;

constexpr char kTitle[] = "TouchScreen Software Removal";
const std::string kPortDriverBytes = uia::PortDriverImage("set aside by setup");
constexpr char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
constexpr char kUninstallProgram[] = "unins000.exe";
constexpr DWORD kBeyondTheWaits = 10 * 1000 + uia::kDefaultTimeout;

std::string Uninstaller() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\" + kUninstallerFile;
}

bool DeletionPending() {
    std::string pending = RegistryText("System\\CurrentControlSet\\Control\\Session Manager",
                                       "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ);
    CharUpperA(&pending[0]);
    return pending.find("\\QRWNTPDE.EXE") != std::string::npos;
}
void SetInstallPath(const std::string& path) {
    HKEY key = nullptr;
    RegOpenKeyA(HKEY_LOCAL_MACHINE, kRecordKey, &key);
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), DWORD(path.size() + 1));
    RegCloseKey(key);
}

// Each removal starts from the port driver's files as setup leaves them, with a witness whose end
// shows a restart request.
class Removal : public ::testing::Test {
protected:
    void SetUp() override {
        driver.Open();
        uia::KillAll(kRightButtonToolFile);
        DeleteFileA(kPortSys.c_str());
        uia::WriteFileText(kPortOff, kPortDriverBytes);
        starts = Contents(uia::InstallFile("unins000.log"));
        tool = uia::StartRegisteredTool(driver, toolWindow);
    }
    void TearDown() override {
        uia::KillAll(kRightButtonToolFile);
        uia::KillAll(kUninstallProgram);
        SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", nullptr);
    }
    HWND Start() {
        uninstaller = uia::Process::Start(Uninstaller());
        return uia::WaitForForm("frmMain", uia::kDefaultTimeout, uninstaller.Pid());
    }
    // The uninstaller ended without a restart request, the port driver's files and its own file as
    // they were.
    void ExpectNothingLost(const std::string& what) {
        EXPECT_TRUE(uninstaller.WaitForExit()) << what;
        EXPECT_TRUE(witness.Running()) << what << ": a restart was requested";
        EXPECT_EQ(Contents(kPortOff), kPortDriverBytes) << what;
        EXPECT_FALSE(Exists(kPortSys)) << what;
        EXPECT_FALSE(DeletionPending()) << what;
    }

    uia::Driver driver;
    uia::Process witness = uia::StartWitness(), uninstaller, tool;
    HWND toolWindow = nullptr;
    std::string starts;
};

TEST_F(Removal, TheWindowAsksAndNoChangesNothing) {
    HWND window = Start();
    uia::WaitForPainted(window);
    EXPECT_EQ(uia::Text(window), kTitle);
    const std::pair<const char*, std::string> texts[] = {
        {"lblOemTitle", RegistryText(kRecordKey, "VenderName")},
        {"lblSystem", "TouchScreen Software Removal Version K520.PS2"},
        {"lblText", "If Removal is complete, TouchScreen will not work next time when you start Windows!"},
        {"lblAsk", "Are you sure you want to completely remove TouchScreen V.K520.PS2 and all of its components?"},
        {"cmdYes", "&Yes"},
        {"cmdNo", "&No"}};
    for (const auto& [name, text] : texts) EXPECT_EQ(uia::Text(uia::Control(window, name)), text) << name;

    // The frame and the pair of buttons centred, to the pixel that the halving may cost; the etched
    // rule between them, a shadow row above a highlight row, a little wider than the frame.
    RECT client;
    GetClientRect(window, &client);
    const RECT shape = uia::RectInForm(uia::Control(window, "shpRemoval"));
    const RECT yes = uia::RectInForm(uia::Control(window, "cmdYes")), no = uia::RectInForm(uia::Control(window, "cmdNo"));
    EXPECT_NEAR(shape.left, client.right - shape.right, 1);
    EXPECT_NEAR(yes.left, client.right - no.right, 1);
    const RECT frame = uia::ScreenRect(uia::Control(window, "shpRemoval"));
    int rule = frame.bottom;
    while (rule < frame.bottom + (yes.top - shape.bottom) && uia::ScreenPixel(frame.left - 2, rule) != GetSysColor(COLOR_BTNSHADOW)) ++rule;
    EXPECT_EQ(uia::ScreenPixel(frame.right + 1, rule), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(uia::ScreenPixel(frame.left - 2, rule + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    uia::SaveScreenshot("uninstall_question");

    uia::PostClick(uia::Control(window, "cmdNo"));
    ExpectNothingLost("No");
    EXPECT_TRUE(tool.Running());
    EXPECT_EQ(Contents(uia::InstallFile("unins000.log")), starts);
}

// Each stop ends with its message and loses nothing. A port driver that cannot be put back stops
// the removal before the tool is closed or the uninstall program started. A registration left by a
// tool that died, now held by a window of another program, gets no message.
TEST_F(Removal, StopsEndWithTheirMessageAndLoseNothing) {
    // kWaitedFor: closed, and the uninstall program outlasts the waits.
    enum ToolAfter { kStillRunning, kClosed, kWaitedFor, kDiedBefore };
    HANDLE held = INVALID_HANDLE_VALUE;
    std::unique_ptr<uia::StandInWindow> other;
    const std::string program = uia::InstallFile(kUninstallProgram), away = program + ".away";
    const struct {
        const char* text;
        std::function<void()> arrange;
        ToolAfter toolAfter;
    } cases[] = {
        {"The PS/2 port driver's file could not be put back, so nothing has been removed.",
         [&] { held = CreateFileA(kPortOff.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); }, kStillRunning},
        {"Fail to remove files! (Startup) [error 2]",
         [&] {
             MoveFileA(program.c_str(), away.c_str());
             tool.Kill();
             other = std::make_unique<uia::StandInWindow>("another program's window");
             driver.RegisterTool(other->Window());
         },
         kDiedBefore},
        {"Fail to remove files! (WAIT_TIMEOUT)", [] { SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", "600000"); }, kWaitedFor},
        // The real uninstall program's code when it could not put the port driver's file back.
        {"Fail to remove files! (exit code 3)", [] { SetEnvironmentVariableA("QR_UNINS000_EXIT_CODE", "3"); }, kClosed},
    };
    for (const auto& c : cases) {
        if (!tool.Running()) tool = uia::StartRegisteredTool(driver, toolWindow);
        c.arrange();
        uia::PostClick(uia::Control(Start(), "cmdYes"));
        if (c.toolAfter == kWaitedFor) {
            // The program reads its window events once a second while it waits.
            HWND progress = uia::WaitForForm("frmMessage", uia::kDefaultTimeout, uninstaller.Pid());
            EXPECT_EQ(uia::Text(uia::Control(progress, "lblMsg")), "Removing files from your system...");
            uia::SaveScreenshot("uninstall_progress");
        }
        HWND box = uia::WaitForMessageBox(kBeyondTheWaits, uninstaller.Pid());
        EXPECT_EQ(uia::Text(box), kTitle);
        EXPECT_EQ(uia::FailureLine(box).find(c.text), 0u) << uia::MessageBoxText(box);
        EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Exclamation);
        uia::SaveScreenshot("uninstall_stop_" + std::to_string(&c - cases));
        uia::Answer(box, IDOK);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        MoveFileA(away.c_str(), program.c_str());
        ExpectNothingLost(c.text);
        if (c.toolAfter == kDiedBefore) EXPECT_TRUE(other->Commands().empty()) << c.text;
        else {
            const bool closed = c.toolAfter == kClosed || c.toolAfter == kWaitedFor;
            EXPECT_EQ(tool.WaitForExit(closed ? uia::kDefaultTimeout : 0), closed) << c.text;
        }
        uia::KillAll(kUninstallProgram);
        SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", nullptr);
        SetEnvironmentVariableA("QR_UNINS000_EXIT_CODE", nullptr);
    }
}

// The uninstall program lies in a folder with a blank, beside a file named after the folder's
// first word, which an unquoted command line would start instead.
TEST_F(Removal, YesClosesTheToolAwaitsTheUninstallProgramPutsThePortDriverBackAndRestarts) {
    const std::string installPath = RegistryText(kRecordKey, "InstallPath"), folder = "C:\\QR Touch";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& copy : {folder + "\\" + kUninstallProgram, std::string("C:\\QR.exe")})
        ASSERT_TRUE(CopyFileA(uia::InstallFile(kUninstallProgram).c_str(), copy.c_str(), FALSE));
    SetInstallPath(folder);
    SetEnvironmentVariableA("QR_UNINS000_DELAY_MS", "1500");  // more than one wait

    uia::PostClick(uia::Control(Start(), "cmdYes"));
    HWND progress = uia::WaitForForm("frmMessage", uia::kDefaultTimeout, uninstaller.Pid());
    HWND box = uia::WaitForMessageBox(kBeyondTheWaits, uninstaller.Pid());
    SetInstallPath(installPath);
    EXPECT_EQ(uia::MessageBoxText(box),
              "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\nThe Windows must be restarted.");
    EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Information);
    EXPECT_FALSE(uia::Visible(progress));
    uia::SaveScreenshot("uninstall_complete");

    EXPECT_TRUE(tool.WaitForExit()) << "the right-button tool was not closed";
    EXPECT_EQ(Contents(folder + "\\unins000.log"), "\"C:\\QR Touch\\unins000.exe\" /SILENT\r\n");
    EXPECT_FALSE(Exists("C:\\unins000.log")) << "the unquoted command line started C:\\QR.exe";
    EXPECT_EQ(Contents(kPortSys), kPortDriverBytes);
    EXPECT_FALSE(Exists(kPortOff));
    EXPECT_TRUE(DeletionPending());
    uia::Answer(box, IDOK);
    EXPECT_TRUE(witness.WaitForExit()) << "no restart requested: the witness window lives on";
}

TEST(AfterTheRemoval, ThePortDriverIsBackAndTheUninstallerIsGone) {
    EXPECT_EQ(Contents(kPortSys), kPortDriverBytes);
    EXPECT_FALSE(Exists(kPortOff));
    EXPECT_FALSE(Exists(Uninstaller()));
}

}  // namespace
