// The simulated touch panel. Its raw points are deliberately offset and scaled against the screen,
// as a real controller's are, so that calibration visibly matters; and a driver maps a raw point
// back to the screen with the calibration edges it holds.
#ifndef SIMULATOR_PANELMAPPING_H
#define SIMULATOR_PANELMAPPING_H

#include <windows.h>

#include <cstdint>

struct RawPoint {
    int16_t x;
    int16_t y;
};

// Raw X at the left and right screen edge, raw Y at the top and bottom one.
struct PanelEdges {
    int left, top, right, bottom;
};

class PanelMapping {
public:
    PanelMapping(int screenWidth, int screenHeight) : width_(screenWidth), height_(screenHeight) {}

    // Where a screen point lies on the panel. On a portrait screen (taller than wide) the panel
    // lies turned: its raw X runs down the screen and its raw Y from right to left.
    RawPoint ToRaw(POINT screen) const;
    // Where a driver holding these edges puts a raw point, kept on the screen.
    POINT ToScreen(const PanelEdges& edges, RawPoint raw) const;

private:
    int width_;
    int height_;
};

#endif
