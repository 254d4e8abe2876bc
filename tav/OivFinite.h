// Whether values read from a file or computed from them are numbers. A binary file can hold
// infinities and NaN in any float field, and arithmetic on huge values a text file holds
// overflows to them; a node that draws, bounds or places by such values would spread them into
// bounding boxes and cameras.
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
