// Number conversions with the runtime's rounding rules.
#ifndef COMMON_NUMERIC_H
#define COMMON_NUMERIC_H

#include <cmath>
#include <cstdint>

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4): the rounding that the
// window placement, the calibration edges and the startup pause are defined with.
inline long RoundHalfEven(double v) {
    double r = std::floor(v);
    double diff = v - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return static_cast<long>(r);
}

// A 16-bit signed value as the runtime's Integer type keeps it (wraps like the hardware does).
inline int16_t ToInt16(long v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

#endif
