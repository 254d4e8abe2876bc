// The sticky cursor's index of a scene's triangles answers a ray as Coin's ray pick does (the
// same point, distance and surface normal) for the large surfaces it searches in their own object
// space, under every kind of transformation, when the same shape stands twice in the scene, when
// a surface is moved and the index built again, and when Coin makes the shape's normals again
// for another view of it while the index still searches them.
#include "tav/OivTriangleIndex.h"

#include <Inventor/SbRotation.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoIndexedFaceSet.h>
#include <Inventor/nodes/SoMatrixTransform.h>
#include <Inventor/nodes/SoNormal.h>
#include <Inventor/nodes/SoNormalBinding.h>
#include <Inventor/nodes/SoQuadMesh.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShapeHints.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Vertices a side of the terrain: 3 042 triangles, enough to be a surface of its own.
constexpr int kGrid = 40;
constexpr float kHalf = 2.0f;
const SbViewportRegion kViewport(100, 100);

SbVec3f terrainPoint(int row, int column) {
    const float x = kHalf * (2.0f * column / (kGrid - 1) - 1.0f);
    const float y = kHalf * (2.0f * row / (kGrid - 1) - 1.0f);
    return SbVec3f(x, y, 0.3f * std::sin(2.0f * x) * std::cos(1.5f * y));
}

enum class Form { QuadMesh, FlatTriangles, SmoothQuads, OwnNormals };

// The terrain as a quad mesh, or as an indexed face set of flat triangles, of quads with smooth
// generated normals, or of triangles with normals of their own indexed like the coordinates.
SoSeparator* terrain(Form form) {
    std::vector<SbVec3f> points, normals;
    for (int row = 0; row < kGrid; ++row)
        for (int column = 0; column < kGrid; ++column) {
            points.push_back(terrainPoint(row, column));
            normals.emplace_back(0.2f * std::sin(float(row)), 0.2f * std::cos(float(column)), 1);
        }
    SoSeparator* group = new SoSeparator;
    if (form == Form::QuadMesh) {
        SoVertexProperty* vertices = new SoVertexProperty;
        vertices->vertex.setValues(0, int(points.size()), points.data());
        SoQuadMesh* mesh = new SoQuadMesh;
        mesh->vertexProperty = vertices;
        mesh->verticesPerRow = kGrid;
        mesh->verticesPerColumn = kGrid;
        group->addChild(mesh);
        return group;
    }
    SoShapeHints* hints = new SoShapeHints;
    hints->creaseAngle = form == Form::SmoothQuads ? 1.2f : 0.0f;
    group->addChild(hints);
    SoCoordinate3* coordinates = new SoCoordinate3;
    coordinates->point.setValues(0, int(points.size()), points.data());
    group->addChild(coordinates);
    std::vector<int32_t> index;
    for (int row = 0; row + 1 < kGrid; ++row)
        for (int column = 0; column + 1 < kGrid; ++column) {
            const int32_t a = row * kGrid + column, b = a + 1, c = a + kGrid, d = c + 1;
            if (form == Form::SmoothQuads)
                index.insert(index.end(), {a, b, d, c, -1});
            else
                index.insert(index.end(), {a, b, c, -1, b, d, c, -1});
        }
    SoIndexedFaceSet* faces = new SoIndexedFaceSet;
    faces->coordIndex.setValues(0, int(index.size()), index.data());
    if (form == Form::OwnNormals) {
        SoNormal* given = new SoNormal;
        given->vector.setValues(0, int(normals.size()), normals.data());
        group->addChild(given);
        SoNormalBinding* binding = new SoNormalBinding;
        binding->value = SoNormalBinding::PER_VERTEX_INDEXED;
        group->addChild(binding);
    }
    group->addChild(faces);
    return group;
}

SoMatrixTransform* placed(const SbMatrix& matrix) {
    SoMatrixTransform* transform = new SoMatrixTransform;
    transform->matrix = matrix;
    return transform;
}

SbMatrix turnedScaledMoved(const SbVec3f& scale, bool shear) {
    SbMatrix turn, size, move, skew = SbMatrix::identity();
    turn.setRotate(SbRotation(SbVec3f(1.0f, 2.0f, 0.5f), 0.6f));
    size.setScale(scale);
    move.setTranslate(SbVec3f(0.7f, -0.4f, 1.1f));
    if (shear)
        skew[1][0] = 0.5f; // x follows y
    return skew * size * turn * move;
}

struct Ray {
    SbVec3f origin, direction;
};

// Rays from above at a slant, from straight above and from the side, through a grid of points
// of the terrain's plane, all taken through `matrix` to where the terrain is. Through the middle
// of the terrain they pass where two triangles meet: either may be hit, and with flat faces
// their normals differ, which `offset` avoids.
std::vector<Ray> raysThrough(const SbMatrix& matrix, float offset) {
    const SbVec3f directions[] = {{0.3f, 0.4f, -1.0f}, {0.0f, 0.0f, -1.0f}, {-1.0f, 0.2f, -0.3f}};
    std::vector<Ray> rays;
    for (const SbVec3f& along : directions)
        for (int i = 1; i < 10; ++i)
            for (int j = 1; j < 10; ++j) {
                const SbVec3f target(kHalf * (0.2f * i - 1.0f) + offset,
                                     kHalf * (0.2f * j - 1.0f) + 2.0f * offset, 0.0f);
                SbVec3f start, end;
                matrix.multVecMatrix(target - along * 4.0f, start);
                matrix.multVecMatrix(target, end);
                SbVec3f direction = end - start;
                direction.normalize();
                rays.push_back({start, direction});
            }
    return rays;
}

// Every ray meets the index where it meets Coin's pick of `root`, with the normal Coin's object
// normal turns to (up to its side). Returns the number of hits.
int expectLikeTheRayPick(SoNode* root, const OivTriangleIndex& index, const std::vector<Ray>& rays,
                         const std::string& name) {
    int hits = 0;
    for (const Ray& ray : rays) {
        SoRayPickAction pick(kViewport);
        pick.setRay(ray.origin, ray.direction);
        pick.apply(root);
        const SoPickedPoint* picked = pick.getPickedPoint();
        OivTriangleIndex::Hit hit;
        const bool found =
            index.intersect(SbLine(ray.origin, ray.origin + ray.direction), 0.0f, 1.0e6f, hit);
        EXPECT_EQ(found, picked != nullptr) << name;
        if (!found || !picked)
            continue;
        ++hits;
        SbVec3f normal;
        picked->getObjectToWorld().inverse().transpose().multDirMatrix(picked->getObjectNormal(),
                                                                       normal);
        normal.normalize();
        EXPECT_LT((hit.point - picked->getPoint()).length(), 1.0e-3f) << name;
        EXPECT_NEAR(hit.distance, (picked->getPoint() - ray.origin).length(), 1.0e-3f) << name;
        EXPECT_GT(std::fabs(hit.normal.dot(normal)), 1.0f - 1.0e-3f) << name;
    }
    return hits;
}

const Form kForms[] = {Form::QuadMesh, Form::FlatTriangles, Form::SmoothQuads, Form::OwnNormals};

// Off the edges for flat faces; through them for smooth ones, which a ray must not slip between.
float offsetFor(Form form) {
    return form == Form::FlatTriangles ? 0.013f : 0.0f;
}

TEST(TriangleIndex, LargeSurfacesUnderEveryKindOfTransformation) {
    struct Placement {
        const char* name;
        SbMatrix matrix;
    };
    const Placement placements[] = {
        {"as they are", SbMatrix::identity()},
        {"turned and moved", turnedScaledMoved(SbVec3f(1.0f, 1.0f, 1.0f), false)},
        {"heights exaggerated", turnedScaledMoved(SbVec3f(1.0f, 1.0f, 4.0f), false)},
        {"sheared", turnedScaledMoved(SbVec3f(0.5f, 2.0f, 1.5f), true)},
        {"mirrored", turnedScaledMoved(SbVec3f(-1.0f, 1.0f, 1.0f), false)},
    };
    for (Form form : kForms)
        for (const Placement& placement : placements) {
            const std::string name =
                std::string(placement.name) + ", form " + std::to_string(int(form));
            SoSeparator* root = new SoSeparator;
            root->ref();
            root->addChild(placed(placement.matrix));
            root->addChild(terrain(form));
            OivTriangleIndex index;
            index.build(root, kViewport, nullptr);
            EXPECT_EQ(index.getTriangleCount(), 2u * (kGrid - 1) * (kGrid - 1)) << name;
            EXPECT_LE(index.getMemoryUsage(), 12u * index.getTriangleCount()) << name;
            EXPECT_GT(expectLikeTheRayPick(root, index,
                                           raysThrough(placement.matrix, offsetFor(form)), name),
                      150)
                << name;
            root->unref();
        }
}

// Faces that use a few of many coordinates (a coordinate node shared with other shapes): the
// coordinates they do not use neither widen nor spoil their surface.
TEST(TriangleIndex, FacesAmongCoordinatesTheyDoNotUse) {
    const struct {
        const char* name;
        SbVec3f unused;
    } cases[] = {{"far away", SbVec3f(1.0e4f, -1.0e4f, 1.0e4f)}, {"no number", SbVec3f(NAN, 0, 0)}};
    for (const auto& row : cases) {
        SoSeparator* root = new SoSeparator;
        root->ref();
        SoSeparator* surface = terrain(Form::SmoothQuads);
        root->addChild(surface);
        SoCoordinate3* coordinates = static_cast<SoCoordinate3*>(surface->getChild(1));
        const std::vector<SbVec3f> unused(50000, row.unused);
        coordinates->point.setValues(coordinates->point.getNum(), int(unused.size()),
                                     unused.data());
        OivTriangleIndex index;
        index.build(root, kViewport, nullptr);
        EXPECT_LE(index.getMemoryUsage(), 12u * index.getTriangleCount()) << row.name;
        EXPECT_GT(
            expectLikeTheRayPick(root, index, raysThrough(SbMatrix::identity(), 0.0f), row.name),
            150);
        root->unref();
    }
}

// One shape in two places: each place is searched, also after one of them moved and the index
// was built again (when the shape's surface is searched again rather than built again).
TEST(TriangleIndex, OneShapeInTwoPlacesAndMoved) {
    for (Form form : kForms) {
        const std::string name = "form " + std::to_string(int(form));
        SoSeparator* root = new SoSeparator;
        root->ref();
        SoSeparator* shape = terrain(form);
        SoTranslation* moves[2];
        for (int place = 0; place < 2; ++place) {
            SoSeparator* branch = new SoSeparator;
            moves[place] = new SoTranslation;
            moves[place]->translation.setValue(0.0f, 0.0f, place ? -3.0f : 0.0f);
            branch->addChild(moves[place]);
            branch->addChild(shape);
            root->addChild(branch);
        }
        OivTriangleIndex index;
        index.build(root, kViewport, nullptr);
        // The rays mirrored at the plane between the two: from beneath the lower one, upwards.
        SbMatrix flip, shift;
        flip.setScale(SbVec3f(1.0f, 1.0f, -1.0f));
        shift.setTranslate(SbVec3f(0.0f, 0.0f, -3.0f));
        const SbMatrix mirror = flip * shift;
        EXPECT_GT(expectLikeTheRayPick(root, index,
                                       raysThrough(SbMatrix::identity(), offsetFor(form)), name),
                  150);
        EXPECT_GT(expectLikeTheRayPick(root, index, raysThrough(mirror, offsetFor(form)),
                                       name + " below"),
                  150);
        moves[1]->translation.setValue(0.5f, 0.0f, -2.0f);
        index.build(root, kViewport, nullptr);
        EXPECT_GT(expectLikeTheRayPick(root, index, raysThrough(mirror, offsetFor(form)),
                                       name + " moved"),
                  100);
        root->unref();
    }
}

// The same faces seen elsewhere with another crease angle make Coin generate their normals
// again, in a new cache: the index keeps searching those of its own scene.
TEST(TriangleIndex, NormalsMadeAgainElsewhereAreNotThoseOfTheIndex) {
    SoSeparator* surface = terrain(Form::SmoothQuads);
    SoSeparator* root = new SoSeparator;
    root->ref();
    root->addChild(surface);
    OivTriangleIndex index;
    index.build(root, kViewport, nullptr);
    const std::vector<Ray> rays = raysThrough(SbMatrix::identity(), 0.0f);
    EXPECT_GT(expectLikeTheRayPick(root, index, rays, "smooth"), 150);

    SoSeparator* elsewhere = new SoSeparator;
    elsewhere->ref();
    SoShapeHints* sharp = new SoShapeHints;
    sharp->creaseAngle = 0.05f;
    elsewhere->addChild(sharp);
    for (int i = 1; i < surface->getNumChildren(); ++i)
        elsewhere->addChild(surface->getChild(i));
    SoRayPickAction pick(kViewport);
    pick.setRay(rays[0].origin, rays[0].direction);
    pick.apply(elsewhere);
    ASSERT_NE(pick.getPickedPoint(), nullptr);
    elsewhere->unref();
    // Coin's pick of the index's own scene makes the smooth normals once more.
    EXPECT_GT(expectLikeTheRayPick(root, index, rays, "after the other view"), 150);
    root->unref();
}

} // namespace
