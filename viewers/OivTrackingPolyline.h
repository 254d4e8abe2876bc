// The line sets a curve viewer tracks along, and the points of one of their polylines.
//
// Only nodes of exactly the classes SoLineSet and SoIndexedLineSet are taken: a derived class may
// give its fields another meaning. Polyline n of an SoLineSet starts after the vertices of the
// first n entries of numVertices and has as many as entry n says; -1 there takes the rest of the
// vertices. Polyline n of an SoIndexedLineSet is the run of coordIndex entries after the n-th -1
// (or from the start for polyline 0) up to the next -1 or the end. The coordinates are the
// vertices of the line set's vertexProperty when it has some, otherwise those of the last
// SoCoordinate3 that a search of the given scope finds.
#ifndef OIVWINTAV_OIVTRACKINGPOLYLINE_H
#define OIVWINTAV_OIVTRACKINGPOLYLINE_H

#include <Inventor/SbVec3f.h>

#include <vector>

class SoMFVec3f;
class SoNode;
class SoPath;

class OivTrackingPolyline {
public:
    // Whether `node` is exactly an SoLineSet or an SoIndexedLineSet.
    static bool isTrackable(const SoNode* node);

    // The last SoLineSet under `root` or, without one, the last SoIndexedLineSet (derived classes
    // found too); null when there is neither.
    static SoNode* findLineSet(SoNode* root);

    // Polyline `lineIndex` of `lineSet`, with the SoCoordinate3 (if needed) searched in `scope`.
    // False, with `points` empty, when the node is not trackable, has no coordinates, has no such
    // polyline, or names a vertex outside its coordinates.
    static bool extract(SoNode* lineSet, int lineIndex, SoPath* scope,
                        std::vector<SbVec3f>& points);
    static bool extract(SoNode* lineSet, int lineIndex, SoNode* scope,
                        std::vector<SbVec3f>& points);

    OivTrackingPolyline() = delete;

private:
    template <class Scope> static const SoMFVec3f* findCoordinates(SoNode* lineSet, Scope* scope);
    static bool extractFrom(SoNode* lineSet, int lineIndex, const SoMFVec3f* coordinates,
                            std::vector<SbVec3f>& points);
    static bool extractLines(SoNode* lineSet, int lineIndex, const SoMFVec3f& coordinates,
                             std::vector<SbVec3f>& points);
    static bool extractIndexedLines(SoNode* lineSet, int lineIndex, const SoMFVec3f& coordinates,
                                    std::vector<SbVec3f>& points);
};

#endif // OIVWINTAV_OIVTRACKINGPOLYLINE_H
