// Twips and pixels: the one place where the runtime converts between them, by the display's real
// resolution (15 twips a pixel at 96 DPI).
#include <cmath>

#include "toolkit/tk.h"

namespace tk {

namespace {

constexpr double kTwipsPerInch = 1440.0;

struct DisplayResolution {
    double twipsPerPixelX;
    double twipsPerPixelY;
};

const DisplayResolution& Resolution() {
    static const DisplayResolution resolution = [] {
        HDC screen = GetDC(nullptr);
        const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return DisplayResolution{kTwipsPerInch / (dpiX > 0 ? dpiX : 96), kTwipsPerInch / (dpiY > 0 ? dpiY : 96)};
    }();
    return resolution;
}

}  // namespace

double TwipsPerPixelX() { return Resolution().twipsPerPixelX; }
double TwipsPerPixelY() { return Resolution().twipsPerPixelY; }

int TwipsToPixelsX(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelX())); }
int TwipsToPixelsY(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixelY())); }

double PixelsToTwipsX(int pixels) { return pixels * TwipsPerPixelX(); }
double PixelsToTwipsY(int pixels) { return pixels * TwipsPerPixelY(); }

}  // namespace tk
