#include "tav/OivVertexShapeData.h"

#include "tav/OivNormalCacheAccess.h"

#include <Inventor/actions/SoAction.h>
#include <Inventor/caches/SoNormalCache.h>
#include <Inventor/elements/SoCoordinateElement.h>
#include <Inventor/elements/SoNormalElement.h>
#include <Inventor/fields/SoMFInt32.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoVertexShape.h>

OivVertexShapeData::OivVertexShapeData(SoAction* action, SoVertexShape* shape)
    : m_Action(action), m_Shape(shape) {
    SoState* state = action->getState();
    if (SoNode* property = shape->vertexProperty.getValue()) {
        state->push();
        m_Pushed = true;
        property->doAction(action);
    }
    const SoCoordinateElement* coordinates = SoCoordinateElement::getInstance(state);
    m_Is3D = coordinates->is3D();
    if (!m_Is3D)
        return;
    coords = coordinates->getArrayPtr3();
    coordCount = coords ? coordinates->getNum() : 0;
}

void OivVertexShapeData::readNormals(const SoMFInt32* normalIndex, bool mayGenerate) {
    SoState* state = m_Action->getState();
    const SoNormalElement* given = SoNormalElement::getInstance(state);
    normals = given->getArrayPtr();
    normalCount = normals ? given->getNum() : 0;
    if (normalIndex && normalIndex->getNum() > 0 && (*normalIndex)[0] >= 0) {
        normalIndices = normalIndex->getValues(0);
        normalIndexCount = normalIndex->getNum();
    }
    if (normals || !mayGenerate)
        return;
    SoNormalCache* cache = OivNormalCacheAccess::readLock(m_Shape, state);
    m_CacheLocked = true;
    normals = cache->getNormals();
    if (!normals)
        return;
    normalCount = cache->getNum();
    normalsGenerated = true;
    normalCache = cache;
    normalIndices = cache->getIndices();
    normalIndexCount = normalIndices ? cache->getNumIndices() : 0;
}

OivVertexShapeData::~OivVertexShapeData() {
    if (m_CacheLocked)
        OivNormalCacheAccess::readUnlock(m_Shape);
    if (m_Pushed)
        m_Action->getState()->pop();
}
