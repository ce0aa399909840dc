// Forms: the design of the top-level window, its life from Load to Unload and its properties. The
// window procedure, keyboard navigation and docking are in FormWindow.cpp.
#include <algorithm>

#include "toolkit/Internal.h"

namespace tk {

namespace {

template <typename Change>
Form& Designed(Form& form, Change change) {
    change(form.impl().design);
    return form;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and design

Form::Form(std::string name) : name_(std::move(name)), impl_(std::make_unique<Impl>(*this)) {}

Form::~Form() {
    if (hwnd_ == nullptr) return;
    // The derived form is already gone: its window must not reach it any more.
    SetWindowLongPtrA(hwnd_, 0, 0);
    DestroyWindow(hwnd_);
    for (auto& c : controls_) {
        c->impl().DestroyResources();
        c->hwnd_ = nullptr;
    }
}

Form& Form::Caption(const std::string& text) {
    return Designed(*this, [&](FormProps& d) { d.caption = text; });
}

Form& Form::ClientSize(double widthTwips, double heightTwips) {
    return Designed(*this, [&](FormProps& d) {
        d.clientWidth = widthTwips;
        d.clientHeight = heightTwips;
    });
}

Form& Form::Border(BorderStyle b) {
    return Designed(*this, [&](FormProps& d) { d.border = b; });
}

Form& Form::State(WindowState s) {
    return Designed(*this, [&](FormProps& d) { d.windowState = s; });
}

Form& Form::BackDesign(COLORREF c) {
    return Designed(*this, [&](FormProps& d) {
        d.back = c;
        d.backSet = true;
    });
}

Form& Form::Icon(int iconResourceId) {
    return Designed(*this, [&](FormProps& d) { d.iconId = iconResourceId; });
}

Form& Form::KeyPreview(bool on) {
    return Designed(*this, [&](FormProps& d) { d.keyPreview = on; });
}

Control& Form::Add(TkKind kind, const std::string& name, int index) {
    if (Find(name, index) != nullptr)
        DesignFault(name_ + ": control " + name + " designed twice");
    controls_.push_back(std::make_unique<Control>(*this, kind, name, index));
    return *controls_.back();
}

Control& Form::Label(const std::string& name, int index) { return Add(TK_KIND_LABEL, name, index); }
Control& Form::CommandButton(const std::string& name, int index) { return Add(TK_KIND_COMMAND_BUTTON, name, index); }
Control& Form::OptionButton(const std::string& name, int index) { return Add(TK_KIND_OPTION_BUTTON, name, index); }
Control& Form::CheckBox(const std::string& name, int index) { return Add(TK_KIND_CHECK_BOX, name, index); }
Control& Form::Frame(const std::string& name, int index) { return Add(TK_KIND_FRAME, name, index); }
Control& Form::HScrollBar(const std::string& name, int index) { return Add(TK_KIND_HSCROLLBAR, name, index); }
Control& Form::PictureBox(const std::string& name, int index) { return Add(TK_KIND_PICTURE_BOX, name, index); }
Control& Form::Image(const std::string& name, int index) { return Add(TK_KIND_IMAGE, name, index); }
Control& Form::Shape(const std::string& name, int index) { return Add(TK_KIND_SHAPE, name, index); }

Form& Form::TabOrder(std::initializer_list<Control*> controls) {
    impl_->tabOrder.assign(controls.begin(), controls.end());
    return *this;
}

Control* Form::Find(const std::string& name, int index) {
    for (auto& c : controls_)
        if (c->Index() == index && c->Name() == name) return c.get();
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Life of the window

FormProps& Form::Impl::S() {
    if (!stateValid) {
        state = design;
        stateValid = true;
    }
    return state;
}

DWORD Form::Impl::Style() const {
    switch (const_cast<Impl*>(this)->S().border) {
    case BorderStyle::None:
        return WS_POPUP | WS_CLIPCHILDREN;
    case BorderStyle::FixedSingle:
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    case BorderStyle::FixedDialog:
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case BorderStyle::Sizable:
    default:
        return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    }
}

DWORD Form::Impl::ExStyle() const {
    DWORD ex = WS_EX_CONTROLPARENT;
    if (const_cast<Impl*>(this)->S().border == BorderStyle::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
    return ex;
}

bool Form::Impl::FullScreen() const {
    const FormProps& s = const_cast<Impl*>(this)->S();
    return s.border == BorderStyle::None && s.windowState == WindowState::Maximized;
}

SIZE Form::Impl::OuterSize() const {
    const FormProps& s = const_cast<Impl*>(this)->S();
    if (FullScreen()) return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT r = {0, 0, TwipsToPixelsX(s.clientWidth), TwipsToPixelsY(s.clientHeight)};
    AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void Form::Load() {
    if (hwnd_ != nullptr) return;
    RegisterClasses();
    EnsureInstanceMarker();
    Impl& im = *impl_;
    im.ready = false;
    im.resized = false;
    im.lastFocus = nullptr;
    Form_Initialize();

    const FormProps& s = im.S();
    const SIZE size = im.OuterSize();
    int x = 0;
    int y = 0;
    if (s.placed) {
        x = TwipsToPixelsX(s.left);
        y = TwipsToPixelsY(s.top);
    } else if (!im.FullScreen()) {
        x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    }
    if (s.iconId != 0) {
        im.bigIcon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(s.iconId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        im.smallIcon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(s.iconId), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    }
    CreateWindowExA(im.ExStyle(), TK_FORM_CLASS, s.caption.c_str(), im.Style(), x, y, size.cx, size.cy, nullptr,
                    nullptr, Instance(), this);
    if (hwnd_ == nullptr) return im.ForgetIcons();
    // The window is sized and placed once, at the end of the load, for where Form_Load leaves the
    // form: not at each of its steps, and not for the smallest size the system may have held the
    // new window to, asking before the window was ours to answer.
    im.placing = true;

    im.nameAtom = GlobalAddAtomA(name_.c_str());
    SetNumberProperty(hwnd_, TK_PROP_NAME, im.nameAtom);
    SetNumberProperty(hwnd_, TK_PROP_KIND, TK_KIND_FORM);
    SetNumberProperty(hwnd_, TK_PROP_BACK, im.EffectiveBack() | TK_COLOR_PRESENT);
    im.PublishPointer();
    im.OpenTable();
    im.CreateControls();
    im.DockLayout();

    LoadedForms().push_back(this);
    Form_Load();
    im.ApplyPendingPlacement();
    if (hwnd_ != nullptr) im.ready = true;
}

void Form::Show() {
    Load();
    if (hwnd_ == nullptr) return;
    impl_->ApplyPendingPlacement();
    const bool wasVisible = IsWindowVisible(hwnd_) != FALSE;
    const WindowState state = impl_->S().windowState;
    const int command = state == WindowState::Maximized   ? SW_SHOWMAXIMIZED
                        : state == WindowState::Minimized ? SW_SHOWMINIMIZED
                                                          : SW_SHOWNORMAL;
    ShowWindow(hwnd_, command);
    // The first ShowWindow of a process may take the start-up show state (a starter's SW_HIDE) instead.
    if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, command);
    if (wasVisible) SetActiveWindow(hwnd_);
    impl_->RaiseFirstResize();
}

void Form::Hide() {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, SW_HIDE);
    if (ActiveForm() == this) SetActiveForm(nullptr);
}

void Form::Unload() {
    Impl& im = *impl_;
    if (hwnd_ == nullptr || im.unloading) return;
    im.unloading = true;
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel == 0 && hwnd_ != nullptr) {
        ShowWindow(hwnd_, SW_HIDE);
        DestroyWindow(hwnd_);
    }
    im.unloading = false;
}

void Form::Impl::ApplyPendingPlacement() {
    if (!placing) return;
    placing = false;
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    const FormProps& s = S();
    const SIZE size = OuterSize();
    RECT now;
    GetWindowRect(hwnd, &now);
    const int x = s.placed ? TwipsToPixelsX(s.left) : now.left;
    const int y = s.placed ? TwipsToPixelsY(s.top) : now.top;
    if (x != now.left || y != now.top || size.cx != now.right - now.left || size.cy != now.bottom - now.top)
        SetWindowPos(hwnd, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Impl::ForgetIcons() {
    if (bigIcon != nullptr) DestroyIcon(bigIcon);
    if (smallIcon != nullptr) DestroyIcon(smallIcon);
    bigIcon = smallIcon = nullptr;
}

void Form::Impl::Destroyed() {
    for (auto& c : self.controls_) {
        c->impl().DestroyResources();
        c->hwnd_ = nullptr;
    }
    CloseTable();
    for (auto& c : self.controls_) c->impl().ResetToDesign();
    if (nameAtom != 0) GlobalDeleteAtom(nameAtom);
    nameAtom = 0;
    ForgetIcons();
    self.hwnd_ = nullptr;
    state = design;
    stateValid = true;
    ready = resized = placing = false;
    lastFocus = nullptr;
    lines.clear();
    auto& loaded = LoadedForms();
    loaded.erase(std::remove(loaded.begin(), loaded.end(), &self), loaded.end());
    // A form unloaded by a message sent from another thread is handled inside GetMessage, which then
    // goes on waiting: a message of its own lets Run see that the last form is gone.
    if (loaded.empty()) PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    if (ActiveForm() == &self) SetActiveForm(nullptr);
}

HWND Form::hWnd() {
    Load();
    return hwnd_;
}

// ---------------------------------------------------------------------------------------------
// Properties

std::string Form::GetCaption() const {
    if (hwnd_ == nullptr) return impl_->S().caption;
    char text[512] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    return text;
}

void Form::SetCaption(const std::string& text) {
    impl_->S().caption = text;
    if (hwnd_ != nullptr) SetWindowTextA(hwnd_, text.c_str());
}

namespace {

RECT WindowRectOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace

double Form::Left() const {
    if (hwnd_ != nullptr && !(impl_->placing && impl_->S().placed)) return PixelsToTwipsX(WindowRectOf(hwnd_).left);
    const FormProps& s = impl_->S();
    return s.placed ? s.left : PixelsToTwipsX((GetSystemMetrics(SM_CXSCREEN) - impl_->OuterSize().cx) / 2);
}

double Form::Top() const {
    if (hwnd_ != nullptr && !(impl_->placing && impl_->S().placed)) return PixelsToTwipsY(WindowRectOf(hwnd_).top);
    const FormProps& s = impl_->S();
    return s.placed ? s.top : PixelsToTwipsY((GetSystemMetrics(SM_CYSCREEN) - impl_->OuterSize().cy) / 2);
}

double Form::Width() const {
    if (hwnd_ != nullptr && !impl_->placing) {
        const RECT r = WindowRectOf(hwnd_);
        return PixelsToTwipsX(r.right - r.left);
    }
    return PixelsToTwipsX(impl_->OuterSize().cx);
}

double Form::Height() const {
    if (hwnd_ != nullptr && !impl_->placing) {
        const RECT r = WindowRectOf(hwnd_);
        return PixelsToTwipsY(r.bottom - r.top);
    }
    return PixelsToTwipsY(impl_->OuterSize().cy);
}

void Form::Move(double left, double top) {
    FormProps& s = impl_->S();
    s.placed = true;
    s.left = left;
    s.top = top;
    if (hwnd_ != nullptr && !impl_->placing)
        SetWindowPos(hwnd_, nullptr, TwipsToPixelsX(left), TwipsToPixelsY(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetLeft(double v) { Move(v, Top()); }
void Form::SetTop(double v) { Move(Left(), v); }

void Form::SetWidth(double v) {
    FormProps& s = impl_->S();
    // The outer size is what is set; the client size is what remains inside the frame.
    s.clientWidth += v - Width();
    if (hwnd_ != nullptr && !impl_->placing) {
        const RECT r = WindowRectOf(hwnd_);
        SetWindowPos(hwnd_, nullptr, 0, 0, TwipsToPixelsX(v), r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::SetHeight(double v) {
    FormProps& s = impl_->S();
    s.clientHeight += v - Height();
    if (hwnd_ != nullptr && !impl_->placing) {
        const RECT r = WindowRectOf(hwnd_);
        SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, TwipsToPixelsY(v),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

double Form::ScaleWidth() const {
    if (hwnd_ == nullptr || impl_->placing) return impl_->S().clientWidth;
    RECT client;
    GetClientRect(hwnd_, &client);
    return PixelsToTwipsX(client.right);
}

double Form::ScaleHeight() const {
    if (hwnd_ == nullptr || impl_->placing) return impl_->S().clientHeight;
    RECT client;
    GetClientRect(hwnd_, &client);
    return PixelsToTwipsY(client.bottom);
}

bool Form::Visible() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

COLORREF Form::BackColor() const { return impl_->EffectiveBack(); }

void Form::SetBackColor(COLORREF c) {
    FormProps& s = impl_->S();
    s.back = c;
    s.backSet = true;
    if (hwnd_ == nullptr) return;
    SetNumberProperty(hwnd_, TK_PROP_BACK, c | TK_COLOR_PRESENT);
    for (auto& control : controls_)
        if (control->Container() == nullptr) control->impl().PublishColours();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int Form::MousePointer() const { return impl_->S().pointer; }

void Form::SetMousePointer(int pointer) {
    impl_->S().pointer = pointer;
    if (hwnd_ == nullptr) return;
    impl_->PublishPointer();
    impl_->UpdateCursor();
}

void Form::Impl::PublishPointer() {
    SetNumberProperty(self.hwnd_, TK_PROP_POINTER, static_cast<ULONG_PTR>(S().pointer + 1));
}

void Form::Impl::UpdateCursor() {
    POINT at;
    if (!GetCursorPos(&at)) return;
    HWND under = WindowFromPoint(at);
    if (under != nullptr && (under == self.hwnd_ || IsChild(self.hwnd_, under)))
        SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

Control* Form::ActiveControl() const {
    if (hwnd_ == nullptr) return nullptr;
    for (HWND w = GetFocus(); w != nullptr && w != hwnd_; w = GetParent(w))
        if (Control* c = impl_->ControlByHwnd(w)) return c;
    return nullptr;
}

double Form::TextWidth(const std::string& text) const {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, SharedFont(Font{}));
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return PixelsToTwipsX(extent.cx);
}

void Form::Line(double x1, double y1, double x2, double y2, COLORREF colour) {
    impl_->lines.push_back({x1, y1, x2, y2, colour});
    if (hwnd_ == nullptr) return;
    // The line's pixels only; the pen is one pixel wide, so a pixel round it is enough.
    RECT r = {std::min(TwipsToPixelsX(x1), TwipsToPixelsX(x2)) - 1, std::min(TwipsToPixelsY(y1), TwipsToPixelsY(y2)) - 1,
              std::max(TwipsToPixelsX(x1), TwipsToPixelsX(x2)) + 1, std::max(TwipsToPixelsY(y1), TwipsToPixelsY(y2)) + 1};
    InvalidateRect(hwnd_, &r, TRUE);
}

void Form::Impl::PaintLines(HDC dc) const {
    for (const DrawnLine& line : lines) {
        Pen pen(dc, 1, line.colour);
        MoveToEx(dc, TwipsToPixelsX(line.x1), TwipsToPixelsY(line.y1), nullptr);
        LineTo(dc, TwipsToPixelsX(line.x2), TwipsToPixelsY(line.y2));
    }
}

}  // namespace tk
