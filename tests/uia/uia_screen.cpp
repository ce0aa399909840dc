// Screen capture of the virtual desktop, pixel reads and PNG files (GDI+).
#include "tests/uia/uia.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "tests/uia/uia_internal.h"

namespace uia {

using detail::Fail;
using detail::FailWin32;
using detail::Quote;

namespace {

constexpr char kShotsVariable[] = "QR_SHOTS";
// Wine copies a window's drawing to the X screen shortly after its thread goes idle.
constexpr DWORD kFlushDelay = 50;
constexpr char kShotsFolderName[] = "shots";
// GDI+'s PNG encoder, image/png.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// GDI+ for the rest of the test program's life.
void StartGdiplus() {
    static const bool started = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    if (!started) Fail("GDI+ did not start");
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], int(wide.size()))));
    if (!wide.empty()) wide.pop_back();
    return wide;
}

void MakeFolders(const std::string& path) {
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') continue;
        std::string prefix = path.substr(0, i);
        if (prefix.empty() || prefix.back() == ':') continue;
        if (!CreateDirectoryA(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            FailWin32("cannot create the folder " + Quote(prefix));
    }
}

// Wine maps the Unix root to drive Z:.
std::string FromUnixPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string dos = "Z:" + path;
    std::replace(dos.begin(), dos.end(), '/', '\\');
    return dos;
}

BOOL CALLBACK FindPending(HWND w, LPARAM found) {
    if (IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool PaintPending(HWND form) {
    if (GetUpdateRect(form, nullptr, FALSE)) return true;
    bool pending = false;
    EnumChildWindows(form, FindPending, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

}  // namespace

void WaitForPainted(HWND w, DWORD timeoutMs) {
    HWND form = FormOf(w);
    if (!form) form = w;
    std::string what = detail::Describe(form);
    Require([&] { return !PaintPending(form); }, what + " to be painted", timeoutMs);
    // The thread takes a sent message only between handlers, so once this returns the
    // last paint handler has finished.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        Fail("no answer from " + what + " after painting");
    Sleep(kFlushDelay);
}

COLORREF Image::ColorAt(int x, int y) const {
    uint32_t p = At(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Image CaptureRect(const RECT& screen) {
    Image image;
    image.width = screen.right - screen.left;
    image.height = screen.bottom - screen.top;
    if (image.width <= 0 || image.height <= 0) Fail("cannot capture an empty rectangle");

    HDC screenDc = GetDC(nullptr);
    if (!screenDc) FailWin32("no screen device context");
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.width;
    bi.bmiHeader.biHeight = -image.height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screenDc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memDc = CreateCompatibleDC(screenDc);
    bool ok = dib && memDc;
    if (ok) {
        HGDIOBJ old = SelectObject(memDc, dib);
        ok = BitBlt(memDc, 0, 0, image.width, image.height, screenDc, screen.left, screen.top,
                    SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        if (ok) {
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            image.pixels.assign(p, p + size_t(image.width) * size_t(image.height));
            for (uint32_t& px : image.pixels) px &= 0xFFFFFF;
        }
        SelectObject(memDc, old);
    }
    DWORD error = GetLastError();
    if (memDc) DeleteDC(memDc);
    if (dib) DeleteObject(dib);
    ReleaseDC(nullptr, screenDc);
    if (!ok) {
        SetLastError(error);
        FailWin32("cannot copy the screen");
    }
    return image;
}

Image CaptureScreen() {
    RECT all = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CaptureRect(all);
}

COLORREF ScreenPixel(int x, int y) {
    RECT one = {x, y, x + 1, y + 1};
    return CaptureRect(one).ColorAt(0, 0);
}

void WritePng(const std::string& path, const Image& image) {
    StartGdiplus();
    // 0x00RRGGBB in memory order is what GDI+ calls 32 bits per pixel RGB.
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpStatus status = Gdiplus::DllExports::GdipCreateBitmapFromScan0(
        image.width, image.height, image.width * 4, PixelFormat32bppRGB,
        reinterpret_cast<BYTE*>(const_cast<uint32_t*>(image.pixels.data())), &bitmap);
    if (status == Gdiplus::Ok) {
        status = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, Wide(path).c_str(), &kPngEncoder, nullptr);
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
    }
    if (status != Gdiplus::Ok) Fail("cannot write " + Quote(path) + ": GDI+ status " + std::to_string(int(status)));
}

Image ReadPng(const std::string& path) {
    StartGdiplus();
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(Wide(path).c_str(), &bitmap) != Gdiplus::Ok)
        Fail("cannot read the picture " + Quote(path));
    Image image;
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &height);
    image.width = int(width);
    image.height = int(height);
    image.pixels.resize(size_t(width) * height);
    Gdiplus::Rect all(0, 0, image.width, image.height);
    Gdiplus::BitmapData data = {};
    data.Width = width;
    data.Height = height;
    data.Stride = image.width * 4;
    data.PixelFormat = PixelFormat32bppRGB;
    data.Scan0 = image.pixels.data();
    const Gdiplus::GpStatus status = Gdiplus::DllExports::GdipBitmapLockBits(
        bitmap, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppRGB, &data);
    if (status == Gdiplus::Ok) Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    if (status != Gdiplus::Ok) Fail("cannot read the pixels of " + Quote(path));
    for (uint32_t& p : image.pixels) p &= 0xFFFFFF;
    return image;
}

std::string ShotsFolder() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(kShotsVariable, buffer, sizeof buffer);
    std::string folder;
    if (n > 0 && n < sizeof buffer) {
        folder = FromUnixPath(std::string(buffer, n));
    } else {
        std::string exe = ExeFolder();
        size_t slash = exe.find_last_of('\\');
        folder = (slash == std::string::npos ? exe : exe.substr(0, slash)) + "\\" +
                 kShotsFolderName;
    }
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    MakeFolders(folder);
    return folder;
}

std::string SaveScreenshot(const std::string& name) {
    std::string path = ShotsFolder() + "\\" + name + ".png";
    WritePng(path, CaptureScreen());
    return path;
}

}  // namespace uia
