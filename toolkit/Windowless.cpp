// Labels, shapes and images have no window of their own, as in the runtime this mirrors: their
// container (the form, a frame or a picture box) paints them over its own background and drawing
// and hands them the mouse messages that fall on them. A window each made up most of what a form's
// start cost beyond a bare window's. Tools find them in a table the form publishes (automation.h).
#include <windowsx.h>

#include <cctype>
#include <string>

#include "toolkit/Internal.h"

namespace tk {

void Control::Impl::PaintLabel(HDC dc, RECT r) {
    const ControlProps& s = S();
    if (s.border) {
        FrameRect(dc, &r, SharedBrush(GetSysColor(COLOR_WINDOWFRAME)));
        InflateRect(&r, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
    }
    // A transparent label leaves what its container painted beneath it.
    if (s.opaque) FillRect(dc, &r, SharedBrush(EffectiveBack()));
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_WORDBREAK | DT_EXPANDTABS;
    format |= s.alignment == Alignment::Center ? DT_CENTER : s.alignment == Alignment::Right ? DT_RIGHT : DT_LEFT;
    if (s.enabled) {
        SetTextColor(dc, s.fore);
        DrawTextA(dc, s.caption.c_str(), -1, &r, format);
    } else {
        // Disabled text is engraved: a light copy one pixel down and right under the grey one, kept
        // inside the label, whose place is all that is painted again when it changes.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextA(dc, s.caption.c_str(), -1, &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, s.caption.c_str(), -1, &r, format);
        RestoreDC(dc, saved);
    }
    SelectObject(dc, oldFont);
}

void Control::Impl::PaintWindowless(HDC dc) {
    const RECT r = painted;
    switch (self.kind_) {
    case TK_KIND_LABEL:
        PaintLabel(dc, r);
        break;
    case TK_KIND_SHAPE: {
        Pen pen(dc, 1, S().fore);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, oldBrush);
        break;
    }
    case TK_KIND_IMAGE:
        if (icon != nullptr) DrawIconEx(dc, r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// The form's side

void Form::Impl::OpenTable() {
    const std::string name =
        TK_WINDOWLESS_TABLE + std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(self.hwnd_)));
    // Without a table the form works as before; only tools lose sight of its labels.
    tableMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TkWindowlessTable),
                                      name.c_str());
    // A mapping of that name made by someone else may be smaller than the table: never write into it.
    if (tableMapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(tableMapping);
        tableMapping = nullptr;
    }
    if (tableMapping == nullptr) return;
    table = static_cast<TkWindowlessTable*>(MapViewOfFile(tableMapping, FILE_MAP_WRITE, 0, 0, 0));
}

void Form::Impl::CloseTable() {
    if (table != nullptr) UnmapViewOfFile(table);
    if (tableMapping != nullptr) CloseHandle(tableMapping);
    table = nullptr;
    tableMapping = nullptr;
    windowlessCount = 0;
    mouseOwner = nullptr;
    lastPressed = nullptr;
}

void Form::Impl::PaintWindowless(HDC dc, const Control* container, const RECT& area) {
    for (const bool shapes : {true, false}) {
        for (const auto& c : self.controls_) {
            Control::Impl& ci = c->impl();
            if (ci.slot < 0 || c->Container() != container || (c->Kind() == TK_KIND_SHAPE) != shapes ||
                !ci.S().visible)
                continue;
            RECT overlap;
            if (IntersectRect(&overlap, &ci.painted, &area)) ci.PaintWindowless(dc);
        }
    }
}

namespace {

// Whether the caption marks this key with '&' ("&&" is a plain ampersand).
bool MarksKey(const std::string& caption, WPARAM key) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(static_cast<int>(key & 0xFF));
    }
    return false;
}

}  // namespace

bool Form::Impl::LabelAccessKey(WPARAM key) {
    const auto& controls = self.controls_;
    for (size_t i = 0; i < controls.size(); ++i) {
        Control& label = *controls[i];
        if (label.Kind() != TK_KIND_LABEL || label.impl().slot < 0 || !label.Visible() || !label.Enabled() ||
            !MarksKey(label.Caption(), key))
            continue;
        for (size_t next = i + 1; next < controls.size(); ++next) {
            if (controls[next]->impl().IsTabStop()) {
                ::SetFocus(controls[next]->hWnd());
                return true;
            }
        }
        return false;
    }
    return false;
}

Control* Form::Impl::WindowlessAt(const Control* container, POINT at) const {
    // The topmost label or image; a shape is decoration and takes no mouse.
    for (auto c = self.controls_.rbegin(); c != self.controls_.rend(); ++c) {
        const Control::Impl& ci = (*c)->impl();
        if (ci.slot >= 0 && (*c)->Container() == container && (*c)->Kind() != TK_KIND_SHAPE && (*c)->Visible() &&
            (*c)->Enabled() && PtInRect(&ci.painted, at))
            return c->get();
    }
    return nullptr;
}

bool Form::Impl::RouteMouse(HWND window, Control* container, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_MOUSEFIRST || message > WM_MBUTTONDBLCLK) return false;
    // A handler that ran a loop of its own (a message box, another form) may have had the release
    // and the capture taken from it: the control holds the mouse no longer.
    if (mouseOwner != nullptr && GetCapture() != window) {
        mouseOwner->impl().buttonsDown = 0;
        mouseOwner = nullptr;
    }
    const bool press = message != WM_MOUSEMOVE && message != WM_LBUTTONUP && message != WM_RBUTTONUP &&
                       message != WM_MBUTTONUP;
    const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Control* target = mouseOwner != nullptr && mouseOwner->Container() == container ? mouseOwner : nullptr;
    // A picture box that was pressed itself keeps the mouse until its release, over its labels too.
    if (target == nullptr && container != nullptr && container->impl().buttonsDown != 0) return false;
    if (target == nullptr) target = WindowlessAt(container, at);
    if (target == nullptr) {
        if (press) lastPressed = nullptr;
        return false;
    }
    // The second press of a double click on another control than the first is a press of its own.
    if (message == WM_LBUTTONDBLCLK && target != lastPressed) message = WM_LBUTTONDOWN;
    if (press) {
        lastPressed = target;
        mouseOwner = target;
    }
    Control::Impl& ti = target->impl();
    const POINT corner = {ti.painted.left, ti.painted.top};
    ti.HandleMouse(window, message, wParam, MAKELPARAM(at.x - corner.x, at.y - corner.y));
    // A handler may have unloaded the form, which forgets who held the mouse.
    if (self.hwnd_ != nullptr && mouseOwner == target && ti.buttonsDown == 0) mouseOwner = nullptr;
    return true;
}

}  // namespace tk
