// The installer's whole cycle, run step by step by tests/installer/cycle.sh in a bare bed (and its
// control bed for the snapshots): install silently, restart, find the suite running, install again,
// restart, remove from Add or Remove Programs' command, restart, find nothing of the suite left.
// QR_SETUP_EXE names the installer (a Windows path); QR_SNAPSHOT the file a snapshot goes to.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

constexpr char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
constexpr char kArpKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen QR-K52-PS2";
constexpr char kSetupFinished[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";


std::string Folder(UINT (WINAPI* call)(LPSTR, UINT)) {
    char folder[MAX_PATH] = {};
    call(folder, MAX_PATH);
    return folder;
}

// Where the installer installs unless told another folder.
std::string DefaultInstallPath() { return Folder(GetWindowsDirectoryA).substr(0, 3) + "Program Files\\TouchScreen"; }

// Every key and value below a key, a line each: "key<TAB>=name<TAB>type:data", and "key<TAB>key"
// for the key itself (a value's name may be empty).
void DumpKey(FILE* out, HKEY root, const std::string& rootName, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    const std::string shown = rootName + "\\" + path;
    std::fprintf(out, "%s\tkey\t\n", shown.c_str());
    for (DWORD i = 0;; ++i) {
        char name[16384];
        BYTE data[65536];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        std::fprintf(out, "%s\t=%s\t%lu:", shown.c_str(), name, type);
        for (DWORD b = 0; b < dataSize; ++b) std::fprintf(out, "%02x", data[b]);
        std::fputc('\n', out);
    }
    for (DWORD i = 0;; ++i) {
        char sub[1024];
        DWORD subSize = sizeof sub;
        if (RegEnumKeyExA(key, i, sub, &subSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        DumpKey(out, root, rootName, path + "\\" + sub);
    }
    RegCloseKey(key);
}

// Where Wine reads the Windows version that it reports to programs started from then on.
constexpr char kWineKey[] = "Software\\Wine";
constexpr char kWineVersion[] = "Version";

void DumpFiles(FILE* out, const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        const std::string path = folder + "\\" + name;
        // The users' folders lead into this machine's home folder, which beds share.
        if (name == "." || name == ".." || lstrcmpiA(path.c_str(), "C:\\users") == 0) continue;
        std::fprintf(out, "file\t%s\t\n", path.c_str());
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DumpFiles(out, path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The all-users Start-menu folder of the suite, ending in "\".
std::string ShortcutsFolder() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, folder);
    return std::string(folder) + "\\TouchScreen\\";
}

// The folder a shortcut starts its program in.
std::string ShortcutFolder(const std::string& path) {
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char folder[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        const std::wstring wide(path.begin(), path.end());
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) link->GetWorkingDirectory(folder, MAX_PATH);
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return folder;
}

TEST(Cycle, Snapshot) {
    FILE* out = std::fopen(uia::Environment("QR_SNAPSHOT").c_str(), "w");
    ASSERT_NE(out, nullptr) << uia::Environment("QR_SNAPSHOT");
    DumpKey(out, HKEY_LOCAL_MACHINE, "HKLM", "System\\CurrentControlSet\\Services");
    DumpKey(out, HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE");
    DumpKey(out, HKEY_CURRENT_USER, "HKCU", "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    DumpFiles(out, "C:");  // but the users' folders
    std::fclose(out);
}

// What the installer checks first stops it before it changes anything (the snapshots show that).
TEST(Cycle, RefusesBeforeChangingAnything) {
    const std::string portSys = uia::kPortSys, away = portSys + ".away";
    uia::RegistryValue bedVersion;
    const struct {
        const char* what;
        std::function<void()> arrange, undo;
    } cases[] = {
        {"no port driver", [&] { MoveFileA(portSys.c_str(), away.c_str()); },
         [&] { MoveFileA(away.c_str(), portSys.c_str()); }},
        {"Windows 7",
         [&] {
             bedVersion = uia::ReadRegistryValue(HKEY_CURRENT_USER, kWineKey, kWineVersion);
             uia::WriteRegistryValue(HKEY_CURRENT_USER, kWineKey, kWineVersion, {REG_SZ, std::string("win7", sizeof "win7"), true});
         },
         [&] { uia::WriteRegistryValue(HKEY_CURRENT_USER, kWineKey, kWineVersion, bedVersion); }},
        // Silently, the question whether to go back to an older version is answered no.
        {"a newer version installed",
         [] {
             HKEY key = nullptr;
             RegCreateKeyA(HKEY_LOCAL_MACHINE, kArpKey, &key);
             RegSetValueExA(key, "DisplayVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>("9.0.0"), 6);
             RegCloseKey(key);
         },
         [] { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kArpKey); }},
    };
    for (const auto& c : cases) {
        c.arrange();
        uia::Process installer = uia::Process::Start(uia::Environment("QR_SETUP_EXE"), "/S");
        EXPECT_TRUE(installer.WaitForExit(60000)) << c.what;
        EXPECT_EQ(installer.ExitCode(), 2u) << c.what;
        c.undo();
    }
    EXPECT_EQ(uia::RegistryText(kArpKey, "DisplayName"), "");
}

// A touch driver file that cannot be written ends the installation before setup, which would set
// the port driver aside: the port driver stays the one that starts with Windows.
TEST(Cycle, ADriverFileThatCannotBeWrittenEndsBeforeSetup) {
    const std::string blocker = uia::DriversFolder() + "QRWNTPS2.new";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    uia::Process installer = uia::Process::Start(uia::Environment("QR_SETUP_EXE"), "/S");
    EXPECT_TRUE(installer.WaitForExit(60000));
    EXPECT_EQ(installer.ExitCode(), 2u);
    RemoveDirectoryA(blocker.c_str());
    EXPECT_TRUE(uia::Exists(uia::kPortSys));
    EXPECT_FALSE(uia::Exists(uia::kPortOff));
    EXPECT_FALSE(uia::Exists(uia::DriversFolder() + kDriverFileName));
    EXPECT_EQ(uia::RegistryText("System\\CurrentControlSet\\Services\\QRWNTPS2", "Group"), "");
    // This first installation took back the files it had put in place.
    const std::string windows = Folder(GetWindowsDirectoryA);
    EXPECT_FALSE(uia::Exists(DefaultInstallPath()));
    EXPECT_FALSE(uia::Exists(windows + "\\" + kUninstallerFile));
    EXPECT_EQ(uia::RegistryText(kArpKey, "BeforeNoted", RRF_RT_REG_DWORD), "");
}

// A restart request ends the session's windows; the renames wait for the bed's restart. Until
// Wine's end of the session is over, its process holds the folder it started in.
void WaitForTheSessionEnd() {
    uia::Require([] { return uia::ProcessIds("wineboot.exe").empty(); }, "the end of the session");
}

// Silently, as an administrator's script would; setup's completion message still asks.
void InstallSilently(const std::string& arguments = "/S") {
    uia::Process installer = uia::Process::Start(uia::Environment("QR_SETUP_EXE"), arguments);
    HWND box = uia::WaitForMessageBox(60000);
    EXPECT_EQ(uia::Text(box), kSetupTitle);
    EXPECT_EQ(uia::MessageBoxText(box), kSetupFinished);
    uia::SaveScreenshot("installer_setup_finished");
    uia::Answer(box, IDOK);
    ASSERT_TRUE(installer.WaitForExit(60000));
    EXPECT_EQ(installer.ExitCode(), 0u);
    WaitForTheSessionEnd();
}

TEST(Cycle, InstallSilently) { InstallSilently(); }

// A removal whose restart has not come yet leaves the deletions of what it could not delete at
// once; an installation before that restart must outlive them.
TEST(Cycle, InstallOverARemovalNotYetRestarted) {
    const std::string folder = DefaultInstallPath();
    for (const std::string& path : {folder + "\\" + kUninstallProgramFile, Folder(GetWindowsDirectoryA) + "\\" + kUninstallerFile,
                                    uia::DriversFolder() + kDriverFileName, folder}) {
        ASSERT_TRUE(MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) << path;
        EXPECT_TRUE(uia::DeletionPending(path)) << path;
    }
    InstallSilently();
}

ULONGLONG Ticks(const FILETIME& time) { return ULONGLONG(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

ULONGLONG LastWritten(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return Ticks(data.ftLastWriteTime);
}

// Over an installation whose right-button tool runs: the tool is closed and every file written
// anew. Then into another folder: the earlier one goes.
TEST(Cycle, UpdatesOverTheRunningToolAndIntoAnotherFolderReplaceEveryFile) {
    const std::string earlier = uia::RegistryText(kRecordKey, "InstallPath"), moved = "C:\\TouchScreen Moved";
    const std::string windows = Folder(GetWindowsDirectoryA) + "\\";
    std::vector<std::string> files = {windows + kUninstallerFile};
    for (const char* program : {kControlPanelFile, kStartupFile, kRightButtonToolFile, kSetupFile, "unins000.exe"})
        files.push_back(earlier + "\\" + program);
    const SYSTEMTIME old = {2001, 1, 1, 1, 0, 0, 0, 0};
    FILETIME oldTime = {};
    SystemTimeToFileTime(&old, &oldTime);
    const ULONGLONG aged = Ticks(oldTime);
    for (const std::string& file : files) {
        HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &oldTime)) << file;
        CloseHandle(handle);
    }
    uia::Process tool = uia::Process::Start(earlier + "\\" + kRightButtonToolFile);
    uia::WaitForForm("frmMain", uia::kDefaultTimeout, tool.Pid(), uia::Visibility::Any);

    InstallSilently();
    EXPECT_TRUE(tool.WaitForExit());
    for (const std::string& file : files) EXPECT_GT(LastWritten(file), aged) << file;
    EXPECT_TRUE(uia::Exists(uia::DriversFolder() + "QRWNTPS2.new")) << "the driver in use, replaced at the restart";

    // A vendor's file put there by hand goes with the installation, whose installer brings none.
    const std::string vendorFile = "\\QRVender.Cut", byHand = "a vendor's file, put there by hand";
    uia::WriteFileText(earlier + vendorFile, byHand);
    InstallSilently("/S /D=" + moved);
    EXPECT_EQ(uia::RegistryText(kRecordKey, "InstallPath"), moved);
    EXPECT_TRUE(uia::Exists(moved + "\\" + kRightButtonToolFile));
    EXPECT_EQ(uia::Contents(moved + vendorFile), byHand);
    // Windows defers the removal to the restart while something still holds the folder; the next
    // step, after the restart, finds it gone.
    EXPECT_TRUE(!uia::Exists(earlier) || uia::DeletionPending(earlier)) << earlier;
    const std::string log = uia::Contents(Folder(GetWindowsDirectoryA) + "\\" + kInstallLogFile);
    EXPECT_NE(log.find(uia::Exists(earlier) ? "goes at the restart" : "Removed the earlier installation folder"),
              std::string::npos) << log;

    // The same folder named another way is no other folder: nothing of it goes.
    char shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA(moved.c_str(), shortName, MAX_PATH), 0u);
    std::string otherCase = moved;
    CharUpperA(&otherCase[0]);
    for (const std::string& spelling : {std::string(shortName), otherCase + "\\", moved}) {
        InstallSilently("/S /D=" + spelling);
        for (const char* file : {kControlPanelFile, kUninstallProgramFile, vendorFile.c_str() + 1}) {
            const std::string path = moved + "\\" + file;
            EXPECT_TRUE(uia::Exists(path) && !uia::DeletionPending(path)) << path << ", installed as " << spelling;
        }
    }
}

TEST(Cycle, AfterTheRestartTheSuiteRuns) {
    const std::string installPath = uia::RegistryText(kRecordKey, "InstallPath");
    EXPECT_EQ(installPath, DefaultInstallPath());
    for (const std::string& path : {installPath + "\\" + kUninstallProgramFile, Folder(GetWindowsDirectoryA) + "\\" + kUninstallerFile})
        EXPECT_TRUE(uia::Exists(path)) << path;
    uia::Driver driver;
    driver.Open();
    // The startup program ran at the logon.
    uia::Require([&] { return driver.State().block.screenWidth == GetSystemMetrics(SM_CXSCREEN); },
                 "the screen size from the startup program");
    EXPECT_EQ(driver.State().block.screenHeight, GetSystemMetrics(SM_CYSCREEN));
    uia::Process panel = uia::Process::Start(installPath + "\\" + kControlPanelFile);
    HWND main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
    EXPECT_EQ(uia::Text(uia::Control(main, "lblOemTitle")), "Orvale TouchScreen");
    uia::WaitForPainted(main);
    uia::SaveScreenshot("installer_control_panel");
    panel.Kill();
    EXPECT_TRUE(uia::Exists(uia::kPortOff));
    EXPECT_FALSE(uia::Exists(uia::kPortSys));

    // What Add or Remove Programs shows of it, and where its shortcuts start.
    EXPECT_EQ(uia::RegistryText(kArpKey, "DisplayIcon"), installPath + "\\" + kControlPanelFile);
    EXPECT_EQ(uia::RegistryText(kArpKey, "DisplayVersion"), "5.2.0");
    DWORD size = 0, bytes = sizeof size;
    RegGetValueA(HKEY_LOCAL_MACHINE, kArpKey, "EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes);
    EXPECT_GT(size, 100u) << "kilobytes";
    for (const char* shortcut : {"TouchScreen Control Panel.lnk", "TouchScreen Right Button.lnk"})
        EXPECT_EQ(ShortcutFolder(ShortcutsFolder() + shortcut), installPath) << shortcut;
}

TEST(Cycle, RemoveFromAddOrRemovePrograms) {
    const std::string command = uia::RegistryText(kArpKey, "UninstallString");
    ASSERT_EQ(command, "\"" + Folder(GetWindowsDirectoryA) + "\\" + kUninstallerFile + "\"");
    uia::Process uninstaller = uia::Process::Start(command.substr(1, command.size() - 2));
    HWND window = uia::WaitForForm("frmMain", uia::kDefaultTimeout, uninstaller.Pid());
    uia::PostClick(uia::Control(window, "cmdYes"));
    HWND box = uia::WaitForMessageBox(30000, uninstaller.Pid());
    EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Information) << uia::MessageBoxText(box);
    uia::Answer(box, IDOK);
    EXPECT_TRUE(uninstaller.WaitForExit());
    WaitForTheSessionEnd();
}

// The removal puts the port driver's file back before it removes anything of the touch driver;
// what is in use goes at the restart.
void ExpectRemovedBeforeTheRestart() {
    EXPECT_EQ(uia::Contents(uia::kPortSys), uia::PortDriverImage());
    EXPECT_FALSE(uia::Exists(uia::kPortOff));
    EXPECT_EQ(uia::RegistryText(kArpKey, "DisplayName"), "");
    EXPECT_EQ(uia::RegistryText("System\\CurrentControlSet\\Services\\QRWNTPS2", "Group"), "");
}

// Double-clicked in the installation folder, with no uninstaller around it. While the port
// driver's file cannot be put back, it removes nothing.
TEST(Cycle, TheUninstallProgramAloneRemovesTheSuite) {
    EXPECT_FALSE(uia::Exists(DefaultInstallPath())) << "the folder that the installation moved from";
    const std::string program = uia::RegistryText(kRecordKey, "InstallPath") + "\\unins000.exe";
    uia::WriteFileText(uia::kPortSys, "held open");
    HANDLE held = CreateFileA(uia::kPortSys.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    uia::Process blocked = uia::Process::Start(program);
    ASSERT_TRUE(blocked.WaitForExit(60000));
    EXPECT_EQ(blocked.ExitCode(), 3u);
    CloseHandle(held);
    DeleteFileA(uia::kPortSys.c_str());
    EXPECT_TRUE(uia::Exists(uia::kPortOff));
    EXPECT_TRUE(uia::Exists(program));
    EXPECT_EQ(uia::RegistryText(kArpKey, "DisplayName"), "TouchScreen QR-K52-PS2");

    uia::Process alone = uia::Process::Start(program);
    ASSERT_TRUE(alone.WaitForExit(60000));
    EXPECT_EQ(alone.ExitCode(), 0u);
    ExpectRemovedBeforeTheRestart();
}

// The uninstall program held back until the uninstaller has given up waiting for it: the
// uninstaller removed nothing, and the uninstall program, going on alone, does all of it.
TEST(Cycle, ARemovalThatOutlastsItsWaitIsFinishedByTheUninstallProgram) {
    const std::string installPath = uia::RegistryText(kRecordKey, "InstallPath");
    const std::string program = installPath + "\\unins000.exe", held = installPath + "\\unins000.gated.exe";
    ASSERT_TRUE(MoveFileA(program.c_str(), held.c_str()));
    ASSERT_TRUE(CopyFileA(uia::Environment("QR_UNINS000_GATE_EXE").c_str(), program.c_str(), TRUE));
    HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, "QrUnins000Gate");
    SetEnvironmentVariableA("QR_UNINS000_GATE", "QrUnins000Gate");
    const std::string command = uia::RegistryText(kArpKey, "UninstallString");
    uia::Process uninstaller = uia::Process::Start(command.substr(1, command.size() - 2));
    SetEnvironmentVariableA("QR_UNINS000_GATE", nullptr);
    uia::PostClick(uia::Control(uia::WaitForForm("frmMain", uia::kDefaultTimeout, uninstaller.Pid()), "cmdYes"));
    HWND box = uia::WaitForMessageBox(60000, uninstaller.Pid());
    EXPECT_EQ(uia::MessageBoxText(box), "Fail to remove files! (WAIT_TIMEOUT)");
    uia::Answer(box, IDOK);
    ASSERT_TRUE(uninstaller.WaitForExit());
    EXPECT_EQ(uninstaller.ExitCode(), 14u);
    EXPECT_TRUE(uia::Exists(uia::kPortOff));
    EXPECT_FALSE(uia::Exists(uia::kPortSys));

    SetEvent(gate);
    uia::Require([] { return uia::ProcessIds("unins000.exe").empty() && uia::ProcessIds("unins000.gated.exe").empty(); },
                 "the end of the uninstall program");
    CloseHandle(gate);
    ExpectRemovedBeforeTheRestart();
    DeleteFileA(held.c_str());
}

TEST(Cycle, AfterTheRestartNothingOfTheSuiteIsLeft) {
    const std::string windows = Folder(GetWindowsDirectoryA);
    for (const std::string& path : {DefaultInstallPath(), windows + "\\" + kUninstallerFile,
                                    uia::DriversFolder() + kDriverFileName, uia::kPortOff})
        EXPECT_FALSE(uia::Exists(path)) << path;
    EXPECT_EQ(uia::Contents(uia::kPortSys), uia::PortDriverImage());
    EXPECT_FALSE(uia::Driver::Available());
}

// Each program of the install side wrote its lines, for whoever supports the PC.
TEST(Cycle, TheInstallLogHasALineOfEachProgram) {
    const std::string log = uia::Contents(Folder(GetWindowsDirectoryA) + "\\" + kInstallLogFile);
    for (const char* line : {"TouchScreenSetup.exe: Installing", "QRWNTPdi.exe: ended with exit code 0.",
                             "QRWNTPde.exe: ended with exit code 14.", "unins000.exe: Removed;"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " in\n" << log;
}

}  // namespace
