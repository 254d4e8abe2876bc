#include "tav/OivStickyCursor.h"

#include "tav/OivFinite.h"
#include "tav/OivTav.h"

#include <Inventor/SbLine.h>
#include <Inventor/SbRotation.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/elements/SoModelMatrixElement.h>
#include <Inventor/elements/SoViewVolumeElement.h>
#include <Inventor/elements/SoViewportRegionElement.h>
#include <Inventor/misc/SoChildList.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoBaseColor.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
#include <Inventor/nodes/SoEnvironment.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoInfo.h>
#include <Inventor/nodes/SoLabel.h>
#include <Inventor/nodes/SoLight.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoMaterialBinding.h>
#include <Inventor/nodes/SoPackedColor.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/nodes/SoTexture.h>
#include <Inventor/nodes/SoTexture2Transform.h>
#include <Inventor/nodes/SoTextureCoordinate2.h>
#include <Inventor/nodes/SoTextureCoordinateBinding.h>
#include <Inventor/nodes/SoTextureCoordinateFunction.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoVertexProperty.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kMinDeterminant = 1.0e-12f;
// Two mouse rays closer than this (in direction, and in offset relative to their distance from
// the origin) see the same surface point.
constexpr float kSameLineTolerance = 1.0e-5f;
const SbVec3f kShapeAxis(0.0f, 0.0f, 1.0f);
const SbColor kCursorColor(1.0f, 0.85f, 0.0f);

// Arrow: the cone's tip on the surface point, cone and shaft rising along +Z to a length of 1.
constexpr float kConeHeight = 0.4f;
constexpr float kConeRadius = 0.15f;
constexpr float kShaftRadius = 0.05f;
// Cross: bars of length 1 and this thickness.
constexpr float kBarThickness = 0.1f;

SoSeparator* makeArrow() {
    SoSeparator* arrow = new SoSeparator;
    // Coin's cone and cylinder stand along +Y: turn them to +Z, the cone's tip downwards.
    SoTransform* coneTransform = new SoTransform;
    coneTransform->translation.setValue(0.0f, 0.0f, 0.5f * kConeHeight);
    coneTransform->rotation.setValue(SbVec3f(1.0f, 0.0f, 0.0f), -float(M_PI) / 2.0f);
    SoCone* cone = new SoCone;
    cone->height = kConeHeight;
    cone->bottomRadius = kConeRadius;
    arrow->addChild(coneTransform);
    arrow->addChild(cone);
    SoTransform* shaftTransform = new SoTransform;
    shaftTransform->translation.setValue(0.0f, -0.5f, 0.0f); // within the cone's turned frame
    SoCylinder* shaft = new SoCylinder;
    shaft->radius = kShaftRadius;
    shaft->height = 1.0f - kConeHeight;
    arrow->addChild(shaftTransform);
    arrow->addChild(shaft);
    return arrow;
}

SoSeparator* makeCross() {
    SoSeparator* cross = new SoSeparator;
    for (int axis = 0; axis < 3; ++axis) {
        SoCube* bar = new SoCube;
        bar->width = axis == 0 ? 1.0f : kBarThickness;
        bar->height = axis == 1 ? 1.0f : kBarThickness;
        bar->depth = axis == 2 ? 1.0f : kBarThickness;
        cross->addChild(bar);
    }
    return cross;
}

// Nodes that change how surfaces look or are seen, never where they are: a camera turning,
// colours, lights, textures. Of a vertex property, only its colours.
bool isLook(const SoNode* node, const SoField* field) {
    static const SoType kLookTypes[] = {SoCamera::getClassTypeId(),
                                        SoMaterial::getClassTypeId(),
                                        SoBaseColor::getClassTypeId(),
                                        SoPackedColor::getClassTypeId(),
                                        SoMaterialBinding::getClassTypeId(),
                                        SoLight::getClassTypeId(),
                                        SoEnvironment::getClassTypeId(),
                                        SoTexture::getClassTypeId(),
                                        SoTexture2Transform::getClassTypeId(),
                                        SoTextureCoordinate2::getClassTypeId(),
                                        SoTextureCoordinateBinding::getClassTypeId(),
                                        SoTextureCoordinateFunction::getClassTypeId(),
                                        SoInfo::getClassTypeId(),
                                        SoLabel::getClassTypeId()};
    for (const SoType& type : kLookTypes)
        if (node->isOfType(type))
            return true;
    if (!field || !node->isOfType(SoVertexProperty::getClassTypeId()))
        return false;
    const SoVertexProperty* property = static_cast<const SoVertexProperty*>(node);
    return field == &property->orderedRGBA || field == &property->materialBinding ||
           field == &property->texCoord || field == &property->texCoord3;
}

// Whether `node` is `only` or a group whose every branch holds nothing but `only`.
bool holdsOnly(const SoNode* node, const SoNode* only) {
    if (node == only)
        return true;
    if (!node->isOfType(SoGroup::getClassTypeId()))
        return false;
    const SoChildList* children = node->getChildren();
    if (children->getLength() == 0)
        return false;
    for (int i = 0; i < children->getLength(); ++i)
        if (!holdsOnly((*children)[i], only))
            return false;
    return true;
}

// Whether `node` is `root` or lies below it.
bool contains(const SoNode* root, const SoNode* node) {
    if (root == node)
        return true;
    const SoChildList* children = root->getChildren();
    if (!children)
        return false;
    for (int i = 0; i < children->getLength(); ++i)
        if (contains((*children)[i], node))
            return true;
    return false;
}

// Keeps m_Editing set while the cursor edits its own parts.
class EditScope {
public:
    explicit EditScope(bool& flag) : m_Flag(flag), m_Previous(flag) { m_Flag = true; }
    ~EditScope() { m_Flag = m_Previous; }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

private:
    bool& m_Flag;
    bool m_Previous;
};

} // namespace

SO_KIT_SOURCE(OivStickyCursor);

void OivStickyCursor::initClass(void) {
    if (getClassTypeId() != SoType::badType())
        return;
    SO_KIT_INIT_CLASS(OivStickyCursor, SoBaseKit, "BaseKit");
}

OivStickyCursor::OivStickyCursor(void)
    : m_NormalOrientation(false), m_Shape(ARROW), m_HasView(false), m_HasMouse(false), m_MouseX(0),
      m_MouseY(0), m_HasPlacedRay(false), m_PickRoot(nullptr),
      m_RootSensor(new SoNodeSensor(rootChangedCB, this)), m_IndexValid(false), m_IndexBuilds(0),
      m_Editing(false) {
    OivTav::init();
    SO_KIT_CONSTRUCTOR(OivStickyCursor);
    SO_KIT_ADD_CATALOG_ENTRY(topSeparator, SoSeparator, FALSE, this, "", FALSE);
    SO_KIT_ADD_CATALOG_ENTRY(pickStyle, SoPickStyle, FALSE, topSeparator, visibility, FALSE);
    SO_KIT_ADD_CATALOG_ENTRY(visibility, SoSwitch, FALSE, topSeparator, "", FALSE);
    SO_KIT_ADD_CATALOG_ENTRY(placement, SoSeparator, FALSE, visibility, "", FALSE);
    SO_KIT_ADD_CATALOG_ENTRY(transform, SoTransform, FALSE, placement, material, TRUE);
    SO_KIT_ADD_CATALOG_ENTRY(material, SoMaterial, FALSE, placement, shape, TRUE);
    SO_KIT_ADD_CATALOG_ENTRY(shape, SoSeparator, FALSE, placement, "", TRUE);
    SO_KIT_INIT_INSTANCE();

    // Immediate, so the trigger node is known and the cursor's own edits can be told apart.
    m_RootSensor->setPriority(0);
    m_RootSensor->setDeleteCallback(rootDeletedCB, this);
    SO_GET_ANY_PART(this, "pickStyle", SoPickStyle)->style = SoPickStyle::UNPICKABLE;
    SO_GET_ANY_PART(this, "visibility", SoSwitch)->whichChild = SO_SWITCH_NONE;
    SoMaterial* material = SO_GET_ANY_PART(this, "material", SoMaterial);
    material->diffuseColor = kCursorColor;
    material->emissiveColor = kCursorColor * 0.4f;
    setPredefinedShape(ARROW);
}

OivStickyCursor::~OivStickyCursor() {
    m_RootSensor->detach();
    delete m_RootSensor;
}

void OivStickyCursor::useNormalOrientation(bool on) {
    m_NormalOrientation = on;
}

bool OivStickyCursor::isUsingNormalOrientation(void) const {
    return m_NormalOrientation;
}

SoSeparator* OivStickyCursor::newShapeGeometry(PredefinedShape shape) {
    switch (shape) {
    case ARROW:
        return makeArrow();
    case CROSS:
        return makeCross();
    default:
        return nullptr;
    }
}

void OivStickyCursor::setPredefinedShape(const PredefinedShape& shape) {
    SoSeparator* geometry = newShapeGeometry(shape);
    if (!geometry)
        return;
    EditScope editing(m_Editing);
    m_Shape = shape;
    setPart("shape", geometry);
}

OivStickyCursor::PredefinedShape OivStickyCursor::getPredefinedShape(void) const {
    return m_Shape;
}

unsigned long OivStickyCursor::getIndexBuildCount(void) const {
    return m_IndexBuilds;
}

bool OivStickyCursor::isOnSurface(void) const {
    const SoSwitch* visibility = static_cast<const SoSwitch*>(this->visibility.getValue());
    return visibility && visibility->whichChild.getValue() != SO_SWITCH_NONE;
}

bool OivStickyCursor::getSurfacePoint(SbVec3f& point, SbVec3f& normal) const {
    if (!isOnSurface())
        return false;
    point = m_SurfacePoint;
    normal = m_SurfaceNormal;
    return true;
}

void OivStickyCursor::placeAgain(void) {
    m_HasPlacedRay = false;
}

void OivStickyCursor::setOnSurface(bool on) {
    if (on == isOnSurface())
        return;
    EditScope editing(m_Editing);
    SO_GET_ANY_PART(this, "visibility", SoSwitch)->whichChild = on ? 0 : SO_SWITCH_NONE;
}

void OivStickyCursor::GLRender(SoGLRenderAction* action) {
    SoState* state = action->getState();
    const SbMatrix& modelMatrix = SoModelMatrixElement::get(state);
    const bool moved = m_HasView && modelMatrix != m_ModelMatrix;
    m_Viewport = SoViewportRegionElement::get(state);
    m_ViewVolume = SoViewVolumeElement::get(state);
    m_ModelMatrix = modelMatrix;
    m_HasView = true;
    watchRoot(findPickRoot(action->getCurPath()));
    // The mouse may have moved while the cursor was not drawn (hidden while the viewer was
    // viewing, say), and the camera with it. When the mouse pixel now looks along another line
    // than the one the cursor was placed from, the cursor is placed again before it is drawn, or
    // it would show where the mouse was over the old view.
    if (m_HasMouse && (moved || !m_HasPlacedRay || !isSameLine(mouseRay(), m_PlacedRay)))
        placeUnderMouse();
    inherited::GLRender(action);
}

SoNode* OivStickyCursor::findPickRoot(const SoPath* path) {
    // The innermost group that holds a camera before the cursor's branch: the scene seen through
    // that camera.
    for (int i = path->getLength() - 2; i >= 0; --i) {
        SoNode* node = path->getNode(i);
        if (!node->isOfType(SoGroup::getClassTypeId()))
            continue;
        const SoChildList* children = node->getChildren();
        const int branch = path->getIndex(i + 1);
        for (int j = 0; j < branch; ++j)
            if ((*children)[j]->isOfType(SoCamera::getClassTypeId()))
                return node;
    }
    return path->getHead();
}

void OivStickyCursor::watchRoot(SoNode* root) {
    if (root == m_PickRoot)
        return;
    m_RootSensor->detach();
    m_PickRoot = root;
    m_IndexValid = false;
    if (root)
        m_RootSensor->attach(root);
}

void OivStickyCursor::rootChangedCB(void* data, SoSensor* sensor) {
    OivStickyCursor* cursor = static_cast<OivStickyCursor*>(data);
    // Edits come field by field: once the index is out of date, the rest need no look.
    if (cursor->m_Editing || !cursor->m_IndexValid)
        return;
    const SoNodeSensor* nodeSensor = static_cast<SoNodeSensor*>(sensor);
    if (!cursor->changesSurfaces(nodeSensor->getTriggerNode(), nodeSensor->getTriggerField()))
        return;
    cursor->m_IndexValid = false;
}

bool OivStickyCursor::changesSurfaces(const SoNode* trigger, const SoField* field) const {
    // Unknown origin (an engine, a touch of nothing in particular): rebuild to be sure.
    if (!trigger)
        return true;
    if (isLook(trigger, field))
        return false;
    if (contains(this, trigger))
        return false; // the cursor is left out of the index
    // A group whose children changed may have lost a surface, even if it holds only the cursor
    // now; a field of a branch that holds nothing but the cursor (a switch showing it) moves none.
    if (!field && trigger->isOfType(SoGroup::getClassTypeId()))
        return true;
    return !holdsOnly(trigger, this);
}

void OivStickyCursor::rootDeletedCB(void* data, SoSensor*) {
    OivStickyCursor* cursor = static_cast<OivStickyCursor*>(data);
    cursor->m_PickRoot = nullptr;
    cursor->m_IndexValid = false;
    cursor->m_Index.clear();
}

void OivStickyCursor::onMouseMove(int x, int y) {
    m_MouseX = x;
    m_MouseY = y;
    m_HasMouse = true;
    placeUnderMouse();
}

SbLine OivStickyCursor::mouseRay(void) const {
    // The ray a ray pick action computes for the same pixel (pixels from the lower left). A
    // region made only from a viewport (as an off-screen renderer's is) keeps a default window
    // size smaller than the viewport; the window is at least as high as the viewport's top.
    const SbVec2s size = m_Viewport.getViewportSizePixels();
    const SbVec2s origin = m_Viewport.getViewportOriginPixels();
    const int windowHeight = std::max<int>(m_Viewport.getWindowSize()[1], origin[1] + size[1]);
    // Wide enough for any position a host passes, however far outside the window.
    const int64_t pixelX = m_MouseX, pixelY = int64_t(windowHeight) - 1 - m_MouseY;
    const SbVec2f normalized(float(pixelX - origin[0]) / float(size[0]),
                             float(pixelY - origin[1]) / float(size[1]));
    SbLine ray;
    m_ViewVolume.projectPointToLine(normalized, ray);
    return ray;
}

bool OivStickyCursor::isSameLine(const SbLine& a, const SbLine& b) {
    // Moving the near plane (as automatic clipping does when the scene changes) slides the ray's
    // start along the same line: that is no new view of the mouse pixel.
    const SbVec3f offset = b.getClosestPoint(a.getPosition()) - a.getPosition();
    const float scale = 1.0f + a.getPosition().length();
    return a.getDirection().dot(b.getDirection()) > 1.0f - kSameLineTolerance &&
           offset.length() <= kSameLineTolerance * scale;
}

void OivStickyCursor::placeUnderMouse() {
    const SbVec2s size = m_Viewport.getViewportSizePixels();
    if (!m_HasView || !m_PickRoot || size[0] <= 0 || size[1] <= 0) {
        setOnSurface(false);
        return;
    }
    if (!m_IndexValid) {
        m_Index.build(m_PickRoot, m_Viewport, this);
        m_IndexValid = true;
        ++m_IndexBuilds;
    }
    const SbLine ray = mouseRay();
    m_PlacedRay = ray;
    m_HasPlacedRay = true;
    // Only between the near and the far plane, which lie along the projection direction.
    const float alongProjection = ray.getDirection().dot(m_ViewVolume.getProjectionDirection());
    OivTriangleIndex::Hit hit;
    if (alongProjection <= 0.0f ||
        !m_Index.intersect(ray, 0.0f, m_ViewVolume.getDepth() / alongProjection, hit)) {
        setOnSurface(false);
        return;
    }
    if (hit.normal.dot(ray.getDirection()) > 0.0f)
        hit.normal.negate(); // the side the viewer sees
    place(hit);
}

void OivStickyCursor::place(const OivTriangleIndex::Hit& hit) {
    // A transformation before the cursor that flattens it, or a view made of values that are no
    // numbers or overflowed, leaves no place to draw it at: it hides rather than carrying such
    // values into its transform and the bounding boxes of the scene.
    if (!(std::fabs(m_ModelMatrix.det4()) >= kMinDeterminant)) {
        setOnSurface(false);
        return;
    }
    // From world space into the space the cursor is drawn in.
    SbVec3f position, normal;
    m_ModelMatrix.inverse().multVecMatrix(hit.point, position);
    m_ModelMatrix.transpose().multDirMatrix(hit.normal, normal);
    normal.normalize();
    const float worldSize = m_ViewVolume.getWorldToScreenScale(hit.point, kScreenFraction);
    const float localSize = worldSize / std::cbrt(std::fabs(m_ModelMatrix.det3()));
    if (!OivFinite::isFinite(position) || !OivFinite::isFinite(normal) ||
        !std::isfinite(localSize) || !(localSize > 0.0f)) {
        setOnSurface(false);
        return;
    }

    m_SurfacePoint = position;
    m_SurfaceNormal = normal;
    EditScope editing(m_Editing);
    SoTransform* transform = SO_GET_ANY_PART(this, "transform", SoTransform);
    transform->translation = position;
    transform->rotation = m_NormalOrientation ? SbRotation(kShapeAxis, normal) : SbRotation();
    transform->scaleFactor.setValue(localSize, localSize, localSize);
    setOnSurface(true);
}
