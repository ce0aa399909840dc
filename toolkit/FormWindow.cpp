// Forms' windows: the window procedure, which hands each message to its handler (or to the control
// it concerns), keyboard navigation between the controls, and docking of picture boxes.
#include <windowsx.h>

#include <algorithm>

#include "toolkit/Internal.h"

namespace tk {

namespace {

bool Usable(const Control* c) {
    return c != nullptr && c->hWnd() != nullptr && IsWindowVisible(c->hWnd()) && IsWindowEnabled(c->hWnd());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Controls of the form

Control* Form::Impl::ControlByHwnd(HWND hwnd) const {
    if (hwnd == nullptr) return nullptr;
    for (const auto& c : self.controls_)
        if (c->hWnd() == hwnd) return c.get();
    return nullptr;
}

Control* Form::Impl::DefaultButton() const {
    for (const auto& c : self.controls_)
        if (c->Kind() == TK_KIND_COMMAND_BUTTON && c->impl().S().isDefault) return c.get();
    return nullptr;
}

Control* Form::Impl::CancelButton() const {
    for (const auto& c : self.controls_)
        if (c->Kind() == TK_KIND_COMMAND_BUTTON && c->impl().S().isCancel) return c.get();
    return nullptr;
}

std::vector<Control*> Form::Impl::TabSequence() const {
    std::vector<Control*> sequence = tabOrder;
    for (const auto& c : self.controls_)
        if (std::find(sequence.begin(), sequence.end(), c.get()) == sequence.end()) sequence.push_back(c.get());
    return sequence;
}

void Form::Impl::MoveFocus(bool backwards) {
    const std::vector<Control*> sequence = TabSequence();
    const int count = static_cast<int>(sequence.size());
    if (count == 0) return;
    Control* current = self.ActiveControl();
    const auto found = std::find(sequence.begin(), sequence.end(), current);
    int position = found == sequence.end() ? (backwards ? count : -1) : static_cast<int>(found - sequence.begin());
    for (int step = 1; step <= count; ++step) {
        const int i = ((position + (backwards ? -step : step)) % count + count) % count;
        if (sequence[i] != current && sequence[i]->impl().IsTabStop()) {
            SetFocus(sequence[i]->hWnd());
            return;
        }
    }
}

void Form::Impl::FocusFirst() {
    for (Control* c : TabSequence()) {
        if (c->impl().IsTabStop()) {
            SetFocus(c->hWnd());
            return;
        }
    }
    SetFocus(self.hwnd_);
}

void Form::Impl::StepOptionGroup(Control& focus, bool backwards) {
    // Arrows move the selection through the options of the group.
    std::vector<Control*> group;
    for (const auto& c : self.controls_)
        if (c->Kind() == TK_KIND_OPTION_BUTTON && c->Container() == focus.Container()) group.push_back(c.get());
    const int count = static_cast<int>(group.size());
    const int position = static_cast<int>(std::find(group.begin(), group.end(), &focus) - group.begin());
    for (int step = 1; step < count; ++step) {
        Control* next = group[((position + (backwards ? -step : step)) % count + count) % count];
        if (!Usable(next)) continue;
        SetFocus(next->hWnd());
        next->impl().UserClick();
        return;
    }
}

bool Form::Impl::HandleNavigationKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const LRESULT code =
        SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(const_cast<MSG*>(&msg)));
    if (code & DLGC_WANTMESSAGE) return false;
    const bool withCtrlOrAlt = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    Control* focus = ControlByHwnd(msg.hwnd);

    switch (msg.wParam) {
    case VK_TAB:
        if (withCtrlOrAlt || (code & DLGC_WANTTAB)) return false;
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_RETURN: {
        if (focus != nullptr && focus->Kind() == TK_KIND_COMMAND_BUTTON) {
            focus->impl().RaiseClick();
            return true;
        }
        Control* defaultButton = DefaultButton();
        if (!Usable(defaultButton)) return false;
        defaultButton->impl().RaiseClick();
        return true;
    }
    case VK_ESCAPE: {
        Control* cancelButton = CancelButton();
        if (!Usable(cancelButton)) return false;
        cancelButton->impl().RaiseClick();
        return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if ((code & DLGC_WANTARROWS) || focus == nullptr) return false;
        const bool backwards = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
        if (focus->Kind() == TK_KIND_OPTION_BUTTON) {
            StepOptionGroup(*focus, backwards);
            return true;
        }
        if (focus->Kind() == TK_KIND_COMMAND_BUTTON || focus->Kind() == TK_KIND_CHECK_BOX) {
            MoveFocus(backwards);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Sizes

void Form::Impl::DockLayout() {
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    RECT client;
    GetClientRect(hwnd, &client);
    const double width = PixelsToTwipsX(client.right);
    double top = 0;
    double bottom = PixelsToTwipsY(client.bottom);
    for (auto& c : self.controls_) {
        if (c->Kind() != TK_KIND_PICTURE_BOX || c->Container() != nullptr) continue;
        ControlProps& s = c->impl().S();
        if (s.dock == tk::Align::Top) {
            c->Move(0, top, width, s.height);
            top += s.height;
        } else if (s.dock == tk::Align::Bottom) {
            bottom -= s.height;
            c->Move(0, bottom, width, s.height);
        }
    }
}

void Form::Impl::RaiseFirstResize() {
    if (resized || !ready) return;
    resized = true;
    // The docked boxes were laid out before Load ended, when no event could be raised yet.
    for (auto& c : self.controls_) {
        Control::Impl& ci = c->impl();
        if (c->Kind() == TK_KIND_PICTURE_BOX && !ci.resizeRaised) {
            ci.resizeRaised = true;
            Raise(c->Resize);
        }
    }
    self.Form_Resize();
}

// ---------------------------------------------------------------------------------------------
// Window procedure

namespace {

Form& FormOf(HWND hwnd) { return *reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, 0)); }

void OnActivate(HWND hwnd, UINT state, HWND, BOOL minimized) {
    Form& form = FormOf(hwnd);
    Form::Impl& im = form.impl();
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus)) im.lastFocus = focus;
        return;
    }
    if (!minimized) {
        if (im.lastFocus != nullptr && IsWindow(im.lastFocus) && IsChild(hwnd, im.lastFocus) &&
            IsWindowVisible(im.lastFocus) && IsWindowEnabled(im.lastFocus)) {
            SetFocus(im.lastFocus);
        } else {
            im.FocusFirst();
        }
    }
    // Activate belongs to a change of the application's active form, not to the return of the
    // activation after a message box of the form's own closes.
    if (ActiveForm() != &form) {
        SetActiveForm(&form);
        PostMessageA(hwnd, kMsgActivate, 0, 0);
    }
}

BOOL OnEraseBkgnd(HWND hwnd, HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, SharedBrush(FormOf(hwnd).impl().EffectiveBack()));
    return TRUE;
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    Form::Impl& im = FormOf(hwnd).impl();
    im.PaintLines(dc);
    im.PaintWindowless(dc, nullptr, ps.rcPaint);
    EndPaint(hwnd, &ps);
}

void OnSize(HWND hwnd, UINT state, int, int) {
    if (state == SIZE_MINIMIZED) return;
    Form& form = FormOf(hwnd);
    Form::Impl& im = form.impl();
    im.DockLayout();
    if (im.ready && !im.resized) {
        im.RaiseFirstResize();
    } else if (im.ready) {
        form.Form_Resize();
    }
}

void OnGetMinMaxInfo(HWND hwnd, MINMAXINFO* info) {
    Form::Impl& im = FormOf(hwnd).impl();
    if (im.FullScreen()) {
        // Maximized without a border is the whole screen, task bar included.
        info->ptMaxPosition = POINT{0, 0};
        info->ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return;
    }
    FORWARD_WM_GETMINMAXINFO(hwnd, info, DefWindowProcA);
    // The user cannot size a fixed form, so the size it is given holds, however small: the
    // system's smallest captioned window would not let a client area be one button wide.
    if (im.S().border != BorderStyle::Sizable) info->ptMinTrackSize = POINT{1, 1};
}

void MouseDownOnForm(HWND hwnd, int button, int x, int y, UINT keys) {
    FormOf(hwnd).Form_MouseDown(button, MouseShiftState(keys), PixelsToTwipsX(x), PixelsToTwipsY(y));
}
void OnLButtonDown(HWND hwnd, BOOL, int x, int y, UINT keys) { MouseDownOnForm(hwnd, vbLeftButton, x, y, keys); }
void OnRButtonDown(HWND hwnd, BOOL, int x, int y, UINT keys) { MouseDownOnForm(hwnd, vbRightButton, x, y, keys); }
void OnMButtonDown(HWND hwnd, BOOL, int x, int y, UINT keys) { MouseDownOnForm(hwnd, vbMiddleButton, x, y, keys); }

BOOL OnSetCursor(HWND hwnd, HWND cursorWindow, UINT hitTest, UINT message) {
    if (hitTest == HTCLIENT && ApplyPointerCursor(PointerFor(FormOf(hwnd)))) return TRUE;
    return FORWARD_WM_SETCURSOR(hwnd, cursorWindow, hitTest, message, DefWindowProcA);
}

void OnClose(HWND hwnd) { FormOf(hwnd).Unload(); }

void OnChar(HWND hwnd, TCHAR ch, int) {
    int key = static_cast<int>(static_cast<unsigned char>(ch));
    FormOf(hwnd).Form_KeyPress(key);
}

// Sent by the dialog manager for a frame's access key: focus to the control after the frame.
HWND OnNextDlgCtl(HWND hwnd, HWND target, BOOL isWindow) {
    if (LOWORD(static_cast<DWORD>(isWindow)) != 0) {
        SetFocus(target);
    } else {
        FormOf(hwnd).impl().MoveFocus(target != nullptr);
    }
    return nullptr;
}

void OnNcDestroy(HWND hwnd) {
    Form::Impl& im = FormOf(hwnd).impl();
    SetWindowLongPtrA(hwnd, 0, 0);
    im.Destroyed();
    FORWARD_WM_NCDESTROY(hwnd, DefWindowProcA);
}

}  // namespace

LRESULT CALLBACK Form::Impl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        Form* created = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(created));
        created->hwnd_ = hwnd;
        // The icons go on before the window system's own window is made, which then takes them
        // along once instead of being told of each in turn.
        Form::Impl& im = created->impl();
        if (im.bigIcon != nullptr) SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(im.bigIcon));
        if (im.smallIcon != nullptr) SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(im.smallIcon));
    }
    Form* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, 0));
    if (form == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT reflected = 0;
    if (ReflectToChild(*form, hwnd, message, wParam, lParam, reflected)) return reflected;
    if (form->impl().RouteMouse(hwnd, nullptr, message, wParam, lParam)) return 0;

    switch (message) {
        HANDLE_MSG(hwnd, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(hwnd, WM_ERASEBKGND, OnEraseBkgnd);
        HANDLE_MSG(hwnd, WM_PAINT, OnPaint);
        HANDLE_MSG(hwnd, WM_SIZE, OnSize);
        HANDLE_MSG(hwnd, WM_GETMINMAXINFO, OnGetMinMaxInfo);
        HANDLE_MSG(hwnd, WM_LBUTTONDOWN, OnLButtonDown);
        HANDLE_MSG(hwnd, WM_RBUTTONDOWN, OnRButtonDown);
        HANDLE_MSG(hwnd, WM_MBUTTONDOWN, OnMButtonDown);
        HANDLE_MSG(hwnd, WM_SETCURSOR, OnSetCursor);
        HANDLE_MSG(hwnd, WM_CLOSE, OnClose);
        HANDLE_MSG(hwnd, WM_CHAR, OnChar);
        HANDLE_MSG(hwnd, WM_NEXTDLGCTL, OnNextDlgCtl);
        HANDLE_MSG(hwnd, WM_NCDESTROY, OnNcDestroy);
    case kMsgActivate:
        if (IsWindowVisible(hwnd)) form->Form_Activate();
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace tk
