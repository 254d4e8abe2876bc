#include "tav/OivObjectSurface.h"

#include <cmath>

namespace {

bool isFiniteMatrix(const SbMatrix& matrix) {
    const SbMat& m = matrix.getValue();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            if (!std::isfinite(m[row][column]))
                return false;
    return true;
}

} // namespace

bool OivObjectSurface::acceptsMatrix(const SbMatrix& model) {
    const SbMat& m = model.getValue();
    const bool affine = m[0][3] == 0.0f && m[1][3] == 0.0f && m[2][3] == 0.0f && m[3][3] == 1.0f;
    return affine && isFiniteMatrix(model) && model.det3() != 0.0f &&
           isFiniteMatrix(model.inverse());
}

OivObjectSurface::OivObjectSurface(const SbMatrix& model, const SbVec3f* coords)
    : m_Coords(coords) {
    setModel(model);
}

void OivObjectSurface::setModel(const SbMatrix& model) {
    m_Inverse = model.inverse();
    m_NormalMatrix = m_Inverse.transpose();
}

bool OivObjectSurface::intersect(const OivRay& ray, float minDistance, float& nearest,
                                 OivRay::Hit& hit) const {
    // The direction keeps the length the inverse gives it: distances along the object ray are
    // those along the world ray.
    SbVec3f origin, direction;
    m_Inverse.multVecMatrix(ray.getOrigin(), origin);
    m_Inverse.multDirMatrix(ray.getDirection(), direction);
    Candidate best;
    if (!findNearest(OivRay(origin, direction), minDistance, nearest, best))
        return false;
    hit.distance = nearest;
    hit.point = ray.getOrigin() + ray.getDirection() * nearest;
    const SbVec3f& p0 = m_Coords[best.coordinates[0]];
    const SbVec3f face =
        OivRay::cross(m_Coords[best.coordinates[1]] - p0, m_Coords[best.coordinates[2]] - p0);
    SbVec3f worldNormal, worldFace;
    m_NormalMatrix.multDirMatrix(objectNormal(best), worldNormal);
    m_NormalMatrix.multDirMatrix(face, worldFace);
    hit.normal = OivRay::unitNormal(worldNormal, worldFace);
    return true;
}
