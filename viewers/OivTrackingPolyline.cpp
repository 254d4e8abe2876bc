#include "viewers/OivTrackingPolyline.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedLineSet.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoVertexProperty.h>

namespace {

// The value of numVertices that stands for the rest of the vertices.
constexpr int kRestOfVertices = -1;
// The coordIndex value that ends a polyline.
constexpr int kEndOfPolyline = -1;

template <class Scope> SoNode* findLast(SoType type, Scope* scope) {
    SoSearchAction search;
    search.setType(type);
    search.setInterest(SoSearchAction::LAST);
    search.apply(scope);
    return search.getPath() ? search.getPath()->getTail() : nullptr;
}

} // namespace

bool OivTrackingPolyline::isTrackable(const SoNode* node) {
    return node && (node->getTypeId() == SoLineSet::getClassTypeId() ||
                    node->getTypeId() == SoIndexedLineSet::getClassTypeId());
}

SoNode* OivTrackingPolyline::findLineSet(SoNode* root) {
    if (!root)
        return nullptr;
    if (SoNode* lines = findLast(SoLineSet::getClassTypeId(), root))
        return lines;
    return findLast(SoIndexedLineSet::getClassTypeId(), root);
}

template <class Scope>
const SoMFVec3f* OivTrackingPolyline::findCoordinates(SoNode* lineSet, Scope* scope) {
    // Vertices of the line set's own property node are what it draws; one that only carries
    // colours or normals leaves the coordinates to the graph, as it does when drawn.
    SoNode* property = static_cast<SoVertexShape*>(lineSet)->vertexProperty.getValue();
    if (property && property->isOfType(SoVertexProperty::getClassTypeId()) &&
        static_cast<SoVertexProperty*>(property)->vertex.getNum() > 0)
        return &static_cast<SoVertexProperty*>(property)->vertex;
    if (!scope)
        return nullptr;
    SoNode* coordinates = findLast(SoCoordinate3::getClassTypeId(), scope);
    return coordinates ? &static_cast<SoCoordinate3*>(coordinates)->point : nullptr;
}

bool OivTrackingPolyline::extract(SoNode* lineSet, int lineIndex, SoPath* scope,
                                  std::vector<SbVec3f>& points) {
    points.clear();
    return isTrackable(lineSet) &&
           extractFrom(lineSet, lineIndex, findCoordinates(lineSet, scope), points);
}

bool OivTrackingPolyline::extract(SoNode* lineSet, int lineIndex, SoNode* scope,
                                  std::vector<SbVec3f>& points) {
    points.clear();
    return isTrackable(lineSet) &&
           extractFrom(lineSet, lineIndex, findCoordinates(lineSet, scope), points);
}

bool OivTrackingPolyline::extractFrom(SoNode* lineSet, int lineIndex, const SoMFVec3f* coordinates,
                                      std::vector<SbVec3f>& points) {
    if (!coordinates || lineIndex < 0)
        return false;
    const bool found = lineSet->getTypeId() == SoLineSet::getClassTypeId()
                           ? extractLines(lineSet, lineIndex, *coordinates, points)
                           : extractIndexedLines(lineSet, lineIndex, *coordinates, points);
    if (!found || points.empty()) {
        points.clear();
        return false;
    }
    return true;
}

bool OivTrackingPolyline::extractLines(SoNode* lineSet, int lineIndex, const SoMFVec3f& coordinates,
                                       std::vector<SbVec3f>& points) {
    const SoMFInt32& numVertices = static_cast<SoLineSet*>(lineSet)->numVertices;
    if (lineIndex >= numVertices.getNum())
        return false;
    const int available = coordinates.getNum();
    long start = 0;
    for (int line = 0; line < lineIndex; ++line) {
        const int count = numVertices[line];
        start += count == kRestOfVertices ? available - start : count;
    }
    const int wanted = numVertices[lineIndex];
    const long count = wanted == kRestOfVertices ? available - start : wanted;
    // Counts from a file can be anything: never read outside the coordinates.
    if (start < 0 || count < 0 || start + count > available)
        return false;
    const SbVec3f* values = coordinates.getValues(0);
    points.assign(values + start, values + start + count);
    return true;
}

bool OivTrackingPolyline::extractIndexedLines(SoNode* lineSet, int lineIndex,
                                              const SoMFVec3f& coordinates,
                                              std::vector<SbVec3f>& points) {
    const SoMFInt32& coordIndex = static_cast<SoIndexedLineSet*>(lineSet)->coordIndex;
    const int numIndices = coordIndex.getNum();
    int entry = 0;
    for (int ends = 0; ends < lineIndex && entry < numIndices; ++entry)
        if (coordIndex[entry] == kEndOfPolyline)
            ++ends;
    const int available = coordinates.getNum();
    for (; entry < numIndices && coordIndex[entry] != kEndOfPolyline; ++entry) {
        const int index = coordIndex[entry];
        if (index < 0 || index >= available)
            return false;
        points.push_back(coordinates[index]);
    }
    return true;
}
