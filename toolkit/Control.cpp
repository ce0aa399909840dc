// Controls: the design builder, run-time properties, the child windows behind them and the events
// their windows raise.
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "toolkit/Internal.h"

namespace tk {

namespace {

bool IsStandardClass(TkKind kind) {
    switch (kind) {
    case TK_KIND_LABEL:
    case TK_KIND_COMMAND_BUTTON:
    case TK_KIND_OPTION_BUTTON:
    case TK_KIND_CHECK_BOX:
    case TK_KIND_FRAME:
    case TK_KIND_HSCROLLBAR:
        return true;
    default:
        return false;
    }
}

bool HasCaption(TkKind kind) {
    switch (kind) {
    case TK_KIND_LABEL:
    case TK_KIND_COMMAND_BUTTON:
    case TK_KIND_OPTION_BUTTON:
    case TK_KIND_CHECK_BOX:
    case TK_KIND_FRAME:
        return true;
    default:
        return false;
    }
}

// Controls that paint their container's background behind themselves, so that the container shows
// through them; a drawing under them needs them painted again.
bool SeesThrough(const Control& c) {
    switch (c.Kind()) {
    case TK_KIND_IMAGE:
    case TK_KIND_SHAPE:
        return true;
    case TK_KIND_LABEL:
        return !c.OpaqueOn();
    default:
        return false;
    }
}

template <typename Handler, typename... Args>
void Raise(const Handler& handler, Args&&... args) {
    // A handler may replace itself while it runs; the copy keeps the running one alive.
    Handler copy = handler;
    if (copy) copy(std::forward<Args>(args)...);
}

LRESULT CALLBACK StandardControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and design

Control::Control(Form& form, TkKind kind, std::string name, int index)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index), impl_(std::make_unique<Impl>(*this)) {
    ControlProps& d = impl_->design;
    if (kind == TK_KIND_HSCROLLBAR) d.max = 32767;
}

Control::~Control() = default;

namespace {

// A builder call: changes the design, which the state copies when it is next used.
template <typename Change>
Control& Designed(Control& control, Change change) {
    change(control.impl().design);
    control.impl().stateValid = false;
    return control;
}

}  // namespace

Control& Control::At(double left, double top, double width, double height) {
    return Designed(*this, [&](ControlProps& d) {
        d.left = left;
        d.top = top;
        d.width = width;
        d.height = height;
    });
}

Control& Control::In(const std::string& containerName, int containerIndex) {
    Control* container = form_.Find(containerName, containerIndex);
    if (container == nullptr || !container->impl().IsContainer())
        throw std::logic_error(name_ + ": no frame or picture box named " + containerName);
    container_ = container;
    impl_->stateValid = false;
    return *this;
}

Control& Control::Text(const std::string& caption) { return Designed(*this, [&](ControlProps& d) { d.caption = caption; }); }
Control& Control::WithFont(const std::string& face, double size, bool bold) {
    return Designed(*this, [&](ControlProps& d) { d.font = Font{face, size, bold}; });
}
Control& Control::Fore(COLORREF colour) { return Designed(*this, [&](ControlProps& d) { d.fore = colour; }); }
Control& Control::Back(COLORREF colour) { return Designed(*this, [&](ControlProps& d) { d.back = colour; d.backSet = true; }); }
Control& Control::Hidden() { return Designed(*this, [&](ControlProps& d) { d.visible = false; }); }
Control& Control::Disabled() { return Designed(*this, [&](ControlProps& d) { d.enabled = false; }); }
Control& Control::Align(Alignment a) { return Designed(*this, [&](ControlProps& d) { d.alignment = a; }); }
Control& Control::Bordered(bool on) { return Designed(*this, [&](ControlProps& d) { d.border = on; }); }
Control& Control::Opaque(bool on) { return Designed(*this, [&](ControlProps& d) { d.opaque = on; }); }
Control& Control::AutoSize(bool on) { return Designed(*this, [&](ControlProps& d) { d.autoSize = on; }); }
Control& Control::Default() { return Designed(*this, [&](ControlProps& d) { d.isDefault = true; }); }
Control& Control::Cancel() { return Designed(*this, [&](ControlProps& d) { d.isCancel = true; }); }
Control& Control::Graphical(int iconResourceId, int iconSize) {
    return Designed(*this, [&](ControlProps& d) { d.iconId = iconResourceId; d.iconSize = iconSize; });
}
Control& Control::Picture(int iconResourceId) { return Designed(*this, [&](ControlProps& d) { d.iconId = iconResourceId; }); }
Control& Control::Range(int min, int max, int smallChange, int largeChange) {
    return Designed(*this, [&](ControlProps& d) { d.min = min; d.max = max; d.smallChange = smallChange; d.largeChange = largeChange; });
}
Control& Control::PixelScale() { return Designed(*this, [&](ControlProps& d) { d.scale = ScaleMode::Pixels; }); }
Control& Control::Docked(tk::Align a, double heightTwips) { return Designed(*this, [&](ControlProps& d) { d.dock = a; d.height = heightTwips; }); }


// ---------------------------------------------------------------------------------------------
// State

ControlProps& Control::Impl::S() {
    if (!stateValid) ResetToDesign();
    return state;
}

void Control::Impl::ResetToDesign() {
    state = design;
    stateValid = true;
    // The design is in twips; a container that measures in pixels gets whole pixels.
    if (self.container_ != nullptr && self.container_->impl().PixelUnits()) {
        state.left = TwipsToPixelsX(design.left);
        state.top = TwipsToPixelsY(design.top);
        state.width = TwipsToPixelsX(design.width);
        state.height = TwipsToPixelsY(design.height);
    }
    if (self.kind_ == TK_KIND_HSCROLLBAR)
        state.value = std::clamp(state.value, std::min(state.min, state.max), std::max(state.min, state.max));
    currentX = currentY = 0;
    buttonsDown = 0;
    resizeRaised = false;
}

bool Control::Impl::IsContainer() const {
    return self.kind_ == TK_KIND_FRAME || self.kind_ == TK_KIND_PICTURE_BOX;
}

bool Control::Impl::PixelUnits() const {
    return self.kind_ == TK_KIND_PICTURE_BOX && const_cast<Impl*>(this)->S().scale == ScaleMode::Pixels;
}

double Control::Impl::UnitsPerPixelX() const { return PixelUnits() ? 1.0 : TwipsPerPixelX(); }
double Control::Impl::UnitsPerPixelY() const { return PixelUnits() ? 1.0 : TwipsPerPixelY(); }

HWND Control::Impl::ContainerWindow() const {
    return self.container_ != nullptr ? self.container_->hwnd_ : self.form_.hwnd_;
}

double Control::Impl::ContainerUnitsPerPixelX() const {
    return self.container_ != nullptr ? self.container_->impl().UnitsPerPixelX() : TwipsPerPixelX();
}

double Control::Impl::ContainerUnitsPerPixelY() const {
    return self.container_ != nullptr ? self.container_->impl().UnitsPerPixelY() : TwipsPerPixelY();
}

COLORREF Control::Impl::EffectiveBack() const {
    const ControlProps& s = const_cast<Impl*>(this)->S();
    if (s.backSet) return s.back;
    return self.container_ != nullptr ? self.container_->impl().EffectiveBack() : self.form_.impl().EffectiveBack();
}

RECT Control::Impl::PixelRect() const {
    const ControlProps& s = const_cast<Impl*>(this)->S();
    const double ux = ContainerUnitsPerPixelX();
    const double uy = ContainerUnitsPerPixelY();
    RECT r;
    r.left = std::lround(s.left / ux);
    r.top = std::lround(s.top / uy);
    r.right = r.left + std::max(0L, std::lround(s.width / ux));
    r.bottom = r.top + std::max(0L, std::lround(s.height / uy));
    return r;
}

HFONT Control::Impl::FontHandle() const { return SharedFont(const_cast<Impl*>(this)->S().font); }

// ---------------------------------------------------------------------------------------------
// Windows

void Control::Impl::CreateWindowTree() {
    ControlProps& s = S();
    const TkKind kind = self.kind_;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    if (s.visible) style |= WS_VISIBLE;
    if (!s.enabled) style |= WS_DISABLED;
    DWORD exStyle = 0;
    const char* windowClass = nullptr;

    switch (kind) {
    case TK_KIND_LABEL:
        windowClass = "STATIC";
        // SS_NOTIFY makes the label hit-testable, so that it gets its own mouse events.
        style |= SS_NOTIFY;
        style |= s.alignment == Alignment::Center ? SS_CENTER : s.alignment == Alignment::Right ? SS_RIGHT : SS_LEFT;
        if (s.border) style |= WS_BORDER;
        break;
    case TK_KIND_COMMAND_BUTTON:
        windowClass = "BUTTON";
        style |= WS_TABSTOP | (s.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (s.iconId != 0) style |= BS_ICON;
        break;
    case TK_KIND_OPTION_BUTTON:
        // Not BS_AUTORADIOBUTTON: the runtime owns the selection, so that code and user change it alike.
        windowClass = "BUTTON";
        style |= WS_TABSTOP | BS_RADIOBUTTON;
        break;
    case TK_KIND_CHECK_BOX:
        windowClass = "BUTTON";
        style |= WS_TABSTOP | BS_CHECKBOX;
        break;
    case TK_KIND_FRAME:
        windowClass = "BUTTON";
        style |= BS_GROUPBOX | WS_CLIPCHILDREN;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
    case TK_KIND_HSCROLLBAR:
        windowClass = "SCROLLBAR";
        style |= WS_TABSTOP | SBS_HORZ;
        break;
    case TK_KIND_PICTURE_BOX:
        windowClass = kPictureClass;
        style |= WS_CLIPCHILDREN;
        if (s.border) style |= WS_BORDER;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
    case TK_KIND_IMAGE:
        windowClass = kImageClass;
        break;
    case TK_KIND_SHAPE:
        windowClass = kShapeClass;
        break;
    default:
        return;
    }

    const auto& controls = self.form_.controls_;
    const auto position = std::find_if(controls.begin(), controls.end(),
                                       [this](const std::unique_ptr<Control>& c) { return c.get() == &self; });
    const int id = kFirstControlId + static_cast<int>(position - controls.begin());
    const RECT r = PixelRect();
    HWND hwnd = CreateWindowExA(exStyle, windowClass, HasCaption(kind) ? s.caption.c_str() : "", style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, ContainerWindow(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), &self);
    if (hwnd == nullptr) return;
    self.hwnd_ = hwnd;

    if (IsStandardClass(kind)) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&self));
        baseProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandardControlProc)));
    }
    ApplyFont();
    // Later controls lie above earlier ones; shapes lie beneath everything, since labels sit inside them.
    SetWindowPos(hwnd, kind == TK_KIND_SHAPE ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    switch (kind) {
    case TK_KIND_HSCROLLBAR:
        SetScrollRange(hwnd, SB_CTL, std::min(s.min, s.max), std::max(s.min, s.max), FALSE);
        SetScrollPos(hwnd, SB_CTL, s.value, TRUE);
        break;
    case TK_KIND_OPTION_BUTTON:
    case TK_KIND_CHECK_BOX:
        SendMessageA(hwnd, BM_SETCHECK, s.value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case TK_KIND_COMMAND_BUTTON:
        if (s.iconId != 0) {
            icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(s.iconId), IMAGE_ICON, s.iconSize,
                                                 s.iconSize, LR_DEFAULTCOLOR));
            SendMessageA(hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        }
        break;
    case TK_KIND_IMAGE:
        if (s.iconId != 0) {
            icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(s.iconId), IMAGE_ICON, r.right - r.left,
                                                 r.bottom - r.top, LR_DEFAULTCOLOR));
        }
        break;
    case TK_KIND_PICTURE_BOX: {
        RECT client;
        GetClientRect(hwnd, &client);
        CreateMemorySurface(client.right, client.bottom);
        break;
    }
    default:
        break;
    }
    ApplyAutoSize();
    PublishAll();
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
}

void Control::Impl::ApplyPlacement() {
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    const RECT r = PixelRect();
    // A control that shows its container through itself must not take its old pixels along.
    const UINT copyBits = SeesThrough(self) ? SWP_NOCOPYBITS : 0;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | copyBits);
    if (copyBits != 0) InvalidateRect(hwnd, nullptr, TRUE);
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
    if (self.hwnd_ != nullptr) InvalidateRect(self.hwnd_, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
// Automation properties

void Control::Impl::PublishAll() {
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    const std::string name = self.index_ >= 0 ? self.name_ + "(" + std::to_string(self.index_) + ")" : self.name_;
    if (nameAtom == 0) nameAtom = GlobalAddAtomA(name.c_str());
    SetNumberProperty(hwnd, TK_PROP_NAME, nameAtom);
    SetNumberProperty(hwnd, TK_PROP_KIND, static_cast<ULONG_PTR>(self.kind_));
    PublishColours();
    PublishValue();
    PublishStyle();
    PublishDrawWidth();
}

void Control::Impl::PublishColours() {
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

void Control::Impl::PublishStyle() {
    if (self.hwnd_ == nullptr) return;
    const ControlProps& s = S();
    ULONG_PTR flags = 0;
    if (self.kind_ == TK_KIND_LABEL && s.opaque) flags |= TK_STYLE_OPAQUE;
    if ((self.kind_ == TK_KIND_LABEL || self.kind_ == TK_KIND_PICTURE_BOX) && s.border) flags |= TK_STYLE_BORDER;
    if (self.kind_ == TK_KIND_COMMAND_BUTTON && s.isDefault) flags |= TK_STYLE_DEFAULT;
    SetNumberProperty(self.hwnd_, TK_PROP_STYLE, flags);
}

void Control::Impl::PublishDrawWidth() {
    if (self.hwnd_ != nullptr && self.kind_ == TK_KIND_PICTURE_BOX)
        SetNumberProperty(self.hwnd_, TK_PROP_DRAWWIDTH, static_cast<ULONG_PTR>(S().drawWidth));
}

// ---------------------------------------------------------------------------------------------
// Properties

double Control::Left() const { return impl_->S().left; }
double Control::Top() const { return impl_->S().top; }
double Control::Width() const { return impl_->S().width; }
double Control::Height() const { return impl_->S().height; }

void Control::SetLeft(double v) {
    impl_->S().left = v;
    impl_->ApplyPlacement();
}

void Control::SetTop(double v) {
    impl_->S().top = v;
    impl_->ApplyPlacement();
}

void Control::SetWidth(double v) {
    impl_->S().width = v;
    impl_->ApplyPlacement();
}

void Control::SetHeight(double v) {
    impl_->S().height = v;
    impl_->ApplyPlacement();
}

void Control::Move(double left, double top, double width, double height) {
    ControlProps& s = impl_->S();
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    impl_->ApplyPlacement();
}

std::string Control::Caption() const { return impl_->S().caption; }

void Control::SetCaption(const std::string& text) {
    impl_->S().caption = text;
    if (hwnd_ == nullptr || !HasCaption(kind_)) return;
    SetWindowTextA(hwnd_, text.c_str());
    impl_->ApplyAutoSize();
    impl_->Repaint();
}

bool Control::Visible() const { return impl_->S().visible; }

void Control::SetVisible(bool on) {
    impl_->S().visible = on;
    if (hwnd_ != nullptr) ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
}

bool Control::Enabled() const { return impl_->S().enabled; }

void Control::SetEnabled(bool on) {
    impl_->S().enabled = on;
    if (hwnd_ == nullptr) return;
    // A disabled window loses the focus to nothing, which would leave the keyboard dead.
    HWND focus = GetFocus();
    if (!on && focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus))) form_.impl().MoveFocus(false);
    EnableWindow(hwnd_, on ? TRUE : FALSE);
    if (kind_ == TK_KIND_LABEL) impl_->Repaint();
}

COLORREF Control::ForeColor() const { return impl_->S().fore; }

void Control::SetForeColor(COLORREF c) {
    impl_->S().fore = c;
    impl_->PublishColours();
    // A picture box's fore colour is the pen of later drawing; what is drawn stays as it is.
    if (kind_ != TK_KIND_PICTURE_BOX) impl_->Repaint();
}

COLORREF Control::BackColor() const { return impl_->EffectiveBack(); }

void Control::SetBackColor(COLORREF c) {
    ControlProps& s = impl_->S();
    s.back = c;
    s.backSet = true;
    impl_->PublishColours();
    if (hwnd_ == nullptr) return;
    if (kind_ == TK_KIND_PICTURE_BOX) {
        // As with the runtime this mirrors: a new back colour clears the drawing.
        Cls();
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

bool Control::BorderOn() const { return impl_->S().border; }

void Control::SetBorder(bool on) {
    impl_->S().border = on;
    impl_->PublishStyle();
    if (hwnd_ == nullptr) return;
    LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    style = on ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(hwnd_, GWL_STYLE, style);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

bool Control::OpaqueOn() const { return impl_->S().opaque; }

void Control::SetOpaque(bool on) {
    impl_->S().opaque = on;
    impl_->PublishStyle();
    impl_->Repaint();
}

void Control::SetFocus() {
    if (hwnd_ == nullptr) return;
    HWND formWindow = form_.hwnd_;
    if (IsWindowVisible(formWindow)) {
        ::SetFocus(hwnd_);
    } else {
        // The form takes the focus to this control when it is shown.
        form_.impl().lastFocus = hwnd_;
    }
}

int Control::Value() const { return impl_->S().value; }

void Control::SetValue(int v) {
    ControlProps& s = impl_->S();
    // Check boxes and option buttons hold 0 or 1; true when the value changed.
    const auto setCheck = [&] {
        v = v != 0 ? 1 : 0;
        if (v == s.value) return false;
        s.value = v;
        if (hwnd_ != nullptr) SendMessageA(hwnd_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
        impl_->PublishValue();
        return true;
    };
    switch (kind_) {
    case TK_KIND_HSCROLLBAR:
        v = std::clamp(v, std::min(s.min, s.max), std::max(s.min, s.max));
        if (v == s.value) return;
        s.value = v;
        if (hwnd_ != nullptr) SetScrollPos(hwnd_, SB_CTL, v, TRUE);
        impl_->PublishValue();
        Raise(Change);
        return;
    case TK_KIND_CHECK_BOX:
        if (!setCheck()) return;
        Raise(Click);
        return;
    case TK_KIND_OPTION_BUTTON:
        if (!setCheck() || s.value == 0) return;
        // The options of one container exclude each other; the ones cleared raise nothing.
        for (const auto& other : form_.controls_) {
            if (other.get() == this || other->kind_ != TK_KIND_OPTION_BUTTON || other->container_ != container_) continue;
            ControlProps& o = other->impl().S();
            if (o.value == 0) continue;
            o.value = 0;
            if (other->hwnd_ != nullptr) SendMessageA(other->hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
            other->impl().PublishValue();
        }
        Raise(Click);
        return;
    default:
        s.value = v;
        return;
    }
}

int Control::Min() const { return impl_->S().min; }
int Control::Max() const { return impl_->S().max; }
int Control::SmallChange() const { return impl_->S().smallChange; }
int Control::LargeChange() const { return impl_->S().largeChange; }

double Control::ScaleWidth() const {
    if (hwnd_ != nullptr) {
        RECT client;
        GetClientRect(hwnd_, &client);
        return client.right * impl_->UnitsPerPixelX();
    }
    const int frame = impl_->S().border ? 2 * GetSystemMetrics(SM_CXBORDER) : 0;
    return (std::lround(Width() / impl_->ContainerUnitsPerPixelX()) - frame) * impl_->UnitsPerPixelX();
}

double Control::ScaleHeight() const {
    if (hwnd_ != nullptr) {
        RECT client;
        GetClientRect(hwnd_, &client);
        return client.bottom * impl_->UnitsPerPixelY();
    }
    const int frame = impl_->S().border ? 2 * GetSystemMetrics(SM_CYBORDER) : 0;
    return (std::lround(Height() / impl_->ContainerUnitsPerPixelY()) - frame) * impl_->UnitsPerPixelY();
}

void Control::SetScaleMode(ScaleMode m) {
    ControlProps& s = impl_->S();
    if (kind_ != TK_KIND_PICTURE_BOX || s.scale == m) return;
    // Children keep their places: their positions are converted to the new units.
    const double fx = m == ScaleMode::Pixels ? 1.0 / TwipsPerPixelX() : TwipsPerPixelX();
    const double fy = m == ScaleMode::Pixels ? 1.0 / TwipsPerPixelY() : TwipsPerPixelY();
    for (const auto& c : form_.controls_) {
        if (c->container_ != this) continue;
        ControlProps& cs = c->impl().S();
        cs.left *= fx;
        cs.top *= fy;
        cs.width *= fx;
        cs.height *= fy;
    }
    s.scale = m;
}

int Control::DrawWidth() const { return impl_->S().drawWidth; }

void Control::SetDrawWidth(int pixels) {
    impl_->S().drawWidth = std::max(1, pixels);
    impl_->PublishDrawWidth();
}

// ---------------------------------------------------------------------------------------------
// Events

void Control::Impl::RaiseClick() { Raise(self.Click); }

void Control::Impl::UserClick() {
    switch (self.kind_) {
    case TK_KIND_OPTION_BUTTON:
        // Clicking the selected option changes nothing but still raises Click.
        if (S().value != 0) {
            RaiseClick();
        } else {
            self.SetValue(1);
        }
        break;
    case TK_KIND_CHECK_BOX:
        self.SetValue(S().value != 0 ? 0 : 1);
        break;
    default:
        RaiseClick();
        break;
    }
}

void Control::Impl::OnCommand(int code) {
    switch (self.kind_) {
    case TK_KIND_COMMAND_BUTTON:
    case TK_KIND_CHECK_BOX:
        if (code == BN_CLICKED) UserClick();
        break;
    case TK_KIND_OPTION_BUTTON:
        if (code == BN_CLICKED) UserClick();
        if (code == BN_DOUBLECLICKED) Raise(self.DblClick);
        break;
    default:
        break;
    }
}

void Control::Impl::OnScroll(int request, int position) {
    ControlProps& s = S();
    const int low = std::min(s.min, s.max);
    const int high = std::max(s.min, s.max);
    int v = s.value;
    switch (request) {
    case SB_LINELEFT: v -= s.smallChange; break;
    case SB_LINERIGHT: v += s.smallChange; break;
    case SB_PAGELEFT: v -= s.largeChange; break;
    case SB_PAGERIGHT: v += s.largeChange; break;
    case SB_LEFT: v = low; break;
    case SB_RIGHT: v = high; break;
    case SB_THUMBPOSITION: v = position; break;
    case SB_THUMBTRACK: {
        // While the thumb is dragged the bar follows it; Scroll tells of the drag, Change of the value.
        v = std::clamp(position, low, high);
        const bool changed = v != s.value;
        s.value = v;
        if (self.hwnd_ != nullptr) SetScrollPos(self.hwnd_, SB_CTL, v, TRUE);
        PublishValue();
        Raise(self.Scroll);
        if (changed) Raise(self.Change);
        return;
    }
    default:
        return;
    }
    self.SetValue(std::clamp(v, low, high));
}

LRESULT Control::Impl::OnCtlColor(HDC dc, UINT, HWND) {
    switch (self.kind_) {
    case TK_KIND_LABEL:
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

int MouseShiftState(WPARAM keys) {
    // Shift and Ctrl as the mouse message carries them; it has no flag for Alt, which the key state
    // that goes with the message tells.
    int shift = 0;
    if (keys & MK_SHIFT) shift |= vbShiftMask;
    if (keys & MK_CONTROL) shift |= vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= vbAltMask;
    return shift;
}

bool Control::Impl::HandleMouse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    int button = 0;
    enum { Down, Up, Double, MoveOnly } what;
    switch (message) {
    case WM_LBUTTONDOWN: button = vbLeftButton; what = Down; break;
    case WM_RBUTTONDOWN: button = vbRightButton; what = Down; break;
    case WM_MBUTTONDOWN: button = vbMiddleButton; what = Down; break;
    case WM_LBUTTONDBLCLK: button = vbLeftButton; what = Double; break;
    case WM_RBUTTONDBLCLK: button = vbRightButton; what = Down; break;
    case WM_MBUTTONDBLCLK: button = vbMiddleButton; what = Down; break;
    case WM_LBUTTONUP: button = vbLeftButton; what = Up; break;
    case WM_RBUTTONUP: button = vbRightButton; what = Up; break;
    case WM_MBUTTONUP: button = vbMiddleButton; what = Up; break;
    case WM_MOUSEMOVE: what = MoveOnly; break;
    default: return false;
    }
    // BM_CLICK (a mnemonic, or a test tool) presses a button with made-up mouse messages.
    if (inButtonClick) return false;

    const bool ownsClicks = self.kind_ != TK_KIND_COMMAND_BUTTON && self.kind_ != TK_KIND_OPTION_BUTTON &&
                            self.kind_ != TK_KIND_CHECK_BOX && self.kind_ != TK_KIND_HSCROLLBAR;
    // A picture box reports its own scale; every other control its container's, from its own corner.
    const double ux = self.kind_ == TK_KIND_PICTURE_BOX ? UnitsPerPixelX() : ContainerUnitsPerPixelX();
    const double uy = self.kind_ == TK_KIND_PICTURE_BOX ? UnitsPerPixelY() : ContainerUnitsPerPixelY();
    const double x = GET_X_LPARAM(lParam) * ux;
    const double y = GET_Y_LPARAM(lParam) * uy;
    const int shift = MouseShiftState(wParam);

    switch (what) {
    case Down:
    case Double:
        if (ownsClicks) {
            if (buttonsDown == 0) SetCapture(hwnd);
            if (self.kind_ == TK_KIND_PICTURE_BOX && IsTabStop()) ::SetFocus(hwnd);
        }
        buttonsDown |= button;
        if (what == Double && ownsClicks) {
            doubleClicked = true;
            Raise(self.DblClick);
        } else {
            Raise(self.MouseDown, button, shift, x, y);
        }
        break;
    case Up: {
        const bool wasDown = (buttonsDown & button) != 0;
        buttonsDown &= ~button;
        if (ownsClicks && buttonsDown == 0 && GetCapture() == hwnd) ReleaseCapture();
        Raise(self.MouseUp, button, shift, x, y);
        if (ownsClicks && button == vbLeftButton && wasDown && IsWindow(hwnd)) {
            RECT client;
            GetClientRect(hwnd, &client);
            const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            // The release that ends a double click raises no second Click.
            if (!doubleClicked && PtInRect(&client, at)) RaiseClick();
        }
        if (button == vbLeftButton) doubleClicked = false;
        break;
    }
    case MoveOnly: {
        int held = 0;
        if (wParam & MK_LBUTTON) held |= vbLeftButton;
        if (wParam & MK_RBUTTON) held |= vbRightButton;
        if (wParam & MK_MBUTTON) held |= vbMiddleButton;
        Raise(self.MouseMove, held, shift, x, y);
        break;
    }
    }
    return true;
}

bool Control::Impl::HandleChar(WPARAM& wParam) {
    int key = static_cast<int>(static_cast<unsigned char>(wParam));
    Form& form = self.form_;
    if (form.impl().S().keyPreview) form.Form_KeyPress(key);
    if (key != 0) Raise(self.KeyPress, key);
    if (key == 0) return false;
    wParam = static_cast<WPARAM>(static_cast<unsigned char>(key));
    return true;
}

bool Control::Impl::IsTabStop() const {
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr || !IsWindowVisible(hwnd)) return false;
    for (HWND w = hwnd; w != nullptr && w != self.form_.hwnd_; w = GetParent(w))
        if (!IsWindowEnabled(w)) return false;
    switch (self.kind_) {
    case TK_KIND_COMMAND_BUTTON:
    case TK_KIND_CHECK_BOX:
    case TK_KIND_HSCROLLBAR:
        return true;
    case TK_KIND_PICTURE_BOX:
        // A picture box takes the focus only when it listens to keys.
        return static_cast<bool>(self.KeyPress);
    case TK_KIND_OPTION_BUTTON: {
        // An option group is one stop: its selected option, or its first when none is selected.
        const Control* first = nullptr;
        for (const auto& c : self.form_.controls_) {
            if (c->kind_ != TK_KIND_OPTION_BUTTON || c->container_ != self.container_) continue;
            if (c->impl().S().value != 0) return c.get() == &self;
            if (first == nullptr) first = c.get();
        }
        return first == &self;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Painting of what shows through

void Control::Impl::PaintContainerBackground(HDC dc) {
    HWND hwnd = self.hwnd_;
    RECT client;
    GetClientRect(hwnd, &client);
    Control* container = self.container_;
    if (container != nullptr && container->impl().memDC != nullptr) {
        POINT origin = {0, 0};
        MapWindowPoints(hwnd, container->hwnd_, &origin, 1);
        BitBlt(dc, 0, 0, client.right, client.bottom, container->impl().memDC, origin.x, origin.y, SRCCOPY);
        return;
    }
    const COLORREF back = container != nullptr ? container->impl().EffectiveBack() : self.form_.impl().EffectiveBack();
    FillRect(dc, &client, SharedBrush(back));
}

void Control::Impl::PaintLabel(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const ControlProps& s = S();
    RECT client;
    GetClientRect(hwnd, &client);
    if (s.opaque) {
        FillRect(dc, &client, SharedBrush(EffectiveBack()));
    } else {
        PaintContainerBackground(dc);
    }
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_WORDBREAK | DT_EXPANDTABS;
    format |= s.alignment == Alignment::Center ? DT_CENTER : s.alignment == Alignment::Right ? DT_RIGHT : DT_LEFT;
    if (IsWindowEnabled(hwnd)) {
        SetTextColor(dc, s.fore);
        DrawTextA(dc, s.caption.c_str(), -1, &client, format);
    } else {
        // Disabled text is engraved: a light copy one pixel down and right under the grey one.
        RECT shadow = client;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextA(dc, s.caption.c_str(), -1, &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, s.caption.c_str(), -1, &client, format);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

namespace {

// The default button's heavy border moves to a push button while that one has the focus, as in a dialog.
void ShowDefaultLook(Control& focused, bool gotFocus) {
    if (focused.Kind() != TK_KIND_COMMAND_BUTTON) return;
    Control* defaultButton = focused.Parent().impl().DefaultButton();
    if (defaultButton == &focused) return;
    SendMessageA(focused.hWnd(), BM_SETSTYLE, gotFocus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    if (defaultButton != nullptr && defaultButton->hWnd() != nullptr)
        SendMessageA(defaultButton->hWnd(), BM_SETSTYLE, gotFocus ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

LRESULT CALLBACK StandardControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* control = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    Control::Impl& impl = control->impl();
    const WNDPROC base = impl.baseProc;
    const TkKind kind = control->Kind();

    switch (message) {
    case BM_CLICK: {
        impl.inButtonClick = true;
        const LRESULT result = CallWindowProcA(base, hwnd, message, wParam, lParam);
        impl.inButtonClick = false;
        return result;
    }
    case WM_CHAR:
        if (!impl.HandleChar(wParam)) return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = CallWindowProcA(base, hwnd, message, wParam, lParam);
        ShowDefaultLook(*control, message == WM_SETFOCUS);
        return result;
    }
    case WM_ERASEBKGND:
        if (kind == TK_KIND_FRAME) {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, SharedBrush(impl.EffectiveBack()));
            return 1;
        }
        if (kind == TK_KIND_LABEL) return 1;
        break;
    case WM_PAINT:
        if (kind == TK_KIND_LABEL) {
            impl.PaintLabel(hwnd);
            return 0;
        }
        break;
    case WM_ENABLE:
        if (kind == TK_KIND_LABEL) InvalidateRect(hwnd, nullptr, TRUE);
        break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (kind == TK_KIND_FRAME) {
            LRESULT result = 0;
            if (ReflectToChild(control->Parent(), hwnd, message, wParam, lParam, result)) return result;
        }
        break;
    default:
        if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
            impl.HandleMouse(hwnd, message, wParam, lParam);
            // A handler may have unloaded the form, and with it this window.
            if (!IsWindow(hwnd)) return 0;
        }
        break;
    }
    return CallWindowProcA(base, hwnd, message, wParam, lParam);
}

}  // namespace

}  // namespace tk
