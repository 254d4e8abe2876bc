#include "viewers/OivTrackingCompass.h"

#include <Inventor/SbColor.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoDrawStyle.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/nodes/SoVertexProperty.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// The compass's arms reach this far from the tracking point, in world units, whatever the view.
constexpr float kMinScale = 20.0f;
constexpr float kMaxScale = 100.0f;
constexpr float kLineWidth = 2.0f;

} // namespace

OivTrackingCompass::OivTrackingCompass(SoSeparator* root)
    : m_Root(root), m_Translation(new SoTranslation), m_Scale(new SoScale), m_Switch(new SoSwitch),
      m_Geometry(buildGeometry()), m_Parent(nullptr) {
    m_Root->ref();
    m_Geometry->ref();
    m_Switch->whichChild.setValue(SO_SWITCH_NONE);
    SoMaterial* material = new SoMaterial;
    material->diffuseColor.setValue(1.0f, 0.0f, 0.0f);
    m_Switch->addChild(material);
    m_Switch->addChild(m_Geometry);
    m_Root->addChild(m_Translation);
    m_Root->addChild(m_Scale);
    m_Root->addChild(m_Switch);
}

OivTrackingCompass::~OivTrackingCompass() {
    placeIn(nullptr, -1);
    m_Root->unref();
    m_Geometry->unref();
}

SoNode* OivTrackingCompass::buildGeometry(void) {
    static const SbVec3f kVertices[] = {{-1, 0, 0}, {1, 0, 0},  {0, -1, 0},
                                        {0, 1, 0},  {0, 0, -1}, {0, 0, 1}};
    static const SbColor kAxisColours[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    constexpr int kVerticesPerAxis = 2;
    SoVertexProperty* property = new SoVertexProperty;
    property->vertex.setValues(0, int(std::size(kVertices)), kVertices);
    for (int vertex = 0; vertex < int(std::size(kVertices)); ++vertex)
        property->orderedRGBA.set1Value(
            vertex, kAxisColours[vertex / kVerticesPerAxis].getPackedValue(0.0f));
    property->materialBinding.setValue(SoVertexProperty::PER_VERTEX);
    SoLineSet* axes = new SoLineSet;
    const int32_t numVertices[] = {kVerticesPerAxis, kVerticesPerAxis, kVerticesPerAxis};
    axes->numVertices.setValues(0, int(std::size(numVertices)), numVertices);
    axes->vertexProperty.setValue(property);

    SoSeparator* compass = new SoSeparator;
    // The compass is a line set itself: picked, it would become the tracking curve, and a seek
    // would stop on it instead of on the scene behind.
    SoPickStyle* unpickable = new SoPickStyle;
    unpickable->style.setValue(SoPickStyle::UNPICKABLE);
    compass->addChild(unpickable);
    SoDrawStyle* drawStyle = new SoDrawStyle;
    drawStyle->lineWidth.setValue(kLineWidth);
    compass->addChild(drawStyle);
    SoLightModel* unlit = new SoLightModel;
    unlit->model.setValue(SoLightModel::BASE_COLOR);
    compass->addChild(unlit);
    compass->addChild(axes);
    return compass;
}

void OivTrackingCompass::setVisible(bool visible) {
    m_Switch->whichChild.setValue(visible ? SO_SWITCH_ALL : SO_SWITCH_NONE);
}

void OivTrackingCompass::moveTo(const SbVec3f& point) {
    m_Translation->translation.setValue(point);
}

void OivTrackingCompass::scaleFor(const SoCamera& camera, const SbVec3f& point, float objectScale) {
    const float s = camera.getViewVolume(0.0f).getWorldToScreenScale(point, objectScale);
    const float clamped = std::min(std::max(s, kMinScale), kMaxScale);
    m_Scale->scaleFactor.setValue(clamped, clamped, clamped);
}

void OivTrackingCompass::placeIn(SoGroup* parent, int index) {
    if (m_Parent) {
        m_Parent->removeChild(m_Root);
        m_Parent->unref();
        m_Parent = nullptr;
    }
    if (!parent)
        return;
    parent->ref();
    m_Parent = parent;
    // A parent with fewer children than asked for gets the compass at its end.
    if (index < 0 || index > parent->getNumChildren())
        parent->addChild(m_Root);
    else
        parent->insertChild(m_Root, index);
}
