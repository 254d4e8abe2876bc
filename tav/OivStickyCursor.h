// A 3D cursor that sticks to the scene surface under the mouse. onMouseMove takes the mouse
// position in window client pixels (origin top left, y downwards), finds the surface under that
// pixel with the viewport, camera and scene of the place where the cursor was last drawn, and
// puts the cursor shape there, turned so that its axis (+Z of the shape) follows the surface
// normal when normal orientation is on, or upright (world +Z) when it is off. Over nothing the
// cursor hides. Before it has been drawn once, it has no view to pick with and stays hidden.
// When it is drawn with a view in which the last mouse position looks along another line than
// the one the cursor was placed from (the camera moved while the cursor was hidden, say), it is
// placed again under that position first.
//
// The scene picked is everything below the group that holds the camera in force where the cursor
// is drawn (or the whole scene graph if no camera precedes the cursor), except the cursor itself
// and UNPICKABLE geometry: the same surfaces and hit point a ray pick action with that camera
// finds. To follow the mouse over large surfaces, the triangles of that scene are kept in world
// space under a bounding volume hierarchy, built at the first move after a change that can move
// a surface (a camera turning, a new colour or the cursor's own edits do not); each move then
// costs microseconds.
//
// The cursor is sized to about kScreenFraction of the viewport height at the hit point.
//
// Catalog: topSeparator { pickStyle (UNPICKABLE, so other picks see through the cursor),
//          visibility (SoSwitch) { placement (SoSeparator) { transform, material, shape } } }
#ifndef OIVWINTAV_OIVSTICKYCURSOR_H
#define OIVWINTAV_OIVSTICKYCURSOR_H

#include "tav/OivTriangleIndex.h"

#include <Inventor/SbLine.h>
#include <Inventor/SbMatrix.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/nodekits/SoBaseKit.h>
#include <Inventor/nodekits/SoSubKit.h>

class SoField;
class SoNodeSensor;
class SoPath;
class SoSeparator;
class SoSensor;

class OivStickyCursor : public SoBaseKit {
    typedef SoBaseKit inherited;
    SO_KIT_HEADER(OivStickyCursor);
    SO_KIT_CATALOG_ENTRY_HEADER(topSeparator);
    SO_KIT_CATALOG_ENTRY_HEADER(pickStyle);
    SO_KIT_CATALOG_ENTRY_HEADER(visibility);
    SO_KIT_CATALOG_ENTRY_HEADER(placement);
    SO_KIT_CATALOG_ENTRY_HEADER(transform);
    SO_KIT_CATALOG_ENTRY_HEADER(material);
    SO_KIT_CATALOG_ENTRY_HEADER(shape);

public:
    // Registers the class with Coin's type system; the layer's init calls it before first use.
    static void initClass(void);
    // A node whose fields have their defaults.
    OivStickyCursor(void);

    enum PredefinedShape {
        ARROW = 0, // a cone and a shaft standing on the surface point, along the shape's +Z
        CROSS = 1  // three bars along the axes, crossing at the surface point
    };

    // Part of the viewport height that the cursor's unit size covers at the hit point.
    static constexpr float kScreenFraction = 0.06f;

    // Whether the cursor stands along the surface normal at the hit point (else upright).
    void useNormalOrientation(bool on);
    bool isUsingNormalOrientation(void) const;
    // Replaces the `shape` part with the predefined geometry; unknown values are ignored.
    void setPredefinedShape(const PredefinedShape& shape);
    PredefinedShape getPredefinedShape(void) const;
    // A new separator holding the geometry of a predefined shape (unit size, as the cursor draws
    // it), for marks that show the cursor elsewhere; null for an unknown value.
    static SoSeparator* newShapeGeometry(PredefinedShape shape);

    // Moves the cursor to the surface under the window point (x, y), origin top left.
    void onMouseMove(int x, int y);
    // True while the cursor sits on a surface (the last move hit something).
    bool isOnSurface(void) const;
    // While the cursor sits on a surface: true, the point it marks and the unit surface normal
    // (turned towards the viewer), both in the space the cursor is drawn in. False otherwise.
    bool getSurfacePoint(SbVec3f& point, SbVec3f& normal) const;
    // Places the cursor again under the last mouse position when it is next drawn, for a caller
    // that moved the surfaces without the view changing (a stretch of the scene, say).
    void placeAgain(void);
    // How often the surface index was built: once at the first move and then after each change
    // that can move a surface (not after a change of colours, lights, the camera or the cursor).
    unsigned long getIndexBuildCount(void) const;

    // Draws the cursor at its surface point, scaled to a constant share of the viewport.
    virtual void GLRender(SoGLRenderAction* action);

protected:
    virtual ~OivStickyCursor();

private:
    OivStickyCursor(const OivStickyCursor&) = delete;
    OivStickyCursor& operator=(const OivStickyCursor&) = delete;

    void placeUnderMouse(void);
    SbLine mouseRay(void) const;
    static bool isSameLine(const SbLine& a, const SbLine& b);
    void watchRoot(SoNode* root);
    void place(const OivTriangleIndex::Hit& hit);
    void setOnSurface(bool on);
    bool changesSurfaces(const SoNode* trigger, const SoField* field) const;
    static SoNode* findPickRoot(const SoPath* path);
    static void rootChangedCB(void* data, SoSensor* sensor);
    static void rootDeletedCB(void* data, SoSensor* sensor);

    bool m_NormalOrientation;
    PredefinedShape m_Shape;
    // The view of the last render: where the cursor was drawn, and with which camera.
    bool m_HasView;
    SbViewportRegion m_Viewport;
    SbViewVolume m_ViewVolume;
    SbMatrix m_ModelMatrix;
    // The last mouse position given, placed again when the view changes.
    bool m_HasMouse;
    int m_MouseX;
    int m_MouseY;
    // The ray the cursor was last placed from; another one at a draw means a new view.
    bool m_HasPlacedRay;
    SbLine m_PlacedRay;
    // Where the last placement put the cursor, in the space it is drawn in.
    SbVec3f m_SurfacePoint;
    SbVec3f m_SurfaceNormal;
    SoNode* m_PickRoot; // not referenced (it holds the cursor); the sensor reports its deletion
    SoNodeSensor* m_RootSensor;
    OivTriangleIndex m_Index;
    bool m_IndexValid;
    unsigned long m_IndexBuilds;
    bool m_Editing; // the cursor is changing its own parts: not a change of the picked scene
};

#endif // OIVWINTAV_OIVSTICKYCURSOR_H
