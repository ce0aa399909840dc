// Setup's steps that decide something: the hardware ID from the port driver's Enum list, the
// setup information file, the Windows folders and the restart request.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/BasWinDIRs.h"
#include "common/MachineCalls.h"
#include "common/RestartWindows.h"
#include "common/basOEM.h"
#include "setup/basINIfile.h"
#include "setup/basMain.h"
#include "toolkit/tk.h"

namespace {

constexpr char kEnumKey[] = "System\\CurrentControlSet\\Services\\i8042prt\\Enum";

bool EnumKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kEnumKey, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The Enum list as the test lays it out: COUNT (unless negative) and the entries by number.
struct EnumList {
    int count;
    std::vector<std::pair<int, std::string>> entries;
};

void WriteEnumList(const EnumList& list) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEnumKey);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kEnumKey, &key), ERROR_SUCCESS);
    if (list.count >= 0) {
        const DWORD count = DWORD(list.count);
        RegSetValueExA(key, "COUNT", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    }
    for (const auto& [number, text] : list.entries)
        RegSetValueExA(key, std::to_string(number).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       DWORD(text.size() + 1));
    RegCloseKey(key);
}

TEST(DetectHardwareIdTest, WithoutTheEnumKeyThereIsNoDeviceAndTheKeyIsNotCreated) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEnumKey);
    EXPECT_FALSE(DetectHardwareId());
    EXPECT_EQ(HardwareID, "*PNPnone");
    EXPECT_FALSE(EnumKeyExists());
}

TEST(DetectHardwareIdTest, TheFirstAcpiPs2PointingDeviceListedGivesTheId) {
    const std::string other = "Root\\*PNP0303\\1_0_22_0_32_0";
    struct Case {
        const char* what;
        EnumList list;
        const char* id;  // nullptr: none found
    } const cases[] = {
        {"no COUNT", {-1, {{0, "ACPI\\PNP0F13\\4&1506bc8&0"}}}, nullptr},
        {"a match at entry 0", {1, {{0, "ACPI\\PNP0F13\\4&1506bc8&0"}}}, "*PNP0F13"},
        {"a match after others", {3, {{0, other}, {1, other}, {2, "ACPI\\PNP0F03\\1"}}}, "*PNP0F03"},
        {"case kept as stored", {1, {{0, "acpi\\pnp0f03\\4&1"}}}, "*pnp0f03"},
        {"only the first match", {2, {{0, "ACPI\\PNP0F0B\\1"}, {1, "ACPI\\PNP0F0E\\2"}}}, "*PNP0F0B"},
        {"a missing entry ends the scan", {3, {{0, other}, {2, "ACPI\\PNP0F0E\\2"}}}, nullptr},
        {"COUNT larger than the entries", {9, {{0, other}, {1, "ACPI\\PNP0F0E\\2"}}}, "*PNP0F0E"},
        {"no pointing device", {9, {{0, other}}}, nullptr},
        {"a shorter entry", {1, {{0, "ACPI\\PNP0F1"}}}, nullptr},
    };
    for (const Case& c : cases) {
        WriteEnumList(c.list);
        EXPECT_EQ(DetectHardwareId(), c.id != nullptr) << c.what;
        EXPECT_EQ(HardwareID, c.id != nullptr ? c.id : "*PNPnone") << c.what;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEnumKey);
}

TEST(SetBusyPointerTest, TheHourglassNestsAndOtherPointersAreSetDirectly) {
    struct Step {
        int pointer;
        uint16_t busy;
        int shown;
    } const steps[] = {{11, 1, 11}, {11, 2, 11}, {0, 1, 11}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}, {11, 1, 11}, {0, 0, 0}};
    const HCURSOR hourglass = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    BusyCount = 0;
    for (const Step& s : steps) {
        SetBusyPointer(s.pointer);
        EXPECT_EQ(BusyCount, s.busy) << "after " << s.pointer;
        EXPECT_EQ(GetCursor() == hourglass, s.shown == tk::vbHourglass) << "after " << s.pointer;
    }
}

std::string TempFile(const char* name, const std::string& contents) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, contents.data(), DWORD(contents.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

TEST(ReadIniStringTest, TheTitleWithoutTrailingBlanksOrNothing) {
    const std::string oem = TempFile("qr_setup_test.oem", "[SETUP]\r\nTITLE=Acme Touch   \r\nBLANK=   \r\n");
    // A vendor's file gone wrong: a title longer than the reader's 255-byte buffer, a file
    // without the section, and bytes that are no text at all.
    const std::string longTitle(300, 'T');
    const std::string longOem = TempFile("qr_setup_long.oem", "[SETUP]\r\nTITLE=" + longTitle + "\r\n");
    const std::string noSection = TempFile("qr_setup_nosection.oem", "TITLE=Acme Touch\r\n[OTHER]\r\nX=1\r\n");
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += char(1 + (i * 7919) % 255);
    const std::string garbageOem = TempFile("qr_setup_garbage.oem", garbage);
    struct Case {
        const char* what;
        std::string file;
        const char* section;
        const char* key;
        std::string text;
    } const cases[] = {
        {"trailing blanks removed", oem, "SETUP", "TITLE", "Acme Touch"},
        {"a title of blanks", oem, "SETUP", "BLANK", ""},
        {"no such key", oem, "SETUP", "NAME", ""},
        {"no such section", oem, "VENDOR", "TITLE", ""},
        {"no such file", oem + ".missing", "SETUP", "TITLE", ""},
        {"a 300-character title keeps what fits", longOem, "SETUP", "TITLE", longTitle.substr(0, 254)},
        {"a title outside any section", noSection, "SETUP", "TITLE", ""},
        {"binary garbage", garbageOem, "SETUP", "TITLE", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadIniString(c.file, c.section, c.key), c.text) << c.what;
    for (const std::string& file : {oem, longOem, noSection, garbageOem}) DeleteFileA(file.c_str());
}

TEST(WindowsFoldersTest, EachEndsInOneBackslash) {
    EXPECT_EQ(AsFolder("C:\\"), "C:\\");
    EXPECT_EQ(AsFolder("C:\\WINNT"), "C:\\WINNT\\");
    EXPECT_EQ(AsFolder("C:\\WINNT  "), "C:\\WINNT\\");
    ASSERT_TRUE(GetWindowsPaths());
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(SystemDir, std::string(system) + "\\");
    EXPECT_EQ(DriversDir, SystemDir + "Drivers\\");
    EXPECT_EQ(WindowsDir.back(), '\\');
}

// --- the restart, with the system calls replaced ---

// What the replaced calls answer, and what they were given.
struct Given {
    BOOL tokenOpens;
    DWORD lookupError;
    DWORD adjustError;
    BOOL rebootAccepted;
};
constexpr Given kAllWell = {TRUE, 0, 0, TRUE};
struct Seen {
    std::string privilegeName;
    TOKEN_PRIVILEGES asked;
    DWORD previousLength;
    UINT rebootFlags;
};
Given given = kAllWell;
Seen seen;

BOOL WINAPI FakeOpenToken(HANDLE, DWORD, PHANDLE token) {
    *token = nullptr;
    if (!given.tokenOpens) SetLastError(ERROR_ACCESS_DENIED);
    return given.tokenOpens;
}
// Like the real calls, they set the last error only on failure.
BOOL WINAPI FakeLookup(LPCSTR, LPCSTR name, PLUID) {
    seen.privilegeName = name;
    if (given.lookupError != 0) SetLastError(given.lookupError);
    return given.lookupError == 0;
}
BOOL WINAPI FakeAdjust(HANDLE, BOOL, PTOKEN_PRIVILEGES asked, DWORD length, PTOKEN_PRIVILEGES, PDWORD) {
    seen.asked = *asked;
    seen.previousLength = length;
    if (given.adjustError != 0) SetLastError(given.adjustError);
    return TRUE;
}
BOOL WINAPI FakeExitWindows(UINT flags, DWORD) {
    seen.rebootFlags = flags;
    if (!given.rebootAccepted) SetLastError(ERROR_PRIVILEGE_NOT_HELD);
    return given.rebootAccepted;
}
MachineCalls FakeRestartCalls() {
    MachineCalls calls = kWindowsCalls;
    calls.openProcessToken = FakeOpenToken;
    calls.lookupPrivilegeValue = FakeLookup;
    calls.adjustTokenPrivileges = FakeAdjust;
    calls.exitWindowsEx = FakeExitWindows;
    return calls;
}

TEST(RestartWindowsTest, EachFailedStepIsNamedWithItsCodeAndCause) {
    struct Case {
        const char* what;
        Given answers;
        const char* text;
        DWORD cause;
    } const cases[] = {
        {"token", {FALSE, 0, 0, TRUE}, "Fail to restart system! (OpenProcessToken=0)", ERROR_ACCESS_DENIED},
        {"lookup", {TRUE, ERROR_NO_SUCH_PRIVILEGE, 0, TRUE}, "Fail to restart system! (LookupPrivilegeValue = 1313)",
         ERROR_NO_SUCH_PRIVILEGE},
        {"privilege", {TRUE, 0, ERROR_NOT_ALL_ASSIGNED, TRUE}, "Fail to restart system! (AdjustTokenPrivileges = 1300)",
         ERROR_NOT_ALL_ASSIGNED},
        {"reboot", {TRUE, 0, 0, FALSE}, "Fail to restart system! (ExitWindowsEx=0)", ERROR_PRIVILEGE_NOT_HELD},
    };
    for (const Case& c : cases) {
        given = c.answers;
        const MachineCalls calls = FakeRestartCalls();
        MachineInUse fake(calls);
        const Failure failure = RequestRestart();
        EXPECT_EQ(failure.text, c.text) << c.what;
        EXPECT_EQ(failure.cause, c.cause) << c.what;
    }
}

TEST(RestartWindowsTest, AnAcceptedRequestSaysNothingWhateverErrorWasLeftBefore) {
    given = kAllWell;
    SetLastError(ERROR_ACCESS_DENIED);
    const MachineCalls calls = FakeRestartCalls();
    MachineInUse fake(calls);
    EXPECT_FALSE(RequestRestart().Happened());
    EXPECT_EQ(seen.privilegeName, SE_SHUTDOWN_NAME);
    EXPECT_EQ(seen.asked.PrivilegeCount, 1u);
    EXPECT_EQ(seen.asked.Privileges[0].Attributes, DWORD(SE_PRIVILEGE_ENABLED));
    EXPECT_EQ(seen.previousLength, 28u);
    EXPECT_EQ(seen.rebootFlags, UINT(EWX_REBOOT));
}

}  // namespace
