// The startup program as a logon meets it: what it leaves in the driver and in the user's
// registry, the right-button tool it starts, its splash and about windows, how long it stays
// and how little it works meanwhile, a second copy, and each failure it reports.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/SuiteNames.h"
#include "tests/driver/qrsimclient.h"
#include "tests/uia/uia.h"

namespace {

constexpr char kSplashForm[] = "frmMain";
constexpr char kAboutForm[] = "frmAbout";
constexpr char kToolForm[] = "frmMain";
constexpr char kAboutCaption[] = " About";
constexpr char kBedVendorName[] = "Orvale TouchScreen";
constexpr char kVersionLine[] = "TouchScreen System Startup Version K520.PS2";
constexpr char kCopyrightLine[] = "Copyright (C) Orvale. All rights reserved.";

constexpr char kMouseKey[] = "Control Panel\\Mouse";
constexpr char kWidthValue[] = "DoubleClickWidth";
constexpr char kHeightValue[] = "DoubleClickHeight";
constexpr char kRecordKey[] = "SOFTWARE\\Orvale\\TouchScreen\\QR-K52-PS2";

// The failures' boxes, with the code of the cause the tests give each.
constexpr char kRecordMissingText[] = "Fail to load data from Register File! [error 2]";
constexpr char kDoubleClickFailureText[] = "Fail to setup Double Clock Size! [error 5]";
constexpr char kNoDriverText[] = "Fail to open TouchScreen Driver! (QRWNTPS2.sys) [error 2]";
constexpr char kToolFailureText[] = "Fail to initialize Right Button Function! [error 2]";
constexpr char kAlreadyRunningText[] = "Application is running!\r\rPlease find and select the running window from Taskbar.";

// A size no bed has, written into the driver before each run, so that the run's own is seen.
constexpr int16_t kStaleWidth = 640;
constexpr int16_t kStaleHeight = 480;

// The pause lasts 0.5 to 1.5 s against the clock (its unit test); seen from outside, on a machine
// that may be busy with other work, only its shortest length is a sure bound. It is timed from a
// moment no later than its start to one no earlier than its end, so load can only lengthen it; the
// program's clock may step by 1/64 s.
constexpr double kShortestPause = 0.5;
constexpr double kClockStep = 1.0 / 64;
constexpr DWORD kSampleMs = 5;
// Steps that must fall inside one pause get several runs: a pause may be only half a second.
constexpr int kPauseTries = 5;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / frequency;
}

// --- the driver, through a fresh handle every time ---

uia::Driver driver;

uint32_t Requests(const SimState& s, QrRequestIndex r) { return s.requestCounts[r]; }

uint32_t AllRequests(const SimState& s) {
    uint32_t total = 0;
    for (uint32_t count : s.requestCounts) total += count;
    return total;
}

// A settings block whose every byte differs from its neighbours, so that a byte moved or
// changed on the way back shows.
TouchSettingsBlock PatternBlock(uint8_t rightButtonFunction) {
    TouchSettingsBlock block;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&block);
    for (size_t i = 0; i < sizeof block; ++i) bytes[i] = static_cast<uint8_t>(0x11 + 7 * i);
    block.rightButtonFunction = rightButtonFunction;
    block.screenWidth = kStaleWidth;
    block.screenHeight = kStaleHeight;
    return block;
}

// --- the user's double-click values ---

uia::RegistryValue ReadMouseValue(const char* name) { return uia::ReadRegistryValue(HKEY_CURRENT_USER, kMouseKey, name); }

void DeleteDoubleClickValues() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMouseKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, kWidthValue);
    RegDeleteValueA(key, kHeightValue);
    RegCloseKey(key);
}

void ExpectDoubleClickSizeWritten() {
    const std::string text("32", 3);
    for (const char* name : {kWidthValue, kHeightValue}) {
        const uia::RegistryValue v = ReadMouseValue(name);
        EXPECT_TRUE(v.exists) << name;
        EXPECT_EQ(v.type, DWORD(REG_SZ)) << name;
        EXPECT_EQ(v.data, text) << name;
    }
}

void ExpectDoubleClickSizeNotWritten() {
    EXPECT_FALSE(ReadMouseValue(kWidthValue).exists);
    EXPECT_FALSE(ReadMouseValue(kHeightValue).exists);
}

// One value of the installation record is gone while this lives.
class RecordValueMissing {
public:
    explicit RecordValueMissing(const char* name)
        : name_(name), saved_(uia::ReadRegistryValue(HKEY_LOCAL_MACHINE, kRecordKey, name)) {
        if (!saved_.exists) throw uia::Error(std::string("the record has no ") + name);
        uia::WriteRegistryValue(HKEY_LOCAL_MACHINE, kRecordKey, name, {});
    }
    ~RecordValueMissing() { uia::WriteRegistryValue(HKEY_LOCAL_MACHINE, kRecordKey, name_, saved_); }
    RecordValueMissing(const RecordValueMissing&) = delete;
    RecordValueMissing& operator=(const RecordValueMissing&) = delete;

private:
    const char* name_;
    uia::RegistryValue saved_;
};

// The right-button tool's file is not in the install folder while this lives.
class ToolFileMissing {
public:
    ToolFileMissing() : path_(uia::InstallFile(kRightButtonToolFile)), away_(path_ + ".away") {
        if (!MoveFileExA(path_.c_str(), away_.c_str(), MOVEFILE_REPLACE_EXISTING))
            throw uia::Error("cannot move " + path_ + ": " + uia::ErrorText(GetLastError()));
    }
    ~ToolFileMissing() { MoveFileExA(away_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING); }
    ToolFileMissing(const ToolFileMissing&) = delete;
    ToolFileMissing& operator=(const ToolFileMissing&) = delete;

private:
    std::string path_;
    std::string away_;
};

// The driver's service is stopped while this lives; it comes back in its initial state.
class DriverStopped {
public:
    DriverStopped() {
        if (!SimStopDriver()) throw uia::Error("cannot stop the driver: " + uia::ErrorText(GetLastError()));
    }
    ~DriverStopped() { SimStartDriver(); }
    DriverStopped(const DriverStopped&) = delete;
    DriverStopped& operator=(const DriverStopped&) = delete;
};

// A plain window of the test process, to hold the foreground or to stand for a foreign window.
class PlainWindow {
public:
    PlainWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QRStartupTestWindow";
        RegisterClassA(&wc);  // fails harmlessly when already registered
        hwnd = CreateWindowA(wc.lpszClassName, "startup test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~PlainWindow() {
        if (hwnd != nullptr) DestroyWindow(hwnd);
    }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND hwnd;
};

// A live right-button tool registered with the driver: its window is the tool's form in a
// QRWNTPrb.exe process.
bool LiveToolRegistered(const SimState& s) {
    HWND w = uia::FieldWindow(s.rbf.hwnd);
    if (s.rbf.hwnd == RBF_NO_WINDOW || !IsWindow(w)) return false;
    if (uia::ClassName(w) != TK_FORM_CLASS || uia::Name(w) != kToolForm) return false;
    const std::vector<DWORD> tools = uia::ProcessIds(kRightButtonToolFile);
    const DWORD owner = uia::WindowPid(w);
    for (DWORD id : tools)
        if (id == owner) return true;
    return false;
}

// When a run reached the driver and when it ended, in seconds from its start.
struct Timeline {
    double updated = 0;  // the driver received the screen size: stamped by the driver
    double end = 0;      // seen from outside: no earlier than the real end
};

// When the driver received the first request of this code, on Now()'s clock; 0 when none did.
double Arrival(DWORD code) {
    const std::vector<SimLogEntry> log = SimLogEntries();
    SimLogTimes times = {};
    if (!SimGetLogTimes(&times)) throw uia::Error("cannot read the driver's log times: " + uia::ErrorText(GetLastError()));
    if (times.total > SIM_LOG_CAPACITY || times.frequency <= 0) throw uia::Error("the driver's log has wrapped");
    for (size_t i = 0; i < log.size() && i < times.count; ++i)
        if (log[i].code == code) return double(times.at[i]) / double(times.frequency);
    return 0;
}

Timeline Watch(const uia::Process& run) {
    const double started = Now();
    while (run.Running()) Sleep(kSampleMs);
    Timeline t;
    t.end = Now() - started;
    const double updated = Arrival(IOCTL_TOUCH_SET_SCREEN_SIZE);
    if (updated != 0) t.updated = updated - started;
    return t;
}

// The run ends no sooner than half a second after its pause began (pauseBegun, or just after).
void ExpectPause(const Timeline& t, double pauseBegun) {
    EXPECT_GE(t.end - pauseBegun, kShortestPause - kClockStep);
}

// A process's start and end (0 while it runs) as Windows recorded them, in seconds on one clock.
struct Lifetime {
    double start = 0, end = 0;
};

Lifetime LifetimeOf(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        throw uia::Error("cannot read a process's times: " + uia::ErrorText(GetLastError()));
    const auto seconds = [](const FILETIME& f) {
        return (double(f.dwHighDateTime) * 4294967296.0 + double(f.dwLowDateTime)) / 1e7;
    };
    return {seconds(created), seconds(exited)};
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        uia::KillAll(kStartupFile);
        uia::KillAll(kRightButtonToolFile);
        DeleteDoubleClickValues();
        ResetDriver(0);
    }
    void TearDown() override {
        uia::KillAll(kStartupFile);
        uia::KillAll(kRightButtonToolFile);
    }

    // The driver with no tool registered, an empty log, and a block of its own with the given
    // right-button function and a stale screen size.
    static void ResetDriver(uint8_t rightButtonFunction) {
        const TouchSettingsBlock block = PatternBlock(rightButtonFunction);
        driver.Reset(SIM_RESET_USE_BLOCK, &block);
    }

    static uia::Process Run() { return uia::Process::Start(uia::InstallFile(kStartupFile)); }

    static HWND WaitForSplash(const uia::Process& p) {
        return uia::WaitForForm(kSplashForm, uia::kDefaultTimeout, p.Pid());
    }

    // A run of its own for one try at a step inside the pause: ends what an earlier try left,
    // resets the driver with the function off, starts the run and waits until it is in its
    // pause. Its splash.
    static HWND RunIntoThePause(uia::Process& run) {
        uia::KillAll(kStartupFile);
        ResetDriver(0);
        run = Run();
        HWND splash = WaitForSplash(run);
        uia::Require([] { return Requests(driver.State(), QR_REQ_SET_SCREEN_SIZE) == 1; }, "the run's pause");
        return splash;
    }

    // Double-clicks the splash's icon: the about window, or nullptr when the pause ended before
    // it came up.
    static HWND OpenAbout(const uia::Process& run, HWND splash) {
        HWND icon = uia::Control(splash, "imgIcon");
        uia::MouseClick(icon);
        uia::MouseClick(icon);
        HWND about = nullptr;
        uia::WaitUntil([&] { return (about = uia::FindForm(kAboutForm, run.Pid())) != nullptr || !run.Running(); });
        return run.Running() ? about : nullptr;
    }

    // The program's failure box: its title, text, stop icon and lone OK button.
    static HWND WaitForErrorBox(const uia::Process& p, const std::string& text) {
        HWND box = uia::WaitForMessageBox(uia::kDefaultTimeout, p.Pid());
        EXPECT_EQ(uia::Text(box), kStartupTitle);
        EXPECT_EQ(uia::FailureLine(box), text);
        EXPECT_EQ(uia::MessageBoxIcon(box), uia::BoxIcon::Stop);
        EXPECT_EQ(uia::MessageBoxButtons(box), std::vector<int>{IDOK});
        return box;
    }

    static void ExpectScreenSizeInDriver() {
        const SimState s = driver.State();
        EXPECT_EQ(s.block.screenWidth, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(s.block.screenHeight, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(Requests(s, QR_REQ_GET_SETTINGS), 1u);
        EXPECT_EQ(Requests(s, QR_REQ_SET_SCREEN_SIZE), 1u);
    }

    static void ExpectEnds(const uia::Process& p) {
        ASSERT_TRUE(p.WaitForExit()) << "the startup program did not end by itself";
    }
};

// --- a logon ---

TEST_F(Startup, LogonShowsTheSplashWritesDoubleClickAndScreenSizeAndEnds) {
    uia::Process run = Run();
    HWND splash = WaitForSplash(run);
    EXPECT_EQ(uia::Text(splash), kStartupTitle);
    EXPECT_EQ(uia::Text(uia::Control(splash, "lblSystem")), kVersionLine);
    EXPECT_EQ(uia::Text(uia::Control(splash, "lblOemTitle")), kBedVendorName);

    // Centred across the screen and in its upper 85 %; the icon centred in its box.
    const RECT r = uia::ScreenRect(splash);
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);
    EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) * 0.85 - height) / 2, 1);
    RECT box = {};
    GetClientRect(uia::Control(splash, "picIcon"), &box);
    const RECT icon = uia::ScreenRect(uia::Control(splash, "imgIcon"));
    POINT iconInBox = {icon.left, icon.top};
    ScreenToClient(uia::Control(splash, "picIcon"), &iconInBox);
    EXPECT_NEAR(iconInBox.x, (box.right - (icon.right - icon.left)) / 2, 1);
    EXPECT_NEAR(iconInBox.y, (box.bottom - (icon.bottom - icon.top)) / 2, 1);
    uia::SaveScreenshot("startup_splash");

    ExpectEnds(run);
    EXPECT_EQ(run.ExitCode(), 0u);
    ExpectDoubleClickSizeWritten();
    ExpectScreenSizeInDriver();
    EXPECT_EQ(FindWindowA(nullptr, kStartupTitle), nullptr);
}

TEST_F(Startup, ScreenSizeOfTheBedReachesTheDriver) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    // A bed made for a given size says so, so that a desktop of the wrong size cannot pass.
    char expected[32] = {};
    if (GetEnvironmentVariableA("QR_EXPECT_SCREEN", expected, sizeof expected) > 0) {
        EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), expected);
    }
    uia::Process run = Run();
    ExpectEnds(run);
    const SimState s = driver.State();
    EXPECT_EQ(s.block.screenWidth, width);
    EXPECT_EQ(s.block.screenHeight, height);
    std::printf("bed screen %d x %d, driver %d x %d\n", width, height, s.block.screenWidth, s.block.screenHeight);
}

TEST_F(Startup, BlockSentBackIsTheBlockReadButTheScreenSize) {
    const TouchSettingsBlock read = PatternBlock(0);
    uia::Process run = Run();
    ExpectEnds(run);

    const std::vector<SimLogEntry> log = SimLogEntries();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].code, IOCTL_TOUCH_GET_SETTINGS);
    ASSERT_EQ(log[1].code, IOCTL_TOUCH_SET_SCREEN_SIZE);
    ASSERT_EQ(log[1].inputLength, sizeof(TouchSettingsBlock));
    const uint8_t* sent = log[1].input;
    const uint8_t* expected = reinterpret_cast<const uint8_t*>(&read);
    for (size_t i = 0; i < sizeof read; ++i) {
        if (i >= offsetof(TouchSettingsBlock, screenWidth) && i < offsetof(TouchSettingsBlock, mcuMode)) continue;
        EXPECT_EQ(sent[i], expected[i]) << "byte " << i;
    }
    int16_t width = 0, height = 0;
    std::memcpy(&width, sent + offsetof(TouchSettingsBlock, screenWidth), sizeof width);
    std::memcpy(&height, sent + offsetof(TouchSettingsBlock, screenHeight), sizeof height);
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(height, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Startup, RunPausesAfterUpdatingTheDriver) {
    const Timeline t = Watch(Run());
    ASSERT_GT(t.updated, 0) << "the run never reached the driver";
    ExpectPause(t, t.updated);
    std::printf("run %.3f s, driver updated at %.3f s\n", t.end, t.updated);
}

// --- the right-button tool ---

TEST_F(Startup, LogonWithTheFunctionOnLeavesExactlyOneToolRunning) {
    ResetDriver(1);
    uia::Process run = Run();
    const Timeline t = Watch(run);

    // The startup program asks for the registration once; the requests after it are the tool's own.
    const std::vector<SimLogEntry> log = SimLogEntries();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].code, IOCTL_TOUCH_GET_SETTINGS);
    EXPECT_EQ(log[1].code, IOCTL_TOUCH_SET_SCREEN_SIZE);
    const SimState s = driver.State();
    EXPECT_GE(Requests(s, QR_REQ_GET_RBF_WINDOW), 1u);
    EXPECT_EQ(s.block.screenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(s.block.screenHeight, GetSystemMetrics(SM_CYSCREEN));

    // The run has ended, and WinExec returns only once the program it started waits for input:
    // a second tool would be there by now.
    uia::Require([] { return LiveToolRegistered(driver.State()); }, "a registered right-button tool");
    const std::vector<DWORD> tools = uia::ProcessIds(kRightButtonToolFile);
    ASSERT_EQ(tools.size(), 1u);
    const int32_t registered = driver.State().rbf.hwnd;
    EXPECT_EQ(uia::WindowPid(uia::FieldWindow(registered)), tools[0]);

    // The tool is started before the pause. Its registration may come after its first wait for
    // input, inside the pause, so the pause is timed from the tool's start, as Windows recorded it.
    uia::Process tool = uia::Process::Attach(tools[0]);
    const double toolStarted = LifetimeOf(tool.Handle()).start;
    tool.Detach();
    const double runEnded = LifetimeOf(run.Handle()).end;
    EXPECT_GE(runEnded - toolStarted, kShortestPause - kClockStep);
    std::printf("run %.3f s, driver updated at %.3f s; the run ended %.3f s after the tool started\n", t.end,
                t.updated, runEnded - toolStarted);

    // The next logon finds the tool running and starts none.
    uia::Process again = Run();
    ExpectEnds(again);
    EXPECT_EQ(uia::ProcessIds(kRightButtonToolFile), tools);
    EXPECT_EQ(driver.State().rbf.hwnd, registered);
}

TEST_F(Startup, AnyFunctionValueButOneIsOffAndAsksNothingOfTheTool) {
    for (uint8_t off : {uint8_t(0), uint8_t(2), uint8_t(255)}) {
        ResetDriver(off);
        uia::Process run = Run();
        ExpectEnds(run);
        const SimState s = driver.State();
        EXPECT_EQ(Requests(s, QR_REQ_GET_RBF_WINDOW), 0u) << "function " << int(off);
        EXPECT_EQ(s.block.screenWidth, GetSystemMetrics(SM_CXSCREEN)) << "function " << int(off);
        EXPECT_TRUE(uia::ProcessIds(kRightButtonToolFile).empty()) << "function " << int(off);
    }
}

TEST_F(Startup, RegistrationLeftByAGoneToolDoesNotKeepTheToolFromStarting) {
    struct Case {
        const char* what;
        std::function<int32_t(PlainWindow&)> registration;
    } const cases[] = {
        {"a destroyed window",
         [](PlainWindow& w) {
             const int32_t field = uia::WindowField(w.hwnd);
             DestroyWindow(w.hwnd);
             w.hwnd = nullptr;
             return field;
         }},
        {"a live window of another program", [](PlainWindow& w) { return uia::WindowField(w.hwnd); }},
    };
    for (const Case& c : cases) {
        uia::KillAll(kRightButtonToolFile);
        ResetDriver(1);
        PlainWindow window;
        const int32_t stale = c.registration(window);
        driver.RegisterTool(uia::FieldWindow(stale));

        uia::Process run = Run();
        ExpectEnds(run);
        uia::Require([] { return LiveToolRegistered(driver.State()); }, std::string("a tool after ") + c.what);
        EXPECT_EQ(uia::ProcessIds(kRightButtonToolFile).size(), 1u) << c.what;
        EXPECT_NE(driver.State().rbf.hwnd, stale) << c.what;
    }
}

// --- a second copy ---

TEST_F(Startup, SecondCopyDuringThePauseBringsTheFirstForwardAndEnds) {
    bool overlapped = false;
    for (int attempt = 0; attempt < kPauseTries && !overlapped; ++attempt) {
        DeleteDoubleClickValues();
        uia::Process first;
        const HWND splash = RunIntoThePause(first);
        // Whatever the second copy would write or send shows from here on.
        DeleteDoubleClickValues();
        const SimState before = driver.State();
        PlainWindow elsewhere;
        SetForegroundWindow(elsewhere.hwnd);

        uia::Process second = Run();
        uia::Require([&] { return !second.Running() || uia::FindMessageBox(second.Pid()) != nullptr; },
                     "the second copy's end or its box");
        // A second copy that met the first as it was ending finds its splash gone and says so (the
        // next test's case): the first must be gone then.
        if (uia::FindMessageBox(second.Pid()) != nullptr) {
            uia::Answer(WaitForErrorBox(second, kAlreadyRunningText), IDOK);
            ASSERT_TRUE(second.WaitForExit());
            ASSERT_TRUE(first.WaitForExit()) << "the second copy could not find a first copy that ran on";
            continue;
        }
        // Only a second copy that ended while the first still waited has met it in its pause.
        overlapped = first.Running();
        if (!overlapped) continue;

        EXPECT_EQ(GetForegroundWindow(), splash);
        ExpectDoubleClickSizeNotWritten();
        EXPECT_EQ(AllRequests(driver.State()), AllRequests(before));
        EXPECT_EQ(uia::FindMessageBox(second.Pid()), nullptr);
        ExpectEnds(first);
    }
    ASSERT_TRUE(overlapped) << "no second copy ran inside the first one's pause in " << kPauseTries << " tries";
}

TEST_F(Startup, SecondCopyThatCannotFindTheFirstSaysSoAndEnds) {
    uia::KeyWritesDenied denied(HKEY_CURRENT_USER, kMouseKey);
    // The first copy waits at its double-click box, with its splash loaded but renamed.
    uia::Process first = Run();
    HWND firstBox = WaitForErrorBox(first, kDoubleClickFailureText);
    HWND splash = uia::WaitForForm(kSplashForm, uia::kDefaultTimeout, first.Pid(), uia::Visibility::Any);
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutA(splash, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed"), SMTO_NORMAL,
                                    uia::kDefaultTimeout, &ignored));

    uia::Process second = Run();
    HWND box = WaitForErrorBox(second, kAlreadyRunningText);
    uia::Answer(box, IDOK);
    ExpectEnds(second);
    EXPECT_EQ(AllRequests(driver.State()), 0u);

    uia::Answer(firstBox, IDOK);
    ExpectEnds(first);
    ExpectScreenSizeInDriver();
}

// --- failures ---

TEST_F(Startup, IncompleteInstallationRecordEndsTheRunBeforeItChangesAnything) {
    RecordValueMissing missing("HardwareID");
    uia::Process run = Run();
    HWND box = WaitForErrorBox(run, kRecordMissingText);
    ExpectDoubleClickSizeNotWritten();
    EXPECT_EQ(AllRequests(driver.State()), 0u);
    uia::Answer(box, IDOK);
    ExpectEnds(run);
    ExpectDoubleClickSizeNotWritten();
    EXPECT_EQ(AllRequests(driver.State()), 0u);
}

TEST_F(Startup, DoubleClickSizeNotWrittenIsReportedAndTheDriverStillUpdated) {
    uia::KeyWritesDenied denied(HKEY_CURRENT_USER, kMouseKey);
    ResetDriver(1);
    uia::Process run = Run();
    HWND box = WaitForErrorBox(run, kDoubleClickFailureText);
    EXPECT_EQ(AllRequests(driver.State()), 0u);
    uia::Answer(box, IDOK);
    ExpectEnds(run);
    ExpectDoubleClickSizeNotWritten();
    ExpectScreenSizeInDriver();
    uia::Require([] { return LiveToolRegistered(driver.State()); }, "the right-button tool");
}

TEST_F(Startup, WithoutTheDriverTheDoubleClickSizeIsStillWritten) {
    DriverStopped stopped;
    uia::Process run = Run();
    HWND box = WaitForErrorBox(run, kNoDriverText);
    ExpectDoubleClickSizeWritten();
    uia::Answer(box, IDOK);
    ExpectEnds(run);
    EXPECT_TRUE(uia::ProcessIds(kRightButtonToolFile).empty());
}

TEST_F(Startup, ToolThatCannotBeStartedIsReportedAndTheRunGoesOn) {
    ResetDriver(1);
    {
        ToolFileMissing missing;
        uia::Process run = Run();
        HWND box = WaitForErrorBox(run, kToolFailureText);
        ExpectScreenSizeInDriver();
        const double answered = Now();
        uia::Answer(box, IDOK);
        ExpectEnds(run);
        // The pause still follows.
        EXPECT_GE(Now() - answered, kShortestPause - kClockStep);
    }
    ExpectDoubleClickSizeWritten();
    EXPECT_TRUE(uia::ProcessIds(kRightButtonToolFile).empty());
}

// --- the about window ---

TEST_F(Startup, IconDoubleClickDuringThePauseShowsTheAboutWindowWhichEndsWithTheProgram) {
    bool shown = false;
    for (int attempt = 0; attempt < kPauseTries && !shown; ++attempt) {
        uia::Process run;
        const HWND splash = RunIntoThePause(run);
        const HWND about = OpenAbout(run, splash);
        if (about == nullptr) continue;
        shown = true;

        EXPECT_EQ(uia::Text(about), kAboutCaption);
        EXPECT_EQ(uia::Text(uia::Control(about, "lblOemTitle")), kBedVendorName);
        EXPECT_EQ(uia::Text(uia::Control(about, "lblSystem")), kVersionLine);
        EXPECT_EQ(uia::Text(uia::Control(about, "lblCopyright")), kCopyrightLine);
        EXPECT_FALSE(uia::Visible(splash));
        uia::SaveScreenshot("startup_about");

        ExpectEnds(run);
        EXPECT_FALSE(IsWindow(about));
    }
    ASSERT_TRUE(shown) << "the about window never came up inside a pause in " << kPauseTries << " tries";
}

TEST_F(Startup, ClosingTheAboutWindowBringsTheSplashBack) {
    bool back = false;
    for (int attempt = 0; attempt < kPauseTries && !back; ++attempt) {
        uia::Process run;
        const HWND splash = RunIntoThePause(run);
        const HWND about = OpenAbout(run, splash);
        if (about == nullptr) continue;
        uia::PostClick(uia::Control(about, "cmdOK"));
        // Shown again, and then given the foreground, while the pause still runs.
        const bool shownAgain = uia::WaitUntil([&] { return GetForegroundWindow() == splash || !run.Running(); });
        if (!run.Running()) continue;
        back = true;
        EXPECT_TRUE(shownAgain);
        EXPECT_TRUE(uia::Visible(splash));
        // The about window unloads right after it has handed the foreground back.
        uia::WaitForWindowGone(about);
        ExpectEnds(run);
    }
    ASSERT_TRUE(back) << "the about window never closed inside a pause in " << kPauseTries << " tries";
}

}  // namespace
