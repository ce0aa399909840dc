#include "tests/tour/TouchCalibration.h"

#include <string>

namespace {

const char* const kCorners[] = {"TOP-LEFT", "TOP-RIGHT", "DOWN-RIGHT", "DOWN-LEFT"};
constexpr int kCrossMargin = 16;  // half a calibration cross, pixels
constexpr COLORREF kRed = RGB(255, 0, 0);

// The calibration's title is red; its large font can take a moment in a fresh bed.
bool HasRed(HWND w) {
    const uia::Image shot = uia::CaptureRect(uia::ScreenRect(w));
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.ColorAt(x, y) == kRed) return true;
    return false;
}

}  // namespace

void CalibrateByTouch(uia::XPointer& pointer, HWND main, DWORD pid, const std::function<void(int)>& atCross) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    uia::PostClick(uia::Control(main, "cmdCalibration"));
    HWND calibration = uia::WaitForForm("frmCalibration", uia::kDefaultTimeout, pid);
    HWND title = uia::WaitForControl(calibration, "lblTitle");
    auto shows = [&](const char* name, const std::string& text) {
        HWND w = uia::FindControl(calibration, name);
        return w != nullptr && uia::Visible(w) && uia::Text(w) == text;
    };
    for (int corner = 0; corner < 4; ++corner) {
        const bool left = corner == 0 || corner == 3, top = corner < 2;
        const POINT centre{left ? kCrossMargin - 1 : width - kCrossMargin - 2,
                           top ? kCrossMargin - 1 : height - kCrossMargin - 2};
        const std::string name = kCorners[corner];
        uia::Require([&] { return shows("lblMesg2", "show on the " + name + " of the screen"); }, "the prompt for " + name);
        // The window draws while it waits for the touch, outside its message loop: its pixels tell.
        const int frameLeft = left ? 0 : width - 2 * kCrossMargin - 2;
        uia::Require([&] {
            return uia::ScreenPixel(centre.x, centre.y) == RGB(0, 0, 0) &&
                   uia::ScreenPixel(frameLeft, centre.y - kCrossMargin / 2) == kRed && HasRed(title);
        }, "the cross at " + name + " and the title");
        atCross(corner);
        pointer.Press(centre);
        uia::Require([&] { return shows("lblMesg3", "PLEASE LIFT OFF TO NEXT STEP!"); }, "the point of " + name + " taken");
        pointer.Release();
    }
}
