// The normals read from a shape's normal cache are those Coin gives the shape's triangles: for
// each corner of each face, smooth across the crease angle or not, and again after an edit of
// the coordinates.
#include "tav/OivNormalCacheAccess.h"

#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/caches/SoNormalCache.h>
#include <Inventor/details/SoFaceDetail.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShapeHints.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    const char* name;
    float creaseAngle;
    bool editCoordinates; // one corner moved after a first read
};

const Case kCases[] = {{"smooth", 1.2f, false}, {"creased", 0.3f, false}, {"edited", 1.2f, true}};

// Two rows of quads over a fold, each corner at its own point.
const SbVec3f kPoints[] = {{0, 0, 0},    {1, 0, 0.3f}, {2, 0, 0},    {3, 0, 0.9f},
                           {0, 1, 0.2f}, {1, 1, 0},    {2, 1, 0.5f}, {3, 1, 0}};
const int32_t kFaces[] = {0, 1, 5, 4, -1, 1, 2, 6, 5, -1, 2, 3, 7, 6, -1};

struct Read {
    SoIndexedFaceSet* faces;
    const SbVec3f* points;
    std::vector<SbVec3f> cornerNormals; // beside each entry of the coordinate index
};

SoCallbackAction::Response readCache(void* data, SoCallbackAction* action, const SoNode* node) {
    Read& read = *static_cast<Read*>(data);
    SoVertexShape* shape = const_cast<SoVertexShape*>(static_cast<const SoVertexShape*>(node));
    const SoNormalCache* cache = OivNormalCacheAccess::readLock(shape, action->getState());
    const int32_t* indices = cache->getIndices();
    const int count = indices ? cache->getNumIndices() : 0;
    EXPECT_EQ(count, read.faces->coordIndex.getNum());
    read.cornerNormals.assign(size_t(count), SbVec3f(0, 0, 0));
    for (int i = 0; i < count; ++i)
        if (indices[i] >= 0 && indices[i] < cache->getNum())
            read.cornerNormals[size_t(i)] = cache->getNormals()[indices[i]];
    OivNormalCacheAccess::readUnlock(shape);
    return SoCallbackAction::CONTINUE;
}

// Each vertex of each triangle Coin generates against the cache's normal of that face's corner.
void expectCornerNormal(void* data, SoCallbackAction*, const SoPrimitiveVertex* a,
                        const SoPrimitiveVertex* b, const SoPrimitiveVertex* c) {
    const Read& read = *static_cast<const Read*>(data);
    for (const SoPrimitiveVertex* vertex : {a, b, c}) {
        const int face = static_cast<const SoFaceDetail*>(vertex->getDetail())->getFaceIndex();
        int position = 5 * face;
        while (position < 5 * face + 3 && read.points[kFaces[position]] != vertex->getPoint())
            ++position;
        ASSERT_LT(size_t(position), read.cornerNormals.size());
        EXPECT_LT((read.cornerNormals[size_t(position)] - vertex->getNormal()).length(), 1.0e-6f)
            << "face " << face << " corner " << position;
    }
}

class NormalCacheAccessTest : public testing::TestWithParam<Case> {};

TEST_P(NormalCacheAccessTest, NormalsAreThoseOfCoinsTriangles) {
    const Case& c = GetParam();
    SoSeparator* root = new SoSeparator;
    root->ref();
    SoShapeHints* hints = new SoShapeHints;
    hints->creaseAngle = c.creaseAngle;
    SoCoordinate3* coordinates = new SoCoordinate3;
    coordinates->point.setValues(0, 8, kPoints);
    Read read{new SoIndexedFaceSet, coordinates->point.getValues(0), {}};
    read.faces->coordIndex.setValues(0, 15, kFaces);
    root->addChild(hints);
    root->addChild(coordinates);
    root->addChild(read.faces);
    SoCallbackAction reader;
    reader.addPreCallback(SoIndexedFaceSet::getClassTypeId(), readCache, &read);
    reader.apply(root);
    if (c.editCoordinates) {
        coordinates->point.set1Value(5, SbVec3f(1, 1, 0.8f));
        reader.apply(root);
        read.points = coordinates->point.getValues(0);
    }
    SoCallbackAction generator;
    generator.addTriangleCallback(SoIndexedFaceSet::getClassTypeId(), expectCornerNormal, &read);
    generator.apply(root);
    root->unref();
}

INSTANTIATE_TEST_SUITE_P(Shapes, NormalCacheAccessTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

} // namespace
