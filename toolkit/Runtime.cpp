// Runtime services: the message loop and DoEvents, the keyboard handling that makes forms behave
// like dialogs, message boxes, mouse pointers, the previous-instance flag, the clock, starting a
// program, error texts and the trace.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "toolkit/Internal.h"
#include "toolkit/SystemCalls.h"

namespace tk {

LRESULT CALLBACK PictureWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

Form* gActiveForm = nullptr;
int gScreenPointer = vbDefault;
ATOM gFormClass = 0;
bool gPrevInstance = false;

// Waiting for input in DoEvents when nothing was pending: at most this long.
constexpr DWORD kIdleWaitMs = 1;

ATOM RegisterOne(const char* name, WNDPROC procedure) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);  // the form or control the window belongs to
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    return RegisterClassExA(&wc);
}

// A letter typed with Alt, or without it where the focused control takes no characters, is an
// access key, as the dialog manager reads keys.
bool IsAccessKey(const MSG& msg) {
    if (msg.message == WM_SYSCHAR) return true;
    if (msg.message != WM_CHAR) return false;
    return (SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTCHARS) == 0;
}

// Keyboard messages go through the form's navigation first (Tab, Enter, Esc, arrows), then through
// the dialog manager for access keys.
void DispatchOne(MSG& msg) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd != nullptr) {
        Form* form = FormOfWindow(msg.hwnd);
        if (form != nullptr && form->Loaded()) {
            if (form->impl().HandleNavigationKey(msg)) return;
            if (IsAccessKey(msg) && form->impl().LabelAccessKey(msg.wParam)) return;
            if ((msg.message == WM_CHAR || msg.message == WM_SYSCHAR) && IsDialogMessageA(form->hWnd(), &msg)) return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

HWND OwnWindowUnderCursor() {
    POINT at;
    if (!GetCursorPos(&at)) return nullptr;
    HWND under = WindowFromPoint(at);
    return under != nullptr && FormOfWindow(under) != nullptr ? under : nullptr;
}

}  // namespace

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterClasses() {
    if (gFormClass != 0) return;
    gFormClass = RegisterOne(TK_FORM_CLASS, &Form::Impl::WindowProc);
    RegisterOne(kPictureClass, &PictureWindowProc);
}

Form* FormOfWindow(HWND hwnd) {
    HWND root = RootWindow(hwnd);
    if (root == nullptr || gFormClass == 0 || GetClassWord(root, GCW_ATOM) != gFormClass) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(root, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrA(root, 0));
}

Form* ActiveForm() { return gActiveForm; }
void SetActiveForm(Form* form) { gActiveForm = form; }

std::vector<Form*>& LoadedForms() {
    // Never destroyed: forms are static objects whose destructors may run after any other static.
    static auto* forms = new std::vector<Form*>;
    return *forms;
}

bool ReflectToChild(Form& form, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        break;
    default:
        return false;
    }
    Control* child = form.impl().ControlByHwnd(reinterpret_cast<HWND>(lParam));
    if (child == nullptr) return false;
    switch (message) {
    case WM_COMMAND:
        child->impl().OnCommand(HIWORD(wParam));
        result = 0;
        return true;
    case WM_HSCROLL:
        child->impl().OnScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        result = 0;
        return true;
    default:
        result = child->impl().OnCtlColor(reinterpret_cast<HDC>(wParam), message, nullptr);
        return result != 0;
    }
}

int PointerFor(const Form& form) { return gScreenPointer != vbDefault ? gScreenPointer : form.MousePointer(); }

bool ApplyPointerCursor(int pointer) {
    switch (pointer) {
    case vbHourglass:
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
        return true;
    case vbArrow:
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        return true;
    default:
        return false;
    }
}

void EnsureInstanceMarker() {
    static HANDLE marker = nullptr;
    if (marker != nullptr) return;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file = path;
    file = file.substr(file.find_last_of("\\/") + 1);
    std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::toupper(c); });
    // One named object per executable name: the first copy creates it, later copies find it.
    marker = CreateMutexA(nullptr, FALSE, ("TkInstance." + file).c_str());
    gPrevInstance = marker != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

// ---------------------------------------------------------------------------------------------
// Services of tk.h

void Run() {
    MSG msg;
    while (!LoadedForms().empty() && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
}

void End(unsigned long exitCode) { ExitProcess(exitCode); }

void DoEvents() {
    // Polling loops call this back to back: with nothing to do, give the processor away until input
    // arrives or the wait runs out. Asking the queue first saves an idle round one call into the
    // window system, which is most of what such a loop costs.
    if (!WaitForQueueInput(kIdleWaitMs)) return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchOne(msg);
    }
}

void WaitForInput(unsigned long milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

bool PrevInstance() {
    EnsureInstanceMarker();
    return gPrevInstance;
}

double Timer() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

HANDLE Shell(const std::string& commandLine, int showCommand) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

int MsgBox(const std::string& text, unsigned style, const std::string& title) {
    HWND owner = nullptr;
    if (gActiveForm != nullptr && gActiveForm->Visible()) owner = gActiveForm->hWnd();
    return MessageBoxA(owner, text.c_str(), title.c_str(), style);
}

void SetScreenMousePointer(int pointer) {
    gScreenPointer = pointer;
    if (ApplyPointerCursor(pointer)) return;
    HWND under = OwnWindowUnderCursor();
    if (under != nullptr) {
        SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    } else {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    }
}

double ScreenWidth() { return PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN)); }
double ScreenHeight() { return PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN)); }

std::string ErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 && text != nullptr ? std::string(text, length) : "Unknown error.";
    if (text != nullptr) LocalFree(text);
    // FormatMessage ends its text with a line break, which has no place in the middle of ours.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message + " (error " + std::to_string(code) + ")";
}

std::string ProgramName() {
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    const char* name = program;
    for (DWORD i = 0; i < length; ++i)
        if (program[i] == '\\' || program[i] == '/') name = program + i + 1;
    return name;
}

void Trace(const std::string& text) { OutputDebugStringA((ProgramName() + ": " + text + "\n").c_str()); }

void DesignFault(const std::string& text) {
#if __cpp_exceptions
    throw DesignError(text);
#else
    Trace(text);
    std::abort();
#endif
}

}  // namespace tk
