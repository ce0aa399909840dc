// Controls' events: what a user's click, scroll, mouse and keys raise, and the procedure of the
// standard controls that the runtime subclasses.
#include <windowsx.h>

#include <algorithm>

#include "toolkit/Internal.h"

namespace tk {

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

int MouseShiftState(WPARAM keys) {
    // Shift and Ctrl as the mouse message carries them; it has no flag for Alt, which the key state
    // that goes with the message tells.
    int shift = 0;
    if (keys & MK_SHIFT) shift |= vbShiftMask;
    if (keys & MK_CONTROL) shift |= vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= vbAltMask;
    return shift;
}

namespace {

enum class MouseAction { Down, Up, Double, Move };

struct MouseMessage {
    UINT message;
    int button;
    MouseAction action;
};

// A double click of the right or middle button is one more press.
constexpr MouseMessage kMouseMessages[] = {
    {WM_LBUTTONDOWN, vbLeftButton, MouseAction::Down},     {WM_RBUTTONDOWN, vbRightButton, MouseAction::Down},
    {WM_MBUTTONDOWN, vbMiddleButton, MouseAction::Down},   {WM_LBUTTONDBLCLK, vbLeftButton, MouseAction::Double},
    {WM_RBUTTONDBLCLK, vbRightButton, MouseAction::Down},  {WM_MBUTTONDBLCLK, vbMiddleButton, MouseAction::Down},
    {WM_LBUTTONUP, vbLeftButton, MouseAction::Up},         {WM_RBUTTONUP, vbRightButton, MouseAction::Up},
    {WM_MBUTTONUP, vbMiddleButton, MouseAction::Up},       {WM_MOUSEMOVE, 0, MouseAction::Move},
};

int HeldButtons(WPARAM keys) {
    int held = 0;
    if (keys & MK_LBUTTON) held |= vbLeftButton;
    if (keys & MK_RBUTTON) held |= vbRightButton;
    if (keys & MK_MBUTTON) held |= vbMiddleButton;
    return held;
}

}  // namespace

bool Control::Impl::OwnsClicks() const {
    return self.kind_ != TK_KIND_COMMAND_BUTTON && self.kind_ != TK_KIND_OPTION_BUTTON &&
           self.kind_ != TK_KIND_CHECK_BOX && self.kind_ != TK_KIND_HSCROLLBAR;
}

void Control::Impl::MouseButtonDown(HWND hwnd, int button, bool isDouble, const MousePoint& at) {
    if (OwnsClicks()) {
        if (buttonsDown == 0) SetCapture(hwnd);
        if (self.kind_ == TK_KIND_PICTURE_BOX && IsTabStop()) ::SetFocus(hwnd);
    }
    buttonsDown |= button;
    if (isDouble && OwnsClicks()) {
        doubleClicked = true;
        Raise(self.DblClick);
    } else {
        Raise(self.MouseDown, button, at.shift, at.x, at.y);
    }
}

void Control::Impl::MouseButtonUp(HWND hwnd, int button, const MousePoint& at) {
    const bool wasDown = (buttonsDown & button) != 0;
    buttonsDown &= ~button;
    if (OwnsClicks() && buttonsDown == 0 && GetCapture() == hwnd) ReleaseCapture();
    Raise(self.MouseUp, button, at.shift, at.x, at.y);
    if (OwnsClicks() && button == vbLeftButton && wasDown && IsWindow(hwnd)) {
        // A windowless control's window is its container's: the release counts within its own place.
        RECT own = {0, 0, painted.right - painted.left, painted.bottom - painted.top};
        if (slot < 0) GetClientRect(hwnd, &own);
        // The release that ends a double click raises no second Click.
        if (!doubleClicked && PtInRect(&own, at.pixel)) RaiseClick();
    }
    if (button == vbLeftButton) doubleClicked = false;
}

bool Control::Impl::HandleMouse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MouseMessage* m = std::find_if(std::begin(kMouseMessages), std::end(kMouseMessages),
                                         [message](const MouseMessage& mm) { return mm.message == message; });
    if (m == std::end(kMouseMessages)) return false;
    // BM_CLICK (a mnemonic, or a test tool) presses a button with made-up mouse messages.
    if (inButtonClick) return false;

    // A picture box reports its own scale; every other control its container's, from its own corner.
    const bool own = self.kind_ == TK_KIND_PICTURE_BOX;
    MousePoint at;
    at.pixel = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    at.x = at.pixel.x * (own ? UnitsPerPixelX() : ContainerUnitsPerPixelX());
    at.y = at.pixel.y * (own ? UnitsPerPixelY() : ContainerUnitsPerPixelY());
    at.shift = MouseShiftState(wParam);
    switch (m->action) {
    case MouseAction::Down:
    case MouseAction::Double:
        MouseButtonDown(hwnd, m->button, m->action == MouseAction::Double, at);
        break;
    case MouseAction::Up:
        MouseButtonUp(hwnd, m->button, at);
        break;
    case MouseAction::Move:
        Raise(self.MouseMove, HeldButtons(wParam), at.shift, at.x, at.y);
        break;
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

// The styles that give a window a non-client area to paint.
constexpr LONG kFrameStyles = WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL;
constexpr LONG kFrameExStyles = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;

}  // namespace

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
        break;
    case WM_NCPAINT:
        // Buttons and scroll bars have no frame: the system's own pass would only fetch a device
        // context to draw nothing, once for each control the form shows.
        if ((GetWindowLongA(hwnd, GWL_STYLE) & kFrameStyles) == 0 &&
            (GetWindowLongA(hwnd, GWL_EXSTYLE) & kFrameExStyles) == 0)
            return 0;
        break;
    case WM_NCHITTEST:
        if (kind == TK_KIND_FRAME) {
            // A group box lets the mouse through to its parent; over a label or image it holds, the
            // frame takes it and hands it on.
            POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd, &at);
            if (control->Parent().impl().WindowlessAt(control, at) != nullptr) return HTCLIENT;
        }
        break;
    case WM_PAINT:
        if (kind == TK_KIND_FRAME) {
            // The frame's own look, then the labels, shapes and images it holds.
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            CallWindowProcA(base, hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            control->Parent().impl().PaintWindowless(dc, control, ps.rcPaint);
            EndPaint(hwnd, &ps);
            return 0;
        }
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
            if (kind == TK_KIND_FRAME && control->Parent().impl().RouteMouse(hwnd, control, message, wParam, lParam))
                return 0;
            impl.HandleMouse(hwnd, message, wParam, lParam);
            // A handler may have unloaded the form, and with it this window.
            if (!IsWindow(hwnd)) return 0;
        }
        break;
    }
    return CallWindowProcA(base, hwnd, message, wParam, lParam);
}

}  // namespace tk
