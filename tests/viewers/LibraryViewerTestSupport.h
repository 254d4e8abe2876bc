// Scenes and viewer subclasses shared by the tests of the library's examiner and plane viewers.
#ifndef OIVWINTAV_TESTS_LIBRARYVIEWERTESTSUPPORT_H
#define OIVWINTAV_TESTS_LIBRARYVIEWERTESTSUPPORT_H

#include "viewers/OivWinExaminerViewer.h"
#include "viewers/OivWinPlaneViewer.h"

#include <Inventor/SoType.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <vector>

namespace libviewertest {

constexpr int kWidth = 300;
constexpr int kHeight = 200;
const POINT kCentre{kWidth / 2, kHeight / 2};

// A camera of `cameraType` at (0, 0, 10) looking down -Z, a separator with a 2-unit cube at the
// origin (named "Main3DRoot" when `named`) and, with `overlay`, a 40-unit cube at (60, 0, 0)
// outside it. The caller holds a reference.
SoSeparator* makeScene(SoType cameraType, bool named, bool overlay = true);
// The first camera in `scene`.
SoCamera* cameraOf(SoSeparator* scene);

// Whether two cameras sit, look and frame alike (height or height angle included).
::testing::AssertionResult sameView(const SoCamera& actual, const SoCamera& expected);

// The height (orthographic) or height angle (perspective) of `camera`.
float heightOf(const SoCamera& camera);

// A library viewer whose protected parts the tests reach; it records the camera height after
// every seek step.
template <class Viewer> class Probe : public Viewer {
public:
    explicit Probe(HWND parent) : Viewer(parent) {}

    std::vector<float> heightsAfterSeekSteps;

protected:
    void interpolateSeekAnimation(float t) override {
        Viewer::interpolateSeekAnimation(t);
        if (this->getCamera())
            heightsAfterSeekSteps.push_back(heightOf(*this->getCamera()));
    }
};

// The SDK viewer a library viewer derives from, with seek mode reachable.
template <class SdkViewer> class SdkProbe : public SdkViewer {
public:
    explicit SdkProbe(HWND parent) : SdkViewer(parent) {}
    using SdkViewer::setSeekMode;
};

} // namespace libviewertest

#endif // OIVWINTAV_TESTS_LIBRARYVIEWERTESTSUPPORT_H
