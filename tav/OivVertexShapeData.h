// What Coin's primitive generation of a vertex shape reads, read the same way: the coordinates,
// and the normals its vertices are given, either the shape's own (a normal node or its vertex
// property) or those Coin generates for it and keeps in the shape's normal cache. While an
// instance lives, the state holds the shape's vertex property, as during Coin's own generation,
// and a normal cache that was read is read locked; both are undone when it goes.
//
// Reading a valid cache costs nothing; it stays valid across changes of transformations, lights
// and materials, so the first pick after such an edit does not generate normals either.
#ifndef OIVWINTAV_OIVVERTEXSHAPEDATA_H
#define OIVWINTAV_OIVVERTEXSHAPEDATA_H

#include <Inventor/SbVec3f.h>

#include <cstdint>

class SoAction;
class SoMFInt32;
class SoNormalCache;
class SoVertexShape;

class OivVertexShapeData {
public:
    // Reads the coordinates.
    OivVertexShapeData(SoAction* action, SoVertexShape* shape);
    ~OivVertexShapeData();
    OivVertexShapeData(const OivVertexShapeData&) = delete;
    OivVertexShapeData& operator=(const OivVertexShapeData&) = delete;

    // False for 4D coordinates, of which nothing else is read.
    bool is3D(void) const { return m_Is3D; }
    // Reads the normals of 3D coordinates; `normalIndex` is the shape's field of normal indices,
    // null for a shape without one. Without `mayGenerate` none are generated: for shapes whose
    // normal generation in Coin would read past the coordinates.
    void readNormals(const SoMFInt32* normalIndex, bool mayGenerate);

    const SbVec3f* coords = nullptr;
    int coordCount = 0;
    // Null when the shape has none and Coin generates none (with an OVERALL binding, say).
    const SbVec3f* normals = nullptr;
    int normalCount = 0;
    // The normal indices Coin's generation reads: the shape's own, or with generated normals the
    // cache's, which run beside the coordinate indices; null when neither has any.
    const int32_t* normalIndices = nullptr;
    int normalIndexCount = 0;
    // Whether the normals are generated ones, for which Coin adjusts the binding.
    bool normalsGenerated = false;
    // The shape's normal cache that holds generated normals and their indices, else null.
    SoNormalCache* normalCache = nullptr;

private:
    SoAction* m_Action;
    SoVertexShape* m_Shape;
    bool m_Pushed = false;
    bool m_Is3D = false;
    bool m_CacheLocked = false;
};

#endif // OIVWINTAV_OIVVERTEXSHAPEDATA_H
