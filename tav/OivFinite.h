// Whether values are numbers. Coin's reader turns infinities and NaN in a file into zeros, but a
// host sets fields from its own data, an engine of a file computes them (a square root of a
// negative number), and arithmetic on huge values a file holds overflows to them; a node that
// draws, bounds or places by such values would spread them into bounding boxes and cameras.
#ifndef OIVWINTAV_OIVFINITE_H
#define OIVWINTAV_OIVFINITE_H

#include <Inventor/SbVec3f.h>

#include <cmath>

class OivFinite {
public:
    static bool isFinite(const SbVec3f& v) {
        return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
    }

    OivFinite() = delete;
};

#endif // OIVWINTAV_OIVFINITE_H
