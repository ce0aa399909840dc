#include "tests/tour/TargetWindow.h"

#include <cmath>
#include <string>

#include "tests/uia/uia.h"

namespace {

constexpr char kClass[] = "QRTourTarget";
constexpr int kWidth = 440, kHeight = 300;
constexpr int kArm = 30;     // half the cross, pixels
constexpr int kRadius = 5;   // of a hit's dot

}  // namespace

// The cross a quarter of the screen in from the top left: an uncalibrated panel puts a touch
// there well off it (near the middle of the screen the raw and the screen scale nearly meet).
TargetWindow::TargetWindow()
    : TargetWindow(RECT{GetSystemMetrics(SM_CXSCREEN) / 4 - kWidth / 2, GetSystemMetrics(SM_CYSCREEN) / 4 - kHeight / 2,
                        GetSystemMetrics(SM_CXSCREEN) / 4 + kWidth / 2, GetSystemMetrics(SM_CYSCREEN) / 4 + kHeight / 2},
                   WS_POPUP | WS_CAPTION) {}

TargetWindow::TargetWindow(const RECT& area) : TargetWindow(area, WS_POPUP) {}

TargetWindow::TargetWindow(const RECT& area, DWORD style) : area_(area), style_(style) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, INFINITE);
    if (hwnd_ == nullptr) {
        thread_.join();
        throw uia::Error("the tour's target window cannot be made");
    }
}

TargetWindow::~TargetWindow() {
    PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(ready_);
}

void TargetWindow::Run() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    RECT frame = area_;
    AdjustWindowRectEx(&frame, style_, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, "Tap target", style_, frame.left, frame.top,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, this);
    SetEvent(ready_);
    if (hwnd_ == nullptr) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    UnregisterClassA(kClass, wc.hInstance);
}

POINT TargetWindow::Aim() const {
    POINT centre{Width() / 2, Height() / 2};
    ClientToScreen(hwnd_, &centre);
    return centre;
}

std::vector<TargetWindow::Hit> TargetWindow::Hits() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return hits_;
}

void TargetWindow::Clear() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hits_.clear();
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TargetWindow::Show() {
    ShowWindow(hwnd_, SW_SHOWNA);
    uia::WaitForPainted(hwnd_);
}

void TargetWindow::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void TargetWindow::Paint(HDC dc) {
    const int cx = Width() / 2, cy = Height() / 2;
    HPEN cross = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, cross);
    MoveToEx(dc, cx - kArm, cy, nullptr);
    LineTo(dc, cx + kArm + 1, cy);
    MoveToEx(dc, cx, cy - kArm, nullptr);
    LineTo(dc, cx, cy + kArm + 1);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, cx - kArm / 2, cy - kArm / 2, cx + kArm / 2 + 1, cy + kArm / 2 + 1);
    SelectObject(dc, old);
    DeleteObject(cross);

    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    std::string text = "Tap the centre of the cross.";
    for (const Hit& hit : Hits()) {
        POINT at = hit.at;
        ScreenToClient(hwnd_, &at);
        const COLORREF colour = hit.button == Button::Left ? RGB(220, 0, 0) : RGB(0, 0, 220);
        HBRUSH dot = CreateSolidBrush(colour);
        HGDIOBJ oldBrush = SelectObject(dc, dot);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, at.x - kRadius, at.y - kRadius, at.x + kRadius + 1, at.y + kRadius + 1);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(dot);
        const long off = std::lround(std::hypot(double(at.x - cx), double(at.y - cy)));
        text = std::string(hit.button == Button::Left ? "Left" : "Right") + "-button click " + std::to_string(off) +
               (off == 1 ? " pixel" : " pixels") + " from the cross.";
    }
    RECT line{0, Height() - 40, Width(), Height() - 12};
    DrawTextA(dc, text.c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

LRESULT CALLBACK TargetWindow::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(w, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(w, &at);
        {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->hits_.push_back({at, msg == WM_LBUTTONDOWN ? Button::Left : Button::Right});
        }
        InvalidateRect(w, nullptr, TRUE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        self->Paint(dc);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}
