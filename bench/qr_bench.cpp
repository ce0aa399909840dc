// The benchmarks: what a user of the suite feels, each figure against its floor, in one bed,
// the two sides alternated and medians reported. bench/run builds, makes the bed and runs this;
// it writes the results as a Markdown table.
//
//   qr_bench RESULTS.md       every figure but the calibration accuracy
//   qr_bench accuracy ROWS.md the calibration accuracy on this bed's screen (Accuracy.cpp), as
//                             rows of the table
//   qr_bench poll CODE MS     the floor of a polling wait: the driver request CODE (none when 0),
//                             a clock reading and the window events back to back, without a
//                             pause, for MS milliseconds
//
// Environment: QR_BENCH_BIN (the bed's build of the programs, for the bare window and the simulator),
// QR_BENCH_SHIPPED (the shipped build, for the sizes) and QR_BENCH_SAMPLES (the folder through
// which bench/sampler, on the Linux side, takes the processor samples), Windows paths.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/Bench.h"
#include "common/SuiteNames.h"
#include "tests/uia/uia.h"

namespace {

constexpr int kRuns = 15;
constexpr DWORD kWaitMs = 2000;     // one sample of a polling wait
constexpr DWORD kSettleMs = 300;    // after a wait has begun, before it is sampled
constexpr int kRoundTrips = 200;    // driver requests in one sample
constexpr char kBareWindowFile[] = "QRBareWindow.exe";
constexpr double kProgramSizeGoalKiB = 128;
constexpr double kStartGoalRatio = 1.2;
constexpr DWORD kRejectedCode = QR_CTL_CODE(0xBFF);  // no request of the driver

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, v >= 100 ? "%.0f" : v >= 10 ? "%.1f" : "%.2f", v);
    return text;
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// ---------------------------------------------------------------------------------------------
// Processor time of the bed's Linux processes. Each poll of a wait crosses the program,
// wineserver and the driver's host winedevice.exe: all three count.

// A sample of the processor time of the bed's processes whose command lines hold these names,
// taken by bench/sampler from Linux (QR_BENCH_SAMPLES is the folder both see): read here, each
// look at /proc would be a request to the wineserver it measures. The sample runs from its
// construction to CoreShare.
class Sample {
public:
    explicit Sample(const std::vector<std::string>& names) : number_(std::to_string(++count_)) {
        std::string text;
        for (const std::string& name : names) text += name + "\n";
        uia::WriteFileText(Path(".tmp"), text);
        if (!MoveFileA(Path(".tmp").c_str(), Path(".start").c_str())) throw uia::Error("cannot ask the sampler");
        uia::Require([&] { return uia::Exists(Path(".started")); }, "the sampler's first reading");
    }
    // Share of one core those processes used over the sample.
    double CoreShare() {
        uia::WriteFileText(Path(".stop"), "");
        uia::Require([&] { return uia::Exists(Path(".result")); }, "the sampler's result");
        std::istringstream result(uia::Contents(Path(".result")));
        double ticks = 0, hz = 0, seconds = 0;
        if (!(result >> ticks >> hz >> seconds) || hz <= 0 || seconds <= 0) throw uia::Error("no sample in " + Path(".result"));
        return ticks / hz / seconds;
    }

private:
    std::string Path(const char* extension) const { return uia::Environment("QR_BENCH_SAMPLES") + "\\" + number_ + extension; }
    static inline int count_ = 0;
    std::string number_;
};

const std::vector<std::string> kHosts = {"wineserver", "winedevice.exe"};

// Share of one core that the program and the hosts use over kWaitMs of a wait already running.
double WaitLoad(const std::string& program) {
    std::vector<std::string> names = kHosts;
    names.push_back(program);
    Sleep(kSettleMs);
    Sample sample(names);
    Sleep(kWaitMs);
    return sample.CoreShare();
}

// ---------------------------------------------------------------------------------------------
// The floor of a polling wait, in a process of its own.

int PollWithoutPause(DWORD code, DWORD ms) {
    HANDLE device = CreateFileA(kDevicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) return 1;
    char buffer[64] = {};
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        DWORD got = 0;
        if (code != 0) DeviceIoControl(device, code, buffer, sizeof buffer, buffer, sizeof buffer, &got, nullptr);
        SYSTEMTIME now;
        GetLocalTime(&now);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    CloseHandle(device);
    return 0;
}

double PollFloorLoad(DWORD code) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string marker = "poll " + std::to_string(code);
    uia::Process poller =
        uia::Process::Start(self, marker + " " + std::to_string(kSettleMs + kWaitMs + kSettleMs));
    const double load = WaitLoad(marker);
    poller.WaitForExit();
    return load;
}

// ---------------------------------------------------------------------------------------------
// Figures

// Runs the two sides one after the other, kRuns times, and keeps the medians.
std::pair<double, double> Alternate(const std::function<double()>& suite, const std::function<double()>& floor) {
    std::vector<double> a, b;
    for (int i = 0; i < kRuns; ++i) {
        a.push_back(suite());
        b.push_back(floor());
    }
    return {Median(a), Median(b)};
}

HWND ShownTopWindowOf(DWORD pid) {
    for (HWND w : uia::TopWindows())
        if (uia::WindowPid(w) == pid && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == nullptr) return w;
    return nullptr;
}

// Milliseconds from the process's start to its first shown top-level window, which must then
// also pass check. The program is closed again before the next run. Until the program first
// waits for input the bench waits without polling: a poll of the window list crosses
// wineserver, which the starting program needs too (Wine delivers no window events to another
// process).
double StartMs(const std::string& path, const std::function<bool(HWND)>& check) {
    const double start = Now();
    uia::Process p = uia::Process::Start(path);
    WaitForInputIdle(p.Handle(), 30000);
    HWND w = nullptr;
    while ((w = ShownTopWindowOf(p.Pid())) == nullptr) {
        if (Now() - start > 30) throw uia::Error("no window of " + path);
        Sleep(1);
    }
    const double ms = (Now() - start) * 1000;
    if (!check(w)) throw uia::Error("the window of " + path + " is not ready when shown");
    PostMessageA(w, WM_CLOSE, 0, 0);
    if (!p.WaitForExit()) p.Kill();
    return ms;
}

std::string BareWindow() { return uia::Environment("QR_BENCH_BIN") + "\\" + kBareWindowFile; }

Figure ControlPanelStart() {
    const auto [suite, floor] = Alternate(
        [] {
            return StartMs(uia::InstallFile(kControlPanelFile), [](HWND w) {
                HWND summary = uia::FindControl(w, "lblVirtualButton");
                return summary != nullptr && uia::Text(summary).find("RBF=") != std::string::npos;
            });
        },
        [] { return StartMs(BareWindow(), [](HWND) { return true; }); });
    return {"Control panel start, to its main window shown with the summaries", "ms", suite, "bare window", floor,
            "at most " + Number(kStartGoalRatio) + " times", suite <= kStartGoalRatio * floor};
}

Figure WaitFigure(const std::string& name, const std::function<double()>& wait, DWORD floorCode) {
    const auto [suite, floor] = Alternate(wait, [&] { return PollFloorLoad(floorCode); });
    return {name, "% of a core", suite * 100, "the same wait without a pause", floor * 100, "under 2 %",
            suite * 100 < 2};
}

Figure CalibrationWait(uia::Driver& driver) {
    return WaitFigure("Calibration waiting for a touch", [&] {
        driver.Reset();
        uia::Process panel = uia::Process::Start(uia::InstallFile(kControlPanelFile));
        HWND main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, panel.Pid());
        uia::PostClick(uia::Control(main, "cmdCalibration"));
        HWND calibration = uia::WaitForForm("frmCalibration", uia::kDefaultTimeout, panel.Pid());
        uia::Require([&] {
            HWND prompt = uia::FindControl(calibration, "lblMesg2");
            return prompt != nullptr && uia::Visible(prompt);
        }, "the first cross");
        const double load = WaitLoad(kControlPanelFile);
        panel.Kill();
        driver.Reset();
        return load;
    }, IOCTL_TOUCH_GET_RAW_SAMPLE);
}

Figure ArmedToolWait(uia::Driver& driver) {
    return WaitFigure("Right-button tool armed", [&] {
        driver.Reset();
        uia::KillAll(kRightButtonToolFile);
        HWND form = nullptr;
        uia::Process tool = uia::StartRegisteredTool(driver, form);
        uia::PostClick(uia::Control(form, "cmdAction"));
        uia::Require([&] { return driver.State().rbf.armed == 1; }, "the armed tool");
        const double load = WaitLoad(kRightButtonToolFile);
        tool.Kill();
        driver.Reset();
        return load;
    }, IOCTL_TOUCH_GET_RBF_WINDOW);
}

// The startup program's pause: from its last driver request, the screen size, until its window
// goes at the pause's end. The sampler keeps the program's last reading once it has ended.
Figure StartupPauseWait(uia::Driver& driver) {
    return WaitFigure("Startup program's pause", [&] {
        driver.Reset();
        uia::Process startup = uia::Process::Start(uia::InstallFile(kStartupFile));
        HWND splash = uia::WaitForForm("frmMain", uia::kDefaultTimeout, startup.Pid());
        uia::Require([&] { return driver.State().requestCounts[QR_REQ_SET_SCREEN_SIZE] > 0; },
                     "the screen size from the startup program");
        std::vector<std::string> names = kHosts;
        names.push_back(kStartupFile);
        Sample sample(names);
        // Looked at sparingly: each look is a wineserver request, and wineserver is measured.
        while (IsWindowVisible(splash)) Sleep(100);
        const double share = sample.CoreShare();
        startup.WaitForExit();
        return share;
    }, 0);
}

// Microseconds of one request, over kRoundTrips of them.
double RoundTripUs(HANDLE device, DWORD code) {
    TouchSettingsBlock block = {};
    const double start = Now();
    for (int i = 0; i < kRoundTrips; ++i) {
        DWORD got = 0;
        DeviceIoControl(device, code, &block, sizeof block, &block, sizeof block, &got, nullptr);
    }
    return (Now() - start) * 1e6 / kRoundTrips;
}

Figure DriverRoundTrip() {
    HANDLE device = CreateFileA(kDevicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) throw uia::Error("the driver does not open");
    const auto [suite, floor] = Alternate([&] { return RoundTripUs(device, IOCTL_TOUCH_GET_SETTINGS); },
                                          [&] { return RoundTripUs(device, kRejectedCode); });
    CloseHandle(device);
    return {"One driver request (GET_SETTINGS)", "us", suite, "a request rejected at once", floor, "-", true};
}

Figure StartupRun(uia::Driver& driver) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        driver.Reset();
        const double start = Now();
        uia::Process startup = uia::Process::Start(uia::InstallFile(kStartupFile));
        if (!startup.WaitForExit(30000)) throw uia::Error("the startup program did not end");
        runs.push_back((Now() - start) * 1000);
    }
    const double run = Median(runs);
    return {"Startup program's whole logon run", "ms", run, "its designed pause (0.5 to 1.5 s)", 1000,
            "0.5 to 1.5 s and a little", run < 2000};
}

double FileKiB(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) throw uia::Error("no file " + path);
    return double(data.nFileSizeLow) / 1024;
}

// Peak working set in KiB of a program once its window is shown, closed again afterwards.
double PeakWorkingSetKiB(const std::string& path, const std::string& args = "") {
    uia::Process p = uia::Process::Start(path, args);
    HWND w = nullptr;
    uia::Require([&] { return (w = ShownTopWindowOf(p.Pid())) != nullptr; }, "a window of " + path);
    uia::WaitForPainted(w);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(p.Handle(), &counters, sizeof counters);
    p.Kill();
    return double(counters.PeakWorkingSetSize) / 1024;
}

std::vector<Figure> Footprints(uia::Driver& driver) {
    std::vector<Figure> figures;
    const std::string shipped = uia::Environment("QR_BENCH_SHIPPED");
    const double bareSize = FileKiB(shipped + "\\" + kBareWindowFile);
    double carried = 0;
    for (const char* file : {kControlPanelFile, kStartupFile, kRightButtonToolFile, kSetupFile, kUninstallerFile}) {
        const double size = FileKiB(shipped + "\\" + file);
        carried += size;
        figures.push_back({std::string("Size of ") + file + " (32-bit, as shipped)", "KiB", size, "bare window", bareSize,
                           "at most " + Number(kProgramSizeGoalKiB) + " KiB", size <= kProgramSizeGoalKiB});
    }
    // The installer carries the five programs, the uninstall program and the driver, compressed.
    for (const char* file : {"unins000.exe", kDriverFileName}) carried += FileKiB(shipped + "\\" + file);
    figures.push_back({"Size of TouchScreenSetup.exe (32-bit, as shipped)", "KiB",
                       FileKiB(shipped + "\\TouchScreenSetup.exe"), "the files it installs", carried, "-", true});
    driver.Reset();
    const double bare = PeakWorkingSetKiB(BareWindow());
    for (const char* file : {kControlPanelFile, kRightButtonToolFile, kUninstallerFile}) {
        uia::KillAll(file);
        const std::string path = uia::Environment("QR_BENCH_BIN") + "\\" + file;
        figures.push_back({std::string("Peak working set of ") + file, "KiB", PeakWorkingSetKiB(path), "bare window",
                           bare, "-", true});
        driver.Reset();
    }
    return figures;
}

// The table, or with rowsOnly its rows, to go under another table's.
void Write(const std::string& path, const std::vector<Figure>& figures, bool rowsOnly = false) {
    std::ostringstream table;
    if (!rowsOnly) table << "| Figure | Suite | Floor | Ratio | Goal |\n|---|---:|---|---:|---|\n";
    for (const Figure& f : figures) {
        const std::string floor = f.floor > 0 ? f.floorName + ": " + Number(f.floor) + ' ' + f.unit : "-";
        table << "| " << f.name << " | " << Number(f.suite) << ' ' << f.unit << " | " << floor << " | "
              << (f.floor > 0 ? Number(f.suite / f.floor) : "-") << " | "
              << f.goal << (f.goal == "-" ? "" : f.holds ? " (holds)" : " (**missed**)") << " |\n";
    }
    std::ofstream(path) << table.str();
    std::printf("%s", table.str().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "poll") return PollWithoutPause(std::stoul(argv[2]), std::stoul(argv[3]));
    const bool accuracy = argc == 3 && std::string(argv[1]) == "accuracy";
    if (argc != 2 && !accuracy) {
        std::fprintf(stderr, "usage: qr_bench RESULTS.md | qr_bench accuracy ROWS.md | qr_bench poll CODE MS\n");
        return 2;
    }
    try {
        if (accuracy) {
            Write(argv[2], CalibrationAccuracy(), true);
            return 0;
        }
        uia::Driver driver;
        driver.Open();
        uia::KillAll(kRightButtonToolFile);
        std::vector<Figure> figures;
        {
            std::vector<double> rest;
            for (int i = 0; i < kRuns / 3; ++i) rest.push_back(WaitLoad("no program"));
            figures.push_back({"Bed at rest: wineserver and winedevice.exe alone", "% of a core", Median(rest) * 100,
                               "-", 0, "-", true});
        }
        figures.push_back(ControlPanelStart());
        figures.push_back(CalibrationWait(driver));
        figures.push_back(ArmedToolWait(driver));
        figures.push_back(StartupPauseWait(driver));
        figures.push_back(DriverRoundTrip());
        figures.push_back(StartupRun(driver));
        for (const Figure& f : Footprints(driver)) figures.push_back(f);
        Write(argv[1], figures);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
