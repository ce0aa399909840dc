// Finding top-level windows, forms and controls, and reading their automation properties.
#include "tests/uia/uia.h"

#include <algorithm>
#include <cstring>
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

// The windowless controls handed out, in order: a handle is its place here, from this odd number on.
constexpr UINT_PTR kFirstWindowless = 0x40000001u;

struct WindowlessRef {
    HWND form;
    int slot;
};

std::vector<WindowlessRef>& WindowlessRefs() {
    static std::vector<WindowlessRef> refs;
    return refs;
}

HWND WindowlessHandle(HWND form, int slot) {
    auto& refs = WindowlessRefs();
    size_t i = 0;
    while (i < refs.size() && !(refs[i].form == form && refs[i].slot == slot)) ++i;
    if (i == refs.size()) refs.push_back({form, slot});
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(kFirstWindowless + (i << 1)));
}

const WindowlessRef& RefOf(HWND w) {
    const size_t i = (reinterpret_cast<UINT_PTR>(w) - kFirstWindowless) >> 1;
    if (i >= WindowlessRefs().size()) Fail("no windowless control " + std::to_string(i));
    return WindowlessRefs()[i];
}

// The form's table of windowless controls, copied; empty when the form publishes none.
std::vector<TkWindowlessRecord> ReadTable(HWND form) {
    const std::string name =
        TK_WINDOWLESS_TABLE + std::to_string(static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(form)));
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (!mapping) return {};
    auto* table = static_cast<const TkWindowlessTable*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    std::vector<TkWindowlessRecord> records;
    if (table) {
        const LONG count = std::min<LONG>(LONG(table->count), TK_WINDOWLESS_MAX);
        for (LONG i = 0; i < count; ++i) {
            // The program rewrites a record between two steps of its sequence; a copy taken across
            // a step is taken again, a bounded number of times.
            const TkWindowlessRecord& live = table->records[i];
            TkWindowlessRecord copy = {};
            bool whole = false;
            for (int attempt = 0; attempt < 10000 && !whole; ++attempt) {
                const LONG before = live.sequence;
                MemoryBarrier();
                std::memcpy(static_cast<void*>(&copy), const_cast<const TkWindowlessRecord*>(&live), sizeof copy);
                MemoryBarrier();
                whole = (before & 1) == 0 && live.sequence == before;
                if (!whole) Sleep(0);
            }
            if (!whole) Fail("the record " + std::to_string(i) + " of " + Describe(form) + " never settled");
            records.push_back(copy);
        }
        UnmapViewOfFile(table);
    }
    CloseHandle(mapping);
    return records;
}

HWND ContainerOf(const TkWindowlessRecord& r) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(r.container)); }

COLORREF Colour(HWND w, const char* property, const char* what) {
    if (detail::IsWindowless(w)) {
        const TkWindowlessRecord r = detail::Record(w);
        return COLORREF((std::string(property) == TK_PROP_FORE ? r.fore : r.back) & 0xFFFFFF);
    }
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

namespace detail {

bool IsWindowless(HWND w) { return (reinterpret_cast<UINT_PTR>(w) & 1) != 0; }

TkWindowlessRecord Record(HWND w) {
    const WindowlessRef& ref = RefOf(w);
    const std::vector<TkWindowlessRecord> table = ReadTable(ref.form);
    if (size_t(ref.slot) >= table.size()) Fail("the form of windowless control " + std::to_string(ref.slot) + " is gone");
    return table[size_t(ref.slot)];
}

}  // namespace detail

HWND FormOf(HWND control) {
    return detail::IsWindowless(control) ? RefOf(control).form : GetAncestor(control, GA_ROOT);
}

// Windows first, then the windowless controls whose container is this window or lies in it.
HWND FindControl(HWND form, const std::string& name) {
    for (HWND w : Descendants(form))
        if (SameName(Name(w), name)) return w;
    HWND root = GetAncestor(form, GA_ROOT);
    const std::vector<TkWindowlessRecord> table = ReadTable(root);
    for (size_t i = 0; i < table.size(); ++i) {
        HWND container = ContainerOf(table[i]);
        if (SameName(table[i].name, name) && (container == form || IsChild(form, container)))
            return WindowlessHandle(root, int(i));
    }
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
    if (detail::IsWindowless(w)) return detail::Record(w).name;
    ATOM atom = ATOM(Property(w, TK_PROP_NAME));
    if (!atom) return std::string();
    char buffer[256];
    UINT n = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
    return std::string(buffer, n);
}

std::string Text(HWND w) {
    if (detail::IsWindowless(w)) return detail::Record(w).text;
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
    if (detail::IsWindowless(w)) return std::string();
    char buffer[256];
    int n = GetClassNameA(w, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? size_t(n) : 0);
}

bool Visible(HWND w) {
    if (!detail::IsWindowless(w)) return IsWindowVisible(w) != FALSE;
    const TkWindowlessRecord r = detail::Record(w);
    return r.visible && IsWindowVisible(ContainerOf(r));
}

bool Enabled(HWND w) { return detail::IsWindowless(w) ? detail::Record(w).enabled != 0 : IsWindowEnabled(w) != FALSE; }

int Kind(HWND w) { return detail::IsWindowless(w) ? int(detail::Record(w).kind) : int(Property(w, TK_PROP_KIND)); }

bool HasValue(HWND w) { return !detail::IsWindowless(w) && Property(w, TK_PROP_VALUE) != 0; }

long Value(HWND w) {
    LONG_PTR v = Property(w, TK_PROP_VALUE);
    if (!v) Fail(Describe(w) + " has no value");
    return long(v - TK_VALUE_BIAS);
}

COLORREF ForeColor(HWND w) { return Colour(w, TK_PROP_FORE, "fore"); }

COLORREF BackColor(HWND w) { return Colour(w, TK_PROP_BACK, "back"); }

unsigned StyleFlags(HWND w) {
    return detail::IsWindowless(w) ? unsigned(detail::Record(w).style) : unsigned(Property(w, TK_PROP_STYLE));
}

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
    if (detail::IsWindowless(w)) {
        const TkWindowlessRecord record = detail::Record(w);
        RECT r = record.rect;
        MapWindowPoints(ContainerOf(record), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
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
