// The fault matrix: what users and broken machines do to the installed programs, one row a case.
// Each row breaks something, runs a real program, and expects it either to keep working or to
// end with its clear message; afterwards the installation record, the port driver's file and
// the driver's settings must be as they were. The runner prints a table of what each program did.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/driver/qrsimclient.h"
#include "tests/uia/uia.h"

namespace {

constexpr char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";
// A value of another type is no text.
constexpr char kRecordLoadFailure[] = "Fail to load data from Register File! [error 13]";
constexpr char kRightButtonRunningCaption[] = " P-RBF";

const std::string kPanelWindow = std::string("window: ") + kControlPanelTitle;

using uia::RegistryValue;

RegistryValue ReadValue(const char* name) { return uia::ReadRegistryValue(HKEY_LOCAL_MACHINE, kRecordKey, name); }
void WriteValue(const char* name, const RegistryValue& v) { uia::WriteRegistryValue(HKEY_LOCAL_MACHINE, kRecordKey, name, v); }

RegistryValue Text(const std::string& text) { return {REG_SZ, text + '\0', true}; }

const char* const kRecordValues[] = {"VenderName", "InstallPath", "WindowsPath", "SystemPath", "HardwareID"};

// What must survive every case.
struct Keep {
    std::vector<RegistryValue> record;
    std::string portDriver;
    TouchSettingsBlock settings;
};

// How a program ended up: its message box, its shown main window (unless it is one that ends by
// itself, as the startup program does after its splash), or its end.
std::string Observe(uia::Process& p, bool endsByItself = false) {
    std::string seen;
    uia::Require([&] {
        if (HWND box = uia::FindMessageBox(p.Pid())) {
            seen = "box: " + uia::FailureLine(box);
            return true;
        }
        HWND form = endsByItself ? nullptr : uia::FindForm("frmMain", p.Pid());
        if (form != nullptr) {
            seen = "window: " + uia::Text(form);
            return true;
        }
        if (!p.Running()) {
            seen = "ended, exit code " + std::to_string(p.ExitCode());
            return true;
        }
        return false;
    }, "the program's answer");
    return seen;
}

std::string Outcome(uia::Process& p) { return Observe(p, true); }

// Answers every box the program still shows and ends it.
void Finish(uia::Process& p) {
    for (int i = 0; i < 5 && p.Running(); ++i) {
        HWND box = uia::FindMessageBox(p.Pid());
        if (box == nullptr) break;
        uia::Answer(box, uia::HasButton(box, IDOK) ? IDOK : IDNO);
    }
    if (p.Running()) p.Kill();
}

// Stops or starts the touch driver's service, and waits until the device is gone or back.
void DriverService(bool run) {
    if (!(run ? SimStartDriver() : SimStopDriver()))
        throw uia::Error(std::string(run ? "cannot start" : "cannot stop") + " the driver: " + uia::ErrorText(GetLastError()));
}

struct Row {
    const char* fault;
    const char* program;
    std::function<void()> arrange;  // breaks something
    std::function<void()> restore;  // mends it
    std::string expected;           // "box: TEXT", "window: CAPTION", or a custom check's result
    std::function<std::string(uia::Process&)> act = nullptr;  // instead of Observe
};

std::vector<std::string> gTable;

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(uia::Driver::Available()) << "the touch driver must be running in the bed";
        driver.Open();
        // Settings no program would choose, so that one writing back defaults or zeros shows.
        seeded = driver.State().block;
        seeded.calLeft = 11, seeded.calRight = 1001, seeded.calTop = 21, seeded.calBottom = 991;
        seeded.feedbackSound = 2;
        Seed();
        uia::KillAll(kControlPanelFile);
        uia::KillAll(kRightButtonToolFile);
    }
    void TearDown() override {
        uia::KillAll(kControlPanelFile);
        uia::KillAll(kRightButtonToolFile);
        if (uia::Driver::Available()) driver.Reset();
    }

    void Seed(uint32_t flags = 0) { driver.Reset(flags | SIM_RESET_USE_BLOCK, &seeded); }

    Keep Snapshot() {
        Keep k;
        for (const char* name : kRecordValues) k.record.push_back(ReadValue(name));
        k.portDriver = uia::Contents(uia::kPortSys);
        k.settings = driver.State().block;
        return k;
    }

    // Breaks, runs, observes, mends; then nothing that was kept may differ.
    void Run(const Row& row) {
        const Keep before = Snapshot();
        const std::string program = uia::InstallFile(row.program);
        std::string seen;
        {
            // Mended also when the case throws, so that no fault outlives its row.
            struct Mend {
                const Row& row;
                ~Mend() { row.restore(); }
            } mend{row};
            row.arrange();
            uia::Process p = uia::Process::Start(program);
            seen = row.act ? row.act(p) : Observe(p);
            Finish(p);
        }
        gTable.push_back(std::string("| ") + row.fault + " | " + row.program + " | " + seen + " |");
        EXPECT_EQ(seen, row.expected) << row.fault;
        const Keep after = Snapshot();
        for (size_t i = 0; i < after.record.size(); ++i)
            EXPECT_TRUE(after.record[i] == before.record[i]) << row.fault << ": " << kRecordValues[i] << " changed";
        EXPECT_EQ(after.portDriver, before.portDriver) << row.fault;
        TouchSettingsBlock a = after.settings, b = before.settings;
        a.screenWidth = b.screenWidth;  // the startup program writes the screen size by design
        a.screenHeight = b.screenHeight;
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << row.fault << ": the driver's settings changed";
    }

    // A record value replaced for the case and put back afterwards.
    Row RecordRow(const char* fault, const char* program, const char* name, RegistryValue broken,
                  const std::string& expected, std::function<std::string(uia::Process&)> act = nullptr) {
        auto saved = std::make_shared<RegistryValue>();
        return {fault, program, [=] { *saved = ReadValue(name); WriteValue(name, broken); },
                [=] { WriteValue(name, *saved); }, expected, act};
    }

    uia::Driver driver;
    TouchSettingsBlock seeded = {};
};


TEST_F(Faults, InstallationRecord) {
    const std::string longText(64 * 1024, 'x');
    const Row rows[] = {
        RecordRow("InstallPath of another type (DWORD)", kControlPanelFile, "InstallPath",
                  {REG_DWORD, std::string("\x01\x00\x00\x00", 4), true}, std::string("box: ") + kRecordLoadFailure),
        // The control panel needs the installation folder only for the vendor's files.
        RecordRow("InstallPath empty", kControlPanelFile, "InstallPath", Text(""), kPanelWindow),
        RecordRow("InstallPath with an embedded NUL", kControlPanelFile, "InstallPath",
                  {REG_SZ, std::string("C:\\QRTouch\0C:\\Elsewhere\0", 24), true}, kPanelWindow),
        RecordRow("InstallPath 64 KiB long", kControlPanelFile, "InstallPath", Text(longText), kPanelWindow),
        RecordRow("VenderName 64 KiB long", kControlPanelFile, "VenderName", Text(longText), kPanelWindow),
        RecordRow("VenderName of another type (binary)", kStartupFile, "VenderName",
                  {REG_BINARY, std::string("\xff\x00\x01", 3), true}, std::string("box: ") + kRecordLoadFailure,
                  Outcome),
    };
    for (const Row& row : rows) Run(row);
    // The programs in the bed only read the record; setup, which writes it, runs at installation.
    std::unique_ptr<uia::KeyWritesDenied> denied;
    const auto deny = [&] { denied = std::make_unique<uia::KeyWritesDenied>(HKEY_LOCAL_MACHINE, kRecordKey); };
    const Row locked[] = {
        {"record key whose security denies writing", kControlPanelFile, deny, [&] { denied.reset(); }, kPanelWindow},
        {"record key whose security denies writing", kStartupFile, deny, [&] { denied.reset(); }, "ended, exit code 0",
         Outcome},
    };
    for (const Row& row : locked) Run(row);
}

TEST_F(Faults, Driver) {
    const Row rows[] = {
        // The requests' results go unchecked by design: the programs go on with what they hold.
        {"driver failing every request", kControlPanelFile, [&] { Seed(SIM_RESET_FAIL_REQUESTS); }, [&] { Seed(); },
         kPanelWindow},
        {"driver failing every request", kStartupFile, [&] { Seed(SIM_RESET_FAIL_REQUESTS); }, [&] { Seed(); },
         "ended, exit code 0", Outcome},
        {"driver missing (its service stopped)", kControlPanelFile, [] { DriverService(false); },
         [&] { DriverService(true); Seed(); }, std::string("box: Fail to open ") + kDriverFileName + "! [error 2]"},
        {"driver missing (its service stopped)", kStartupFile, [] { DriverService(false); },
         [&] { DriverService(true); Seed(); },
         std::string("box: Fail to open TouchScreen Driver! (") + kDriverFileName + ") [error 2]", Outcome},
        {"driver answering \"set\" requests with no output bytes", kControlPanelFile,
         [&] { Seed(SIM_RESET_SET_NO_OUTPUT); }, [&] { Seed(); }, "the dialog stays, Apply done",
         [&](uia::Process& p) {
             HWND main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, p.Pid());
             uia::PostClick(uia::Control(main, "cmdFeedbackSound"));
             HWND dialog = uia::WaitForForm("frmFeedbackSound", uia::kDefaultTimeout, p.Pid());
             uia::Click(uia::Control(dialog, uia::ArrayMember("optFeedbackSound", 4)));
             HWND apply = uia::Control(dialog, "cmdApply");
             uia::Click(apply);
             if (HWND box = uia::FindMessageBox(p.Pid())) return "box: " + uia::MessageBoxText(box);
             return std::string(uia::Visible(dialog) && !uia::Enabled(apply) ? "the dialog stays, Apply done"
                                                                               : "the dialog is gone");
         }},
    };
    for (const Row& row : rows) Run(row);
}

TEST_F(Faults, WindowsAndMessages) {
    const Row rows[] = {
        {"two control panels started at the same moment", kControlPanelFile, [] {}, [] {}, "one window",
         [](uia::Process& first) {
             uia::Process second = uia::Process::Start(uia::InstallFile(kControlPanelFile));
             uia::WaitForForm("frmMain", uia::kDefaultTimeout);
             // One of the two finds the other and ends; on a busy machine that may take a while. When
             // the later one looks before the earlier one's window has its caption, it finds none,
             // says so and ends with OK.
             HWND box = nullptr;
             uia::Require([&] {
                 if ((box = uia::FindMessageBox(first.Pid())) == nullptr) box = uia::FindMessageBox(second.Pid());
                 return box != nullptr || !first.Running() || !second.Running();
             }, "one of the two ending");
             if (box != nullptr) {
                 if (uia::MessageBoxText(box).rfind("Application is running!", 0) != 0) return "box: " + uia::MessageBoxText(box);
                 uia::Answer(box, IDOK);
                 uia::Require([&] { return !first.Running() || !second.Running(); }, "the one that said so ending");
             }
             int windows = 0;
             for (DWORD pid : uia::ProcessIds(kControlPanelFile)) windows += uia::FindForm("frmMain", pid) != nullptr;
             Finish(second);
             return windows == 1 ? std::string("one window") : std::to_string(windows) + " windows";
         }},
        {"right-button tool killed while registered", kRightButtonToolFile,
         [&] {
             HWND window = nullptr;
             uia::StartRegisteredTool(driver, window).Kill();
         },
         [] {}, std::string("window: ") + kRightButtonRunningCaption},
        {"WM_USER with random wParam and lParam from another process", kRightButtonToolFile, [] {}, [] {},
         "a box naming both values for each, and the tool runs on",
         [&](uia::Process& tool) {
             HWND form = uia::WaitForForm("frmMain", uia::kDefaultTimeout, tool.Pid());
             std::mt19937 random(16);
             for (int i = 0; i < 5; ++i) {
                 const WPARAM wParam = random() | 0x100;  // none of the tool's commands
                 const LPARAM lParam = LPARAM(random());
                 PostMessageA(form, WM_USER, wParam, lParam);
                 HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, tool.Pid());
                 char expected[96];
                 std::snprintf(expected, sizeof expected, "RBF_WndProc Fail! wParam=%lXh, lParam=%lXh",
                               static_cast<unsigned long>(wParam), static_cast<unsigned long>(lParam));
                 if (uia::MessageBoxText(box) != expected) return "box: " + uia::MessageBoxText(box);
                 uia::Answer(box, IDOK);
             }
             const bool runs = tool.Running() && uia::Visible(form) &&
                               driver.State().rbf.hwnd == uia::WindowField(form);
             return std::string(runs ? "a box naming both values for each, and the tool runs on" : "the tool is gone");
         }},
    };
    for (const Row& row : rows) Run(row);
}

class PrintTable : public ::testing::Environment {
public:
    void TearDown() override {
        std::printf("fault matrix:\n| Fault | Program | What it did |\n|---|---|---|\n");
        for (const std::string& line : gTable) std::printf("%s\n", line.c_str());
    }
};

const auto* const kPrintTable = ::testing::AddGlobalTestEnvironment(new PrintTable);

}  // namespace
