// GDI objects shared by every window of the program: one font per (face, size, bold) and one
// solid brush per colour, created on first use and kept for the life of the process.
#include <cmath>
#include <vector>

#include "toolkit/Internal.h"

namespace tk {

namespace {

constexpr double kPointsPerInch = 72.0;

// A program draws with a handful of fonts and colours, so a list searched in order is enough, and
// it keeps the tree code out of every program.
struct FontEntry {
    std::string face;
    long hundredths;
    bool bold;
    HFONT handle;
};
std::vector<FontEntry> fonts;

struct BrushEntry {
    COLORREF colour;
    HBRUSH handle;
};
std::vector<BrushEntry> brushes;

}  // namespace

COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

HFONT SharedFont(const Font& font) {
    // Sizes are kept in hundredths of a point so that 8.25 and 8.250001 share a font.
    const long hundredths = std::lround(font.size * 100);
    for (const FontEntry& entry : fonts) {
        if (entry.face == font.face && entry.hundredths == hundredths && entry.bold == font.bold) return entry.handle;
    }

    HDC screen = GetDC(nullptr);
    const int height = -static_cast<int>(std::lround(font.size * GetDeviceCaps(screen, LOGPIXELSY) / kPointsPerInch));
    ReleaseDC(nullptr, screen);
    HFONT handle = CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               font.face.c_str());
    fonts.push_back({font.face, hundredths, font.bold, handle});
    return handle;
}

HBRUSH SharedBrush(COLORREF colour) {
    for (const BrushEntry& entry : brushes) {
        if (entry.colour == colour) return entry.handle;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    brushes.push_back({colour, brush});
    return brush;
}

void SetNumberProperty(HWND hwnd, const char* name, ULONG_PTR value) {
    SetPropA(hwnd, name, reinterpret_cast<HANDLE>(value));
}

}  // namespace tk
