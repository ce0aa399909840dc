// GDI objects shared by every window of the program: one font per (face, size, bold) and one
// solid brush per colour, created on first use and kept for the life of the process.
#include <cmath>
#include <map>
#include <tuple>

#include "toolkit/Internal.h"

namespace tk {

namespace {

constexpr double kPointsPerInch = 72.0;

}  // namespace

COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

HFONT SharedFont(const Font& font) {
    using Key = std::tuple<std::string, long, bool>;
    static std::map<Key, HFONT> fonts;
    // Sizes are kept in hundredths of a point so that 8.25 and 8.250001 share a font.
    const Key key{font.face, std::lround(font.size * 100), font.bold};
    auto found = fonts.find(key);
    if (found != fonts.end()) return found->second;

    HDC screen = GetDC(nullptr);
    const int height = -static_cast<int>(std::lround(font.size * GetDeviceCaps(screen, LOGPIXELSY) / kPointsPerInch));
    ReleaseDC(nullptr, screen);
    HFONT handle = CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               font.face.c_str());
    fonts.emplace(key, handle);
    return handle;
}

HBRUSH SharedBrush(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto found = brushes.find(colour);
    if (found != brushes.end()) return found->second;
    HBRUSH brush = CreateSolidBrush(colour);
    brushes.emplace(colour, brush);
    return brush;
}

void SetNumberProperty(HWND hwnd, const char* name, ULONG_PTR value) {
    SetPropA(hwnd, name, reinterpret_cast<HANDLE>(value));
}

}  // namespace tk
