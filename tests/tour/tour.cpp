// The tour: in a bed where the suite was installed with its installer, it goes through every
// window as a person would, touching through the touch simulator with the real X pointer
// (xdotool), and writes a picture of each window with a caption. Every step checks what its
// picture shows, so a broken suite ends the tour with a failure, not with wrong pictures.
//
//   qr_tour install   the installer's wizard, up to setup's message, answered with a click
//   qr_tour use       after the restart: the control panel, its dialogs, calibration, taps,
//                     the drawing test, the right-button tool, support and about windows
//   qr_tour open      after the restart: the simulator and the control panel, left running
//   qr_tour remove    the uninstaller from Add or Remove Programs, up to its last message
//
// Environment: QR_TOUR (folder of the pictures and of tour.txt, one "file<TAB>caption" line a
// picture, appended), QR_SETUP_EXE, QR_SIMULATOR, QR_XDO (tests/tour/xdo) as Windows paths, on drive Z:.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "common/SuiteNames.h"
#include "tests/tour/TargetWindow.h"
#include "tests/tour/TouchCalibration.h"
#include "tests/uia/uia.h"

namespace {

constexpr char kArpKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen QR-K52-PS2";
constexpr char kSetupFinished[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";
constexpr char kVendorTitle[] = "Sample Vendor";  // tests/tour/vendor/setup.oem
constexpr char kVendorUrl[] = "https://sample-vendor.example/touchscreen";
constexpr char kTestQuestionStart[] = "CALIBRATION IS COMPLETE.";
constexpr COLORREF kPenBlue = RGB(0, 0, 255);
// A tap lands on the cross when it is this close, and visibly off it when at least this far. The
// panel's raw steps are about a pixel, and calibration rounds its edges: two pixels each way.
constexpr double kOnTarget = 3;
constexpr double kVisiblyOff = 10;

void Check(bool condition, const std::string& what) {
    if (!condition) throw uia::Error(what);
}

// ---------------------------------------------------------------------------------------------
// The X pointer, moved by xdotool on the bed's display: real input, which the simulator's hook
// sees as a person's.

uia::XPointer& Pointer() {
    static uia::XPointer pointer(uia::Environment("QR_XDO"), uia::Environment("QR_TOUR"));
    return pointer;
}
void Press(POINT p) { Pointer().Press(p); }
void Release() { Pointer().Release(); }
void Tap(POINT p) { Pointer().Tap(p); }
void Drag(POINT from, POINT to) {
    Press(from);
    constexpr int kSteps = 12;
    for (int i = 1; i <= kSteps; ++i)
        Pointer().MoveTo({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
    Release();
}

double Distance(POINT a, POINT b) { return std::hypot(double(a.x - b.x), double(a.y - b.y)); }

// ---------------------------------------------------------------------------------------------
// Pictures

class Album {
public:
    Album() : folder_(uia::Environment("QR_TOUR")) {
        std::ifstream list(folder_ + "\\tour.txt");
        for (std::string line; std::getline(list, line);) ++count_;
    }
    void Shot(const std::string& name, const std::string& caption) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d-", ++count_);
        const std::string file = number + name + ".png";
        uia::WritePng(folder_ + "\\" + file, uia::CaptureScreen());
        std::ofstream(folder_ + "\\tour.txt", std::ios::app) << file << '\t' << caption << '\n';
        std::printf("tour: %s\n", file.c_str());
        std::fflush(stdout);
    }

private:
    std::string folder_;
    int count_ = 0;
};

HWND WaitForBoxPainted(DWORD pid, DWORD timeoutMs) {
    HWND box = uia::WaitForMessageBox(timeoutMs, pid);
    Check(uia::MessageBoxIcon(box) != uia::BoxIcon::Unknown, "the message box painted");
    return box;
}

// A person's click on a message box button: the pointer, not a message.
void ClickBoxButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    Check(button != nullptr, "the message box has the button");
    Tap(uia::Centre(uia::ScreenRect(button)));
    uia::WaitForWindowGone(box);
}

// ---------------------------------------------------------------------------------------------
// Phases

struct WizardSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleId(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<WizardSearch*>(lParam);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child)) return TRUE;
    search->found = child;
    return FALSE;
}

// The visible text of the wizard's control with this ID, on its page or around it.
std::string WizardText(HWND wizard, int id) {
    WizardSearch search = {id, nullptr};
    EnumChildWindows(wizard, FindVisibleId, reinterpret_cast<LPARAM>(&search));
    return search.found ? uia::Text(search.found) : "";
}

// Waits for the wizard's page of this title (the welcome page's big title, or the header's),
// checks what else it shows, pictures it, and goes on with the wizard's default button.
void WizardPage(Album& album, HWND wizard, const std::string& title, const std::string& name,
                const std::string& caption, const std::function<void()>& check = [] {}) {
    constexpr int kWelcomeTitle = 1201, kHeaderTitle = 1037;
    uia::Require([&] { return WizardText(wizard, kWelcomeTitle) == title || WizardText(wizard, kHeaderTitle) == title; },
                 "the wizard's page \"" + title + "\"");
    check();
    uia::WaitForPainted(wizard);
    album.Shot(name, caption);
    // The pages' default buttons lie on one spot, and xdotool waits for a move to that spot
    // forever when the pointer is already there.
    const POINT button = uia::Centre(uia::ScreenRect(GetDlgItem(wizard, IDOK)));
    Pointer().MoveTo({button.x - 8, button.y});
    Tap(button);
}

// Double-clicked: the wizard's pages, then setup's message, answered with a click.
void Install(Album& album) {
    constexpr int kFolderField = 1019;
    uia::Process installer = uia::Process::Start(uia::Environment("QR_SETUP_EXE"));
    HWND wizard = uia::WaitForWindow("TouchScreen QR-K52-PS2 Setup", 60000, installer.Pid());
    WizardPage(album, wizard, "Welcome to TouchScreen QR-K52-PS2 Setup", "installer-welcome",
               "Double-clicked, TouchScreenSetup.exe opens its wizard. The welcome page says that Windows restarts "
               "at the end.");
    WizardPage(album, wizard, "Choose Install Location", "installer-folder",
               "The installation folder, C:\\Program Files\\TouchScreen unless changed here; Install starts.", [&] {
                   Check(WizardText(wizard, kFolderField) == "C:\\Program Files\\TouchScreen",
                         "the folder shown: " + WizardText(wizard, kFolderField));
               });
    uia::Require([] { return !uia::ProcessIds(kSetupFile).empty(); }, "setup started by the installer");
    HWND box = WaitForBoxPainted(uia::ProcessIds(kSetupFile).front(), 120000);
    Check(uia::MessageBoxText(box) == kSetupFinished, "setup's closing message, not: " + uia::MessageBoxText(box));
    Check(WizardText(wizard, 1037) == "Installing", "the wizard's progress page under setup's message");
    album.Shot("setup-finished",
               "On the wizard's progress page, the installer has copied the suite and run setup, which registered "
               "the touch driver in place of the PS/2 port driver. Setup asks for the restart; the wizard then "
               "closes.");
    ClickBoxButton(box, IDOK);
    Check(installer.WaitForExit(60000) && installer.ExitCode() == 0, "the installer ended with exit code 0");
    Check(uia::RegistryText(kArpKey, "HelpLink") == kVendorUrl, "the vendor's address in Add or Remove Programs");
}

struct Suite {
    uia::Driver driver;
    uia::Process simulator;
    HWND simulatorForm = nullptr;
    uia::Process panel;
    HWND main = nullptr;
    HWND tool = nullptr;
};

HWND RunningTool() {
    for (DWORD pid : uia::ProcessIds(kRightButtonToolFile)) {
        if (HWND form = uia::FindForm("frmMain", pid)) return form;
    }
    return nullptr;
}

// What the logon left: the startup program, which ends after its pause, has written the screen
// size into the driver. Then the simulator and the control panel.
void OpenSuite(Suite& s) {
    uia::Require([] { return uia::ProcessIds(kStartupFile).empty(); }, "the startup program's end at the logon");
    s.driver.Open();
    uia::Require([&] {
        const TouchSettingsBlock b = s.driver.State().block;
        return b.screenWidth == GetSystemMetrics(SM_CXSCREEN) && b.screenHeight == GetSystemMetrics(SM_CYSCREEN);
    }, "the screen size, written into the driver by the startup program at logon");
    s.simulator = uia::Process::Start(uia::Environment("QR_SIMULATOR"));
    s.simulatorForm = uia::WaitForForm("frmSimulator", uia::kDefaultTimeout, s.simulator.Pid());
    s.panel = uia::Process::Start(uia::InstallFile(kControlPanelFile));
    s.main = uia::WaitForForm("frmMain", uia::kDefaultTimeout, s.panel.Pid());
    uia::WaitForPainted(s.main);
    uia::WaitForPainted(s.simulatorForm);
}

void WaitForMain(const Suite& s) {
    uia::Require([&] { return uia::Visible(s.main); }, "the control panel's main window back");
    uia::WaitForPainted(s.main);
}

std::string SimulatorSays(const Suite& s) { return uia::Text(uia::Control(s.simulatorForm, "lblRaw")); }

// A tap on the target's cross; returns how far from it the click landed.
double TapTarget(Suite& s, TargetWindow& target, TargetWindow::Button button) {
    const size_t before = target.Hits().size();
    Tap(target.Aim());
    uia::Require([&] { return target.Hits().size() > before; }, "the tap's click on the target window");
    const TargetWindow::Hit hit = target.Hits().back();
    Check(hit.button == button, "a click of the expected button on the target");
    uia::Require([&] { return SimulatorSays(s).find("(lifted)") != std::string::npos; }, "the simulator's lift-off");
    uia::WaitForPainted(target.Window());
    return Distance(hit.at, target.Aim());
}

void Dialogs(Album& album, Suite& s) {
    const struct {
        const char* button;
        const char* form;
        const char* choice;  // clicked before the picture, and kept with OK
        const char* name;
        const char* caption;
    } dialogs[] = {
        {"cmdVirtualButton", "frmVirtualButton", "optRBFunction(1)", "virtual-button",
         "Virtual Button: what a touch does, and the Right Button Function, here switched on: OK starts the "
         "right-button tool."},
        {"cmdFeedbackSound", "frmFeedbackSound", nullptr, "feedback-sound", "Feedback Sound: the sound of each touch."},
        {"cmdMouseSpeed", "frmMouseSpeed", nullptr, "mouse-speed",
         "Mouse Speed: the speed and acceleration of the pointer."},
    };
    for (const auto& d : dialogs) {
        uia::PostClick(uia::Control(s.main, d.button));
        HWND dialog = uia::WaitForForm(d.form, uia::kDefaultTimeout, s.panel.Pid());
        if (d.choice != nullptr) uia::Click(uia::Control(dialog, d.choice));
        uia::WaitForPainted(dialog);
        album.Shot(d.name, d.caption);
        uia::Click(uia::Control(dialog, d.choice != nullptr ? "cmdOK" : "cmdCandel"));
        WaitForMain(s);
    }
    uia::Require([&] { return (s.tool = RunningTool()) != nullptr; }, "the right-button tool, started by OK");
}

void Calibrate(Album& album, Suite& s) {
    CalibrateByTouch(Pointer(), s.main, s.panel.Pid(), [&](int corner) {
        album.Shot("calibration-" + std::to_string(corner + 1),
                   "Calibration, cross " + std::to_string(corner + 1) +
                       " of 4: touch its centre and hold until the window says to lift off.");
    });
    HWND box = WaitForBoxPainted(s.panel.Pid(), uia::kDefaultTimeout);
    Check(uia::MessageBoxText(box).rfind(kTestQuestionStart, 0) == 0, "the calibration's closing question");
    album.Shot("calibration-question",
               "After the fourth cross the driver already maps with the new edges: touches can be tried before "
               "Yes keeps them.");
    ClickBoxButton(box, IDYES);  // by touch, which lands where the new edges put it
    WaitForMain(s);
}

void DrawingTest(Album& album, Suite& s) {
    // The test window's gesture: Shift and Alt with the right button on Exit.
    uia::MouseClick(uia::Control(s.main, "cmdExit"), uia::MouseButton::Right, uia::kShift | uia::kAlt);
    HWND test = uia::WaitForForm("frmTest", uia::kDefaultTimeout, s.panel.Pid());
    HWND home = uia::WaitForControl(test, "picHome");
    uia::Require([&] { return uia::DrawWidth(home) == 2 && uia::ForeColor(home) == kPenBlue; }, "the test's pen");
    const RECT area = uia::ScreenRect(home);
    const POINT from{area.left + 120, area.top + 120}, to{area.right - 160, area.bottom - 140};
    Drag(from, to);
    const POINT middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
    uia::Require([&] {
        for (int dy = -2; dy <= 2; ++dy)
            if (uia::ScreenPixel(middle.x, middle.y + dy) == kPenBlue) return true;
        return false;
    }, "the drawn line through the middle of the drag");
    // The left button's indicator goes out when the release arrives.
    HWND left = uia::Control(test, uia::ArrayMember("lblButton", 0));
    uia::Require([&] { return (uia::StyleFlags(left) & TK_STYLE_OPAQUE) == 0; }, "the release of the drag");
    uia::WaitForPainted(test);
    album.Shot("drawing-test", "The drawing test: a touch dragged across the window draws where the pointer went.");
    uia::Click(uia::Control(test, "cmdExit"));
    WaitForMain(s);
}

void RightButton(Album& album, Suite& s, TargetWindow& target) {
    HWND action = uia::Control(s.tool, "cmdAction");
    Tap(uia::Centre(uia::ScreenRect(action)));
    uia::Require([&] { return s.driver.State().rbf.armed == 1 && !uia::Visible(action); }, "the armed right-button tool");
    album.Shot("right-button-armed",
               "The right-button tool, touched: armed, its button gone until the next touch, which the driver "
               "turns into a right-button click.");
    target.Show();
    const double off = TapTarget(s, target, TargetWindow::Button::Right);
    Check(off <= kOnTarget, "the right click on the cross");
    uia::Require([&] { return uia::Visible(action); }, "the right-button tool's button back");
    album.Shot("right-click", "The next touch on the cross: a right-button click (blue), and the tool is ready again.");
    target.Hide();
}

void VendorWindows(Album& album, Suite& s) {
    Check(uia::Text(uia::Control(s.main, "lblOemTitle")) == kVendorTitle, "the vendor's title from setup.oem");
    uia::PostClick(uia::Control(s.main, "cmdSupport"));
    HWND support = uia::WaitForForm("frmSupport", uia::kDefaultTimeout, s.panel.Pid());
    uia::WaitForPainted(support);
    album.Shot("support", "Support: the vendor's picture QRVender.Bmp (a sample that the build provides).");
    uia::Click(uia::Control(support, "cmdOK"));
    WaitForMain(s);

    // The image has no window: the box that holds it takes the mouse on its behalf.
    HWND box = uia::Control(s.main, "picIcon");
    POINT centre = uia::Centre(uia::ScreenRect(uia::Control(s.main, "imgIcon")));
    ScreenToClient(box, &centre);
    const LPARAM at = MAKELPARAM(centre.x, centre.y);
    PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(box, WM_LBUTTONUP, 0, at);
    PostMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(box, WM_LBUTTONUP, 0, at);
    HWND about = uia::WaitForForm("frmAbout", uia::kDefaultTimeout, s.panel.Pid());
    uia::WaitForPainted(about);
    album.Shot("about", "About, from a double click on the control panel's icon.");
    uia::Click(uia::Control(about, "cmdOK"));
    WaitForMain(s);
}

void Use(Album& album) {
    Suite s;
    OpenSuite(s);
    album.Shot("control-panel",
               "After the restart the startup program has written the screen size into the driver. The control "
               "panel, and the touch simulator at the top right, which turns the mouse into the touch panel.");
    Dialogs(album, s);

    TargetWindow target;
    target.Show();
    const double before = TapTarget(s, target, TargetWindow::Button::Left);
    Check(before >= kVisiblyOff, "before calibration the tap lands off the cross, not " + std::to_string(before) + " px from it");
    album.Shot("tap-before-calibration",
               "Before calibration: a tap on the cross lands " + std::to_string(std::lround(before)) +
                   " pixels away (red dot), since the panel's raw points are offset and scaled.");
    target.Hide();

    Calibrate(album, s);

    target.Clear();
    target.Show();
    const double after = TapTarget(s, target, TargetWindow::Button::Left);
    Check(after <= kOnTarget, "after calibration the tap lands on the cross, not " + std::to_string(after) + " px from it");
    album.Shot("tap-after-calibration", "After calibration: the same tap lands on the cross.");
    target.Hide();

    DrawingTest(album, s);
    target.Clear();
    RightButton(album, s, target);
    VendorWindows(album, s);

    uia::Click(uia::Control(s.main, "cmdExit"));
    Check(s.panel.WaitForExit(), "the control panel ended by Exit");
    uia::Click(uia::Control(s.simulatorForm, "cmdClose"));
    Check(s.simulator.WaitForExit(), "the simulator closed");
}

void Open() {
    Suite s;
    OpenSuite(s);
    s.simulator.Detach();
    s.panel.Detach();
}

void Remove(Album& album) {
    std::string command = uia::RegistryText(kArpKey, "UninstallString");
    Check(command.size() > 2 && command.front() == '"', "the quoted Add or Remove Programs command");
    uia::Process uninstaller = uia::Process::Start(command.substr(1, command.size() - 2));
    HWND question = uia::WaitForForm("frmMain", uia::kDefaultTimeout, uninstaller.Pid());
    uia::WaitForPainted(question);
    album.Shot("uninstaller-question",
               "Add or Remove Programs starts the uninstaller QRWNTPde, which asks before it removes anything.");
    Tap(uia::Centre(uia::ScreenRect(uia::Control(question, "cmdYes"))));
    HWND box = WaitForBoxPainted(uninstaller.Pid(), 60000);
    album.Shot("uninstaller-finished",
               "The suite is removed and the PS/2 port driver put back; Windows restarts after OK.");
    ClickBoxButton(box, IDOK);
    Check(uninstaller.WaitForExit(30000), "the uninstaller ended");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string phase = argc > 1 ? argv[1] : "";
    try {
        if (phase == "open") {
            Open();
            return 0;
        }
        Album album;
        if (phase == "install") {
            Install(album);
        } else if (phase == "use") {
            Use(album);
        } else if (phase == "remove") {
            Remove(album);
        } else {
            std::fprintf(stderr, "usage: qr_tour install | use | open | remove\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tour: %s failed: %s\n", phase.c_str(), e.what());
        return 1;
    }
    return 0;
}
