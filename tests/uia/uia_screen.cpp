// Screen capture of the virtual desktop, pixel reads and PNG files.
#include "tests/uia/uia.h"

#include <algorithm>
#include <array>

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
constexpr size_t kStoredBlockMax = 65535;
constexpr uint32_t kAdlerModulus = 65521;
constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kPngColourTypeRgb = 2;
// zlib header: deflate with a 32 KB window, no preset dictionary, check bits for 0x7801.
constexpr uint8_t kZlibHeader[] = {0x78, 0x01};

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % kAdlerModulus;
        b = (b + a) % kAdlerModulus;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + typeAt, data.size() + 4));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out(std::begin(kZlibHeader), std::end(kZlibHeader));
    size_t at = 0;
    do {
        size_t n = std::min(kStoredBlockMax, raw.size() - at);
        bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(uint8_t(n));
        out.push_back(uint8_t(n >> 8));
        out.push_back(uint8_t(~n));
        out.push_back(uint8_t(~n >> 8));
        out.insert(out.end(), raw.begin() + long(at), raw.begin() + long(at + n));
        at += n;
    } while (at < raw.size());
    PutBigEndian(out, Adler32(raw));
    return out;
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

std::vector<uint8_t> EncodePng(const Image& image) {
    std::vector<uint8_t> raw;
    raw.reserve(size_t(image.height) * (size_t(image.width) * 3 + 1));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter type None
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.At(x, y);
            raw.push_back(uint8_t(p >> 16));
            raw.push_back(uint8_t(p >> 8));
            raw.push_back(uint8_t(p));
        }
    }

    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(image.width));
    PutBigEndian(header, uint32_t(image.height));
    header.push_back(8);  // bits per sample
    header.push_back(kPngColourTypeRgb);
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method
    header.push_back(0);  // no interlace

    std::vector<uint8_t> png(std::begin(kPngSignature), std::end(kPngSignature));
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(raw));
    PutChunk(png, "IEND", {});
    return png;
}

void WritePng(const std::string& path, const Image& image) {
    std::vector<uint8_t> png = EncodePng(image);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) FailWin32("cannot create " + Quote(path));
    DWORD written = 0;
    BOOL ok = WriteFile(f, png.data(), DWORD(png.size()), &written, nullptr);
    DWORD error = GetLastError();
    CloseHandle(f);
    if (!ok || written != png.size()) {
        SetLastError(error);
        FailWin32("cannot write " + Quote(path));
    }
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
