#include "viewers/OivTrackingCurve.h"

#include "viewers/OivCurveResampler.h"

#include <Inventor/SbMatrix.h>

namespace {

// Resampling: the matrix form (picked shapes, long well paths) cuts finer than the plain form.
constexpr int kMatrixFormDivisions = 1000;
constexpr int kPlainFormDivisions = 100;
// Points the resampled buffer is first made for; a curve that needs more grows it.
constexpr int kMatrixFormCapacity = 50000;
constexpr int kPlainFormCapacity = 10000;

} // namespace

void OivTrackingCurve::set(const SbVec3f* points, int numPoints, const SbMatrix* matrix) {
    m_Defined = true;
    copyInput(points, numPoints, matrix);
    resample(points, numPoints, matrix);
}

void OivTrackingCurve::copyInput(const SbVec3f* points, int numPoints, const SbMatrix* matrix) {
    m_Input.assign(points, points + numPoints);
    if (matrix)
        for (SbVec3f& point : m_Input)
            matrix->multVecMatrix(SbVec3f(point), point);
}

void OivTrackingCurve::resample(const SbVec3f* points, int numPoints, const SbMatrix* matrix) {
    const OivCurveResampler resampler(points, numPoints,
                                      matrix ? kMatrixFormDivisions : kPlainFormDivisions);
    if (m_Resampled.capacity() == 0)
        m_Resampled.reserve(matrix ? kMatrixFormCapacity : kPlainFormCapacity);
    m_Resampled.resize(resampler.countPoints());
    m_Resampled.resize(resampler.resample(matrix, m_Resampled.data()));
    m_ResampledIndex.build(m_Resampled.data(), getNumResampledPoints());
}

void OivTrackingCurve::clear(void) {
    m_Defined = false;
    m_Input = std::vector<SbVec3f>();
    m_Resampled = std::vector<SbVec3f>();
    m_ResampledIndex.clear();
}

const SbVec3f* OivTrackingCurve::getResampledPoints(void) const {
    return m_Resampled.empty() ? nullptr : m_Resampled.data();
}

const SbVec3f* OivTrackingCurve::findNearest(const SbVec3f& query) const {
    const int nearest = m_ResampledIndex.findNearest(query);
    return nearest < 0 ? nullptr : &m_Resampled[nearest];
}
