#include "tav/OivPipe.h"

#include "tav/OivPipeGeometry.h"
#include "tav/OivTav.h"

#include <Inventor/SbBox3f.h>
#include <Inventor/SoPrimitiveVertex.h>

#include <cmath>

namespace {

constexpr float kDefaultRadius = 1.0f;
constexpr int kDefaultNumSides = 12;

// Sends the triangles of a pipe's surface to a shape's primitive callback, with normals and
// texture coordinates (s around the tube, t along it; the caps are mapped flat).
class PipeTriangles {
public:
    PipeTriangles(const OivPipeGeometry& geometry, SoPrimitiveVertex& vertex)
        : m_Geometry(geometry), m_Vertex(vertex) {}

    template <class Emit> void wall(Emit emit) const {
        const int sides = m_Geometry.getNumSides();
        const float length = m_Geometry.getLengthTo(m_Geometry.getNumRings() - 1);
        for (int s = 0; s + 1 < m_Geometry.getNumRings(); ++s) {
            const float t0 = m_Geometry.getLengthTo(s) / length;
            const float t1 = m_Geometry.getLengthTo(s + 1) / length;
            for (int k = 0; k < sides; ++k) {
                const int next = (k + 1) % sides;
                const float s0 = float(k) / float(sides), s1 = float(k + 1) / float(sides);
                const Corner a{s, k, s0, t0, m_Geometry.getSideNormal(s, k)};
                const Corner b{s, next, s1, t0, m_Geometry.getSideNormal(s, next)};
                const Corner c{s + 1, next, s1, t1, m_Geometry.getSideNormal(s, next)};
                const Corner d{s + 1, k, s0, t1, m_Geometry.getSideNormal(s, k)};
                triangle(emit, a, b, c);
                triangle(emit, a, c, d);
            }
        }
    }

    template <class Emit> void caps(Emit emit) const {
        cap(emit, 0, m_Geometry.getStartDirection(), false);
        cap(emit, m_Geometry.getNumRings() - 1, m_Geometry.getEndDirection(), true);
    }

private:
    struct Corner {
        int ring, side;
        float s, t;
        SbVec3f normal;
    };

    template <class Emit>
    void triangle(Emit emit, const Corner& a, const Corner& b, const Corner& c) const {
        for (const Corner* corner : {&a, &b, &c}) {
            m_Vertex.setPoint(m_Geometry.getRingPoint(corner->ring, corner->side));
            m_Vertex.setNormal(corner->normal);
            m_Vertex.setTextureCoords(SbVec4f(corner->s, corner->t, 0.0f, 1.0f));
            emit(m_Vertex);
        }
    }

    // A fan from the centre; `outward` is the cap's normal, winding is counter-clockwise seen
    // from outside.
    template <class Emit> void cap(Emit emit, int ring, const SbVec3f& outward, bool end) const {
        const int sides = m_Geometry.getNumSides();
        for (int k = 0; k < sides; ++k) {
            const int first = end ? k : (k + 1) % sides;
            const int second = end ? (k + 1) % sides : k;
            emitCapVertex(emit, m_Geometry.getCentre(ring), outward, 0.5f, 0.5f);
            for (int side : {first, second}) {
                const float angle = 2.0f * float(M_PI) * float(side) / float(sides);
                emitCapVertex(emit, m_Geometry.getRingPoint(ring, side), outward,
                              0.5f + 0.5f * std::cos(angle), 0.5f + 0.5f * std::sin(angle));
            }
        }
    }

    template <class Emit>
    void emitCapVertex(Emit emit, const SbVec3f& point, const SbVec3f& normal, float s,
                       float t) const {
        m_Vertex.setPoint(point);
        m_Vertex.setNormal(normal);
        m_Vertex.setTextureCoords(SbVec4f(s, t, 0.0f, 1.0f));
        emit(m_Vertex);
    }

    const OivPipeGeometry& m_Geometry;
    SoPrimitiveVertex& m_Vertex;
};

} // namespace

SO_NODE_SOURCE(OivPipe);

void OivPipe::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_NODE_INIT_CLASS(OivPipe, SoShape, "Shape");
}

OivPipe::OivPipe(void) {
    OivTav::init();
    SO_NODE_CONSTRUCTOR(OivPipe);
    SO_NODE_ADD_FIELD(points, (SbVec3f(0.0f, 0.0f, 0.0f)));
    SO_NODE_ADD_FIELD(radius, (kDefaultRadius));
    SO_NODE_ADD_FIELD(numSides, (kDefaultNumSides));
    points.setNum(0);
    points.setDefault(TRUE);
}

OivPipe::~OivPipe() {}

const SbVec3f* OivPipe::getPathPoints(void) const {
    return points.getValues(0);
}

int OivPipe::getNumPathPoints(void) const {
    return points.getNum();
}

void OivPipe::generatePrimitives(SoAction* action) {
    const OivPipeGeometry geometry(points.getValues(0), points.getNum(), radius.getValue(),
                                   numSides.getValue());
    if (geometry.isEmpty())
        return;
    SoPrimitiveVertex vertex;
    const PipeTriangles triangles(geometry, vertex);
    beginShape(action, TRIANGLES);
    const auto emit = [this](SoPrimitiveVertex& v) { shapeVertex(&v); };
    triangles.wall(emit);
    triangles.caps(emit);
    endShape();
}

void OivPipe::computeBBox(SoAction*, SbBox3f& box, SbVec3f& center) {
    box.makeEmpty();
    const OivPipeGeometry geometry(points.getValues(0), points.getNum(), radius.getValue(),
                                   numSides.getValue());
    for (int r = 0; r < geometry.getNumRings(); ++r)
        for (int k = 0; k < geometry.getNumSides(); ++k)
            box.extendBy(geometry.getRingPoint(r, k));
    if (!box.isEmpty())
        center = box.getCenter();
}
