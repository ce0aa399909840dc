// Input as a person gives it: button clicks, real mouse and keyboard, scroll bars.
#include "tests/uia/uia.h"

#include <cstdlib>
#include <vector>

#include "tests/uia/uia_internal.h"

namespace uia {

using detail::Describe;
using detail::Fail;
using detail::FailWin32;
using detail::kSendTimeout;

namespace {

constexpr DWORD kActivateTimeout = 3000;
// Under Wine every pointer move also warps the X pointer, and the X motion events come
// back a little later, through the program under the pointer, as moves of their own: a
// burst of moves can come out with the pointer pulled back to an earlier point. So each
// move waits until the pointer is there and the program under it has taken its events,
// and button events carry their own position.
constexpr DWORD kPointerTimeout = 1000;
constexpr DWORD kPointerSettle = 30;
constexpr int kPointerMoveAttempts = 3;

struct ModifierKey {
    unsigned modifier;
    WORD vk;
};
constexpr ModifierKey kModifierKeys[] = {{kShift, VK_SHIFT}, {kCtrl, VK_CONTROL}, {kAlt, VK_MENU}};

INPUT KeyInput(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

INPUT MouseInput(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return in;
}

// SendInput's absolute coordinates run from 0 to 65536 over the primary screen; rounding
// up makes the pixel come out exactly after the system scales back down.
LONG Normalise(int pixel, int extent) {
    return LONG((LONGLONG(pixel) * 65536 + extent - 1) / extent);
}

INPUT MoveInput(POINT p) {
    INPUT in = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
    in.mi.dx = Normalise(p.x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = Normalise(p.y, GetSystemMetrics(SM_CYSCREEN));
    return in;
}

// A button event that carries its own position: the system moves the pointer and
// presses in one step, so no pointer echo can come in between.
INPUT ButtonInput(DWORD buttonFlag, POINT p) {
    INPUT in = MoveInput(p);
    in.mi.dwFlags |= buttonFlag;
    return in;
}

DWORD DownFlag(MouseButton b) {
    switch (b) {
    case MouseButton::Right: return MOUSEEVENTF_RIGHTDOWN;
    case MouseButton::Middle: return MOUSEEVENTF_MIDDLEDOWN;
    default: return MOUSEEVENTF_LEFTDOWN;
    }
}

DWORD UpFlag(MouseButton b) {
    switch (b) {
    case MouseButton::Right: return MOUSEEVENTF_RIGHTUP;
    case MouseButton::Middle: return MOUSEEVENTF_MIDDLEUP;
    default: return MOUSEEVENTF_LEFTUP;
    }
}

void Send(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    UINT sent = SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) FailWin32("SendInput took " + std::to_string(sent) + " of " +
                                         std::to_string(inputs.size()) + " events");
}

void PressModifiers(std::vector<INPUT>& inputs, unsigned modifiers) {
    for (const ModifierKey& k : kModifierKeys)
        if (modifiers & k.modifier) inputs.push_back(KeyInput(k.vk, false));
}

void ReleaseModifiers(std::vector<INPUT>& inputs, unsigned modifiers) {
    if (modifiers & kShift) inputs.push_back(KeyInput(VK_SHIFT, true));
    if (modifiers & kCtrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    if (modifiers & kAlt) {
        // Wine's default window procedure takes an Alt release for a lone Alt tap, and
        // enters menu mode, unless some other key went up since Alt went down; a mouse
        // click in between does not count as it does on Windows. A Shift release breaks
        // the tap, and is harmless when Shift is not down.
        if (!(modifiers & (kShift | kCtrl))) inputs.push_back(KeyInput(VK_SHIFT, true));
        inputs.push_back(KeyInput(VK_MENU, true));
    }
}

bool CursorAt(POINT p) {
    const POINT c = CursorPos();
    return c.x == p.x && c.y == p.y;
}

void MoveAndSettle(POINT p) {
    // When a window has just appeared, Wine can put the pointer back where the X server last
    // reported it: move it again until it stays where it was sent.
    for (int attempt = 0; attempt < kPointerMoveAttempts; ++attempt) {
        std::vector<INPUT> inputs{MoveInput(p)};
        Send(inputs);
        WaitUntil([&] { return CursorAt(p); }, kPointerTimeout);
        Sleep(kPointerSettle);
        // The program reads its X events each time it waits for messages; a sent message
        // returns only after such a wait.
        if (HWND under = WindowFromPoint(p)) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(under, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kPointerTimeout, &result);
        }
        if (CursorAt(p)) return;
    }
    Fail("the pointer did not stay at " + std::to_string(p.x) + "," + std::to_string(p.y));
}

// The key state a program reads during a click belongs to its own input queue, which
// follows the keyboard only while the program is in the foreground.
void ActivateWindowAt(POINT p) {
    HWND w = WindowFromPoint(p);
    if (w) Activate(w);
}

void RequireClickable(HWND w, const char* how) {
    if (detail::IsWindowless(w)) Fail(std::string("cannot ") + how + " " + Describe(w) + ": it has no window, use MouseClick");
    if (!IsWindow(w)) Fail(std::string("cannot ") + how + " a destroyed window");
    if (!IsWindowVisible(w)) Fail(std::string("cannot ") + how + " " + Describe(w) + ": hidden");
    if (!IsWindowEnabled(w)) Fail(std::string("cannot ") + how + " " + Describe(w) + ": disabled");
}

// Scroll bar notifications go to the bar's parent, which routes them to the bar.
void SendHScroll(HWND scrollBar, int code, int pos) {
    HWND parent = GetParent(scrollBar);
    if (!parent) Fail("cannot scroll " + Describe(scrollBar) + ": it has no parent");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(parent, WM_HSCROLL, MAKEWPARAM(code, pos),
                             reinterpret_cast<LPARAM>(scrollBar), SMTO_NORMAL, kSendTimeout,
                             &result))
        Fail("no answer to WM_HSCROLL code " + std::to_string(code) + " for " +
             Describe(scrollBar));
}

LPARAM KeyLParam(WORD vk, bool up) {
    LPARAM scan = LPARAM(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    return 1 | scan | (up ? LPARAM(0xC0000000u) : 0);
}

}  // namespace

void Click(HWND button, DWORD timeoutMs) {
    RequireClickable(button, "click");
    std::string what = Describe(button);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        Fail("the click on " + what + " did not return within " + std::to_string(timeoutMs) +
             " ms (a handler that opens a message box or a modal loop needs PostClick)");
}

void PostClick(HWND button) {
    RequireClickable(button, "click");
    if (!PostMessageA(button, BM_CLICK, 0, 0)) FailWin32("cannot post a click to " + Describe(button));
}

void MouseMove(POINT screen) { MoveAndSettle(screen); }

void MouseDown(MouseButton button) {
    std::vector<INPUT> inputs{ButtonInput(DownFlag(button), CursorPos())};
    Send(inputs);
}

void MouseUp(MouseButton button) {
    std::vector<INPUT> inputs{ButtonInput(UpFlag(button), CursorPos())};
    Send(inputs);
}

POINT CursorPos() {
    POINT p = {};
    GetCursorPos(&p);
    return p;
}

POINT ClientToScreenPoint(HWND w, POINT client) {
    if (detail::IsWindowless(w)) {
        const RECT r = ScreenRect(w);
        return POINT{r.left + client.x, r.top + client.y};
    }
    ClientToScreen(w, &client);
    return client;
}

void MouseClick(POINT screen, MouseButton button, unsigned modifiers) {
    if (modifiers) ActivateWindowAt(screen);
    MoveAndSettle(screen);
    std::vector<INPUT> inputs;
    PressModifiers(inputs, modifiers);
    inputs.push_back(ButtonInput(DownFlag(button), screen));
    inputs.push_back(ButtonInput(UpFlag(button), screen));
    ReleaseModifiers(inputs, modifiers);
    Send(inputs);
}

void MouseClick(HWND w, MouseButton button, unsigned modifiers) {
    if (!Visible(w)) Fail("cannot click " + Describe(w) + ": hidden");
    MouseClick(Centre(ScreenRect(w)), button, modifiers);
}

void MouseClickAt(HWND w, POINT client, MouseButton button, unsigned modifiers) {
    if (!Visible(w)) Fail("cannot click " + Describe(w) + ": hidden");
    MouseClick(ClientToScreenPoint(w, client), button, modifiers);
}

void MouseDrag(POINT from, POINT to, MouseButton button, unsigned modifiers, int steps) {
    if (steps < 1) steps = 1;
    if (modifiers) ActivateWindowAt(from);
    MoveAndSettle(from);
    std::vector<INPUT> inputs;
    PressModifiers(inputs, modifiers);
    inputs.push_back(ButtonInput(DownFlag(button), from));
    Send(inputs);
    for (int i = 1; i <= steps; ++i)
        MoveAndSettle(POINT{from.x + (to.x - from.x) * i / steps,
                            from.y + (to.y - from.y) * i / steps});
    inputs.clear();
    inputs.push_back(ButtonInput(UpFlag(button), to));
    ReleaseModifiers(inputs, modifiers);
    Send(inputs);
}

void MouseDragIn(HWND w, POINT from, POINT to, MouseButton button, unsigned modifiers, int steps) {
    if (!Visible(w)) Fail("cannot drag in " + Describe(w) + ": hidden");
    MouseDrag(ClientToScreenPoint(w, from), ClientToScreenPoint(w, to), button, modifiers, steps);
}

void SendKey(HWND w, WORD vk, char ch) {
    bool ok = SendNotifyMessageA(w, WM_KEYDOWN, vk, KeyLParam(vk, false)) != FALSE;
    if (ch)
        ok = ok && SendNotifyMessageA(w, WM_CHAR, WPARAM(static_cast<unsigned char>(ch)),
                                      KeyLParam(vk, false));
    ok = ok && SendNotifyMessageA(w, WM_KEYUP, vk, KeyLParam(vk, true));
    if (!ok) FailWin32("cannot send key " + std::to_string(vk) + " to " + Describe(w));
}

void Activate(HWND w) {
    HWND form = FormOf(w);
    if (!form) Fail("cannot activate " + Describe(w) + ": no top-level window");
    // Being the foreground window is not enough: keys typed right after go to the thread that has
    // taken the activation, and a program reading the modifier keys with a click must have it.
    const DWORD thread = GetWindowThreadProcessId(form, nullptr);
    Require(
        [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            if (GetForegroundWindow() == form && GetGUIThreadInfo(thread, &info) && info.hwndActive == form)
                return true;
            SetForegroundWindow(form);
            return false;
        },
        Describe(form) + " in the foreground", kActivateTimeout);
}

void PressKey(HWND w, WORD vk, unsigned modifiers) {
    Activate(w);
    std::vector<INPUT> inputs;
    PressModifiers(inputs, modifiers);
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    ReleaseModifiers(inputs, modifiers);
    Send(inputs);
}

void Scroll(HWND scrollBar, int code, int pos) {
    SendHScroll(scrollBar, code, pos);
    if (code != SB_ENDSCROLL) SendHScroll(scrollBar, SB_ENDSCROLL, 0);
}

void ScrollTo(HWND scrollBar, int pos) {
    SendHScroll(scrollBar, SB_THUMBTRACK, pos);
    Scroll(scrollBar, SB_THUMBPOSITION, pos);
}

void XPointer::Run(const std::string& args) {
    const std::string done = folder_ + "\\xdo-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++calls_) + ".done";
    std::string doneUnix = done.substr(2);  // a Z: path
    for (char& c : doneUnix) c = c == '\\' ? '/' : c;
    std::string line = "xdo " + doneUnix + " " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(xdo_.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw Error("cannot run " + xdo_ + ": " + ErrorText(GetLastError()));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Require([&] { return Exists(done); }, "xdotool " + args);
    const int code = std::atoi(Contents(done).c_str());
    DeleteFileA(done.c_str());
    if (code != 0) throw Error("xdotool " + args + " failed with exit code " + std::to_string(code));
}

// To a point of the Windows screen: Wine's virtual desktop window, wherever it lies on the display.
std::string XPointer::MoveArgs(POINT screen) {
    return "search --limit 1 --name \"Wine desktop$\" mousemove --window %1 --sync " + std::to_string(screen.x) + " " +
           std::to_string(screen.y);
}

}  // namespace uia
