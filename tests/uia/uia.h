// UI automation for the end-to-end tests: drives the suite's programs from another
// process of the same Wine desktop, the way a person at the screen would.
//
// Controls are found and read through the window properties of toolkit/automation.h.
// Every wait polls with a timeout and, when the timeout passes, throws uia::Error whose
// text names what was awaited (caption, form or control name); GoogleTest reports an
// escaped exception as a failure of the running test, so test bodies need no checks of
// their own around the waits. Functions named Find... never wait and return nullptr
// when nothing matches.
//
// Coordinates are screen pixels of the virtual desktop unless a name says otherwise.
#ifndef TESTS_UIA_UIA_H
#define TESTS_UIA_UIA_H

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "driver/qrwntps2.h"
#include "toolkit/automation.h"

namespace uia {

// Long enough for a cold Wine process start (up to a few seconds here).
constexpr DWORD kDefaultTimeout = 10000;

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

// Polls pred every few milliseconds until it holds (true) or timeoutMs passes (false).
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = kDefaultTimeout);
// The same, but a timeout throws Error("timed out after N ms waiting for " + what).
void Require(const std::function<bool()>& pred, const std::string& what,
             DWORD timeoutMs = kDefaultTimeout);

// ---------------------------------------------------------------------------
// Programs

// A started (or attached) program. Move-only; the destructor ends a program that is
// still running, so that a failed test does not leave windows behind for the next one.
class Process {
public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // CreateProcessA of "path" args; workDir empty = the program's own folder.
    static Process Start(const std::string& path, const std::string& args = "",
                         const std::string& workDir = "");
    // A program started by someone else (for example the right-button tool that the
    // control panel starts), by process id.
    static Process Attach(DWORD pid);

    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // True when the program ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeout) const;
    // STILL_ACTIVE while running.
    DWORD ExitCode() const;
    // Ends the program (if running) and waits for it to be gone.
    void Kill(UINT exitCode = 1);
    // Leaves the program running when this object goes.
    void Detach();

private:
    void Close();
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The suite's install folder, without a trailing "\": the environment variable
// QR_INSTALL_PATH when set, otherwise the InstallPath of the installation record.
std::string InstallFolder();
// InstallFolder() + "\" + file.
std::string InstallFile(const std::string& file);
// Folder of the running test executable, without a trailing "\".
std::string ExeFolder();
// An environment variable that the program's script must set; throws Error when it is not.
std::string Environment(const char* name);

// The running processes of an executable file name (e.g. "QRWNTPrb.exe"), case ignored.
std::vector<DWORD> ProcessIds(const std::string& exeFile);
// Ends every running process of that file.
void KillAll(const std::string& exeFile);

// A window handle as the driver's records hold it (32 bits), and back.
inline int32_t WindowField(HWND w) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(w)); }
inline HWND FieldWindow(int32_t field) { return reinterpret_cast<HWND>(static_cast<intptr_t>(field)); }

// ---------------------------------------------------------------------------
// Top-level windows and forms

enum class Visibility { Shown, Any };

DWORD WindowPid(HWND w);
// Every top-level window of the desktop, topmost first.
std::vector<HWND> TopWindows();
// Exact caption, blanks included. pid 0 = any process.
HWND FindTopWindow(const std::string& caption, DWORD pid = 0,
                   Visibility visibility = Visibility::Shown);
HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = kDefaultTimeout,
                   DWORD pid = 0, Visibility visibility = Visibility::Shown);
// Waits until w is hidden or destroyed.
void WaitForWindowGone(HWND w, DWORD timeoutMs = kDefaultTimeout);
// Waits until no shown top-level window has this caption.
void WaitForNoWindow(const std::string& caption, DWORD timeoutMs = kDefaultTimeout,
                     DWORD pid = 0);

// A form is a top-level window of class TK_FORM_CLASS; name is its TkName ("frmMain"),
// matched without regard to case as control names are (below).
HWND FindForm(const std::string& name, DWORD pid = 0, Visibility visibility = Visibility::Shown);
HWND WaitForForm(const std::string& name, DWORD timeoutMs = kDefaultTimeout, DWORD pid = 0,
                 Visibility visibility = Visibility::Shown);
// The form a control belongs to (its top-level ancestor).
HWND FormOf(HWND control);

// ---------------------------------------------------------------------------
// Controls: found by TkName anywhere below a form, frames and picture boxes included.
// Names are global atoms, which the system compares without regard to case, so names are
// matched that way too, and Name() spells a name as the first program of the session that
// used it did ("cmdOK" may read back as "cmdOk").

// The name of one member of a control array: name + "(index)", as in "optFeedbackSound(2)".
inline std::string ArrayMember(const std::string& name, int index) {
    return name + "(" + std::to_string(index) + ")";
}
HWND FindControl(HWND form, const std::string& name);
// As FindControl, but a missing control throws.
HWND Control(HWND form, const std::string& name);
HWND WaitForControl(HWND form, const std::string& name, DWORD timeoutMs = kDefaultTimeout);

// TkName, "" when the window has none; see above for its case.
std::string Name(HWND w);
// Window text by WM_GETTEXT (GetWindowTextA does not ask another process).
std::string Text(HWND w);
std::string ClassName(HWND w);
bool Visible(HWND w);
bool Enabled(HWND w);
// TkKind; 0 when the window carries none.
int Kind(HWND w);
// TK_PROP_VALUE without its bias; throws when the control has no value.
long Value(HWND w);
bool HasValue(HWND w);
// Colours; throw when the control has none.
COLORREF ForeColor(HWND w);
COLORREF BackColor(HWND w);
// TkStyleFlags; 0 when none are set.
unsigned StyleFlags(HWND w);
// The form's mouse pointer in the runtime's numbering (0 default, 11 hourglass).
int MousePointer(HWND form);
// Pen width of a picture box, in pixels.
int DrawWidth(HWND pictureBox);
// The window's rectangle in screen pixels, and in client coordinates of its form.
RECT ScreenRect(HWND w);
RECT RectInForm(HWND w);
POINT Centre(const RECT& r);
bool IsTopmost(HWND w);

// ---------------------------------------------------------------------------
// Stand-in windows

// A hidden window of the test process in the place of a program's window, for example
// registered with the driver as the right-button tool. It runs on a thread of its own, so
// that a program's SendMessage to it is answered while the test waits, and keeps the
// WM_USER commands it is sent. With a formName it is dressed as that form of another
// program would be: class TK_FORM_CLASS and that TkName. The constructor throws when the
// window cannot be made.
class StandInWindow {
public:
    explicit StandInWindow(const std::string& caption = "", const std::string& formName = "");
    ~StandInWindow();
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    HWND Window() const { return hwnd_; }
    // The wParam of each WM_USER received, oldest first.
    std::vector<WPARAM> Commands() const;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    void Run();

    std::string caption_;
    std::string formName_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
    HWND hwnd_ = nullptr;
    ATOM atom_ = 0;
    std::vector<WPARAM> commands_;
};

// ---------------------------------------------------------------------------
// Input

// BM_CLICK, waiting for the click handler to return. A disabled or hidden control cannot
// be clicked by a person, so either throws; so does a handler that does not return
// within timeoutMs (a handler that opens a message box or a modal loop: use PostClick).
void Click(HWND button, DWORD timeoutMs = kDefaultTimeout);
// BM_CLICK posted: returns at once, the handler runs when the program gets to it.
void PostClick(HWND button);

enum class MouseButton { Left, Right, Middle };
enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

// Real input (SendInput): moves the pointer there, holds the modifier keys, presses and
// releases the button, releases the keys.
void MouseClick(POINT screen, MouseButton button = MouseButton::Left,
                unsigned modifiers = kNoModifier);
// At the centre of w (throws when w is hidden).
void MouseClick(HWND w, MouseButton button = MouseButton::Left, unsigned modifiers = kNoModifier);
// At a point of w's client area.
void MouseClickAt(HWND w, POINT client, MouseButton button = MouseButton::Left,
                  unsigned modifiers = kNoModifier);
// Press at from, move in steps, release at to (screen pixels).
void MouseDrag(POINT from, POINT to, MouseButton button = MouseButton::Left,
               unsigned modifiers = kNoModifier, int steps = 8);
// Client points of w.
void MouseDragIn(HWND w, POINT from, POINT to, MouseButton button = MouseButton::Left,
                 unsigned modifiers = kNoModifier, int steps = 8);
void MouseMove(POINT screen);
void MouseDown(MouseButton button);
void MouseUp(MouseButton button);
POINT CursorPos();
POINT ClientToScreenPoint(HWND w, POINT client);

// The X pointer of the bed's display, moved by xdotool: real input, which a low-level mouse hook
// sees as a person's, where MouseDown and the like are input made inside Wine. xdotool runs
// through the script xdo (tests/tour/xdo, a Windows path), which leaves its exit code in a file
// of `folder`: Wine cannot wait for a Linux program's process.
class XPointer {
public:
    XPointer(std::string xdo, std::string folder) : xdo_(std::move(xdo)), folder_(std::move(folder)) {}
    // xdotool with these arguments; a failure throws Error.
    void Run(const std::string& args);
    // xdotool waits forever for a move to the spot the pointer is already on.
    void MoveTo(POINT screen) { Run(MoveArgs(screen)); }
    void Press(POINT screen) { Run(MoveArgs(screen) + " mousedown 1"); }
    void Release() { Run("mouseup 1"); }
    void Tap(POINT screen) { Run(MoveArgs(screen) + " click 1"); }

private:
    static std::string MoveArgs(POINT screen);
    std::string xdo_;
    std::string folder_;
    int calls_ = 0;
};

// Posts WM_KEYDOWN, WM_CHAR (when ch is not 0) and WM_KEYUP straight to w's window
// procedure (SendNotifyMessage: not through the program's message loop, so no
// translation adds a second character, and a handler that blocks does not block us).
void SendKey(HWND w, WORD vk, char ch = 0);
// Brings w's form to the foreground and types the key on the real keyboard: it reaches
// whichever control of the form has the focus, through the program's message loop.
void PressKey(HWND w, WORD vk, unsigned modifiers = kNoModifier);
// Makes w's form the foreground window.
void Activate(HWND w);

// A horizontal scroll bar moved as a user would: WM_HSCROLL to the bar's parent with the
// given code, followed by SB_ENDSCROLL as at the end of every user action.
void Scroll(HWND scrollBar, int code, int pos = 0);
// Drags the thumb to pos: SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL.
void ScrollTo(HWND scrollBar, int pos);

// ---------------------------------------------------------------------------
// Message boxes (class #32770, text in the static 0xFFFF)

enum class BoxIcon { None, Stop, Question, Exclamation, Information, Unknown };
const char* BoxIconName(BoxIcon icon);

HWND FindMessageBox(DWORD pid = 0);
HWND WaitForMessageBox(DWORD timeoutMs = kDefaultTimeout, DWORD pid = 0);
std::string MessageBoxText(HWND box);
// A failure's box as "TEXT [error N]": the program's words, and the code of the cause named in the
// box's last paragraph, "... (error N)"; the text alone when the box names no cause.
std::string FailureLine(HWND box);
// The icon, told apart by comparing the icon's pixels on screen with the system icons
// drawn here (icon handles of another process cannot be read). Waits up to timeoutMs
// for the box to be painted; Unknown when nothing matched by then.
BoxIcon MessageBoxIcon(HWND box, DWORD timeoutMs = kDefaultTimeout);
// Ids of the shown buttons (IDOK, IDCANCEL, IDYES, IDNO, ...), in window order.
std::vector<int> MessageBoxButtons(HWND box);
bool HasButton(HWND box, int id);
// BM_CLICK on the button with this id; throws when there is none.
void PressButton(HWND box, int id);
// Presses the button and waits for the box to go.
void Answer(HWND box, int id, DWORD timeoutMs = kDefaultTimeout);

// ---------------------------------------------------------------------------
// Screen

// Pixels top-down, 0x00RRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    COLORREF ColorAt(int x, int y) const;
};

// Waits until w's form and every control on it have no paint pending and the program
// is back in its message loop, so that the screen shows what the windows hold. A window
// that has just been shown or changed may not be drawn yet: wait before pixel checks.
void WaitForPainted(HWND w, DWORD timeoutMs = kDefaultTimeout);

Image CaptureScreen();
Image CaptureRect(const RECT& screen);
COLORREF ScreenPixel(int x, int y);

// PNG files, through GDI+.
void WritePng(const std::string& path, const Image& image);
Image ReadPng(const std::string& path);
// QR_SHOTS when set (a Unix path is taken through drive Z:), otherwise the folder
// "shots" beside the test executable's "bin" folder; created when missing.
std::string ShotsFolder();
// Captures the desktop into ShotsFolder()\name.png and returns the file's path.
std::string SaveScreenshot(const std::string& name);

// ---------------------------------------------------------------------------
// Touch driver simulation (\\.\QRWNTPS2), over the simulation client of tests/driver.
// Each request opens the device for itself, so an object keeps working across driver
// restarts and never holds the device; failures throw Error.

class Driver {
public:
    // Whether the device opens now; Open() throws when it does not.
    void Open();
    static bool Available();

    // IOCTL_SIM_RESET; block is used when flags hold SIM_RESET_USE_BLOCK.
    void Reset(uint32_t flags = 0, const TouchSettingsBlock* block = nullptr);
    // IOCTL_SIM_REPORT; returns SimReportOutput.becameRightClick.
    bool Report(int16_t x, int16_t y, bool touched);
    SimState State();
    SimLog Log();
    // IOCTL_TOUCH_SET_RBF_WINDOW with window and not armed, as the right-button tool
    // registers itself at its start, or armed, as its button press leaves it.
    void RegisterTool(HWND window, bool armed = false);
};

// Starts the installed right-button tool and waits until the driver names its window, shown.
Process StartRegisteredTool(Driver& driver, HWND& window);

// ---------------------------------------------------------------------------
// Files and the registry, as the setup and removal flows find and leave them

// The system's drivers folder, with a backslash at the end.
std::string DriversFolder();
// The PS/2 port driver's file, and where setup sets it aside.
inline const std::string kPortSys = DriversFolder() + "i8042prt.sys";
inline const std::string kPortOff = DriversFolder() + "i8042prt.off";
// A whole driver image as the bed's port driver file, with mark after its last section, so that
// a test tells its copies apart: the install side keeps or restores only whole images.
std::string PortDriverImage(const std::string& mark = "");

bool Exists(const std::string& path);
// The whole file; "" when it cannot be read.
std::string Contents(const std::string& path);
// Replaces the file's contents (also of a read-only file).
void WriteFileText(const std::string& path, const std::string& text);

// A registry value as stored; exists is false when there is no such value (or key).
struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;
    bool exists = false;
    bool operator==(const RegistryValue& o) const { return exists == o.exists && type == o.type && data == o.data; }
};
RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const char* name);
// Writes the value back as it was read: a value that did not exist is deleted.
void WriteRegistryValue(HKEY root, const std::string& key, const char* name, const RegistryValue& value);
// A string value of HKLM as text, the strings of a list joined by "|"; "" when there is no such
// value of these types (RRF_RT_ flags).
std::string RegistryText(const std::string& key, const char* name, DWORD types = RRF_RT_REG_SZ);
// Whether Windows deletes the file or folder at the next restart (a pending rename to nothing).
bool DeletionPending(const std::string& path);

// While this lives, nobody may write values into a key (created when missing), but everyone may
// read it and change its security; then its access list is as before, and a key it created is
// deleted again.
class KeyWritesDenied {
public:
    KeyWritesDenied(HKEY root, const std::string& path);
    ~KeyWritesDenied();
    KeyWritesDenied(const KeyWritesDenied&) = delete;
    KeyWritesDenied& operator=(const KeyWritesDenied&) = delete;

private:
    HKEY root_;
    std::string path_;
    HKEY key_ = nullptr;
    bool created_ = false;
    std::vector<char> saved_;
};

// A window of the test target, whose end shows that Windows was asked to restart (the restart
// ends every program that owns a window; the test processes own none).
Process StartWitness();

// ---------------------------------------------------------------------------
// Error text of a Win32 error code, with its number.
std::string ErrorText(DWORD code);

}  // namespace uia

#endif
