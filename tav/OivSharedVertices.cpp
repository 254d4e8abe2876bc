#include "tav/OivSharedVertices.h"

#include <algorithm>

OivSharedVertices::OivSharedVertices(const SbVec3f* coords, int coordCount, const SbVec3f* normals,
                                     int normalCount, std::vector<SbVec3f>& points,
                                     std::vector<SbVec3f>& vertexNormals, int firstUsed,
                                     int usedCount)
    : m_Coords(coords), m_First(std::max(firstUsed, 0)),
      m_End(coords ? int(std::clamp<int64_t>(int64_t(firstUsed) + usedCount, m_First, coordCount))
                   : m_First),
      m_Normals(normals), m_NormalCount(normals ? normalCount : 0), m_Points(points),
      m_VertexNormals(vertexNormals) {}

uint32_t OivSharedVertices::vertex(int32_t coordinate, int32_t normal) {
    // Made on first use: a shape read otherwise (see OivSceneTriangles) asks for no vertex.
    if (m_Slots.empty())
        m_Slots.assign(size_t(m_End - m_First), Slot{0, kNoVertex, 0});
    uint32_t slot = uint32_t(coordinate - m_First);
    if (m_Slots[slot].vertex == kNoVertex) {
        m_Slots[slot] = Slot{normal, add(coordinate, normal), 0};
        return m_Slots[slot].vertex;
    }
    while (m_Slots[slot].normal != normal) {
        if (m_Slots[slot].next == 0) {
            const uint32_t chained = uint32_t(m_Slots.size());
            m_Slots[slot].next = chained;
            m_Slots.push_back(Slot{normal, add(coordinate, normal), 0});
            return m_Slots[chained].vertex;
        }
        slot = m_Slots[slot].next;
    }
    return m_Slots[slot].vertex;
}

uint32_t OivSharedVertices::add(int32_t coordinate, int32_t normal) {
    m_Points.push_back(m_Coords[coordinate]);
    m_VertexNormals.push_back(normalOf(normal));
    return uint32_t(m_Points.size() - 1);
}
