// Picture boxes: drawing that survives repaints, kept in a memory bitmap behind the window, under
// the labels, shapes and images the box holds.
#include <algorithm>
#include <cmath>

#include "toolkit/Internal.h"

namespace tk {

namespace {

Control* ControlOfOwnWindow(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(created));
    }
    return reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, 0));
}

// Messages every own control handles alike: mouse events, which go to a windowless control under
// the mouse before the box, and forgetting the control at the end.
bool CommonMessage(Control& control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
        if (!control.Parent().impl().RouteMouse(hwnd, &control, message, wParam, lParam))
            control.impl().HandleMouse(hwnd, message, wParam, lParam);
        return true;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrA(hwnd, 0, 0);
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Picture boxes

void Control::Impl::CreateMemorySurface(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (memDC != nullptr && width == memWidth && height == memHeight) return;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

    HDC previous = memDC;
    const int previousWidth = memWidth;
    const int previousHeight = memHeight;
    memDC = dc;
    memWidth = width;
    memHeight = height;
    RenderBase();
    if (previous != nullptr) {
        // What was drawn stays where it was; new space gets the background.
        BitBlt(dc, 0, 0, std::min(width, previousWidth), std::min(height, previousHeight), previous, 0, 0, SRCCOPY);
        SelectObject(previous, memOldBitmap);
        DeleteDC(previous);
        DeleteObject(memBitmap);
    }
    memBitmap = bitmap;
    memOldBitmap = oldBitmap;
}

void Control::Impl::RenderBase() {
    if (memDC == nullptr) return;
    const RECT all = {0, 0, memWidth, memHeight};
    FillRect(memDC, &all, SharedBrush(EffectiveBack()));
    if (picture == nullptr) return;
    BITMAP info;
    GetObjectA(picture, sizeof info, &info);
    HDC source = CreateCompatibleDC(memDC);
    HGDIOBJ old = SelectObject(source, picture);
    BitBlt(memDC, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

int Control::Impl::ToPixelX(double x) const {
    return PixelUnits() ? static_cast<int>(std::lround(x)) : TwipsToPixelsX(x);
}

int Control::Impl::ToPixelY(double y) const {
    return PixelUnits() ? static_cast<int>(std::lround(y)) : TwipsToPixelsY(y);
}

void Control::Impl::InvalidateDrawn(int x1, int y1, int x2, int y2) {
    HWND hwnd = self.hwnd_;
    if (hwnd == nullptr) return;
    const int margin = S().drawWidth + 1;
    RECT drawn = {std::min(x1, x2) - margin, std::min(y1, y2) - margin, std::max(x1, x2) + margin,
                  std::max(y1, y2) + margin};
    InvalidateRect(hwnd, &drawn, FALSE);
}

void Control::Cls() {
    Impl& im = *impl_;
    im.currentX = im.currentY = 0;
    if (im.memDC == nullptr) return;
    im.RenderBase();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Control::PSet(double x, double y, COLORREF c) {
    Impl& im = *impl_;
    const int px = im.ToPixelX(x);
    const int py = im.ToPixelY(y);
    im.currentX = px;
    im.currentY = py;
    if (im.memDC == nullptr) return;
    const int width = im.S().drawWidth;
    if (width <= 1) {
        SetPixel(im.memDC, px, py, c);
    } else {
        // A wide pen sets a round dot of its width.
        Pen pen(im.memDC, 1, c);
        HGDIOBJ oldBrush = SelectObject(im.memDC, SharedBrush(c));
        const int from = width / 2;
        Ellipse(im.memDC, px - from, py - from, px - from + width, py - from + width);
        SelectObject(im.memDC, oldBrush);
    }
    im.InvalidateDrawn(px, py, px, py);
}

// Draws the segment from (ax, ay) to (bx, by) in pixels with the draw width, and makes its end
// the current position.
void Control::Impl::DrawSegment(int ax, int ay, int bx, int by, COLORREF c) {
    currentX = bx;
    currentY = by;
    if (memDC == nullptr) return;
    {
        Pen pen(memDC, S().drawWidth, c);
        MoveToEx(memDC, ax, ay, nullptr);
        ::LineTo(memDC, bx, by);
    }
    InvalidateDrawn(ax, ay, bx, by);
}

void Control::Line(double x1, double y1, double x2, double y2, COLORREF c) {
    Impl& im = *impl_;
    im.DrawSegment(im.ToPixelX(x1), im.ToPixelY(y1), im.ToPixelX(x2), im.ToPixelY(y2), c);
}

void Control::LineTo(double x, double y, COLORREF c) {
    Impl& im = *impl_;
    im.DrawSegment(static_cast<int>(im.currentX), static_cast<int>(im.currentY), im.ToPixelX(x), im.ToPixelY(y), c);
}

void Control::Box(double x1, double y1, double x2, double y2, COLORREF c) {
    Impl& im = *impl_;
    const int ax = im.ToPixelX(x1);
    const int ay = im.ToPixelY(y1);
    const int bx = im.ToPixelX(x2);
    const int by = im.ToPixelY(y2);
    im.currentX = bx;
    im.currentY = by;
    if (im.memDC == nullptr) return;
    {
        Pen pen(im.memDC, im.S().drawWidth, c);
        HGDIOBJ oldBrush = SelectObject(im.memDC, GetStockObject(NULL_BRUSH));
        // Both corners are part of the outline.
        Rectangle(im.memDC, std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + 1, std::max(ay, by) + 1);
        SelectObject(im.memDC, oldBrush);
    }
    im.InvalidateDrawn(ax, ay, bx, by);
}

bool Control::LoadPicture(const std::string& bitmapPath) {
    Impl& im = *impl_;
    if (kind_ != TK_KIND_PICTURE_BOX) return false;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, bitmapPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (bitmap == nullptr) return false;
    if (im.picture != nullptr) DeleteObject(im.picture);
    im.picture = bitmap;
    ControlProps& s = im.S();
    if (s.autoSize) {
        BITMAP info;
        GetObjectA(bitmap, sizeof info, &info);
        const int frame = s.border ? 2 * GetSystemMetrics(SM_CXBORDER) : 0;
        s.width = (info.bmWidth + frame) * im.ContainerUnitsPerPixelX();
        s.height = (info.bmHeight + frame) * im.ContainerUnitsPerPixelY();
        im.ApplyPlacement();
    }
    // A new picture is a new background: what was drawn before goes.
    im.currentX = im.currentY = 0;
    im.RenderBase();
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
    return true;
}

LRESULT CALLBACK PictureWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* control = ControlOfOwnWindow(hwnd, message, lParam);
    if (control == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    Control::Impl& im = control->impl();
    LRESULT reflected = 0;
    if (ReflectToChild(control->Parent(), hwnd, message, wParam, lParam, reflected)) return reflected;
    if (CommonMessage(*control, hwnd, message, wParam, lParam)) return 0;

    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (im.memDC != nullptr) {
            const RECT& r = ps.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, im.memDC, r.left, r.top, SRCCOPY);
        }
        control->Parent().impl().PaintWindowless(dc, control, ps.rcPaint);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SIZE:
        // Until the control knows its window, the surface is made by the creation itself.
        if (control->hWnd() == hwnd) {
            im.CreateMemorySurface(LOWORD(lParam), HIWORD(lParam));
            if (control->Parent().impl().ready) {
                im.resizeRaised = true;
                Raise(control->Resize);
            }
        }
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CHAR:
        im.HandleChar(wParam);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace tk
