// Finding top-level windows, forms and controls, and reading their automation properties.
#include "tests/uia/uia.h"

#include <vector>

#include "tests/uia/uia_internal.h"

namespace uia {

using detail::Describe;
using detail::Fail;
using detail::FailWin32;
using detail::kSendTimeout;
using detail::Quote;

namespace {

BOOL CALLBACK Collect(HWND w, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Names are global atoms, and the atom table ignores case: "cmdOK" and "cmdOk" are one
// atom, spelled as whichever program of the session added it first. Names can therefore
// only be told apart without regard to case.
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(),
                                                  int(a.size()), b.data(), int(b.size())) ==
                                       CSTR_EQUAL;
}

bool Matches(HWND w, DWORD pid, Visibility visibility) {
    if (pid && WindowPid(w) != pid) return false;
    return visibility == Visibility::Any || IsWindowVisible(w);
}

std::string PidClause(DWORD pid) {
    return pid ? " of process " + std::to_string(pid) : std::string();
}

const char* VisibilityWord(Visibility visibility) {
    return visibility == Visibility::Shown ? "shown " : "";
}

// Property values are small integers stored in the handle.
LONG_PTR Property(HWND w, const char* name) {
    return reinterpret_cast<LONG_PTR>(GetPropA(w, name));
}

COLORREF Colour(HWND w, const char* property, const char* what) {
    LONG_PTR v = Property(w, property);
    if (!(v & TK_COLOR_PRESENT)) Fail(Describe(w) + " has no " + what + " colour");
    return COLORREF(v & 0xFFFFFF);
}

}  // namespace

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

DWORD WindowPid(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

HWND FindTopWindow(const std::string& caption, DWORD pid, Visibility visibility) {
    for (HWND w : TopWindows())
        if (Matches(w, pid, visibility) && detail::StoredText(w) == caption) return w;
    return nullptr;
}

HWND WaitForWindow(const std::string& caption, DWORD timeoutMs, DWORD pid,
                   Visibility visibility) {
    HWND found = nullptr;
    Require([&] { return (found = FindTopWindow(caption, pid, visibility)) != nullptr; },
            std::string("a ") + VisibilityWord(visibility) + "window captioned " + Quote(caption) +
                PidClause(pid),
            timeoutMs);
    return found;
}

void WaitForWindowGone(HWND w, DWORD timeoutMs) {
    std::string what = Describe(w);
    Require([&] { return !IsWindow(w) || !IsWindowVisible(w); }, what + " to go", timeoutMs);
}

void WaitForNoWindow(const std::string& caption, DWORD timeoutMs, DWORD pid) {
    Require([&] { return FindTopWindow(caption, pid) == nullptr; },
            "no shown window captioned " + Quote(caption) + PidClause(pid), timeoutMs);
}

HWND FindForm(const std::string& name, DWORD pid, Visibility visibility) {
    for (HWND w : TopWindows())
        if (Matches(w, pid, visibility) && ClassName(w) == TK_FORM_CLASS && SameName(Name(w), name))
            return w;
    return nullptr;
}

HWND WaitForForm(const std::string& name, DWORD timeoutMs, DWORD pid, Visibility visibility) {
    HWND found = nullptr;
    Require([&] { return (found = FindForm(name, pid, visibility)) != nullptr; },
            std::string("a ") + VisibilityWord(visibility) + "form " + name + PidClause(pid),
            timeoutMs);
    return found;
}

HWND FormOf(HWND control) { return GetAncestor(control, GA_ROOT); }

HWND FindControl(HWND form, const std::string& name) {
    for (HWND w : Descendants(form))
        if (SameName(Name(w), name)) return w;
    return nullptr;
}

HWND Control(HWND form, const std::string& name) {
    HWND w = FindControl(form, name);
    if (!w) Fail("no control " + name + " in " + Describe(form));
    return w;
}

HWND WaitForControl(HWND form, const std::string& name, DWORD timeoutMs) {
    HWND found = nullptr;
    Require([&] { return (found = FindControl(form, name)) != nullptr; },
            "control " + name + " in " + Describe(form), timeoutMs);
    return found;
}

std::string Name(HWND w) {
    ATOM atom = ATOM(Property(w, TK_PROP_NAME));
    if (!atom) return std::string();
    char buffer[256];
    UINT n = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
    return std::string(buffer, n);
}

std::string Text(HWND w) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeout, &length))
        FailWin32("no answer to WM_GETTEXTLENGTH from window " +
                  std::to_string(reinterpret_cast<UINT_PTR>(w)));
    // Room for a text that grows between the two messages.
    std::vector<char> buffer(size_t(length) + 256);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kSendTimeout, &copied))
        FailWin32("no answer to WM_GETTEXT from window " +
                  std::to_string(reinterpret_cast<UINT_PTR>(w)));
    return std::string(buffer.data(), size_t(copied) < buffer.size() ? size_t(copied) : 0);
}

std::string ClassName(HWND w) {
    char buffer[256];
    int n = GetClassNameA(w, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? size_t(n) : 0);
}

bool Visible(HWND w) { return IsWindowVisible(w) != FALSE; }

bool Enabled(HWND w) { return IsWindowEnabled(w) != FALSE; }

int Kind(HWND w) { return int(Property(w, TK_PROP_KIND)); }

bool HasValue(HWND w) { return Property(w, TK_PROP_VALUE) != 0; }

long Value(HWND w) {
    LONG_PTR v = Property(w, TK_PROP_VALUE);
    if (!v) Fail(Describe(w) + " has no value");
    return long(v - TK_VALUE_BIAS);
}

COLORREF ForeColor(HWND w) { return Colour(w, TK_PROP_FORE, "fore"); }

COLORREF BackColor(HWND w) { return Colour(w, TK_PROP_BACK, "back"); }

unsigned StyleFlags(HWND w) { return unsigned(Property(w, TK_PROP_STYLE)); }

int MousePointer(HWND form) {
    LONG_PTR v = Property(form, TK_PROP_POINTER);
    if (!v) Fail(Describe(form) + " has no mouse pointer property");
    return int(v - 1);
}

int DrawWidth(HWND pictureBox) {
    LONG_PTR v = Property(pictureBox, TK_PROP_DRAWWIDTH);
    if (!v) Fail(Describe(pictureBox) + " has no pen width");
    return int(v);
}

RECT ScreenRect(HWND w) {
    RECT r = {};
    if (!GetWindowRect(w, &r)) Fail("no rectangle of " + Describe(w));
    return r;
}

RECT RectInForm(HWND w) {
    RECT r = ScreenRect(w);
    MapWindowPoints(HWND_DESKTOP, FormOf(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace uia
