// Controls: the design builder, the state behind it and the run-time properties. Their windows are
// made in ControlWindow.cpp, their events raised in ControlInput.cpp.
#include <algorithm>
#include <cmath>

#include "toolkit/Internal.h"

namespace tk {

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

Control& Control::In(Control& container) {
    if (&container.form_ != &form_ || !container.impl().IsContainer())
        DesignFault(name_ + ": " + container.Name() + " is no frame or picture box of its form");
    container_ = &container;
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

Control& Control::OnClick(std::function<void()> handler) { Click = std::move(handler); return *this; }
Control& Control::OnDblClick(std::function<void()> handler) { DblClick = std::move(handler); return *this; }
Control& Control::OnChange(std::function<void()> handler) { Change = std::move(handler); return *this; }
Control& Control::OnScroll(std::function<void()> handler) { Scroll = std::move(handler); return *this; }
Control& Control::OnResize(std::function<void()> handler) { Resize = std::move(handler); return *this; }
Control& Control::OnMouseDown(MouseHandler handler) { MouseDown = std::move(handler); return *this; }
Control& Control::OnMouseMove(MouseHandler handler) { MouseMove = std::move(handler); return *this; }
Control& Control::OnMouseUp(MouseHandler handler) { MouseUp = std::move(handler); return *this; }
Control& Control::OnKeyPress(std::function<void(int&)> handler) { KeyPress = std::move(handler); return *this; }


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
    if (!impl_->Made() || !HasCaption(kind_)) return;
    if (hwnd_ != nullptr) SetWindowTextA(hwnd_, text.c_str());
    impl_->ApplyAutoSize();
    impl_->Repaint();
    impl_->PublishRecord();
}

bool Control::Visible() const { return impl_->S().visible; }

void Control::SetVisible(bool on) {
    impl_->S().visible = on;
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
    } else {
        impl_->Repaint();
        impl_->PublishRecord();
    }
}

bool Control::Enabled() const { return impl_->S().enabled; }

void Control::SetEnabled(bool on) {
    impl_->S().enabled = on;
    if (hwnd_ == nullptr) {
        impl_->Repaint();
        impl_->PublishRecord();
        return;
    }
    // A disabled window loses the focus to nothing, which would leave the keyboard dead.
    HWND focus = GetFocus();
    if (!on && focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus))) form_.impl().MoveFocus(false);
    EnableWindow(hwnd_, on ? TRUE : FALSE);
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
    if (hwnd_ == nullptr) return impl_->Repaint();
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
    if (hwnd_ == nullptr) return impl_->Repaint();
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

}  // namespace tk
