// Controls' windows: how each kind is made, placed and sized, and what it publishes for automation.
#include <algorithm>
#include <cmath>

#include "toolkit/Internal.h"

namespace tk {

// ---------------------------------------------------------------------------------------------
// Windows

namespace {

// After its window is made, a control takes what the window class keeps of its own.
void SetUpScrollBar(Control::Impl& impl, HWND hwnd, const RECT&) {
    const ControlProps& s = impl.S();
    SetScrollRange(hwnd, SB_CTL, std::min(s.min, s.max), std::max(s.min, s.max), FALSE);
    SetScrollPos(hwnd, SB_CTL, s.value, TRUE);
}

void SetUpCheck(Control::Impl& impl, HWND hwnd, const RECT&) {
    SendMessageA(hwnd, BM_SETCHECK, impl.S().value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetUpButtonIcon(Control::Impl& impl, HWND hwnd, const RECT&) {
    const ControlProps& s = impl.S();
    if (s.iconId == 0) return;
    impl.icon = static_cast<HICON>(
        LoadImageA(Instance(), MAKEINTRESOURCEA(s.iconId), IMAGE_ICON, s.iconSize, s.iconSize, LR_DEFAULTCOLOR));
    SendMessageA(hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(impl.icon));
}

void SetUpImage(Control::Impl& impl, HWND, const RECT& r) {
    const int iconId = impl.S().iconId;
    if (iconId == 0) return;
    impl.icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, r.right - r.left,
                                              r.bottom - r.top, LR_DEFAULTCOLOR));
}

void SetUpPictureBox(Control::Impl& impl, HWND hwnd, const RECT&) {
    RECT client;
    GetClientRect(hwnd, &client);
    impl.CreateMemorySurface(client.right, client.bottom);
}

// What each kind of control is made of: its window class (none for the windowless kinds) and the
// styles every control of the kind has; whether it is a standard control, which the runtime
// subclasses; whether it shows its caption; and its step after it is made.
struct KindTraits {
    TkKind kind;
    const char* windowClass;
    DWORD style;
    DWORD exStyle;
    bool standard;
    bool caption;
    void (*setUp)(Control::Impl& impl, HWND hwnd, const RECT& r);
};

// Option buttons are not BS_AUTORADIOBUTTON: the runtime owns the selection, so that code and user
// change it alike.
constexpr KindTraits kKinds[] = {
    {TK_KIND_LABEL, nullptr, 0, 0, false, true, nullptr},
    {TK_KIND_COMMAND_BUTTON, "BUTTON", WS_TABSTOP, 0, true, true, SetUpButtonIcon},
    {TK_KIND_OPTION_BUTTON, "BUTTON", WS_TABSTOP | BS_RADIOBUTTON, 0, true, true, SetUpCheck},
    {TK_KIND_CHECK_BOX, "BUTTON", WS_TABSTOP | BS_CHECKBOX, 0, true, true, SetUpCheck},
    {TK_KIND_FRAME, "BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, true, true, nullptr},
    {TK_KIND_HSCROLLBAR, "SCROLLBAR", WS_TABSTOP | SBS_HORZ, 0, true, false, SetUpScrollBar},
    {TK_KIND_PICTURE_BOX, kPictureClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, false, false, SetUpPictureBox},
    {TK_KIND_IMAGE, nullptr, 0, 0, false, false, SetUpImage},
    {TK_KIND_SHAPE, nullptr, 0, 0, false, false, nullptr},
};

const KindTraits* TraitsOf(TkKind kind) {
    for (const KindTraits& traits : kKinds)
        if (traits.kind == kind) return &traits;
    return nullptr;
}

bool IsWindowed(TkKind kind) {
    const KindTraits* traits = TraitsOf(kind);
    return traits != nullptr && traits->windowClass != nullptr;
}

// The styles that the design of one control adds to those of its kind.
DWORD DesignedStyle(TkKind kind, const ControlProps& s) {
    DWORD style = 0;
    if (s.visible) style |= WS_VISIBLE;
    if (!s.enabled) style |= WS_DISABLED;
    switch (kind) {
    case TK_KIND_COMMAND_BUTTON:
        style |= s.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (s.iconId != 0) style |= BS_ICON;
        break;
    case TK_KIND_PICTURE_BOX:
        if (s.border) style |= WS_BORDER;
        break;
    default:
        break;
    }
    return style;
}

// The name tools know a control by: a member of a control array with its index, "optSound(2)".
std::string AutomationName(const Control& c) {
    return c.Index() >= 0 ? c.Name() + "(" + std::to_string(c.Index()) + ")" : c.Name();
}

}  // namespace

bool HasCaption(TkKind kind) {
    const KindTraits* traits = TraitsOf(kind);
    return traits != nullptr && traits->caption;
}

int Control::Impl::WindowId() const {
    const auto& controls = self.form_.controls_;
    const auto position = std::find_if(controls.begin(), controls.end(),
                                       [this](const std::unique_ptr<Control>& c) { return c.get() == &self; });
    return kFirstControlId + static_cast<int>(position - controls.begin());
}

void Control::Impl::CreateWindowTree() {
    const KindTraits* traits = TraitsOf(self.kind_);
    if (traits == nullptr) return;
    const RECT r = PixelRect();
    if (traits->windowClass == nullptr) {
        slot = self.form_.impl().windowlessCount++;
        if (traits->setUp != nullptr) traits->setUp(*this, nullptr, r);
        painted = r;
        ApplyAutoSize();
        PublishRecord();
        return;
    }
    ControlProps& s = S();
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | traits->style | DesignedStyle(self.kind_, s);
    HWND hwnd = CreateWindowExA(traits->exStyle, traits->windowClass, traits->caption ? s.caption.c_str() : "", style,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, ContainerWindow(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(WindowId())), Instance(), &self);
    if (hwnd == nullptr) return;
    self.hwnd_ = hwnd;

    if (traits->standard) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&self));
        baseProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandardControlProc)));
    }
    ApplyFont();
    if (traits->setUp != nullptr) traits->setUp(*this, hwnd, r);
    ApplyAutoSize();
    PublishAll();
}

void Form::Impl::CreateControls() {
    CreateWindows(nullptr);
    // Windowless controls paint in design order, inside containers that now have their windows.
    for (auto& c : self.controls_)
        if (!IsWindowed(c->Kind())) c->impl().CreateWindowTree();
}

void Form::Impl::CreateWindows(const Control* container) {
    // Later controls lie above earlier ones. A new child window goes beneath its siblings, so the
    // windows are made last to first; a reordering call for each would cost the start a round to
    // the window system per control.
    for (auto it = self.controls_.rbegin(); it != self.controls_.rend(); ++it) {
        Control& c = **it;
        if (c.Container() != container || !IsWindowed(c.Kind())) continue;
        c.impl().CreateWindowTree();
        if (c.hWnd() != nullptr) CreateWindows(&c);
    }
}

void Control::Impl::DestroyResources() {
    if (memDC != nullptr) {
        SelectObject(memDC, memOldBitmap);
        DeleteDC(memDC);
        DeleteObject(memBitmap);
        memDC = nullptr;
        memBitmap = nullptr;
        memWidth = memHeight = 0;
    }
    if (picture != nullptr) {
        DeleteObject(picture);
        picture = nullptr;
    }
    if (icon != nullptr) {
        DestroyIcon(icon);
        icon = nullptr;
    }
    if (nameAtom != 0) {
        GlobalDeleteAtom(nameAtom);
        nameAtom = 0;
    }
    baseProc = nullptr;
    slot = -1;
    painted = {};
}

void Control::Impl::ApplyPlacement() {
    if (slot >= 0) {
        // The container shows what lay beneath the old place and paints the control at the new one.
        Repaint();
        painted = PixelRect();
        Repaint();
        PublishRecord();
        return;
    }
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    const RECT r = PixelRect();
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::Impl::ApplyAutoSize() {
    ControlProps& s = S();
    if (self.kind_ != TK_KIND_LABEL || !s.autoSize) return;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, FontHandle());
    RECT text = {0, 0, 0, 0};
    if (s.caption.empty()) {
        TEXTMETRICA tm;
        GetTextMetricsA(screen, &tm);
        text.bottom = tm.tmHeight;
    } else {
        DrawTextA(screen, s.caption.c_str(), -1, &text, DT_CALCRECT | DT_EXPANDTABS);
    }
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int frame = s.border ? 2 * GetSystemMetrics(SM_CXBORDER) : 0;
    s.width = (text.right + frame) * ContainerUnitsPerPixelX();
    s.height = (text.bottom + frame) * ContainerUnitsPerPixelY();
    ApplyPlacement();
}

void Control::Impl::ApplyFont() {
    if (self.hwnd_ != nullptr) SendMessageA(self.hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
}

void Control::Impl::Repaint() {
    if (self.hwnd_ != nullptr) {
        InvalidateRect(self.hwnd_, nullptr, TRUE);
    } else if (slot >= 0 && ContainerWindow() != nullptr) {
        InvalidateRect(ContainerWindow(), &painted, TRUE);
    }
}

// ---------------------------------------------------------------------------------------------
// Automation properties

void Control::Impl::PublishAll() {
    if (slot >= 0) return PublishRecord();
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    if (nameAtom == 0) nameAtom = GlobalAddAtomA(AutomationName(self).c_str());
    SetNumberProperty(hwnd, TK_PROP_NAME, nameAtom);
    SetNumberProperty(hwnd, TK_PROP_KIND, static_cast<ULONG_PTR>(self.kind_));
    PublishColours();
    PublishValue();
    PublishStyle();
    PublishDrawWidth();
}

void Control::Impl::PublishColours() {
    if (slot >= 0) return PublishRecord();
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    SetNumberProperty(hwnd, TK_PROP_FORE, S().fore | TK_COLOR_PRESENT);
    SetNumberProperty(hwnd, TK_PROP_BACK, EffectiveBack() | TK_COLOR_PRESENT);
    // Children that follow this control's back colour show a new one too.
    if (IsContainer()) {
        for (const auto& c : self.form_.controls_)
            if (c->container_ == &self) c->impl().PublishColours();
    }
}

void Control::Impl::PublishValue() {
    if (self.hwnd_ == nullptr) return;
    switch (self.kind_) {
    case TK_KIND_HSCROLLBAR:
    case TK_KIND_CHECK_BOX:
    case TK_KIND_OPTION_BUTTON:
        SetNumberProperty(self.hwnd_, TK_PROP_VALUE, static_cast<ULONG_PTR>(S().value + TK_VALUE_BIAS));
        break;
    default:
        break;
    }
}

namespace {

DWORD StyleFlags(TkKind kind, const ControlProps& s) {
    DWORD flags = 0;
    if (kind == TK_KIND_LABEL && s.opaque) flags |= TK_STYLE_OPAQUE;
    if ((kind == TK_KIND_LABEL || kind == TK_KIND_PICTURE_BOX) && s.border) flags |= TK_STYLE_BORDER;
    if (kind == TK_KIND_COMMAND_BUTTON && s.isDefault) flags |= TK_STYLE_DEFAULT;
    return flags;
}

// Copies text into a record's field, cut to fit, always ended.
template <size_t N>
void CopyField(char (&field)[N], const std::string& text) {
    const size_t n = std::min(text.size(), N - 1);
    std::copy_n(text.data(), n, field);
    field[n] = '\0';
}

}  // namespace

void Control::Impl::PublishStyle() {
    if (slot >= 0) return PublishRecord();
    if (self.hwnd_ != nullptr) SetNumberProperty(self.hwnd_, TK_PROP_STYLE, StyleFlags(self.kind_, S()));
}

void Control::Impl::PublishRecord() {
    TkWindowlessTable* table = self.form_.impl().table;
    if (table == nullptr || slot < 0 || slot >= TK_WINDOWLESS_MAX) return;
    const ControlProps& s = S();
    TkWindowlessRecord& r = table->records[slot];
    InterlockedIncrement(&r.sequence);
    r.kind = self.kind_;
    CopyField(r.name, AutomationName(self));
    r.container = static_cast<LONG>(reinterpret_cast<LONG_PTR>(ContainerWindow()));
    r.rect = painted;
    r.visible = s.visible ? 1 : 0;
    r.enabled = s.enabled ? 1 : 0;
    r.fore = s.fore | TK_COLOR_PRESENT;
    r.back = EffectiveBack() | TK_COLOR_PRESENT;
    r.style = StyleFlags(self.kind_, s);
    CopyField(r.text, s.caption);
    InterlockedIncrement(&r.sequence);
    if (table->count <= slot) table->count = slot + 1;
}

void Control::Impl::PublishDrawWidth() {
    if (self.hwnd_ != nullptr && self.kind_ == TK_KIND_PICTURE_BOX)
        SetNumberProperty(self.hwnd_, TK_PROP_DRAWWIDTH, static_cast<ULONG_PTR>(S().drawWidth));
}

LRESULT Control::Impl::OnCtlColor(HDC dc, UINT, HWND) {
    switch (self.kind_) {
    case TK_KIND_OPTION_BUTTON:
    case TK_KIND_CHECK_BOX:
    case TK_KIND_FRAME: {
        const COLORREF back = EffectiveBack();
        SetTextColor(dc, S().fore);
        SetBkColor(dc, back);
        return reinterpret_cast<LRESULT>(SharedBrush(back));
    }
    default:
        return 0;
    }
}

}  // namespace tk
