// The mark of a cursor that sits in another view: one of the sticky cursor's shapes, drawn at a
// given point, turned by a given rotation, in a colour of its own and sized like the sticky
// cursor (OivStickyCursor::kScreenFraction of the viewport height at the point, whatever the
// camera). Linked views use it to show where the user points in a view the mouse is not over.
//
// It is a mark, not content: it draws itself and takes no part in bounding boxes, picks,
// callback traversals (so no surface index sees it) or matrices. Like the sticky cursor it is
// meant to be drawn over the scene, inside an annotation.
//
// File format and defaults:
//   OivCursorEcho {
//     position    0 0 0
//     orientation 0 0 1 0     # turns the shape's axis (+Z) where it should point
//     shape       ARROW       # ARROW CROSS, as the sticky cursor's predefined shapes
//     color       0.1 0.75 1  # a light blue, far from the sticky cursor's yellow
//   }
#ifndef OIVWINTAV_OIVCURSORECHO_H
#define OIVWINTAV_OIVCURSORECHO_H

#include <Inventor/fields/SoSFColor.h>
#include <Inventor/fields/SoSFEnum.h>
#include <Inventor/fields/SoSFRotation.h>
#include <Inventor/fields/SoSFVec3f.h>
#include <Inventor/nodes/SoNode.h>
#include <Inventor/nodes/SoSubNode.h>

class SoMaterial;
class SoSeparator;
class SoState;
class SoSwitch;

class OivCursorEcho : public SoNode {
    typedef SoNode inherited;
    SO_NODE_HEADER(OivCursorEcho);

public:
    // Registers the class with Coin's type system; OivTav::init calls it.
    static void initClass(void);
    // An arrow in the echo's colour at the origin, upright.
    OivCursorEcho(void);

    // The same values as OivStickyCursor::PredefinedShape.
    enum Shape { ARROW = 0, CROSS = 1 };

    SoSFVec3f position;
    SoSFRotation orientation;
    SoSFEnum shape;
    SoSFColor color;

    // Draws the shape at its place and turn, sized from the view it is drawn in.
    virtual void GLRender(SoGLRenderAction* action);

protected:
    virtual ~OivCursorEcho();

private:
    OivCursorEcho(const OivCursorEcho&) = delete;
    OivCursorEcho& operator=(const OivCursorEcho&) = delete;

    // Moves the current space to the mark's place, turn and size; false when the view leaves
    // no place to draw it (a flattening transformation, values that are no numbers).
    bool placeMark(SoState* state);
    void updateLook();

    SoSeparator* m_Mark;
    SoMaterial* m_Material;
    SoSwitch* m_Shapes;
};

#endif // OIVWINTAV_OIVCURSORECHO_H
