// Setup end to end, in a bed of its own where the suite's files and record lie in place but the
// touch driver is not registered: tests/setup/setup_flow.sh runs the three steps below, restarting
// the bed between them. Setup's restart request ends every program that owns a window (a witness
// of ours shows it); this process owns none.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

using uia::Contents;
using uia::Exists;
using uia::kPortOff;
using uia::kPortSys;
using uia::StartWitness;
using uia::WriteFileText;

constexpr char kPortKey[] = "System\\CurrentControlSet\\Services\\i8042prt";
constexpr char kServiceKey[] = "System\\CurrentControlSet\\Services\\QRWNTPS2";
constexpr char kEventLogKey[] = "System\\CurrentControlSet\\Services\\EventLog\\System\\QRWNTPS2";
constexpr char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
const std::string kPortDriverBytes = uia::PortDriverImage("of an XP machine, as the setup test lays it out");
constexpr char kVendor[] = "Acme Touch Systems";
constexpr char kFinishedText[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";

// A registry value as read back: its type and its data as text (a number in decimal).
struct Value {
    DWORD type;
    std::string data;
    bool operator==(const Value& o) const { return type == o.type && data == o.data; }
};
using Values = std::map<std::string, Value>;

void PrintTo(const Value& v, std::ostream* out) { *out << (v.type == REG_DWORD ? "dword " : "sz ") << v.data; }

Value Sz(const std::string& text) { return {REG_SZ, text}; }
Value Dword(uint32_t n) { return {REG_DWORD, std::to_string(n)}; }

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

Values ReadValues(const std::string& path) {
    Values values;
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        std::string text;
        if (type == REG_DWORD) text = std::to_string(*reinterpret_cast<const uint32_t*>(data));
        else text = std::string(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), dataSize));
        values[name] = {type, text};
    }
    RegCloseKey(key);
    return values;
}

void WriteValues(const std::string& path, const Values& values) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS) << path;
    for (const auto& [name, v] : values) {
        if (v.type == REG_DWORD) {
            const DWORD n = std::stoul(v.data);
            RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
        } else {
            RegSetValueExA(key, name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.c_str()),
                           DWORD(v.data.size() + 1));
        }
    }
    RegCloseKey(key);
}

// The parameters of the port driver: the table's names with the table's types are taken over; one
// with the other type and one not in the table are not.
const Values kPortParameters = {
    {"PollingIterations", Dword(12000)},     {"SampleRate", Dword(60)},
    {"PointerDeviceBaseName", Sz("PointerPort")}, {"KeyboardDeviceBaseName", Sz("KeyboardPort")},
    {"MouseDataQueueSize", Sz("100")},      {"PollingIterationsMaximum", Dword(12000)},
    {"WheelDetectionTimeout", Dword(1500)},
};
const Values kCopiedParameters = {
    {"PollingIterations", Dword(12000)},     {"SampleRate", Dword(60)},
    {"PointerDeviceBaseName", Sz("PointerPort")}, {"KeyboardDeviceBaseName", Sz("KeyboardPort")},
    {"PollingIterationsMaximum", Dword(12000)},
};

// What an XP machine has of the port driver, which Wine lacks, and a vendor file.
void LayOutAnXpMachine() {
    WriteValues(kPortKey, {{"ErrorControl", Dword(1)}, {"Start", Dword(1)}, {"Type", Dword(1)}, {"Group", Sz("Keyboard Port")}});
    WriteValues(std::string(kPortKey) + "\\Parameters", kPortParameters);
    WriteValues(std::string(kPortKey) + "\\Enum",
                {{"COUNT", Dword(2)}, {"0", Sz("Root\\*PNP0303\\1_0_22_0_32_0")}, {"1", Sz("ACPI\\PNP0F13\\4&1506bc8&0")}});
    WriteFileText(kPortSys, kPortDriverBytes);
    DeleteFileA(kPortOff.c_str());
    WriteFileText(uia::InstallFile("setup.oem"), std::string("[SETUP]\r\nTITLE=") + kVendor + "\r\n");
}

// Runs setup up to its completion message, answers it, and waits for the restart request, which
// ends the witness, and for setup's end.
void RunSetupToTheRestart(const char* screenshot) {
    uia::Process witness = StartWitness();
    uia::Process setup = uia::Process::Start(uia::InstallFile(kSetupFile));
    HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, setup.Pid());
    EXPECT_EQ(uia::Text(box), kSetupTitle);
    EXPECT_EQ(uia::MessageBoxText(box), kFinishedText);
    EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Information);
    uia::SaveScreenshot(screenshot);
    uia::Answer(box, IDOK);
    EXPECT_TRUE(witness.WaitForExit()) << "no restart requested: the witness window lives on";
    EXPECT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 0u);
}

// Runs setup up to its one message, which must hold expected, and checks that setup ended with
// exitCode and without the restart, the port driver's file in place.
void RunSetupToItsFailure(const std::string& what, const std::string& expected, DWORD exitCode) {
    uia::Process witness = StartWitness();
    uia::Process setup = uia::Process::Start(uia::InstallFile(kSetupFile));
    HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, setup.Pid());
    EXPECT_NE(uia::FailureLine(box).find(expected), std::string::npos) << what << ": " << uia::MessageBoxText(box);
    EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Exclamation) << what;
    uia::SaveScreenshot("setup_failed_" + std::to_string(exitCode));
    uia::Answer(box, IDOK);
    EXPECT_TRUE(setup.WaitForExit()) << what;
    EXPECT_EQ(setup.ExitCode(), exitCode) << what;
    EXPECT_EQ(uia::FindMessageBox(setup.Pid()), nullptr) << what << ": a completion message";
    EXPECT_TRUE(witness.Running()) << what << ": a restart was requested";
    EXPECT_EQ(Contents(kPortSys), kPortDriverBytes) << what;
    EXPECT_FALSE(Exists(kPortOff)) << what;
}

// A touch driver that cannot take the port at the next start, or a registry step that fails:
// setup says so, registers nothing more, leaves the port driver's file where it is and ends with
// its own exit code instead of restarting.
TEST(SetupFlow, FailedFirstRunsLeaveThePortDriverInPlaceAndRestartNothing) {
    LayOutAnXpMachine();
    const std::string driver = uia::DriversFolder() + kDriverFileName, away = driver + ".away";
    const std::string whole = Contents(driver);
    ASSERT_GT(whole.size(), 1024u);
    std::unique_ptr<uia::KeyWritesDenied> denied;
    struct Row {
        const char* what;
        std::function<void()> arrange, restore;
        std::string expected;
        DWORD exitCode;
    } const rows[] = {
        {"no touch driver file", [&] { MoveFileA(driver.c_str(), away.c_str()); },
         [&] { MoveFileA(away.c_str(), driver.c_str()); }, "QRWNTPS2.sys: ", 12},
        {"a touch driver file cut short", [&] { WriteFileText(driver, whole.substr(0, whole.size() / 2)); },
         [&] { WriteFileText(driver, whole); }, "QRWNTPS2.sys: it is cut short", 12},
        {"the service key closed to writes", [&] { denied = std::make_unique<uia::KeyWritesDenied>(HKEY_LOCAL_MACHINE, kServiceKey); },
         [&] { denied.reset(); },
         "Fail to config system registry!\r\n\r\nSetup could not write the touch driver's service key.\r\n\r\n"
         "The PS/2 port driver stays in place and Windows is not restarted; run setup again. [error 5]", 13},
    };
    for (const Row& row : rows) {
        row.arrange();
        RunSetupToItsFailure(row.what, row.expected, row.exitCode);
        row.restore();
        EXPECT_FALSE(KeyExists(kServiceKey)) << row.what;
        EXPECT_EQ(ReadValues(kPortKey).at("ErrorControl"), Dword(1)) << row.what;
    }
    EXPECT_EQ(Contents(driver), whole);
}

TEST(SetupFlow, FirstRunRegistersTheDriverInPlaceOfThePortDriverAndRestarts) {
    ASSERT_FALSE(KeyExists(kServiceKey)) << "the bed must start without the touch driver's service";
    LayOutAnXpMachine();
    RunSetupToTheRestart("setup_finished");

    EXPECT_EQ(ReadValues(kServiceKey), (Values{{"DisplayName", Sz("TouchScreen - Serial Mouse Driver V.K520.PS2")},
                                               {"Group", Sz("Pointer Port")},
                                               {"Start", Dword(1)},
                                               {"Tag", Dword(2)},
                                               {"Type", Dword(1)}}));
    EXPECT_EQ(ReadValues(std::string(kServiceKey) + "\\Parameters"), kCopiedParameters);
    EXPECT_TRUE(KeyExists(std::string(kServiceKey) + "\\Enum"));
    EXPECT_EQ(ReadValues(kEventLogKey),
              (Values{{"EventMessageFile", Sz("%SystemRoot%\\System32\\IoLogMsg.dll;%SystemRoot%\\System32\\drivers\\QRWNTPS2.sys")},
                      {"TypesSupported", Dword(7)}}));
    EXPECT_EQ(ReadValues(kPortKey).at("ErrorControl"), Dword(0));
    EXPECT_EQ(ReadValues(std::string(kPortKey) + "\\Parameters"), kPortParameters) << "the source is left alone";

    const Values record = ReadValues(kRecordKey);
    EXPECT_EQ(record.at("HardwareID"), Sz("*PNP0F13"));
    EXPECT_EQ(record.at("VenderName"), Sz(kVendor));

    EXPECT_FALSE(Exists(kPortSys));
    EXPECT_EQ(Contents(kPortOff), kPortDriverBytes);
}

TEST(SetupFlow, AfterTheRestartTheDriverRunsAndASecondRunKeepsTheCopyAside) {
    uia::Driver driver;
    driver.Open();
    uia::Process panel = uia::Process::Start(uia::InstallFile(kControlPanelFile));
    HWND main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
    EXPECT_EQ(uia::Text(uia::Control(main, "lblOemTitle")), kVendor);
    panel.Kill();

    // A second run finds the port driver's file aside: no message of its own, the keys written
    // again, the copy untouched, and the restart all the same.
    WriteValues(kServiceKey, {{"Tag", Dword(9)}});
    FILETIME before = {}, after = {};
    HANDLE off = CreateFileA(kPortOff.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(off, nullptr, nullptr, &before);
    CloseHandle(off);

    RunSetupToTheRestart("setup_finished_again");

    EXPECT_EQ(ReadValues(kServiceKey).at("Tag"), Dword(2));
    EXPECT_FALSE(Exists(kPortSys));
    EXPECT_EQ(Contents(kPortOff), kPortDriverBytes);
    off = CreateFileA(kPortOff.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(off, nullptr, nullptr, &after);
    CloseHandle(off);
    EXPECT_EQ(CompareFileTime(&before, &after), 0) << "the copy aside was written again";
}

// A read-only copy aside does not stop a program that runs as root under Wine, so the copy is
// blocked the two ways that stop anyone: held open without sharing, and a folder in its place.
TEST(SetupFlow, ACopyAsideThatCannotBeWrittenKeepsEveryFileAndRestartsNothing) {
    const std::string offBytes = "An earlier copy aside.";
    for (const bool heldOpen : {true, false}) {
        const char* what = heldOpen ? "a copy aside held open" : "a folder in the copy's place";
        WriteFileText(kPortSys, kPortDriverBytes);
        DeleteFileA(kPortOff.c_str());
        HANDLE held = INVALID_HANDLE_VALUE;
        if (heldOpen) {
            WriteFileText(kPortOff, offBytes);
            held = CreateFileA(kPortOff.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE) << what;
        } else {
            ASSERT_TRUE(CreateDirectoryA(kPortOff.c_str(), nullptr)) << what;
        }

        uia::Process witness = StartWitness();
        uia::Process setup = uia::Process::Start(uia::InstallFile(kSetupFile));
        HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, setup.Pid());
        EXPECT_EQ(uia::Text(box), kSetupTitle) << what;
        EXPECT_NE(uia::MessageBoxText(box).find("i8042prt.off"), std::string::npos) << uia::MessageBoxText(box);
        EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Exclamation) << what;
        if (heldOpen) uia::SaveScreenshot("setup_copy_aside_blocked");
        uia::Answer(box, IDOK);
        EXPECT_TRUE(setup.WaitForExit()) << what;
        EXPECT_EQ(setup.ExitCode(), 14u) << what;
        EXPECT_EQ(uia::FindMessageBox(setup.Pid()), nullptr) << what << ": a completion message";
        EXPECT_TRUE(witness.Running()) << what << ": a restart was requested";

        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_EQ(Contents(kPortSys), kPortDriverBytes) << what;
        if (heldOpen) EXPECT_EQ(Contents(kPortOff), offBytes) << what;
        else EXPECT_TRUE(GetFileAttributesA(kPortOff.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << what;
        RemoveDirectoryA(kPortOff.c_str());
    }
}

}  // namespace
