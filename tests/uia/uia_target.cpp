// A plain Win32 program that exposes its windows the way the forms runtime does, so that
// the automation library can be tested before and apart from the real programs.
#include <windows.h>

#include <string>

#include "tests/uia/uia_target.h"
#include "toolkit/automation.h"

namespace {

constexpr char kContainerClass[] = "UiaTargetContainer";
constexpr char kPadClass[] = "UiaTargetPad";
constexpr char kGroupTitle[] = "Group";
constexpr size_t kLogLimit = 4000;

struct Target {
    HWND form = nullptr;
    HWND log = nullptr;
    HWND level = nullptr;
    HWND choices[2] = {};
    HWND flag = nullptr;
    HBRUSH formBrush = nullptr;
    HBRUSH logBrush = nullptr;
    HBRUSH padBrush = nullptr;
    bool busy = false;
    // Pad state between a button press and its release.
    int moves = 0;
    LPARAM lastPoint = 0;
};
Target g;

void SetNumber(HWND w, const char* property, LONG_PTR v) {
    SetPropA(w, property, reinterpret_cast<HANDLE>(v));
}

void SetColour(HWND w, const char* property, COLORREF c) {
    SetNumber(w, property, LONG_PTR(c | TK_COLOR_PRESENT));
}

void SetValue(HWND w, long v) { SetNumber(w, TK_PROP_VALUE, LONG_PTR(v) + TK_VALUE_BIAS); }

void Describe(HWND w, const char* name, TkKind kind) {
    SetNumber(w, TK_PROP_NAME, LONG_PTR(GlobalAddAtomA(name)));
    SetNumber(w, TK_PROP_KIND, kind);
}

std::string NameOf(HWND w) {
    ATOM atom = ATOM(reinterpret_cast<LONG_PTR>(GetPropA(w, TK_PROP_NAME)));
    char buffer[64] = {};
    UINT n = atom ? GlobalGetAtomNameA(atom, buffer, sizeof buffer) : 0;
    return std::string(buffer, n);
}

void Record(const std::string& entry) {
    int n = GetWindowTextLengthA(g.log);
    std::string text(size_t(n) + 1, '\0');
    GetWindowTextA(g.log, &text[0], n + 1);
    text.resize(size_t(n));
    if (text.size() > kLogLimit) text.clear();
    if (!text.empty()) text += ";";
    text += entry;
    SetWindowTextA(g.log, text.c_str());
}

HWND Make(HWND parent, const char* cls, const char* text, DWORD style,
          const target::Placement& p, TkKind kind) {
    HWND w = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, p.x, p.y, p.width,
                             p.height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    Describe(w, p.name, kind);
    SendMessageA(w, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return w;
}

void SelectChoice(int index) {
    for (int i = 0; i < 2; ++i) {
        bool on = i == index;
        SendMessageA(g.choices[i], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        SetValue(g.choices[i], on ? 1 : 0);
        SetColour(g.choices[i], TK_PROP_FORE, on ? target::kSelected : target::kUnselected);
        InvalidateRect(g.choices[i], nullptr, TRUE);
    }
}

void ShowBox(int index) {
    const target::Box& box = target::kBoxes[index];
    int answer = MessageBoxA(g.form, box.text, box.caption, box.style);
    Record("cmdBox(" + std::to_string(index + 1) + ") answered " + std::to_string(answer));
}

void OnCommand(HWND control) {
    std::string name = NameOf(control);
    if (name.rfind("cmdBox(", 0) == 0) {
        ShowBox(std::stoi(name.substr(7)) - 1);
        return;
    }
    if (control == g.choices[0] || control == g.choices[1]) {
        SelectChoice(control == g.choices[0] ? 0 : 1);
        Record(name + "_Click");
        return;
    }
    if (control == g.flag) {
        long v = SendMessageA(g.flag, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        SetValue(g.flag, v);
        Record(name + "_Click " + std::to_string(v));
        return;
    }
    if (name == target::kBusy.name) {
        g.busy = !g.busy;
        SetNumber(g.form, TK_PROP_POINTER, g.busy ? 12 : 1);
    }
    Record(name + "_Click");
}

void OnHScroll(HWND bar, int code, int thumb) {
    int pos = GetScrollPos(bar, SB_CTL);
    switch (code) {
    case SB_THUMBTRACK:
        Record("hscLevel_Scroll " + std::to_string(thumb));
        return;
    case SB_THUMBPOSITION: pos = thumb; break;
    case SB_LINERIGHT: pos += target::kLevelSmall; break;
    case SB_LINELEFT: pos -= target::kLevelSmall; break;
    case SB_PAGERIGHT: pos += target::kLevelLarge; break;
    case SB_PAGELEFT: pos -= target::kLevelLarge; break;
    default: return;
    }
    if (pos < target::kLevelMin) pos = target::kLevelMin;
    if (pos > target::kLevelMax) pos = target::kLevelMax;
    SetScrollPos(bar, SB_CTL, pos, TRUE);
    SetValue(bar, pos);
    Record("hscLevel_Change " + std::to_string(pos));
}

HBRUSH OnColour(HDC dc, HWND control) {
    if (control == g.log) {
        SetTextColor(dc, target::kLogFore);
        SetBkColor(dc, target::kLogBack);
        return g.logBrush;
    }
    if (control == g.choices[0] || control == g.choices[1] || control == g.flag) {
        LONG_PTR fore = reinterpret_cast<LONG_PTR>(GetPropA(control, TK_PROP_FORE));
        SetTextColor(dc, COLORREF(fore & 0xFFFFFF));
        SetBkColor(dc, target::kPadBack);
        return g.padBrush;
    }
    return nullptr;
}

const char* ButtonLetter(UINT msg) {
    switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: return "R";
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: return "M";
    default: return "L";
    }
}

std::string Point(LPARAM lp) {
    return std::to_string(short(LOWORD(lp))) + "," + std::to_string(short(HIWORD(lp)));
}

bool IsModifierKey(WPARAM vk) { return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU; }

LRESULT CALLBACK PadProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetFocus(w);
        SetCapture(w);
        g.moves = 0;
        g.lastPoint = lp;
        std::string entry = std::string("down ") + ButtonLetter(msg) + " " + Point(lp);
        if (wp & MK_SHIFT) entry += " shift";
        if (wp & MK_CONTROL) entry += " ctrl";
        if (GetKeyState(VK_MENU) < 0) entry += " alt";
        Record(entry);
        return 0;
    }
    case WM_MOUSEMOVE:
        if ((wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && lp != g.lastPoint) {
            ++g.moves;
            g.lastPoint = lp;
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        ReleaseCapture();
        Record(std::string("up ") + ButtonLetter(msg) + " " + Point(lp) +
               " moves=" + std::to_string(g.moves));
        return 0;
    case WM_KEYDOWN:
        if (!IsModifierKey(wp)) Record("key " + std::to_string(wp));
        return 0;
    case WM_KEYUP:
        if (!IsModifierKey(wp)) Record("keyup " + std::to_string(wp));
        return 0;
    case WM_CHAR:
        Record("char " + std::to_string(wp));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// Frames and picture boxes: their children's notifications belong to the form.
LRESULT CALLBACK ContainerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return SendMessageA(GetAncestor(w, GA_ROOT), msg, wp, lp);
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(w, &r);
        LONG_PTR back = reinterpret_cast<LONG_PTR>(GetPropA(w, TK_PROP_BACK));
        HBRUSH brush = CreateSolidBrush(COLORREF(back & 0xFFFFFF));
        FillRect(HDC(wp), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    }
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && lp) OnCommand(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_HSCROLL:
        OnHScroll(reinterpret_cast<HWND>(lp), LOWORD(wp), short(HIWORD(wp)));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HBRUSH brush = OnColour(HDC(wp), reinterpret_cast<HWND>(lp));
        if (brush) return reinterpret_cast<LRESULT>(brush);
        break;
    }
    case WM_SETCURSOR:
        if (g.busy) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_KEYMENU) Record("keymenu");
        break;
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(target::kExitCode);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void Register(const char* name, WNDPROC proc, HBRUSH ground) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = ground;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void CreateForm() {
    RECT frame = {0, 0, target::kClientWidth, target::kClientHeight};
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    g.form = CreateWindowExA(0, TK_FORM_CLASS, target::kCaption, style, 100, 80,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    Describe(g.form, target::kFormName, TK_KIND_FORM);
    SetColour(g.form, TK_PROP_BACK, target::kFormBack);
    SetNumber(g.form, TK_PROP_POINTER, 1);

    HWND ok = Make(g.form, "BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, target::kOk,
                   TK_KIND_COMMAND_BUTTON);
    SetNumber(ok, TK_PROP_STYLE, TK_STYLE_DEFAULT);
    HWND disabled = Make(g.form, "BUTTON", "&Disabled", BS_PUSHBUTTON, target::kDisabled,
                         TK_KIND_COMMAND_BUTTON);
    EnableWindow(disabled, FALSE);
    HWND hidden = Make(g.form, "BUTTON", "&Hidden", BS_PUSHBUTTON, target::kHidden,
                       TK_KIND_COMMAND_BUTTON);
    ShowWindow(hidden, SW_HIDE);
    Make(g.form, "BUTTON", "&Busy", BS_PUSHBUTTON, target::kBusy, TK_KIND_COMMAND_BUTTON);
    for (int i = 0; i < target::kBoxCount; ++i) {
        std::string name = "cmdBox(" + std::to_string(i + 1) + ")";
        std::string caption = "Box &" + std::to_string(i + 1);
        target::Placement p = {name.c_str(), target::kBoxLeft + i * (target::kBoxWidth + target::kBoxGap),
                               target::kBoxTop, target::kBoxWidth, target::kBoxHeight};
        Make(g.form, "BUTTON", caption.c_str(), BS_PUSHBUTTON, p, TK_KIND_COMMAND_BUTTON);
    }

    HWND group = Make(g.form, kContainerClass, kGroupTitle, 0, target::kGroup,
                      TK_KIND_FRAME);
    SetColour(group, TK_PROP_BACK, target::kFrameBack);
    HWND inner = Make(group, kContainerClass, "", 0, target::kInner, TK_KIND_PICTURE_BOX);
    SetColour(inner, TK_PROP_BACK, target::kPadBack);
    SetNumber(inner, TK_PROP_DRAWWIDTH, target::kPictureDrawWidth);
    g.choices[0] = Make(inner, "BUTTON", "Choice &1", BS_AUTORADIOBUTTON, target::kChoice1,
                        TK_KIND_OPTION_BUTTON);
    g.choices[1] = Make(inner, "BUTTON", "Choice &2", BS_AUTORADIOBUTTON, target::kChoice2,
                        TK_KIND_OPTION_BUTTON);
    SelectChoice(0);
    g.flag = Make(inner, "BUTTON", "&Flag", BS_AUTOCHECKBOX, target::kFlag, TK_KIND_CHECK_BOX);
    SetValue(g.flag, 0);

    g.level = Make(g.form, "SCROLLBAR", "", SBS_HORZ, target::kLevel, TK_KIND_HSCROLLBAR);
    SetScrollRange(g.level, SB_CTL, target::kLevelMin, target::kLevelMax, FALSE);
    SetScrollPos(g.level, SB_CTL, target::kLevelStart, TRUE);
    SetValue(g.level, target::kLevelStart);

    HWND pad = Make(g.form, kPadClass, "", 0, target::kPad, TK_KIND_PICTURE_BOX);
    SetColour(pad, TK_PROP_BACK, target::kPadBack);
    SetNumber(pad, TK_PROP_DRAWWIDTH, 1);

    g.log = Make(g.form, "STATIC", "", SS_LEFT | WS_BORDER, target::kLog, TK_KIND_LABEL);
    SetColour(g.log, TK_PROP_FORE, target::kLogFore);
    SetColour(g.log, TK_PROP_BACK, target::kLogBack);
    SetNumber(g.log, TK_PROP_STYLE, TK_STYLE_OPAQUE | TK_STYLE_BORDER);

    ShowWindow(g.form, SW_SHOWNORMAL);
    UpdateWindow(g.form);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    g.formBrush = CreateSolidBrush(target::kFormBack);
    g.logBrush = CreateSolidBrush(target::kLogBack);
    g.padBrush = CreateSolidBrush(target::kPadBack);
    Register(TK_FORM_CLASS, FormProc, g.formBrush);
    Register(kContainerClass, ContainerProc, nullptr);
    Register(kPadClass, PadProc, g.padBrush);
    CreateForm();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}
